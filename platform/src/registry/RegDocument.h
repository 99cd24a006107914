// A registry file: its bytes, and the keys and values they hold once applied from top to
// bottom as an import would (a later line overrides an earlier one, `[-key]` removes a key and
// everything below it). Edits change only the lines concerned; comments, blank lines, lines the
// reader does not understand and the order of everything else stay as they were.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "home/TextLines.h"
#include "registry/RegText.h"

namespace vesk::reg {

class RegDocument {
public:
    /// Parses `text`. Empty text is an empty registry; text whose first line is not
    /// `REGEDIT4` is not a registry file (nothing readable, no edits).
    explicit RegDocument(std::string text);

    const std::string& text() const { return text_; }
    /// Whether the text is a registry file (or empty).
    bool valid() const { return valid_; }
    /// The numbers (from 1) of the lines the reader did not understand and so skipped.
    const std::vector<size_t>& unreadLines() const { return unreadLines_; }

    /// Whether key `path` exists; root keys always do.
    bool hasKey(const std::string& path) const;
    /// The value `name` ("" is the default value) of key `path`, or nothing.
    std::optional<RegData> value(const std::string& path, std::string_view name) const;
    /// `path` with each component that names an existing key spelled as the file spells it.
    std::string existingSpelling(const std::string& path) const;

    /// The text with value `name` of key `path` set to `data`: an existing value's line is
    /// rewritten (keeping the name's spelling), a new one follows the last value line of the
    /// key's last section, a key with no section of its own gets one at the end.
    std::string withValue(const std::string& path, std::string_view name, const RegData& data) const;
    /// The text without any line setting value `name` of key `path`.
    std::string withoutValue(const std::string& path, std::string_view name) const;
    /// The text with key `path` created (a header at the end), unchanged when it exists.
    std::string withKey(const std::string& path) const;

private:
    struct Value {
        std::string name;
        RegData data;
        size_t firstLine = 0;
        size_t lastLine = 0;
    };
    struct Key {
        std::string path;                    // as first spelled in the file
        std::map<std::string, Value> values; // by lower-case name
        std::optional<size_t> block;         // header line of its last section, if it has one
        size_t lastEntryLine = 0;            // last value line of that section (or the header)
    };
    struct Entry {  // every value line, even overridden ones, so a deletion can remove all
        std::string keyPath;   // lower case
        std::string name;      // lower case
        size_t firstLine = 0;
        size_t lastLine = 0;
    };

    void parse();
    void createKey(const std::string& path);
    void removeSubtree(const std::string& lowered);
    std::string lineEnding() const;
    std::string insertedAfter(size_t line, const std::string& newText) const;
    std::string appendedSection(const std::string& path, const std::string& entryLine) const;

    std::string text_;
    std::vector<vesk::files::TextLine> lines_;
    bool valid_ = true;
    bool hasHeader_ = false;  // false for an empty or blank file
    std::vector<size_t> unreadLines_;
    std::map<std::string, Key> keys_;  // by lower-case path
    std::vector<Entry> entries_;
};

}  // namespace vesk::reg
