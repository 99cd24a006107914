// Large synthetic Maildirs for benchmarks: realistic message shapes (plain, alternative,
// attachments, HTML-only, 8-bit Latin-1, encoded subjects), deterministic for a given seed.
#pragma once

#include <string>

namespace vesk::bench {

/// Which kind of mail a generated Maildir holds.
enum class MailMix {
    Synthetic,  ///< mostly small plain-text messages, one in ten with an attachment
    RealWorld,  ///< a real-world mix: several attachments, nested multiparts, many charsets
};

/// The text of synthetic message `index` (LF line ends). The same index and seed always
/// give the same bytes.
std::string syntheticMessage(unsigned index, unsigned seed);

/// The text of real-world-mix message `index` (LF line ends): mail as it arrives from many
/// programs (multipart/mixed around multipart/alternative, multipart/related with inline
/// images, forwarded messages, calendar invitations, quoted-printable and base64 bodies in
/// UTF-8, ISO-8859-1/-15, Windows-1252, KOI8-R, ISO-2022-JP, Shift_JIS and GB2312, RFC 2231
/// file names). Deterministic like syntheticMessage.
std::string realWorldMessage(unsigned index, unsigned seed);

/// The text of message `index` of `mix`.
std::string mixMessage(MailMix mix, unsigned index, unsigned seed);

/// Writes `text` to the new file `dir`/`sub`/`name` (not fsynced). Returns false, with a
/// message on stderr naming the file, when it cannot be written.
bool writeMailFile(const std::string& dir, const char* sub, const std::string& name, const std::string& text);

/// Creates Maildir `dir` (cur/, new/, tmp/) if needed and writes `count` messages of `mix`
/// into it: about seven in ten seen (in cur/ with ":2,S"), the rest in new/. Files are not
/// fsynced (a benchmark fixture, not mail). Returns false, with a message on stderr, when
/// a file cannot be written.
bool writeSyntheticMaildir(const std::string& dir, unsigned count, unsigned seed,
                           MailMix mix = MailMix::Synthetic);

}  // namespace vesk::bench
