#include "Cp1252.h"

#include <array>
#include <cstdint>

namespace vesk::store::detail {
namespace {

// Code points of the bytes 0x80-0x9F; the undefined five keep their own value.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int cp1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
    }
    return -1;
}

// Decodes one UTF-8 sequence at `pos`; returns its length, or 0 when malformed.
std::size_t decodeOne(std::string_view s, std::size_t pos, char32_t& cp) {
    auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[pos + i]); };
    unsigned char c = b(0);
    std::size_t len;
    char32_t min;
    if (c < 0x80) { cp = c; return 1; }
    if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; min = 0x10000; }
    else return 0;
    if (pos + len > s.size()) return 0;
    for (std::size_t i = 1; i < len; ++i) {
        if ((b(i) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

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

bool isValidUtf8(std::string_view text) {
    char32_t cp;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = decodeOne(text, i, cp);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    char32_t cp;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t n = decodeOne(utf8, i, cp);
        if (n == 0) {
            out += '?';
            ++i;
            continue;
        }
        int byte = cp1252Byte(cp);
        out += byte < 0 ? '?' : static_cast<char>(byte);
        i += n;
    }
    return out;
}

std::string cp1252ToUtf8(std::string_view cp1252) {
    std::string out;
    out.reserve(cp1252.size() + cp1252.size() / 8);
    for (char ch : cp1252) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) out += ch;
        else appendUtf8(out, c < 0xA0 ? kHigh[c - 0x80] : c);
    }
    return out;
}

std::string toCrlf(std::string_view text) { return normaliseLineEnds(text, "\r\n"); }
std::string toLf(std::string_view text) { return normaliseLineEnds(text, "\n"); }

}  // namespace vesk::store::detail
