// Loading a test host plug-in the way the conduit does: LoadLibraryA, then the fifteen
// exports by name.
#pragma once

#include <cstdlib>
#include <string>

#include "framework/MailHostExports.h"
#include "win32/Module.h"

namespace hosttest {

/// Puts the test language library and the module folder (plug-ins, VeskCmn, Helvor.hlp) on
/// the loader's path, in that order.
inline void useTestLibraryPath() {
    const std::string path = std::string(VESK_TEST_LANGUAGE_DIR) + ":" + VESK_TEST_MODULE_DIR;
    setenv("VESK_LIBRARY_PATH", path.c_str(), 1);
}

struct Plugin : MailHostExports {
    HMODULE module = nullptr;

    /// Loads `name` ("testhost_a.dll") and finds every export. False when any step fails.
    bool load(const char* name) {
        module = LoadLibraryA(name);
        return module != nullptr && BindMailHostExports(module, *this) == nullptr;
    }

    /// Frees the module (once); the exports are unusable afterwards.
    bool unload() {
        const bool freed = module != nullptr && FreeLibrary(module);
        module = nullptr;
        return freed;
    }

    /// GetHostConfigInfo's text with a generous buffer (the test host puts a resource string
    /// there).
    std::string configText() const {
        char text[1024] = {};
        int size = sizeof text;
        GetHostConfigInfo("config.ini", text, &size);
        return text;
    }
};

}  // namespace hosttest
