// A caller's MapiMessage turned into a message to compose (MAPISendMail, MAPISaveMail).
#pragma once

#include "common/Session.h"
#include "mapi32/mapi.h"
#include "simple/Recipients.h"
#include "store/Model.h"

namespace vesk::mapi32 {

/// Fills `draft` with the subject, note text, recipients and read-receipt request of
/// `message`. The sender is left to the caller. Every text is read with a limit.
/// SUCCESS_SUCCESS, MAPI_E_TEXT_TOO_LARGE, MAPI_E_ATTACHMENT_NOT_FOUND (a named file is
/// missing), MAPI_E_TOO_MANY_FILES, MAPI_E_NOT_SUPPORTED (attachments cannot be composed
/// here), or the failures of addRecipients.
ULONG draftFromMessage(const Session& session, const MapiMessage& message, Resolve mode, store::Draft& draft);

/// Line ends as the store takes them: a CR on its own becomes CR LF.
std::string normaliseLineEnds(const std::string& text);

}  // namespace vesk::mapi32
