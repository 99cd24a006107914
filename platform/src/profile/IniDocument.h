// A profile file as Windows reads it: the file's bytes, cut into lines, each line classified.
// The bytes are kept whole so that an edit can change one line and keep every other byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "home/TextLines.h"

namespace vesk::profile {

enum class LineKind {
    Blank,    ///< nothing but white space
    Comment,  ///< first non-blank character is ';'
    Section,  ///< first non-blank character is '['
    Key,      ///< `name=value`
    Text,     ///< anything else (no '=')
};

struct IniLine : vesk::files::TextLine {
    LineKind kind = LineKind::Blank;
    std::string_view name;   ///< section or key name, white space trimmed
    std::string_view value;  ///< key value, white space trimmed, quotes not yet removed
};

/// A parsed profile file. Lines before the first section header are kept but belong to no
/// section. Not copyable: the lines point into the document's own text.
class IniDocument {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    explicit IniDocument(std::string text);
    IniDocument(const IniDocument&) = delete;
    IniDocument& operator=(const IniDocument&) = delete;

    const std::string& text() const { return text_; }
    const std::vector<IniLine>& lines() const { return lines_; }

    /// Header line index of the first section called `name` (case-insensitive), or npos.
    size_t findSection(std::string_view name) const;
    /// Index just past the last line of the section whose header is line `header`.
    size_t sectionEnd(size_t header) const;
    /// Index of the first key line called `name` in the section at `header`, or npos.
    size_t findKey(size_t header, std::string_view name) const;
    /// The line ending new lines should use: the file's first one, CR LF when it has none.
    std::string_view lineEnding() const;

private:
    std::string text_;
    std::vector<IniLine> lines_;
};

/// ASCII case-insensitive comparison of section and key names.
bool sameName(std::string_view a, std::string_view b);

/// A value as a reader gets it: one pair of matching outer quotes (" or ') removed.
std::string_view unquote(std::string_view value);

/// A section or key argument as Windows uses it: spaces (only spaces) around it removed.
std::string_view trimArgument(std::string_view name);

}  // namespace vesk::profile
