// Loading a test host plug-in the way the conduit does: LoadLibraryA, then the fifteen
// exports by name.
#pragma once

#include <cstdlib>
#include <string>

#include "framework/MailHost.h"
#include "win32/Module.h"

namespace hosttest {

/// Puts the test language library and the module folder (plug-ins, VeskCmn, Helvor.hlp) on
/// the loader's path, in that order.
inline void useTestLibraryPath() {
    const std::string path = std::string(VESK_TEST_LANGUAGE_DIR) + ":" + VESK_TEST_MODULE_DIR;
    setenv("VESK_LIBRARY_PATH", path.c_str(), 1);
}

struct Plugin {
    HMODULE module = nullptr;
    PFN_Initialize Initialize = nullptr;
    PFN_Uninitialize Uninitialize = nullptr;
    PFN_Logon Logon = nullptr;
    PFN_Logoff Logoff = nullptr;
    PFN_GetHostConfigInfo GetHostConfigInfo = nullptr;
    PFN_SetHostConfigInfo SetHostConfigInfo = nullptr;
    PFN_GetSupportedHosts GetSupportedHosts = nullptr;
    PFN_DisplayConfigWizardPages DisplayConfigWizardPages = nullptr;
    PFN_GetAllMsgs GetAllMsgs = nullptr;
    PFN_SetMsg SetMsg = nullptr;
    PFN_SendMsg SendMsg = nullptr;
    PFN_DeleteMsg DeleteMsg = nullptr;
    PFN_SetMsgReadStatus SetMsgReadStatus = nullptr;
    PFN_SetMsgPriority SetMsgPriority = nullptr;
    PFN_FreeMailMsg FreeMailMsg = nullptr;

    /// Loads `name` ("testhost_a.dll") and finds every export. False when any step fails.
    bool load(const char* name) {
        module = LoadLibraryA(name);
        return module != nullptr && find(Initialize, "Initialize") && find(Uninitialize, "Uninitialize") &&
               find(Logon, "Logon") && find(Logoff, "Logoff") &&
               find(GetHostConfigInfo, "GetHostConfigInfo") && find(SetHostConfigInfo, "SetHostConfigInfo") &&
               find(GetSupportedHosts, "GetSupportedHosts") &&
               find(DisplayConfigWizardPages, "DisplayConfigWizardPages") && find(GetAllMsgs, "GetAllMsgs") &&
               find(SetMsg, "SetMsg") && find(SendMsg, "SendMsg") && find(DeleteMsg, "DeleteMsg") &&
               find(SetMsgReadStatus, "SetMsgReadStatus") && find(SetMsgPriority, "SetMsgPriority") &&
               find(FreeMailMsg, "FreeMailMsg");
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

private:
    template <typename Fn>
    bool find(Fn& function, const char* name) {
        function = VeskProcAs<Fn>(GetProcAddress(module, name));
        return function != nullptr;
    }
};

}  // namespace hosttest
