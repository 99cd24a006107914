// Password hashes of the post office's users: yescrypt through libxcrypt (crypt(3) form
// "$y$<parameters>$<salt>$<hash>", a fresh random salt per hash), the scheme Debian uses for
// its own user passwords. The password itself is never stored.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vesk::vim32 {

/// A new salted hash of `password`; nothing when the system cannot make one.
std::optional<std::string> hashPassword(std::string_view password);

/// What checking a password against a stored hash found.
enum class PasswordCheck { Match, Mismatch, NotAHash };

/// Checks `password` against `storedHash` in constant time. NotAHash when the stored text is
/// no salted hash libxcrypt knows (a password in clear, say): never accepted.
PasswordCheck checkPassword(std::string_view password, const std::string& storedHash);

}  // namespace vesk::vim32
