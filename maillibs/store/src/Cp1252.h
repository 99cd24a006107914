// Text forms for the plug-ins: Windows-1252 (the platform's code page conversions) and CR LF
// line ends.
#pragma once

#include <string>
#include <string_view>

#include "platform/Codepage.h"

namespace vesk::store::detail {

using vesk::cp::cp1252ToUtf8;
using vesk::cp::isValidUtf8;
using vesk::cp::utf8ToCp1252;

/// True when every byte of `text` is below 0x80.
bool isAscii(std::string_view text);

/// Every line end (CR LF, lone LF, lone CR) becomes CR LF.
std::string toCrlf(std::string_view text);
/// Every line end (CR LF, lone LF, lone CR) becomes LF.
std::string toLf(std::string_view text);

}  // namespace vesk::store::detail
