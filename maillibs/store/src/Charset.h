// Turning the bytes of a text part into UTF-8, whatever its label says.
#pragma once

#include <string>
#include <string_view>

namespace vesk::store::detail {

/// Decodes `bytes` labelled `charset` (may be empty) into UTF-8, never dropping text.
/// A missing, ASCII or Western label (ISO-8859-1, Windows-1252) reads valid UTF-8 as UTF-8
/// and anything else as Windows-1252, because such labels are the ones most often wrong.
/// A UTF-8 label on invalid UTF-8 reads the bytes as Windows-1252. Any other label is
/// converted with iconv; an unknown label or bytes it cannot convert fall back as above.
std::string decodeToUtf8(std::string_view bytes, std::string_view charset);

}  // namespace vesk::store::detail
