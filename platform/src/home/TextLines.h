// Cutting a desktop text file (profile file, registry file) into lines the way Windows reads
// them: CR LF, bare LF and bare CR all end a line, so files from any system read alike.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace vesk::files {

struct TextLine {
    size_t begin = 0;  ///< offset of the line's first byte
    size_t end = 0;    ///< offset just past the line's content (before CR, LF or CR LF)
    size_t next = 0;   ///< offset of the following line; == end for a last line with no ending
};

/// The lines of `text`; empty for empty text. Every byte belongs to exactly one line, so
/// joining [begin, next) of all lines gives `text` back.
std::vector<TextLine> splitLines(std::string_view text);

/// The line ending new lines of `text` should use: its first one, CR LF when it has none.
std::string_view lineEndingOf(std::string_view text, const std::vector<TextLine>& lines);

/// `text` without the spaces, tabs and vertical tabs around it; an empty result still points
/// into `text` (at its start), so callers can compute offsets from it.
std::string_view trimBlanks(std::string_view text);

}  // namespace vesk::files
