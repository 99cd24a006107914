// IMsgStore: the account's Maildir as one message store, with the IPM folders on its
// Maildir++ folders and the Inbox as the receive folder of every message class.
#include <cstring>

#include "common/Buffers.h"
#include "extended/Objects.h"
#include "extended/PropObject.h"

namespace vesk::mapi32::ex {
namespace {

constexpr std::size_t kMaxMessageClass = 255;

class MsgStore final : public PropObject<IMsgStore> {
public:
    explicit MsgStore(MailboxPtr mailbox) : PropObject({MAPIX_IIDS_STORE}, std::move(mailbox)) {}

    HRESULT STDMETHODCALLTYPE Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE CompareEntryIDs(ULONG cbEntryID1, LPENTRYID lpEntryID1, ULONG cbEntryID2,
                                              LPENTRYID lpEntryID2, ULONG, ULONG* lpulResult) override {
        return compareEntries(m_mailbox, cbEntryID1, lpEntryID1, cbEntryID2, lpEntryID2, lpulResult);
    }
    HRESULT STDMETHODCALLTYPE OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags,
                                        ULONG* lpulObjType, LPUNKNOWN* lppUnk) override {
        return openEntry(m_mailbox, EntryScope::Store, cbEntryID, lpEntryID, lpInterface, ulFlags, lpulObjType, lppUnk);
    }
    HRESULT STDMETHODCALLTYPE SetReceiveFolder(LPSTR, ULONG, ULONG, LPENTRYID) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE GetReceiveFolder(LPSTR lpszMessageClass, ULONG, ULONG* lpcbEntryID,
                                               LPENTRYID* lppEntryID, LPSTR* lppszExplicitClass) override {
        return locked([&]() -> HRESULT {
            if (lpcbEntryID == nullptr || lppEntryID == nullptr) return MAPI_E_INVALID_PARAMETER;
            *lpcbEntryID = 0;
            *lppEntryID = nullptr;
            if (lppszExplicitClass != nullptr) *lppszExplicitClass = nullptr;
            if (lpszMessageClass != nullptr && ::strnlen(lpszMessageClass, kMaxMessageClass + 1) > kMaxMessageClass) {
                return MAPI_E_INVALID_PARAMETER;
            }
            // Every class is received into the Inbox; no class has a setting of its own, so
            // the explicit class is always the empty one of the default.
            char* explicitClass = nullptr;
            if (lppszExplicitClass != nullptr) {
                explicitClass = static_cast<char*>(allocateBuffer(1));
                if (explicitClass == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
            }
            HRESULT hr = copyOutBytes(folderEntryId(m_mailbox->account.name, FolderRole::Inbox), lpcbEntryID, lppEntryID);
            if (FAILED(hr)) {
                freeBuffer(explicitClass);
                return hr;
            }
            if (lppszExplicitClass != nullptr) *lppszExplicitClass = explicitClass;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetReceiveFolderTable(ULONG, LPMAPITABLE*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE StoreLogoff(ULONG* lpulFlags) override {
        if (lpulFlags != nullptr) *lpulFlags = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AbortSubmit(ULONG, LPENTRYID, ULONG) override { return MAPI_E_NOT_IN_QUEUE; }
    HRESULT STDMETHODCALLTYPE GetOutgoingQueue(ULONG, LPMAPITABLE*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE SetLockState(LPMESSAGE, ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE FinishedMsg(ULONG, ULONG, LPENTRYID) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE NotifyNewMail(LPNOTIFICATION) override { return MAPI_E_NO_SUPPORT; }

protected:
    PropList properties() override {
        const Account& account = m_mailbox->account;
        PropList p;
        p.push_back(binaryProp(PR_ENTRYID, storeEntryId(account.name)));
        p.push_back(binaryProp(PR_RECORD_KEY, storeEntryId(account.name)));
        p.push_back(textProp(PR_DISPLAY_NAME, "Mailbox - " + (account.displayName.empty() ? account.name : account.displayName)));
        p.push_back(longProp(PR_OBJECT_TYPE, MAPI_STORE));
        p.push_back(boolProp(PR_DEFAULT_STORE, true));
        p.push_back(binaryProp(PR_IPM_SUBTREE_ENTRYID, folderEntryId(account.name, FolderRole::Root)));
        p.push_back(binaryProp(PR_IPM_OUTBOX_ENTRYID, folderEntryId(account.name, FolderRole::Outbox)));
        p.push_back(binaryProp(PR_IPM_WASTEBASKET_ENTRYID, folderEntryId(account.name, FolderRole::DeletedItems)));
        p.push_back(binaryProp(PR_IPM_SENTMAIL_ENTRYID, folderEntryId(account.name, FolderRole::SentItems)));
        p.push_back(binaryProp(PR_IPM_DRAFTS_ENTRYID, folderEntryId(account.name, FolderRole::Drafts)));
        return p;
    }
};

PropList storeRow(const Mailbox& mailbox) {
    const Account& account = mailbox.account;
    PropList p;
    p.push_back(binaryProp(PR_ENTRYID, storeEntryId(account.name)));
    p.push_back(binaryProp(PR_INSTANCE_KEY, storeEntryId(account.name)));
    p.push_back(textProp(PR_DISPLAY_NAME, "Mailbox - " + (account.displayName.empty() ? account.name : account.displayName)));
    p.push_back(boolProp(PR_DEFAULT_STORE, true));
    p.push_back(longProp(PR_RESOURCE_FLAGS, STATUS_DEFAULT_STORE | STATUS_PRIMARY_STORE));
    p.push_back(longProp(PR_OBJECT_TYPE, MAPI_STORE));
    p.push_back(longProp(PR_ROWID, 0));
    return p;
}

}  // namespace

IMsgStore* makeMsgStore(MailboxPtr mailbox) { return new MsgStore(std::move(mailbox)); }

IMAPITable* makeMsgStoresTable(const MailboxPtr& mailbox) {
    std::vector<PropList> rows{storeRow(*mailbox)};
    return makeTable(std::make_unique<FixedRows>(std::move(rows)), {PR_ENTRYID, PR_DISPLAY_NAME, PR_DEFAULT_STORE});
}

}  // namespace vesk::mapi32::ex
