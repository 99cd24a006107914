#include "Flags.h"

#include <bitset>

namespace vesk::store::detail {

bool validFlagLetters(std::string_view letters) {
    for (char c : letters) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    }
    return true;
}

namespace {

std::bitset<128> toSet(std::string_view letters) {
    std::bitset<128> set;
    for (char c : letters) {
        if (static_cast<unsigned char>(c) < 128) set.set(static_cast<unsigned char>(c));
    }
    return set;
}

std::string fromSet(const std::bitset<128>& set) {
    std::string out;
    for (std::size_t c = 0; c < set.size(); ++c) {
        if (set.test(c)) out += static_cast<char>(c);
    }
    return out;
}

}  // namespace

std::string normaliseFlags(std::string_view letters) { return fromSet(toSet(letters)); }

std::string applyFlags(std::string_view current, std::string_view add, std::string_view remove) {
    return fromSet((toSet(current) | toSet(add)) & ~toSet(remove));
}

}  // namespace vesk::store::detail
