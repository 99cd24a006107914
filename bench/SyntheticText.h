// Building blocks shared by the synthetic message profiles: names, words, encoded words,
// base64 filler and dates, all drawn from one seeded generator so a message's bytes depend
// only on its index and seed.
#pragma once

#include <cstddef>
#include <random>
#include <string>

namespace vesk::bench::text {

/// One item of a fixed table.
template <class T, std::size_t N>
const T& pick(std::mt19937& r, const T (&items)[N]) { return items[r() % N]; }

/// `n` words of business prose separated by spaces.
std::string words(std::mt19937& r, int n);
/// `lines` lines of prose, each ended by LF.
std::string paragraphText(std::mt19937& r, int lines);
/// "First Last <first.NN@example.org>", names in UTF-8.
std::string mailbox(std::mt19937& r);
/// `utf8` as one RFC 2047 Q-encoded word.
std::string rfc2047(const std::string& utf8);
/// Random base64 text standing for `bytes` bytes of a file, in 76-column lines.
std::string base64Lines(std::mt19937& r, std::size_t bytes);
/// `text` as quoted-printable (soft line breaks at 76 columns, LF line ends kept).
std::string quotedPrintable(const std::string& text);
/// `bytes` as base64 in 76-column lines.
std::string base64Of(const std::string& bytes);
/// An RFC 5322 date for `seconds` since 1970 (UTC).
std::string dateText(long long seconds);

}  // namespace vesk::bench::text
