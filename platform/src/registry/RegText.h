// The value lines of a REGEDIT4 file: `"Name"="text"`, `@=...`, `dword:`, `hex:`, `hex(n):`,
// `"Name"=-`, read and written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "win32/WinTypes.h"

namespace vesk::reg {

/// A value's type and its bytes exactly as RegQueryValueExA hands them out.
struct RegData {
    DWORD type = 0;
    std::string bytes;
};

/// The two halves of a value line: the name (unescaped; "" for `@`) and the data text after '='.
struct EntryText {
    std::string name;
    std::string_view data;
};

/// Splits a value line (blanks already trimmed) into name and data text; nothing when it is
/// not a value line (no quoted name or `@`, no '=').
std::optional<EntryText> splitEntry(std::string_view line);

/// Whether data text is a hex list, which may continue on the next line after a trailing '\'.
bool isHexData(std::string_view data);

/// The value that data text stands for; nothing for a deletion (`-`) or malformed data.
/// Inside quotes only `\\` and `\"` are escapes; a string gets its terminating NUL.
/// `deletion` (may be null) tells a deletion apart from malformed data.
std::optional<RegData> parseData(std::string_view data, bool* deletion = nullptr);

/// A value line for `name` holding `data`, without a final line ending. Strings that a quoted
/// string can hold exactly (one final NUL, no other NUL, no CR or LF) and 4-byte DWORDs use
/// their own forms; everything else is a hex list, broken after a comma with `\` and `eol`
/// before it gets longer than about 80 characters.
std::string formatEntry(std::string_view name, const RegData& data, std::string_view eol);

}  // namespace vesk::reg
