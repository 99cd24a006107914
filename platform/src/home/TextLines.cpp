#include "home/TextLines.h"

namespace vesk::files {

std::vector<TextLine> splitLines(std::string_view text) {
    std::vector<TextLine> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        TextLine line;
        line.begin = pos;
        size_t stop = text.find_first_of("\r\n", pos);
        if (stop == std::string_view::npos) {
            line.end = line.next = text.size();
        } else {
            bool crlf = text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n';
            line.end = stop;
            line.next = stop + (crlf ? 2 : 1);
        }
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

std::string_view lineEndingOf(std::string_view text, const std::vector<TextLine>& lines) {
    for (const TextLine& line : lines)
        if (line.next > line.end) return text.substr(line.end, line.next - line.end);
    return "\r\n";
}

std::string_view trimBlanks(std::string_view text) {
    constexpr std::string_view blanks = " \t\v";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return text.substr(0, 0);
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

}  // namespace vesk::files
