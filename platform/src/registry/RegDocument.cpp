#include "registry/RegDocument.h"

#include "registry/RegPath.h"

namespace vesk::reg {
namespace {

using vesk::files::trimBlanks;

bool isRoot(const std::string& path) {
    return path.find('\\') == std::string::npos;
}

}  // namespace

RegDocument::RegDocument(std::string text) : text_(std::move(text)), lines_(vesk::files::splitLines(text_)) {
    parse();
}

void RegDocument::parse() {
    std::string_view all(text_);
    auto lineText = [&](size_t i) { return trimBlanks(all.substr(lines_[i].begin, lines_[i].end - lines_[i].begin)); };

    size_t first = 0;
    while (first < lines_.size() && lineText(first).empty()) ++first;
    if (first == lines_.size()) return;  // nothing but blanks: an empty registry
    hasHeader_ = true;
    if (lineText(first) != "REGEDIT4") {
        valid_ = false;
        return;
    }

    Key* current = nullptr;
    for (size_t i = first + 1; i < lines_.size(); ++i) {
        std::string_view line = lineText(i);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            current = nullptr;
            if (line.back() != ']') {
                unreadLines_.push_back(i + 1);
                continue;
            }
            std::string_view inside = line.substr(1, line.size() - 2);
            bool deletion = !inside.empty() && inside.front() == '-';
            if (deletion) inside.remove_prefix(1);
            std::optional<std::string> path = headerPath(inside);
            if (!path) {  // unknown root or malformed: its values are skipped
                unreadLines_.push_back(i + 1);
                continue;
            }
            if (deletion) {
                removeSubtree(lowerPath(*path));
                continue;
            }
            createKey(*path);
            current = &keys_[lowerPath(*path)];
            current->block = i;
            current->lastEntryLine = i;
            continue;
        }
        std::optional<EntryText> entry = splitEntry(line);
        if (!entry) {
            unreadLines_.push_back(i + 1);
            continue;
        }
        size_t last = i;
        std::string data(entry->data);
        // A hex list may go on over lines ending in '\'; glue them before reading it. Only the
        // line just glued on says whether another follows: a blank line ends the list, even
        // after a line ending in several backslashes, so no section after it is swallowed.
        if (isHexData(data)) {
            bool more = !data.empty() && data.back() == '\\';
            while (more && last + 1 < lines_.size()) {
                data.pop_back();
                std::string_view next = lineText(++last);
                data.append(next);
                more = !next.empty() && next.back() == '\\';
            }
        }
        size_t firstLine = i;
        i = last;
        if (current == nullptr) continue;
        bool deletion = false;
        std::optional<RegData> parsed = parseData(data, &deletion);
        if (!parsed && !deletion) {  // malformed: ignored like any line not understood
            unreadLines_.push_back(firstLine + 1);
            continue;
        }
        std::string lowered = lowerPath(entry->name);
        entries_.push_back({lowerPath(current->path), lowered, firstLine, last});
        current->lastEntryLine = last;
        if (parsed) current->values[lowered] = {entry->name, std::move(*parsed), firstLine, last};
        else current->values.erase(lowered);
    }
}

void RegDocument::createKey(const std::string& path) {
    // A key brings its missing parents into being, as importing it would.
    std::string parent = parentPath(path);
    if (!parent.empty()) createKey(parent);
    std::string lowered = lowerPath(path);
    if (keys_.count(lowered) == 0) keys_[lowered].path = existingSpelling(path);
}

void RegDocument::removeSubtree(const std::string& lowered) {
    for (auto it = keys_.lower_bound(lowered); it != keys_.end();) {
        const std::string& candidate = it->first;
        if (candidate.compare(0, lowered.size(), lowered) != 0) break;
        if (candidate.size() == lowered.size() || candidate[lowered.size()] == '\\') it = keys_.erase(it);
        else ++it;
    }
}

bool RegDocument::hasKey(const std::string& path) const {
    return isRoot(path) || keys_.count(lowerPath(path)) != 0;
}

std::optional<RegData> RegDocument::value(const std::string& path, std::string_view name) const {
    auto key = keys_.find(lowerPath(path));
    if (key == keys_.end()) return std::nullopt;
    auto found = key->second.values.find(lowerPath(name));
    if (found == key->second.values.end()) return std::nullopt;
    return found->second.data;
}

std::string RegDocument::existingSpelling(const std::string& path) const {
    std::string parent = parentPath(path);
    auto own = keys_.find(lowerPath(path));
    if (own != keys_.end()) return own->second.path;
    if (parent.empty()) return path;
    return existingSpelling(parent) + "\\" + std::string(leafName(path));
}

std::string RegDocument::lineEnding() const {
    return std::string(vesk::files::lineEndingOf(text_, lines_));
}

std::string RegDocument::insertedAfter(size_t line, const std::string& newText) const {
    const vesk::files::TextLine& anchor = lines_[line];
    std::string out;
    if (anchor.next > anchor.end) {
        out.append(text_, 0, anchor.next);
        out.append(newText).append(lineEnding());
        out.append(text_, anchor.next);
    } else {
        out.append(text_).append(lineEnding()).append(newText).append(lineEnding());
    }
    return out;
}

std::string RegDocument::appendedSection(const std::string& path, const std::string& entryLine) const {
    std::string eol = lineEnding();
    std::string out;
    if (!hasHeader_) {
        // Blank or empty so far: the file starts over with its header.
        out = "REGEDIT4" + eol + eol;
    } else {
        out = text_;
        if (out.back() != '\n' && out.back() != '\r') out.append(eol);
        // One blank line between sections, as exports lay them out; it also ends a hex list
        // left open on the last line. After a lone CR, an LF would only complete that CR's
        // line ending, so the blank line is a CR LF of its own.
        const vesk::files::TextLine& last = lines_.back();
        if (!trimBlanks(std::string_view(text_).substr(last.begin, last.end - last.begin)).empty()) {
            out.append(out.back() == '\r' && eol.front() == '\n' ? std::string("\r\n") : eol);
        }
    }
    out.append("[").append(existingSpelling(path)).append("]").append(eol);
    if (!entryLine.empty()) out.append(entryLine).append(eol);
    return out;
}

std::string RegDocument::withValue(const std::string& path, std::string_view name, const RegData& data) const {
    auto key = keys_.find(lowerPath(path));
    if (key != keys_.end()) {
        auto found = key->second.values.find(lowerPath(name));
        if (found != key->second.values.end()) {
            const Value& old = found->second;
            std::string out(text_, 0, lines_[old.firstLine].begin);
            out.append(formatEntry(old.name, data, lineEnding()));
            out.append(text_, lines_[old.lastLine].end);
            return out;
        }
        // Appending to the key's last section keeps the new line after anything that could
        // still override it.
        if (key->second.block) return insertedAfter(key->second.lastEntryLine, formatEntry(name, data, lineEnding()));
    }
    return appendedSection(path, formatEntry(name, data, lineEnding()));
}

std::string RegDocument::withoutValue(const std::string& path, std::string_view name) const {
    std::string keyPath = lowerPath(path);
    std::string lowered = lowerPath(name);
    std::vector<bool> drop(lines_.size(), false);
    for (const Entry& entry : entries_) {
        if (entry.keyPath != keyPath || entry.name != lowered) continue;
        for (size_t i = entry.firstLine; i <= entry.lastLine; ++i) drop[i] = true;
    }
    std::string out;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (!drop[i]) out.append(text_, lines_[i].begin, lines_[i].next - lines_[i].begin);
    return out;
}

std::string RegDocument::withKey(const std::string& path) const {
    if (hasKey(path)) return text_;
    return appendedSection(path, "");
}

}  // namespace vesk::reg
