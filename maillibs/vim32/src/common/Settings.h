// What the library reads from the registry (HKEY_CURRENT_USER\Software\Vesk\VIM): the default
// login (post office path and user name) and the sendmail-compatible command that takes the
// post office's Internet mail. Nothing else configures the library.
#pragma once

#include <optional>
#include <string>

namespace vesk::vim32 {

inline constexpr const char* kVimKey = "Software\\Vesk\\VIM";

struct DefaultLogin {
    std::string postOffice;  ///< as written in the registry (Windows-1252)
    std::string user;
};

/// The default login; nothing when the registry names no post office or no user.
std::optional<DefaultLogin> defaultLogin();
/// The sending command, empty when none is configured (Internet mail then stays queued).
std::string sendCommand();

/// How many VIMInitialize calls are not yet matched by VIMTerminate.
int& startCount();

}  // namespace vesk::vim32
