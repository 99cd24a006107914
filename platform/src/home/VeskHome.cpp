#include "platform/VeskHome.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace vesk {
namespace {

std::string envOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::string home() {
    std::string explicitHome = envOrEmpty("VESK_HOME");
    if (!explicitHome.empty()) return withoutTrailingSlashes(explicitHome);

    // A relative XDG_DATA_HOME is invalid by the XDG rules and must be ignored.
    std::string dataHome = envOrEmpty("XDG_DATA_HOME");
    // Paths are built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on `string + "..."`.
    if (!dataHome.empty() && dataHome.front() == '/') return withoutTrailingSlashes(dataHome).append("/vesk");

    std::string userHome = envOrEmpty("HOME");
    if (userHome.empty()) {
        struct passwd entry {};
        struct passwd* found = nullptr;
        char buffer[4096];
        if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
            found->pw_dir != nullptr)
            userHome = found->pw_dir;
    }
    if (userHome.empty()) userHome = "/";
    userHome = withoutTrailingSlashes(userHome);
    if (userHome == "/") userHome.clear();
    return userHome.append("/.local/share/vesk");
}

}  // namespace vesk
