#include "common/Settings.h"

#include "platform/RegistryValues.h"

namespace vesk::vim32 {

std::optional<DefaultLogin> defaultLogin() {
    DefaultLogin login;
    login.postOffice = readRegString(HKEY_CURRENT_USER, kVimKey, "PostOffice").value_or(std::string());
    login.user = readRegString(HKEY_CURRENT_USER, kVimKey, "User").value_or(std::string());
    if (login.postOffice.empty() || login.user.empty()) return std::nullopt;
    return login;
}

std::string sendCommand() {
    return readRegString(HKEY_CURRENT_USER, kVimKey, "SendCommand").value_or(std::string());
}

int& startCount() {
    static int count = 0;
    return count;
}

}  // namespace vesk::vim32
