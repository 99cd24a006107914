#include "framework/PasswordScramble.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr size_t kWidth = 32;
constexpr uint32_t kSeed = 0x5EC0D17u;
// Where byte i of the password is stored in the scrambled text.
constexpr std::array<uint8_t, kWidth> kPosition = {
    17, 4, 29, 11, 0, 22, 8, 31, 14, 26, 3, 19, 6, 24, 12, 1,
    28, 9, 21, 15, 30, 2, 18, 7, 25, 13, 5, 23, 10, 27, 16, 20};

// The classic C runtime rand(): state * 214013 + 2531011, bits 16-30 of the state.
class CrtRandom {
public:
    explicit CrtRandom(uint32_t seed) : m_state(seed) {}
    int next() {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }

private:
    uint32_t m_state;
};

}  // namespace

std::string ScramblePassword(const std::string& password) {
    if (password.empty()) return std::string();
    std::array<uint8_t, kWidth> work{};
    CrtRandom random(kSeed);
    for (size_t i = 0; i < kWidth; ++i) {
        const uint8_t byte = i < password.size() ? static_cast<uint8_t>(password[i]) : 0;
        const auto low = static_cast<uint8_t>(random.next());
        work[kPosition[i]] = static_cast<uint8_t>((byte ^ low) + 1);
    }
    std::string text;
    char group[8];
    for (uint8_t b : work) {
        std::snprintf(group, sizeof group, "#%d", b);
        text += group;
    }
    return text;
}

std::string UnscramblePassword(const std::string& scrambled) {
    if (scrambled.empty() || scrambled[0] != '#') return std::string();
    std::array<uint8_t, kWidth> work{};
    std::string rest = scrambled.substr(1);
    for (size_t n = 0; n < kWidth; ++n) {
        const size_t hash = rest.find('#');
        const std::string part = rest.substr(0, hash);
        if (part.empty()) break;
        work[n] = static_cast<uint8_t>(std::atoi(part.c_str()));
        rest = hash == std::string::npos ? std::string() : rest.substr(hash + 1);
    }
    std::string password;
    CrtRandom random(kSeed);
    bool ended = false;
    for (size_t i = 0; i < kWidth; ++i) {
        const auto low = static_cast<uint8_t>(random.next());
        const auto byte = static_cast<uint8_t>((work[kPosition[i]] - 1) ^ low);
        if (byte == 0) ended = true;
        if (!ended) password += static_cast<char>(byte);
    }
    return password;
}
