// Reading an RFC 5322/MIME message into the store's model.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "store/Model.h"
#include "store/Status.h"

namespace vesk::store::detail {

/// Parses `bytes` into a Message. Fills every field but `info`, `read` and `received`;
/// `receivedHeader` gets the date of the topmost Received header (0 when there is none
/// or it is unreadable). `ReadMode::Headers` leaves `body` empty and skips its conversion.
/// Any bytes are a message: without a header block they are its body (see MessageShape.h
/// for what is mended first). ParseError only when the MIME library refuses even that.
Result<Message> parseMessage(std::string_view bytes, ReadMode mode, std::time_t& receivedHeader);

/// The decoded bytes of attachment `index` of the message in `bytes` (the same numbering
/// as Message::attachments). NotFound when there is no such attachment.
Result<std::string> attachmentBytes(std::string_view bytes, std::size_t index);

/// Converts UTF-8 text into the model's form: Windows-1252 with CR LF line ends.
std::string modelText(std::string_view utf8);

}  // namespace vesk::store::detail
