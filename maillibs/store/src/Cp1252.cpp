#include "Cp1252.h"

namespace vesk::store::detail {
namespace {

std::string normaliseLineEnds(std::string_view text, std::string_view eol) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += eol;
        } else if (c == '\n') {
            out += eol;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

bool isAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

std::string toCrlf(std::string_view text) { return normaliseLineEnds(text, "\r\n"); }
std::string toLf(std::string_view text) { return normaliseLineEnds(text, "\n"); }

}  // namespace vesk::store::detail
