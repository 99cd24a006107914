// IAddrBook over the account's address book file and the user's own identity, and the
// IMailUser objects its entries open as. ResolveName gives every unresolved entry of a
// recipient list the properties of the one person its name names.
#include <strings.h>

#include <cstring>

#include "common/AddressBook.h"
#include "common/Buffers.h"
#include "extended/MessageProps.h"
#include "extended/Objects.h"
#include "extended/PropObject.h"

namespace vesk::mapi32::ex {
namespace {

constexpr ULONG kMaxEntries = 10000;
constexpr std::size_t kMaxQuery = 4096;

// The text of string property `tag` in a caller's entry, if it has one.
std::string entryText(const ADRENTRY& entry, ULONG tag) {
    for (ULONG i = 0; i < entry.cValues; ++i) {
        const SPropValue& v = entry.rgPropVals[i];
        if (v.ulPropTag == tag && v.Value.lpszA != nullptr) {
            return std::string(v.Value.lpszA, ::strnlen(v.Value.lpszA, kMaxQuery));
        }
    }
    return std::string();
}

bool isResolved(const ADRENTRY& entry) {
    for (ULONG i = 0; i < entry.cValues; ++i) {
        if (entry.rgPropVals[i].ulPropTag == PR_ENTRYID) return true;
    }
    return false;
}

enum class Found { One, None, Several };

// Finds who `entry` names: its display name in the book, else the address it carries, else
// a name that is itself an Internet address (a one-off recipient).
Found resolveEntry(const std::vector<BookEntry>& book, const ADRENTRY& entry, BookEntry& who) {
    std::string name = entryText(entry, PR_DISPLAY_NAME);
    std::string email = entryText(entry, PR_EMAIL_ADDRESS);
    for (const std::string& query : {name, email}) {
        if (query.empty()) continue;
        Lookup found = lookUp(book, query, who);
        if (found == Lookup::Unique) {
            if (who.name.empty()) who.name = name;
            return Found::One;
        }
        if (found == Lookup::Ambiguous) return Found::Several;
    }
    for (const std::string& query : {email, name}) {
        std::string plain;
        if (query.empty() || !stripAddressType(query, plain)) continue;
        BookEntry parsed = parseMailbox(plain);
        if (isPlainAddress(parsed.address)) {
            who.address = parsed.address;
            // A display name that is the address itself (typed that way) shows as the address.
            who.name = !parsed.name.empty() ? parsed.name : (name.empty() || name == query) ? parsed.address : name;
            return Found::One;
        }
    }
    return Found::None;
}

// The resolved values of `entry`: the person's, then the entry's own values of other
// properties (its recipient type, row id, ...), in one new block.
LPSPropValue resolvedValues(const Mailbox& mailbox, const ADRENTRY& entry, const BookEntry& who, ULONG& count) {
    PropList props = mailUserProps(mailbox, who.name, who.address);
    std::size_t extra = 0;
    for (ULONG i = 0; i < entry.cValues; ++i) extra += findProp(props, entry.rgPropVals[i].ulPropTag) == nullptr;
    auto* values = static_cast<SPropValue*>(allocateBuffer(sizeof(SPropValue) * (props.size() + extra)));
    if (values == nullptr) return nullptr;
    std::size_t n = 0;
    for (const Prop& p : props) {
        if (!writeValue(p, values[n++], values)) {
            freeBuffer(values);
            return nullptr;
        }
    }
    for (ULONG i = 0; i < entry.cValues; ++i) {
        const SPropValue& v = entry.rgPropVals[i];
        if (findProp(props, v.ulPropTag) != nullptr) continue;
        Prop copy;
        // Values that cannot be copied (objects, multi-valued) are not carried over.
        if (FAILED(readValue(v, copy, kMaxQuery)) || !writeValue(copy, values[n], values, kMaxQuery + 1)) {
            values[n].ulPropTag = CHANGE_PROP_TYPE(v.ulPropTag, PT_ERROR);
            values[n].Value.err = MAPI_E_NOT_FOUND;
        }
        ++n;
    }
    count = static_cast<ULONG>(n);
    return values;
}

class MailUser final : public PropObject<IMailUser> {
public:
    MailUser(MailboxPtr mailbox, EntryRef user) : PropObject({MAPIX_IIDS_MAILUSER}, std::move(mailbox)), m_user(std::move(user)) {}

protected:
    PropList properties() override {
        const Account& account = m_mailbox->account;
        if (m_user.kind == EntryKind::Identity) {
            PropList p = mailUserProps(*m_mailbox, account.displayName, account.address);
            // The identity's own identifier, whatever address it has.
            putProp(p, binaryProp(PR_ENTRYID, identityEntryId(account.name)));
            if (findProp(p, PR_DISPLAY_NAME)->bytes.empty()) putProp(p, textProp(PR_DISPLAY_NAME, account.name));
            return p;
        }
        return mailUserProps(*m_mailbox, m_user.name, m_user.address);
    }

private:
    EntryRef m_user;
};

class AddrBook final : public PropObject<IAddrBook> {
public:
    explicit AddrBook(MailboxPtr mailbox) : PropObject({MAPIX_IIDS_ADDRBOOK}, std::move(mailbox)) {}

    HRESULT STDMETHODCALLTYPE OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags,
                                        ULONG* lpulObjType, LPUNKNOWN* lppUnk) override {
        return openEntry(m_mailbox, EntryScope::AddressBook, cbEntryID, lpEntryID, lpInterface, ulFlags, lpulObjType,
                         lppUnk);
    }
    HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG cbEntryID1, LPENTRYID lpEntryID1, ULONG cbEntryID2,
                                              LPENTRYID lpEntryID2, ULONG, ULONG* lpulResult) override {
        return compareEntries(m_mailbox, cbEntryID1, lpEntryID1, cbEntryID2, lpEntryID2, lpulResult);
    }
    HRESULT STDMETHODCALLTYPE Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE CreateOneOff(LPSTR lpszName, LPSTR lpszAdrType, LPSTR lpszAddress, ULONG,
                                           ULONG* lpcbEntryID, LPENTRYID* lppEntryID) override {
        return locked([&]() -> HRESULT {
            if (lpszAddress == nullptr || lpcbEntryID == nullptr || lppEntryID == nullptr) return MAPI_E_INVALID_PARAMETER;
            if (lpszAdrType != nullptr && ::strcasecmp(lpszAdrType, "SMTP") != 0) return MAPI_E_INVALID_PARAMETER;
            std::string address(lpszAddress, ::strnlen(lpszAddress, kMaxQuery));
            std::string name = lpszName != nullptr ? std::string(lpszName, ::strnlen(lpszName, kMaxQuery)) : address;
            if (!isPlainAddress(address)) return MAPI_E_INVALID_PARAMETER;
            return copyOutBytes(mailUserEntryId(m_mailbox->account.name, name, address), lpcbEntryID, lppEntryID);
        });
    }
    HRESULT STDMETHODCALLTYPE NewEntry(ULONG_PTR, ULONG, ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG*, LPENTRYID*) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE ResolveName(ULONG_PTR, ULONG, LPSTR, LPADRLIST lpAdrList) override {
        return locked([&]() -> HRESULT {
            if (lpAdrList == nullptr || lpAdrList->cEntries > kMaxEntries) return MAPI_E_INVALID_PARAMETER;
            for (ULONG i = 0; i < lpAdrList->cEntries; ++i) {
                const ADRENTRY& e = lpAdrList->aEntries[i];
                if (e.cValues > 256 || (e.cValues != 0 && e.rgPropVals == nullptr)) return MAPI_E_INVALID_PARAMETER;
            }
            // No dialog can offer a choice: several matches stay ambiguous, MAPI_DIALOG or not.
            const Account& account = m_mailbox->account;
            std::vector<BookEntry> book = bookWithOwnEntry(account.addressBook, account.displayName, account.address);
            bool ambiguous = false, unknown = false;
            for (ULONG i = 0; i < lpAdrList->cEntries; ++i) {
                ADRENTRY& entry = lpAdrList->aEntries[i];
                if (isResolved(entry)) continue;
                BookEntry who;
                Found found = resolveEntry(book, entry, who);
                if (found != Found::One) {
                    ambiguous = ambiguous || found == Found::Several;
                    unknown = unknown || found == Found::None;
                    continue;
                }
                ULONG count = 0;
                LPSPropValue values = resolvedValues(*m_mailbox, entry, who, count);
                if (values == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
                // The old values go when they are a block of their own; values that are
                // part of another block (the list's, say) are left to that block's owner.
                if (entry.rgPropVals != nullptr && isLiveRoot(entry.rgPropVals)) freeBuffer(entry.rgPropVals);
                entry.rgPropVals = values;
                entry.cValues = count;
            }
            if (ambiguous) return MAPI_E_AMBIGUOUS_RECIP;
            return unknown ? MAPI_E_NOT_FOUND : S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Address(ULONG_PTR*, LPADRPARM, LPADRLIST*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE Details(ULONG_PTR*, LPFNDISMISS, LPVOID, ULONG, LPENTRYID, LPFNBUTTON, LPVOID, LPSTR,
                                      ULONG) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE RecipOptions(ULONG_PTR, ULONG, LPADRENTRY) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE QueryDefaultRecipOpt(LPSTR, ULONG, ULONG*, LPSPropValue*) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE GetPAB(ULONG*, LPENTRYID*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE SetPAB(ULONG, LPENTRYID) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE GetDefaultDir(ULONG*, LPENTRYID*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE SetDefaultDir(ULONG, LPENTRYID) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE GetSearchPath(ULONG, LPSRowSet*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE SetSearchPath(ULONG, LPSRowSet) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE PrepareRecips(ULONG, LPSPropTagArray, LPADRLIST) override { return MAPI_E_NO_SUPPORT; }

protected:
    PropList properties() override {
        PropList p;
        p.push_back(textProp(PR_DISPLAY_NAME, "Address Book"));
        p.push_back(longProp(PR_OBJECT_TYPE, MAPI_ADDRBOOK));
        return p;
    }
};

}  // namespace

IAddrBook* makeAddrBook(MailboxPtr mailbox) { return new AddrBook(std::move(mailbox)); }

IMailUser* makeMailUser(MailboxPtr mailbox, const EntryRef& user) { return new MailUser(std::move(mailbox), user); }

}  // namespace vesk::mapi32::ex
