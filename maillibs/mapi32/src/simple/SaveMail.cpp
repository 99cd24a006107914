// MAPISaveMail: stores a message in the inbox, new or in place of an existing one.
#include <cstring>

#include "common/SessionTable.h"
#include "mapi32/mapi.h"
#include "simple/DateText.h"
#include "simple/DraftIn.h"
#include "simple/MessageIds.h"

using namespace vesk::mapi32;
namespace store = vesk::store;

namespace {

ULONG failureOf(store::Status st) {
    return st == store::Status::OutOfMemory ? MAPI_E_INSUFFICIENT_MEMORY : MAPI_E_FAILURE;
}

}  // namespace

extern "C" MAPI32_API ULONG WINAPI MAPISaveMail(LHANDLE lhSession, ULONG_PTR, lpMapiMessage lpMessage,
                                                FLAGS flFlags, ULONG, LPSTR lpszMessageID) {
    return guarded([&]() -> ULONG {
        std::lock_guard<std::mutex> lock(apiLock());
        if (lpMessage == nullptr || lpszMessageID == nullptr) return MAPI_E_FAILURE;
        bool replacing = lpszMessageID[0] != '\0';
        CallSession session;
        // A temporary session may make a new message, never touch an existing one.
        ULONG rc = session.open(lhSession, !replacing);
        if (rc != SUCCESS_SUCCESS) return rc;

        store::MessageInfo old;
        if (replacing) {
            rc = findInboxMessage(*session, lpszMessageID, old);
            if (rc != SUCCESS_SUCCESS) return rc;
        }
        store::Draft draft;
        rc = draftFromMessage(*session, *lpMessage, Resolve::ForFiling, draft);
        if (rc != SUCCESS_SUCCESS) return rc;
        // Filing keeps who wrote the message; without an originator it is the account's user.
        if (lpMessage->lpOriginator != nullptr) {
            rc = resolveRecipient(*lpMessage->lpOriginator, {}, Resolve::ForFiling, draft.from);
            if (rc != SUCCESS_SUCCESS) return rc;
        } else {
            draft.from = store::Address{session->account().displayName, session->account().address};
        }
        if (draft.from.address.empty()) draft.readReceipt = false;
        draft.date = parseMapiDate(lpMessage->lpszDateReceived);

        std::string flags = replacing ? old.flags : ((lpMessage->flFlags & MAPI_UNREAD) != 0 ? "" : "S");
        store::Result<std::string> saved = session->store().deliver(store::kInbox, draft, flags);
        if (!saved) return failureOf(saved.status());
        if (draft.date != 0) {
            // The date the caller gives is when the message reached the mailbox; a message
            // without a Received header would otherwise read as received now.
            store::Status st = session->store().rewriteHeaders(
                store::kInbox, *saved, {{"Received", "by mapi32 (filed); " + formatRfc5322Date(draft.date)}});
            if (st != store::Status::Ok) {
                session->store().remove(store::kInbox, *saved);
                return failureOf(st);
            }
        }
        store::Result<store::MessageInfo> info = session->store().find(store::kInbox, *saved);
        if (!info) return failureOf(info.status());
        if (replacing) {
            store::Status st = session->store().remove(store::kInbox, old.id);
            if (st != store::Status::Ok) {
                // Two copies would be worse than none replaced.
                session->store().remove(store::kInbox, *saved);
                return failureOf(st);
            }
        }
        std::string id = callerIdOf(*info, idCapacity(flFlags));
        std::memcpy(lpszMessageID, id.c_str(), id.size() + 1);
        return SUCCESS_SUCCESS;
    });
}
