// Conversions between Windows-1252, the 8-bit code page of every text that crosses a plug-in
// boundary, and Unicode (UTF-16 as resource files store it, UTF-8 as the mail store and the
// terminal use it).
//
// Windows-1252 is ISO 8859-1 except in 0x80-0x9F, where 27 positions hold typographic
// characters (euro sign, curly quotes, dashes, ...). The five positions Windows leaves
// undefined there (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value,
// both ways, as Windows' own conversion does, so every byte survives a round trip.
// A Unicode character that Windows-1252 lacks becomes one '?' per character (a surrogate
// pair is one character). NUL is an ordinary character: texts may hold it.
#pragma once

#include <string>
#include <string_view>

#include "win32/Export.h"

namespace vesk::cp {

/// The replacement for a character Windows-1252 cannot hold.
inline constexpr char kReplacement = '?';

/// The Unicode code point of one Windows-1252 byte.
VESK_EXPORT char32_t cp1252ToUnicode(unsigned char byte);

/// The Windows-1252 byte of a Unicode code point; `fallback` when the code page lacks it.
VESK_EXPORT char unicodeToCp1252(char32_t codePoint, char fallback = kReplacement);

/// UTF-16 (native-endian code units) to Windows-1252. An unpaired surrogate is one
/// unrepresentable character and becomes one '?'.
VESK_EXPORT std::string utf16ToCp1252(std::u16string_view text);

/// Windows-1252 to UTF-16; never fails, one code unit per byte.
VESK_EXPORT std::u16string cp1252ToUtf16(std::string_view text);

/// UTF-8 to Windows-1252. An ill-formed sequence (a stray continuation byte, a truncated or
/// overlong sequence, a surrogate or a value above U+10FFFF) counts as one unrepresentable
/// character per maximal ill-formed part and becomes one '?'.
VESK_EXPORT std::string utf8ToCp1252(std::string_view text);

/// Windows-1252 to UTF-8; never fails.
VESK_EXPORT std::string cp1252ToUtf8(std::string_view text);

/// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates, nothing above
/// U+10FFFF).
VESK_EXPORT bool isValidUtf8(std::string_view text);

}  // namespace vesk::cp
