#include "Cp1252.h"

#include <cstring>

namespace vesk::store::detail {
namespace {

// The first `c` in [p, end), else `end`.
const char* findIn(const char* p, const char* end, char c) {
    const void* found = std::memchr(p, c, static_cast<std::size_t>(end - p));
    return found ? static_cast<const char*>(found) : end;
}

// Bodies are long runs between line ends: the runs are found with memchr and copied whole,
// not a character at a time. Bare CRs are rare, so the next one is looked up only once the
// last one found has been passed.
std::string normaliseLineEnds(std::string_view text, std::string_view eol) {
    std::string out;
    if (text.empty()) return out;  // an empty view may have no data pointer for memchr
    out.reserve(text.size() + text.size() / 32);
    const char* p = text.data();
    const char* end = p + text.size();
    const char* nextCr = findIn(p, end, '\r');
    while (p < end) {
        if (nextCr < p) nextCr = findIn(p, end, '\r');
        const char* lf = findIn(p, end, '\n');
        const char* brk = nextCr < lf ? nextCr : lf;
        out.append(p, static_cast<std::size_t>(brk - p));
        if (brk == end) break;
        out.append(eol);
        p = brk + ((*brk == '\r' && brk + 1 < end && brk[1] == '\n') ? 2 : 1);
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
