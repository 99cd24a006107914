// Windows-1252 text for the plug-ins: conversion to and from UTF-8 and CR LF line ends.
// Kept here (not in the platform library) because the store must stand on its own.
#pragma once

#include <string>
#include <string_view>

namespace vesk::store::detail {

/// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates, <= U+10FFFF).
bool isValidUtf8(std::string_view text);
/// True when every byte of `text` is below 0x80.
bool isAscii(std::string_view text);

/// Converts UTF-8 to Windows-1252. Each character Windows-1252 lacks becomes one '?'; each
/// malformed byte also becomes one '?'.
std::string utf8ToCp1252(std::string_view utf8);
/// Converts Windows-1252 to UTF-8. The five bytes Windows-1252 leaves undefined map to the
/// C1 controls of the same value, as Windows does, so the conversion is reversible.
std::string cp1252ToUtf8(std::string_view cp1252);

/// Every line end (CR LF, lone LF, lone CR) becomes CR LF.
std::string toCrlf(std::string_view text);
/// Every line end (CR LF, lone LF, lone CR) becomes LF.
std::string toLf(std::string_view text);

}  // namespace vesk::store::detail
