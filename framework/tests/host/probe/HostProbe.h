// The recording shared by the test host plug-ins and the tests that load them. The plug-ins
// export only the fifteen functions, so what their host objects see and do is written here,
// in a library that both sides link, and read back by the tests (also after an unload).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "win32/ModuleState.h"
#include "win32/WinTypes.h"

#define HOSTPROBE_API __attribute__((visibility("default")))

namespace hostprobe {

/// One operation of a test host object, as the host saw it.
struct Call {
    std::string plugin;                  ///< TESTHOST_NAME of the plug-in
    std::string operation;               ///< e.g. "Logon"
    std::string arguments;               ///< formatted with describe()
    const void* app = nullptr;           ///< the host object
    const void* currentApp = nullptr;    ///< CMailHostApp::Current() during the call
    VESK_MODULE_STATE* state = nullptr;  ///< the module state in force during the call
    HINSTANCE instance = nullptr;        ///< its hInstance
    HINSTANCE resource = nullptr;        ///< its hResource
};

/// A step of a host object's life: "construct", "init-begin" and "init" (around the base
/// InitInstance), "exit-begin" and "exit-end" (around the base ExitInstance), "destroy"; and
/// "command" when DisplayConfigWizardPages passed a command to OnCommand.
struct Event {
    std::string plugin;
    std::string what;
    const void* app = nullptr;
    HMODULE own = nullptr;             ///< m_hOwnResources
    HMODULE language = nullptr;        ///< m_hLanguage
    HINSTANCE instance = nullptr;      ///< the plug-in's module state: hInstance
    HINSTANCE resource = nullptr;      ///< and hResource
    VESK_MODULE_STATE* state = nullptr;  ///< the module state in force
    std::string helpPath;              ///< the host object's help file path
    int value = 0;                     ///< "command": what OnCommand returned
};

HOSTPROBE_API void recordCall(const Call& call);
HOSTPROBE_API std::vector<Call> calls();
HOSTPROBE_API void recordEvent(const Event& event);
HOSTPROBE_API std::vector<Event> events();
/// Forgets calls and events and puts every setting back to its default.
HOSTPROBE_API void reset();

/// What every operation returns (default 0).
HOSTPROBE_API void setResult(int result);
HOSTPROBE_API int result();
/// When set, every operation throws std::runtime_error after recording itself.
HOSTPROBE_API void setThrowing(bool throwing);
HOSTPROBE_API bool throwing();
/// The language library the next host object to start asks for (default "HOSTLANG.DLL").
HOSTPROBE_API void setLanguageLibrary(const std::string& name);
HOSTPROBE_API std::string languageLibrary();
/// The string that GetHostConfigInfo delivers (default 4300).
HOSTPROBE_API void setStringId(UINT id);
HOSTPROBE_API UINT stringId();
/// The command DisplayConfigWizardPages sends to the host object (0: none).
HOSTPROBE_API void setCommand(UINT id);
HOSTPROBE_API UINT command();

inline std::string describeOne(int value) {
    return std::to_string(value);
}
inline std::string describeOne(const void* pointer) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", pointer);
    return text;
}

/// The arguments of an operation as one text: "1,0x7ffc...".
template <typename... Args>
std::string describe(Args... args) {
    std::string text;
    ((text += (text.empty() ? "" : ",") + describeOne(args)), ...);
    return text;
}

}  // namespace hostprobe
