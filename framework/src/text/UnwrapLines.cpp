#include "framework/UnwrapLines.h"

#include <cstring>
#include <vector>

#include "framework/AddressText.h"

namespace {

// A line this long or shorter ended where its writer ended it.
constexpr size_t kShortLine = 42;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Punctuation as the C library's ispunct sees it in the "C" locale: printable ASCII that is
// neither a letter, a digit nor a space.
bool isPunct(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 0x21 && u <= 0x2F) || (u >= 0x3A && u <= 0x40) || (u >= 0x5B && u <= 0x60) ||
           (u >= 0x7B && u <= 0x7E);
}

}  // namespace

void UnwrapLines(char* dest, const char* source, size_t length) {
    auto at = [&](size_t i) { return i < length ? source[i] : '\0'; };
    size_t out = 0;
    size_t lastBreak = 0;
    size_t i = 0;
    while (i < length) {
        // Text up to the next CR is copied as it is, in one move.
        const void* cr = std::memchr(source + i, '\r', length - i);
        const size_t runEnd = cr != nullptr ? static_cast<size_t>(static_cast<const char*>(cr) - source) : length;
        std::memcpy(dest + out, source + i, runEnd - i);
        out += runEnd - i;
        i = runEnd;
        if (i == length) break;
        bool keep = i - lastBreak <= kShortLine || length - i < 3;
        size_t resumeAt = 0;
        if (!keep) {
            size_t next = i + 1;
            if (at(next) == '\n') ++next;
            if (at(next) == '\r') {
                keep = true;  // an empty line ends a paragraph
            } else {
                size_t first = next + 1;
                while (at(first) == ' ') ++first;
                const char f = at(first);
                keep = f == '\0' || f == '\r' || f == '\n' || isDigit(f) || isPunct(f);
                // The joined line goes on with the next line's own text from its first
                // character; only blanks in front of it are dropped, never a letter.
                resumeAt = next;
                while (at(resumeAt) == ' ') ++resumeAt;
            }
        }
        if (keep) {
            dest[out++] = '\r';
            lastBreak = i;
            ++i;
            continue;
        }
        while (out > 0 && IsBlank(dest[out - 1])) --out;
        dest[out++] = ' ';
        i = resumeAt;
        lastBreak = resumeAt;
    }
    dest[out] = '\0';
}

std::string UnwrapLines(const std::string& source) {
    std::vector<char> buffer(source.size() + 1);
    UnwrapLines(buffer.data(), source.data(), source.size());
    return std::string(buffer.data());
}
