// Putting a message file into a shape the MIME library reads the way mail readers do. GMime
// drops the lines of a header block that are not header fields (so a header that runs into
// the text without a blank line loses that text), stops at no nesting depth, and takes only
// LF as a line end. One pass over the lines finds what needs mending; the bytes are copied
// only when something does.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vesk::store::detail {

/// Multiparts and message/rfc822 parts nested deeper than this are read as text/plain.
inline constexpr int kMaxMimeDepth = 32;

/// The bytes mended, or nothing when they can be parsed as they are:
/// - a file with CR as its only line end gets LF line ends;
/// - a header block (the message's, a part's, an attached message's) ends at the first line
///   that is neither a header field nor its continuation: a blank line is put before it;
/// - NUL bytes inside a header block are removed;
/// - encoded-word starts that nothing ends and address groups nested too deep are broken
///   (see HeaderLimits.h);
/// - a multipart or message part deeper than kMaxMimeDepth gets `Content-Type: text/plain`,
///   so its content, boundaries and all, is read as text.
std::optional<std::string> mendMessageShape(std::string_view bytes);

}  // namespace vesk::store::detail
