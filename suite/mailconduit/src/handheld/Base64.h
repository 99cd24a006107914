// Base64 (RFC 4648, with padding) for the opaque identifiers the handheld file keeps.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace conduit {

/// Encodes `bytes` (any values) as base64 with '=' padding.
std::string encodeBase64(std::string_view bytes);

/// Decodes padded base64; nothing for text that is not exactly that (wrong length, a
/// character outside the alphabet, padding in the middle).
std::optional<std::string> decodeBase64(std::string_view text);

}  // namespace conduit
