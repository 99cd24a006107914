#include "profile/IniEdit.h"

#include <vector>

namespace vesk::profile {
namespace {

bool endsWithLineBreak(const std::string& text) {
    return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

// The text with line `index` (an existing line) followed by `newLine`.
std::string insertedAfter(const IniDocument& doc, size_t index, const std::string& newLine) {
    const std::string& text = doc.text();
    const IniLine& anchor = doc.lines()[index];
    std::string out;
    out.reserve(text.size() + newLine.size() + 2);
    if (anchor.next > anchor.end) {
        out.append(text, 0, anchor.next);
        out.append(newLine);
        out.append(text, anchor.next);
    } else {
        // The anchor is the last line and has no ending of its own yet.
        out.append(text);
        out.append(doc.lineEnding());
        out.append(newLine);
    }
    return out;
}

std::string keptLines(const IniDocument& doc, const std::vector<bool>& drop) {
    const std::string& text = doc.text();
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < doc.lines().size(); ++i) {
        if (drop[i]) continue;
        const IniLine& line = doc.lines()[i];
        out.append(text, line.begin, line.next - line.begin);
    }
    return out;
}

}  // namespace

std::string withValue(const IniDocument& doc, std::string_view section, std::string_view key,
                      std::string_view value) {
    const std::string& text = doc.text();
    std::string_view eol = doc.lineEnding();
    std::string newLine = std::string(key) + "=" + std::string(value) + std::string(eol);

    size_t header = doc.findSection(section);
    if (header == IniDocument::npos) {
        std::string out = text;
        if (!out.empty() && !endsWithLineBreak(out)) out.append(eol);
        out.append("[").append(section).append("]").append(eol).append(newLine);
        return out;
    }

    const bool commentKey = !key.empty() && key.front() == ';';
    if (!commentKey) {
        size_t found = doc.findKey(header, key);
        if (found != IniDocument::npos) {
            const IniLine& line = doc.lines()[found];
            size_t nameEnd = static_cast<size_t>(line.name.data() - text.data()) + line.name.size();
            std::string out(text, 0, nameEnd);
            out.append("=").append(value);
            out.append(text, line.end);
            return out;
        }
    }

    // A new key follows the section's last key, so comments that close a section stay last;
    // a new comment line follows everything but trailing blank lines.
    size_t anchor = header;
    size_t end = doc.sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        LineKind kind = doc.lines()[i].kind;
        if (kind == LineKind::Key || (commentKey && kind != LineKind::Blank)) anchor = i;
    }
    return insertedAfter(doc, anchor, newLine);
}

std::string withoutKey(const IniDocument& doc, std::string_view section, std::string_view key) {
    size_t header = doc.findSection(section);
    if (header == IniDocument::npos) return doc.text();
    std::vector<bool> drop(doc.lines().size(), false);
    size_t end = doc.sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        const IniLine& line = doc.lines()[i];
        if (line.kind == LineKind::Key && sameName(line.name, key)) drop[i] = true;
    }
    return keptLines(doc, drop);
}

std::string withoutSection(const IniDocument& doc, std::string_view section) {
    std::vector<bool> drop(doc.lines().size(), false);
    bool inside = false;
    for (size_t i = 0; i < doc.lines().size(); ++i) {
        const IniLine& line = doc.lines()[i];
        if (line.kind == LineKind::Section) inside = sameName(line.name, section);
        if (inside && line.kind != LineKind::Comment && line.kind != LineKind::Blank) drop[i] = true;
    }
    return keptLines(doc, drop);
}

}  // namespace vesk::profile
