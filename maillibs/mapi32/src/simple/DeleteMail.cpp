// MAPIDeleteMail: the message goes to the account's Trash folder, where the user can still
// find it; nothing is destroyed.
#include "common/SessionTable.h"
#include "mapi32/mapi.h"
#include "simple/MessageIds.h"

using namespace vesk::mapi32;
namespace store = vesk::store;

extern "C" MAPI32_API ULONG WINAPI MAPIDeleteMail(LHANDLE lhSession, ULONG_PTR, LPSTR lpszMessageID, FLAGS,
                                                  ULONG) {
    return guarded([&]() -> ULONG {
        std::lock_guard<std::mutex> lock(apiLock());
        Session* session = findSession(lhSession);
        if (session == nullptr) return MAPI_E_INVALID_SESSION;
        store::MessageInfo info;
        ULONG rc = findInboxMessage(*session, lpszMessageID, info);
        if (rc != SUCCESS_SUCCESS) return rc;
        const std::string& trash = session->account().trashFolder;
        store::Status st = session->store().createFolder(trash);
        if (st == store::Status::Ok) st = session->store().move(store::kInbox, info.id, trash);
        if (st == store::Status::Ok) return SUCCESS_SUCCESS;
        return st == store::Status::OutOfMemory ? MAPI_E_INSUFFICIENT_MEMORY : MAPI_E_FAILURE;
    });
}
