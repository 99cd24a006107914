#include "platform/Codepage.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace vesk::cp {
namespace {

// 0x80-0x9F as Windows defines them; the five undefined positions keep their C1 value.
constexpr std::array<char16_t, 32> kHighControls = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

// One step of UTF-8 decoding. `length` is how many bytes were consumed; `codePoint` is
// meaningful only when `valid`.
struct Utf8Step {
    char32_t codePoint = 0;
    size_t length = 1;
    bool valid = false;
};

// Decodes the sequence at the start of `text` (non-empty). An ill-formed sequence consumes
// its maximal ill-formed part: the lead byte and the continuation bytes that were still
// acceptable before the sequence broke off, so the next byte starts afresh.
Utf8Step decodeUtf8(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) return {lead, 1, true};

    size_t needed = 0;
    char32_t value = 0;
    unsigned char low = 0x80;  // bounds of the first continuation byte, which exclude
    unsigned char high = 0xBF; // overlong forms, surrogates and values above U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        needed = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        needed = 2;
        value = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        needed = 3;
        value = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {};
    }

    size_t i = 1;
    for (; i <= needed; ++i) {
        if (i >= text.size()) return {0, i, false};
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < low || byte > high) return {0, i, false};
        value = (value << 6) | (byte & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return {value, i, true};
}

// How many bytes at the start of `text` are ASCII. Mail text is mostly ASCII with a few other
// characters between long runs, so the runs are crossed eight bytes at a time and copied
// whole; the bytes left at the end of a run are looked at one by one.
size_t asciiPrefix(std::string_view text) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    const char* p = text.data();
    const size_t size = text.size();
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, sizeof word);
        if ((word & kHighBits) != 0) break;
    }
    while (i < size && static_cast<unsigned char>(p[i]) < 0x80) ++i;
    return i;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        // Windows-1252 holds nothing beyond the Basic Multilingual Plane.
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace

char32_t cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

char unicodeToCp1252(char32_t codePoint, char fallback) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == codePoint) return static_cast<char>(0x80 + i);
    }
    return fallback;
}

std::string utf16ToCp1252(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            // A supplementary-plane character: one character, none of which the code page has.
            ++i;
            out += kReplacement;
        } else {
            out += unicodeToCp1252(unit);
        }
    }
    return out;
}

std::u16string cp1252ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (const char c : text) out += static_cast<char16_t>(cp1252ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const size_t ascii = asciiPrefix(text);
        out.append(text.data(), ascii);
        text.remove_prefix(ascii);
        if (text.empty()) break;
        const Utf8Step step = decodeUtf8(text);
        out += step.valid ? unicodeToCp1252(step.codePoint) : kReplacement;
        text.remove_prefix(step.length);
    }
    return out;
}

std::string cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    while (!text.empty()) {
        const size_t ascii = asciiPrefix(text);
        out.append(text.data(), ascii);
        text.remove_prefix(ascii);
        if (text.empty()) break;
        appendUtf8(out, cp1252ToUnicode(static_cast<unsigned char>(text.front())));
        text.remove_prefix(1);
    }
    return out;
}

bool isValidUtf8(std::string_view text) {
    while (!text.empty()) {
        text.remove_prefix(asciiPrefix(text));
        if (text.empty()) break;
        const Utf8Step step = decodeUtf8(text);
        if (!step.valid) return false;
        text.remove_prefix(step.length);
    }
    return true;
}

}  // namespace vesk::cp
