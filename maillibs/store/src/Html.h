// Readable plain text from an HTML-only message, through libxml2's HTML parser.
#pragma once

#include <string>
#include <string_view>

namespace vesk::store::detail {

/// Renders UTF-8 `html` as UTF-8 text with LF line ends: white space collapsed as a browser
/// would, block elements on lines of their own, paragraphs and headings set apart by an
/// empty line, list items prefixed "- ", table cells separated by a tab, <pre> kept as it
/// is; scripts, styles and the document head are left out. Broken markup is recovered the
/// way the parser recovers it; nothing is fetched.
std::string htmlToText(std::string_view html);

}  // namespace vesk::store::detail
