// OpenEntry, shared by the session, the store, folders and the address book: what an entry
// identifier names, opened as the object it is.
#include <strings.h>

#include "extended/Com.h"
#include "extended/Objects.h"

namespace vesk::mapi32::ex {
namespace {

// Hands `object` out when it has the interface asked for; releases it otherwise.
template <class T>
HRESULT handOut(T* object, ULONG type, LPCIID lpInterface, ULONG* lpulObjType, LPUNKNOWN* lppUnk) {
    if (lpInterface != nullptr) {
        void* asked = nullptr;
        HRESULT hr = object->QueryInterface(*lpInterface, &asked);
        object->Release();
        if (FAILED(hr)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
        *lppUnk = static_cast<LPUNKNOWN>(asked);
    } else {
        *lppUnk = object;
    }
    *lpulObjType = type;
    return S_OK;
}

}  // namespace

std::optional<EntryRef> ownEntry(const Mailbox& mailbox, ULONG cb, const void* bytes) {
    std::optional<EntryRef> ref = parseEntryId(bytes, cb);
    if (!ref || ::strcasecmp(ref->account.c_str(), mailbox.account.name.c_str()) != 0) return std::nullopt;
    return ref;
}

HRESULT compareEntries(const MailboxPtr& mailbox, ULONG cb1, LPENTRYID id1, ULONG cb2, LPENTRYID id2, ULONG* result) {
    return withMailbox(*mailbox, [&]() -> HRESULT {
        if (result == nullptr) return MAPI_E_INVALID_PARAMETER;
        std::optional<EntryRef> a = ownEntry(*mailbox, cb1, id1);
        std::optional<EntryRef> b = ownEntry(*mailbox, cb2, id2);
        if (!a || !b) return MAPI_E_INVALID_ENTRYID;
        *result = a->kind == b->kind && a->role == b->role && a->messageId == b->messageId &&
                  ::strcasecmp(a->address.c_str(), b->address.c_str()) == 0;
        return S_OK;
    });
}

HRESULT openEntry(const MailboxPtr& mailbox, EntryScope scope, ULONG cbEntryID, LPENTRYID lpEntryID,
                  LPCIID lpInterface, ULONG ulFlags, ULONG* lpulObjType, LPUNKNOWN* lppUnk) {
    return withMailbox(*mailbox, [&]() -> HRESULT {
        if (lpulObjType == nullptr || lppUnk == nullptr) return MAPI_E_INVALID_PARAMETER;
        *lppUnk = nullptr;
        *lpulObjType = 0;
        bool writable = (ulFlags & (MAPI_MODIFY | MAPI_BEST_ACCESS)) != 0;
        if (cbEntryID == 0 || lpEntryID == nullptr) {
            // Only a store opens something for no identifier: its root folder.
            if (scope != EntryScope::Store) return MAPI_E_INVALID_ENTRYID;
            return handOut(makeFolder(mailbox, FolderRole::Root), MAPI_FOLDER, lpInterface, lpulObjType, lppUnk);
        }
        std::optional<EntryRef> ref = ownEntry(*mailbox, cbEntryID, lpEntryID);
        if (!ref) return MAPI_E_INVALID_ENTRYID;
        bool storeKind = ref->kind == EntryKind::Folder || ref->kind == EntryKind::Message;
        bool bookKind = ref->kind == EntryKind::Identity || ref->kind == EntryKind::MailUser;
        if ((scope == EntryScope::Store && !storeKind) || (scope == EntryScope::AddressBook && !bookKind)) {
            return MAPI_E_INVALID_ENTRYID;
        }
        switch (ref->kind) {
        case EntryKind::Store: return handOut(makeMsgStore(mailbox), MAPI_STORE, lpInterface, lpulObjType, lppUnk);
        case EntryKind::Folder:
            return handOut(makeFolder(mailbox, ref->role), MAPI_FOLDER, lpInterface, lpulObjType, lppUnk);
        case EntryKind::Message: {
            IMessage* message = nullptr;
            HRESULT hr = openMessage(mailbox, ref->role, ref->messageId, writable, &message);
            if (FAILED(hr)) return hr;
            return handOut(message, MAPI_MESSAGE, lpInterface, lpulObjType, lppUnk);
        }
        case EntryKind::Status:
            return handOut(makeSpoolerStatus(mailbox), MAPI_STATUS, lpInterface, lpulObjType, lppUnk);
        case EntryKind::Identity:
        case EntryKind::MailUser:
            return handOut(makeMailUser(mailbox, *ref), MAPI_MAILUSER, lpInterface, lpulObjType, lppUnk);
        }
        return MAPI_E_INVALID_ENTRYID;
    });
}

}  // namespace vesk::mapi32::ex
