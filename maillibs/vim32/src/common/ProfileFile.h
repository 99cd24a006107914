// Reading the library's INI files (the post office file, personal address books) through the
// platform's private-profile calls, so there is one reader of that format in the process.
#pragma once

#include <string>
#include <vector>

namespace vesk::vim32 {

/// The value of `key` in `section` of `file`, "" when missing (values up to 1023 characters).
std::string profileValue(const std::string& file, const std::string& section, const std::string& key);

/// Every section name of `file`, or with `section` every key of that section, in file order.
std::vector<std::string> profileNames(const std::string& file, const char* section = nullptr);

}  // namespace vesk::vim32
