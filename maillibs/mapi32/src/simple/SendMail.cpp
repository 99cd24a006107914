// MAPISendMail: the message is composed and queued durably in the account's outbox, as a mail
// program's outbox does; the call succeeds once it is queued. The queue then goes to the
// account's sending command (when one is configured), now and at every later logon and send.
#include "common/SessionTable.h"
#include "mapi32/mapi.h"
#include "simple/DraftIn.h"

using namespace vesk::mapi32;
namespace store = vesk::store;

extern "C" MAPI32_API ULONG WINAPI MAPISendMail(LHANDLE lhSession, ULONG_PTR, lpMapiMessage lpMessage,
                                                FLAGS flFlags, ULONG) {
    return guarded([&]() -> ULONG {
        std::lock_guard<std::mutex> lock(apiLock());
        CallSession session;
        ULONG rc = session.open(lhSession, true);
        if (rc != SUCCESS_SUCCESS) return rc;
        // There is no compose window to show.
        if ((flFlags & MAPI_DIALOG) != 0) return MAPI_E_NOT_SUPPORTED;
        if (lpMessage == nullptr) return MAPI_E_FAILURE;
        if (lpMessage->nRecipCount == 0) return MAPI_E_INVALID_RECIPS;

        store::Draft draft;
        rc = draftFromMessage(*session, *lpMessage, Resolve::ForDelivery, draft);
        if (rc != SUCCESS_SUCCESS) return rc;
        // The mail goes out as the account's user, whatever originator the caller names.
        draft.from = store::Address{session->account().displayName, session->account().address};
        if (draft.from.address.empty()) draft.readReceipt = false;

        store::Result<std::string> queued = session->store().enqueue(draft, session->account().outboxFolder);
        if (!queued) return queued.status() == store::Status::OutOfMemory ? MAPI_E_INSUFFICIENT_MEMORY : MAPI_E_FAILURE;
        flushOutbox(*session);
        return SUCCESS_SUCCESS;
    });
}
