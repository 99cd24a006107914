// Large synthetic Maildirs for benchmarks: realistic message shapes (plain, alternative,
// attachments, HTML-only, 8-bit Latin-1, encoded subjects), deterministic for a given seed.
#pragma once

#include <string>

namespace vesk::bench {

/// The text of synthetic message `index` (LF line ends). The same index and seed always
/// give the same bytes.
std::string syntheticMessage(unsigned index, unsigned seed);

/// Creates Maildir `dir` (cur/, new/, tmp/) if needed and writes `count` synthetic messages
/// into it: about seven in ten seen (in cur/ with ":2,S"), the rest in new/. Files are not
/// fsynced (a benchmark fixture, not mail). Returns false, with a message on stderr, when
/// a file cannot be written.
bool writeSyntheticMaildir(const std::string& dir, unsigned count, unsigned seed);

}  // namespace vesk::bench
