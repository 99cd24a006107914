// The parsed form of a message as the parse cache keeps it: every field a read produces
// except what comes from the file's name and place (identifier, flags, read state), in a
// compact binary encoding that starts with its version. A record that does not decode
// completely is no record: the caller parses the file again.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "store/Model.h"

namespace vesk::store::detail {

/// Bumped whenever the encoding or what a parse produces changes, so records written by an
/// older build are never read as current ones.
inline constexpr unsigned kRecordVersion = 1;

/// What a read produced: `message` (its `info` and `read` are not kept), the topmost
/// Received date, and whether the body was converted (a headers-only read leaves it out).
struct ParsedRecord {
    Message message;
    std::time_t receivedHeader = 0;
    bool hasBody = false;
};

std::string encodeRecord(const ParsedRecord& record);
/// False when `bytes` is not a complete record of `kRecordVersion` (`out` is then undefined).
bool decodeRecord(std::string_view bytes, ParsedRecord& out);

}  // namespace vesk::store::detail
