// The fifteen exports of a loaded plug-in, found by name as a conduit finds them. For the
// programs and tests that load plug-ins; the plug-ins themselves never use it.
#pragma once

#include <type_traits>

#include "framework/MailHost.h"
#include "win32/Module.h"

struct MailHostExports {
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
};

/// Finds the fifteen exports of `module` with GetProcAddress, in the order of the interface.
/// Returns null when every one was found, else the name of the first that is missing (the
/// slots found before it are set, the rest stay null).
inline const char* BindMailHostExports(HMODULE module, MailHostExports& exports) {
    const char* missing = nullptr;
    auto bind = [&](auto& slot, const char* name) {
        if (missing != nullptr) return;
        FARPROC proc = GetProcAddress(module, name);
        if (proc == nullptr) {
            missing = name;
            return;
        }
        slot = VeskProcAs<std::remove_reference_t<decltype(slot)>>(proc);
    };
    bind(exports.Initialize, "Initialize");
    bind(exports.Uninitialize, "Uninitialize");
    bind(exports.Logon, "Logon");
    bind(exports.Logoff, "Logoff");
    bind(exports.GetHostConfigInfo, "GetHostConfigInfo");
    bind(exports.SetHostConfigInfo, "SetHostConfigInfo");
    bind(exports.GetSupportedHosts, "GetSupportedHosts");
    bind(exports.DisplayConfigWizardPages, "DisplayConfigWizardPages");
    bind(exports.GetAllMsgs, "GetAllMsgs");
    bind(exports.SetMsg, "SetMsg");
    bind(exports.SendMsg, "SendMsg");
    bind(exports.DeleteMsg, "DeleteMsg");
    bind(exports.SetMsgReadStatus, "SetMsgReadStatus");
    bind(exports.SetMsgPriority, "SetMsgPriority");
    bind(exports.FreeMailMsg, "FreeMailMsg");
    return missing;
}
