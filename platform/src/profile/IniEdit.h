// Changes to a profile file's text, made the way Windows makes them: only the lines concerned
// change, every other byte stays where it was.
#pragma once

#include <string>
#include <string_view>

#include "profile/IniDocument.h"

namespace vesk::profile {

/// The text with `key` of `section` set to `value`: the first such key line rewritten in place
/// (its name as spelled in the file), else a new line after the section's last key line (a key
/// starting with ';' is a comment line and goes after the section's last non-blank line), else
/// a new section with the key at the end of the text. New lines end as the file's lines do.
std::string withValue(const IniDocument& doc, std::string_view section, std::string_view key,
                      std::string_view value);

/// The text without any line of `key` in the first section called `section`.
std::string withoutKey(const IniDocument& doc, std::string_view section, std::string_view key);

/// The text without the headers, key lines and other text lines of every section called
/// `section`; comment and blank lines inside them stay.
std::string withoutSection(const IniDocument& doc, std::string_view section);

}  // namespace vesk::profile
