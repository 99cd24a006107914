// Maildir flag letters: kept sorted, each once.
#pragma once

#include <string>
#include <string_view>

namespace vesk::store::detail {

/// True when every character of `letters` is 'A'-'Z' or 'a'-'z'.
bool validFlagLetters(std::string_view letters);
/// The letters of `letters`, sorted (ASCII order), duplicates dropped.
std::string normaliseFlags(std::string_view letters);
/// `current` plus the letters of `add`, minus those of `remove`, normalised.
std::string applyFlags(std::string_view current, std::string_view add, std::string_view remove);

}  // namespace vesk::store::detail
