// A message body from a file or standard input: UTF-8 (with or without a byte-order mark) or
// UTF-16 with a byte-order mark, converted to the plug-ins' Windows-1252. Anything else that
// holds a NUL byte is not text: the plug-ins take NUL-terminated texts, so such a body would
// go out cut at the first NUL without a word. It is refused instead, naming the source.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace conduit {

/// The Windows-1252 text of `bytes` read from `source` (a file name, or "standard input").
/// Nothing, with `error` set to a sentence naming `source`, when it cannot be a body.
std::optional<std::string> bodyFromBytes(std::string_view bytes, const std::string& source, std::string& error);

}  // namespace conduit
