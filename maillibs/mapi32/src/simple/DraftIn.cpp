#include "simple/DraftIn.h"

#include <sys/stat.h>

namespace vesk::mapi32 {
namespace {

constexpr std::size_t kMaxSubject = 64 * 1024;
constexpr std::size_t kMaxNoteText = 32 * 1024 * 1024;
constexpr std::size_t kMaxPath = 4096;
constexpr ULONG kMaxFiles = 1000;

ULONG checkFiles(const MapiMessage& message) {
    if (message.nFileCount == 0) return SUCCESS_SUCCESS;
    if (message.nFileCount > kMaxFiles) return MAPI_E_TOO_MANY_FILES;
    if (message.lpFiles == nullptr) return MAPI_E_ATTACHMENT_NOT_FOUND;
    for (ULONG i = 0; i < message.nFileCount; ++i) {
        std::string path;
        struct stat st {};
        if (!callerText(message.lpFiles[i].lpszPathName, kMaxPath, path) || path.empty() ||
            ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            return MAPI_E_ATTACHMENT_NOT_FOUND;
        }
    }
    // The store composes text messages only; sending a message without the files the caller
    // named would lose them silently.
    return MAPI_E_NOT_SUPPORTED;
}

}  // namespace

std::string normaliseLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out.push_back(text[i]);
        if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) out.push_back('\n');
    }
    return out;
}

ULONG draftFromMessage(const Session& session, const MapiMessage& message, Resolve mode, store::Draft& draft) {
    std::string body;
    if (!callerText(message.lpszSubject, kMaxSubject, draft.subject) ||
        !callerText(message.lpszNoteText, kMaxNoteText, body)) {
        return MAPI_E_TEXT_TOO_LARGE;
    }
    draft.body = normaliseLineEnds(body);
    ULONG rc = checkFiles(message);
    if (rc != SUCCESS_SUCCESS) return rc;
    rc = addRecipients(message.lpRecips, message.nRecipCount, addressBookOf(session), mode, draft);
    if (rc != SUCCESS_SUCCESS) return rc;
    draft.readReceipt = (message.flFlags & MAPI_RECEIPT_REQUESTED) != 0;
    return SUCCESS_SUCCESS;
}

}  // namespace vesk::mapi32
