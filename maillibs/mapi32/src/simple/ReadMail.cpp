// MAPIReadMail: one inbox message, with its attachments written to files for the caller.
#include "common/Buffers.h"
#include "common/SessionTable.h"
#include "mapi32/mapi.h"
#include "simple/AttachmentFiles.h"
#include "simple/MessageIds.h"
#include "simple/MessageOut.h"

using namespace vesk::mapi32;
namespace store = vesk::store;

extern "C" MAPI32_API ULONG WINAPI MAPIReadMail(LHANDLE lhSession, ULONG_PTR, LPSTR lpszMessageID,
                                                FLAGS flFlags, ULONG, lpMapiMessage* lppMessage) {
    return guarded([&]() -> ULONG {
        std::lock_guard<std::mutex> lock(apiLock());
        Session* session = findSession(lhSession);
        if (session == nullptr) return MAPI_E_INVALID_SESSION;
        if (lppMessage == nullptr) return MAPI_E_FAILURE;
        // The read below finds out whether the message is still there; a look before it
        // would only cost another visit to the file.
        std::string id;
        ULONG rc = inboxIdOf(*session, lpszMessageID, id);
        if (rc != SUCCESS_SUCCESS) return rc;

        bool envelopeOnly = (flFlags & MAPI_ENVELOPE_ONLY) != 0;
        bool writeFiles = !envelopeOnly && (flFlags & MAPI_SUPPRESS_ATTACH) == 0;
        store::Result<store::Message> message =
            session->store().read(store::kInbox, id, envelopeOnly ? store::ReadMode::Headers : store::ReadMode::Full);
        if (!message) {
            store::Status st = message.status();
            return st == store::Status::NotFound || st == store::Status::InvalidArgument ? MAPI_E_INVALID_MESSAGE
                                                                                         : errorFromStore(st);
        }

        ReadShape shape;
        shape.noteText = !envelopeOnly;
        AttachmentFiles files;
        if (writeFiles) {
            for (std::size_t i = 0; i < message->attachments.size(); ++i) {
                store::Result<std::string> bytes = session->store().attachment(store::kInbox, id, i);
                if (!bytes) return bytes.status() == store::Status::OutOfMemory ? MAPI_E_INSUFFICIENT_MEMORY
                                                                                : MAPI_E_ATTACHMENT_WRITE_FAILURE;
                std::string path;
                rc = files.write(session->privateFolder(), message->attachments[i].name, *bytes, path);
                if (rc != SUCCESS_SUCCESS) return rc;
                shape.filePaths.push_back(path);
            }
        }
        lpMapiMessage out = buildMapiMessage(*message, shape);
        if (out == nullptr) return MAPI_E_INSUFFICIENT_MEMORY;
        // Marked read only once everything else worked: a failed read leaves it unread.
        if ((flFlags & MAPI_PEEK) == 0 && !message->read) {
            store::Status st = session->store().setFlags(store::kInbox, id, "S", "");
            if (st != store::Status::Ok) {
                freeBuffer(out);
                return errorFromStore(st) == MAPI_E_INSUFFICIENT_MEMORY ? MAPI_E_INSUFFICIENT_MEMORY : MAPI_E_FAILURE;
            }
        }
        files.release();
        *lppMessage = out;
        return SUCCESS_SUCCESS;
    });
}
