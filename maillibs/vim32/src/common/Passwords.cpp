#include "common/Passwords.h"

#include <crypt.h>

#include <cstring>
#include <memory>

namespace vesk::vim32 {
namespace {

// Prefixes of the salted schemes accepted when checking: yescrypt (what we write), and the
// SHA-512 / SHA-256 / bcrypt forms an administrator may have written with other tools.
bool isSaltedHash(const std::string& text) {
    for (const char* prefix : {"$y$", "$gy$", "$7$", "$6$", "$5$", "$2b$", "$2y$"}) {
        if (text.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

}  // namespace

std::optional<std::string> hashPassword(std::string_view password) {
    if (password.find('\0') != std::string_view::npos) return std::nullopt;
    char setting[CRYPT_GENSALT_OUTPUT_SIZE];
    // Null random bytes: libxcrypt draws the salt from the system's random source.
    if (crypt_gensalt_rn("$y$", 0, nullptr, 0, setting, sizeof setting) == nullptr) return std::nullopt;
    auto data = std::make_unique<crypt_data>();
    std::string text(password);
    const char* hash = crypt_rn(text.c_str(), setting, data.get(), sizeof *data);
    if (hash == nullptr || hash[0] == '*') return std::nullopt;
    return std::string(hash);
}

PasswordCheck checkPassword(std::string_view password, const std::string& storedHash) {
    if (!isSaltedHash(storedHash)) return PasswordCheck::NotAHash;
    if (password.find('\0') != std::string_view::npos) return PasswordCheck::Mismatch;
    auto data = std::make_unique<crypt_data>();
    std::string text(password);
    const char* hash = crypt_rn(text.c_str(), storedHash.c_str(), data.get(), sizeof *data);
    if (hash == nullptr || hash[0] == '*') return PasswordCheck::NotAHash;
    std::size_t length = std::strlen(hash);
    if (length != storedHash.size()) return PasswordCheck::Mismatch;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < length; ++i) {
        difference |= static_cast<unsigned char>(hash[i] ^ storedHash[i]);
    }
    return difference == 0 ? PasswordCheck::Match : PasswordCheck::Mismatch;
}

}  // namespace vesk::vim32
