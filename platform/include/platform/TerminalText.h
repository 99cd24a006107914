// Making text that came from a message or a file safe to write to a terminal. A subject, a
// name, a body or a file name was written by someone else: a control character or an escape
// sequence in it would move the cursor, clear the screen, retitle the window or rewrite what
// the person reads. Every such character becomes a visible placeholder instead:
//   C0 controls and DEL      caret notation: ESC -> "^[", BEL -> "^G", CR -> "^M", DEL -> "^?"
//   C1 controls (U+0080-9F)  "<U+009B>"
//   bytes that are not UTF-8 "<9B>" (an 8-bit terminal would take 0x9B for CSI)
// so an escape sequence loses its ESC and shows as plain text ("^[[2J"). Tab is kept, and so
// is the line feed where the text may have several lines.
#pragma once

#include <string>
#include <string_view>

#include "win32/Export.h"

namespace vesk::text {

/// Whether the text may span lines.
enum class Lines {
    One,   ///< a field: a line feed is a control like any other ("^J")
    Many,  ///< a body: line feeds are kept; CR LF becomes LF, a lone CR "^M"
};

/// `utf8` with every control character, C1 control and non-UTF-8 byte replaced as above.
VESK_EXPORT std::string forTerminal(std::string_view utf8, Lines lines = Lines::One);

/// The same for Windows-1252 text (the plug-ins' texts), converted to UTF-8.
VESK_EXPORT std::string forTerminalFromCp1252(std::string_view cp1252, Lines lines = Lines::One);

/// True when `utf8` would come back from `forTerminal` unchanged.
VESK_EXPORT bool isTerminalSafe(std::string_view utf8, Lines lines = Lines::One);

}  // namespace vesk::text
