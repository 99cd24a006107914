// IMAPISession and MAPILogonEx: a session on one profile, opening its message store,
// address book, status objects and entries.
#include <strings.h>

#include "extended/Objects.h"
#include "extended/Profiles.h"
#include "extended/Subsystem.h"

namespace vesk::mapi32::ex {
namespace {

constexpr std::size_t kMaxProfileName = 64;

class MapiSession final : public ComObject<IMAPISession> {
public:
    explicit MapiSession(MailboxPtr mailbox) : ComObject({&IID_IMAPISession}), m_mailbox(std::move(mailbox)) {}

    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR* lppMAPIError) override {
        if (lppMAPIError != nullptr) *lppMAPIError = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMsgStoresTable(ULONG, LPMAPITABLE* lppTable) override {
        return locked([&]() -> HRESULT {
            if (lppTable == nullptr) return MAPI_E_INVALID_PARAMETER;
            *lppTable = makeMsgStoresTable(m_mailbox);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE OpenMsgStore(ULONG_PTR, ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG,
                                           LPMDB* lppMDB) override {
        return locked([&]() -> HRESULT {
            if (lppMDB == nullptr) return MAPI_E_INVALID_PARAMETER;
            *lppMDB = nullptr;
            std::optional<EntryRef> ref = ownEntry(*m_mailbox, cbEntryID, lpEntryID);
            if (!ref || ref->kind != EntryKind::Store) return MAPI_E_INVALID_ENTRYID;
            if (lpInterface != nullptr && !IsEqualIID(lpInterface, &IID_IMsgStore) &&
                !IsEqualIID(lpInterface, &IID_IMAPIProp) && !IsEqualIID(lpInterface, &IID_IUnknown)) {
                return MAPI_E_INTERFACE_NOT_SUPPORTED;
            }
            *lppMDB = makeMsgStore(m_mailbox);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE OpenAddressBook(ULONG_PTR, LPCIID lpInterface, ULONG, LPADRBOOK* lppAdrBook) override {
        return locked([&]() -> HRESULT {
            if (lppAdrBook == nullptr) return MAPI_E_INVALID_PARAMETER;
            *lppAdrBook = nullptr;
            if (lpInterface != nullptr && !IsEqualIID(lpInterface, &IID_IAddrBook) &&
                !IsEqualIID(lpInterface, &IID_IMAPIProp) && !IsEqualIID(lpInterface, &IID_IUnknown)) {
                return MAPI_E_INTERFACE_NOT_SUPPORTED;
            }
            *lppAdrBook = makeAddrBook(m_mailbox);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE OpenProfileSection(LPMAPIUID, LPCIID, ULONG, LPPROFSECT*) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE GetStatusTable(ULONG, LPMAPITABLE* lppTable) override {
        return locked([&]() -> HRESULT {
            if (lppTable == nullptr) return MAPI_E_INVALID_PARAMETER;
            *lppTable = makeStatusTable(m_mailbox);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags,
                                        ULONG* lpulObjType, LPUNKNOWN* lppUnk) override {
        return openEntry(m_mailbox, EntryScope::Session, cbEntryID, lpEntryID, lpInterface, ulFlags, lpulObjType,
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
    HRESULT STDMETHODCALLTYPE MessageOptions(ULONG_PTR, ULONG, LPSTR, LPMESSAGE) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE QueryDefaultMessageOpt(LPSTR, ULONG, ULONG*, LPSPropValue*) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE EnumAdrTypes(ULONG, ULONG*, LPSTR**) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE QueryIdentity(ULONG* lpcbEntryID, LPENTRYID* lppEntryID) override {
        return locked([&]() -> HRESULT {
            return copyOutBytes(identityEntryId(m_mailbox->account.name), lpcbEntryID, lppEntryID);
        });
    }
    HRESULT STDMETHODCALLTYPE Logoff(ULONG_PTR, ULONG, ULONG) override {
        // The mailbox closes when the last object of the session is released.
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetDefaultStore(ULONG, ULONG, LPENTRYID) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE AdminServices(ULONG, LPSERVICEADMIN*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE ShowForm(ULONG_PTR, LPMDB, LPMAPIFOLDER, LPCIID, ULONG, LPMESSAGE, ULONG, ULONG, ULONG,
                                       ULONG, LPSTR) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE PrepareForm(LPCIID, LPMESSAGE, ULONG*) override { return MAPI_E_NO_SUPPORT; }

private:
    template <class F>
    HRESULT locked(F&& body) {
        return withMailbox(*m_mailbox, std::forward<F>(body));
    }

    MailboxPtr m_mailbox;
};

// Moves the inbox's new mail to cur/ (what "download" means for a local mailbox).
void pickUpNewMail(Mailbox& mailbox) {
    mailbox.store->pickUpNew(store::kInbox);
}

}  // namespace

}  // namespace vesk::mapi32::ex

using namespace vesk::mapi32::ex;

extern "C" MAPI32_API HRESULT WINAPI MAPILogonEx(ULONG_PTR, LPSTR lpszProfileName, LPSTR, ULONG ulFlags,
                                                 LPMAPISESSION* lppSession) {
    return guardedCall([&]() -> HRESULT {
        if (lppSession == nullptr) return MAPI_E_INVALID_PARAMETER;
        *lppSession = nullptr;
        if (!subsystemInitialised()) return MAPI_E_NOT_INITIALIZED;
        std::string profile;
        if (lpszProfileName != nullptr) {
            std::size_t length = ::strnlen(lpszProfileName, kMaxProfileName + 1);
            if (length > kMaxProfileName) return MAPI_E_LOGON_FAILED;
            profile.assign(lpszProfileName, length);
        }
        // No name: the default profile, when the caller allows it (no dialog ever asks).
        if (profile.empty()) {
            if ((ulFlags & (MAPI_USE_DEFAULT | MAPI_LOGON_UI)) == 0) return MAPI_E_LOGON_FAILED;
            profile = defaultProfile();
            if (profile.empty()) return MAPI_E_LOGON_FAILED;
        }
        // A named profile is the one used, or the logon fails: falling back to another
        // profile would open someone else's mail. Every logon is a session of its own.
        if (!isValidProfileName(profile)) return MAPI_E_LOGON_FAILED;
        MailboxPtr mailbox;
        HRESULT hr = openMailbox(profile, mailbox);
        if (FAILED(hr)) return hr;
        {
            std::lock_guard<std::recursive_mutex> guard(mailbox->lock);
            if ((ulFlags & MAPI_FORCE_DOWNLOAD) != 0) pickUpNewMail(*mailbox);
            // What earlier sends could not hand over gets another chance at every logon.
            mailbox->flushQueue(mailbox->account.sentFolder);
        }
        *lppSession = new MapiSession(std::move(mailbox));
        return S_OK;
    });
}
