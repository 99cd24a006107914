// Message identifiers as Simple MAPI callers see them: the store's own identifier, or, for a
// caller whose buffer is too short for it (64 bytes without MAPI_LONG_MSGID), "~" followed
// by the 16 hexadecimal digits of the message's stable key. Both name the same message.
#pragma once

#include "common/Session.h"

namespace vesk::mapi32 {

/// A caller's identifier text taken apart: the store identifier it names directly, or the key
/// of its short form (then `id` is empty). False when it is no identifier: empty, without a
/// NUL within MAPI_LONG_MSGID_SIZE bytes, or holding bytes no identifier holds.
bool parseCallerId(const char* text, std::string& id, std::uint64_t& key);

/// Index in the session's inbox listing of the message the caller's `text` names, or -1.
long listingPosition(const Session& session, const char* text);

/// Finds the inbox message that the caller's text `id` names. At most MAPI_LONG_MSGID_SIZE
/// bytes of it are read: a text without a NUL by then, or one that is not an identifier at
/// all, names nothing. SUCCESS_SUCCESS with `info` filled, MAPI_E_INVALID_MESSAGE, or
/// MAPI_E_FAILURE when the store cannot be read.
ULONG findInboxMessage(Session& session, const char* id, store::MessageInfo& info);

/// The store identifier of the inbox message the caller's `text` names, for a call that
/// reads or changes the message next and so learns then whether it is still there: the long
/// form is taken as it stands, without a look at the mailbox; the short form is looked up by
/// its key. SUCCESS_SUCCESS, MAPI_E_INVALID_MESSAGE, or MAPI_E_FAILURE when the store cannot
/// be read.
ULONG inboxIdOf(Session& session, const char* text, std::string& id);

/// The identifier of `info` to hand to a caller whose buffer holds `capacity` bytes.
std::string callerIdOf(const store::MessageInfo& info, std::size_t capacity);

/// The buffer size the caller promises by `flags`: MAPI_LONG_MSGID_SIZE with MAPI_LONG_MSGID,
/// else MAPI_SHORT_MSGID_SIZE.
std::size_t idCapacity(FLAGS flags);

}  // namespace vesk::mapi32
