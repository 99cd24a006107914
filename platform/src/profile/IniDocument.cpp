#include "profile/IniDocument.h"

namespace vesk::profile {
namespace {

using vesk::files::trimBlanks;

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

void classify(IniLine& line, std::string_view content) {
    std::string_view trimmed = trimBlanks(content);
    if (trimmed.empty()) {
        line.kind = LineKind::Blank;
    } else if (trimmed.front() == ';') {
        line.kind = LineKind::Comment;
    } else if (trimmed.front() == '[') {
        // The name ends at the first ']'; whatever follows on the line is ignored, and a
        // header without ']' runs to the end of the line.
        std::string_view inside = trimmed.substr(1);
        size_t close = inside.find(']');
        line.kind = LineKind::Section;
        line.name = trimBlanks(inside.substr(0, close));
    } else if (size_t equals = trimmed.find('='); equals != std::string_view::npos) {
        line.kind = LineKind::Key;
        line.name = trimBlanks(trimmed.substr(0, equals));
        line.value = trimBlanks(trimmed.substr(equals + 1));
    } else {
        line.kind = LineKind::Text;
    }
}

}  // namespace

IniDocument::IniDocument(std::string text) : text_(std::move(text)) {
    std::string_view all(text_);
    for (const vesk::files::TextLine& cut : vesk::files::splitLines(all)) {
        IniLine line;
        static_cast<vesk::files::TextLine&>(line) = cut;
        classify(line, all.substr(line.begin, line.end - line.begin));
        lines_.push_back(line);
    }
}

size_t IniDocument::findSection(std::string_view name) const {
    for (size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == LineKind::Section && sameName(lines_[i].name, name)) return i;
    return npos;
}

size_t IniDocument::sectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != LineKind::Section) ++i;
    return i;
}

size_t IniDocument::findKey(size_t header, std::string_view name) const {
    size_t end = sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i)
        if (lines_[i].kind == LineKind::Key && sameName(lines_[i].name, name)) return i;
    return npos;
}

std::string_view IniDocument::lineEnding() const {
    for (const IniLine& line : lines_)
        if (line.next > line.end) return std::string_view(text_).substr(line.end, line.next - line.end);
    return "\r\n";
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string_view trimArgument(std::string_view name) {
    size_t first = name.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

}  // namespace vesk::profile
