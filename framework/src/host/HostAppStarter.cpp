// Module start-up and shut-down of a plug-in (see VESK_DECLARE_HOST_APP).
#include <string>

#include "framework/HostApp.h"
#include "framework/ModuleContext.h"
#include "win32/Module.h"

// The plug-in's embedded English resources, put between these two symbols by the file that
// vesk_add_plugin generates. Weak: a plug-in built without resources has neither (both null).
extern "C" {
extern const unsigned char vesk_embedded_resources[] __attribute__((weak, visibility("hidden")));
extern const unsigned char vesk_embedded_resources_end[] __attribute__((weak, visibility("hidden")));
}

namespace vesk::framework {
namespace {

// What the framework names as help file before InitInstance replaces it: the module's own
// path with the extension .hlp.
std::string defaultHelpPath(HMODULE module) {
    char path[4096];
    DWORD length = GetModuleFileNameA(module, path, sizeof path);
    if (length == 0 || length >= sizeof path) return std::string();
    std::string help(path, length);
    size_t dot = help.rfind('.');
    if (dot != std::string::npos && help.find('/', dot) == std::string::npos) help.erase(dot);
    return help + ".hlp";
}

}  // namespace

HostAppStarter::HostAppStarter(CMailHostApp& app) : m_app(app) {
    VESK_MODULE_STATE& state = pluginModuleState();
    // Any address inside this library names it; the state itself is one.
    const HMODULE own = VeskModuleFromAddress(&state);
    state.hInstance = own;
    state.hResource = own;
    state.app = &app;
    const unsigned char* embedded = vesk_embedded_resources;
    const unsigned char* embeddedEnd = vesk_embedded_resources_end;
    if (embedded != nullptr && embeddedEnd > embedded) {
        VeskAttachResources(own, embedded, static_cast<size_t>(embeddedEnd - embedded));
    }
    m_app.SetHelpFilePath(defaultHelpPath(own));

    CModuleContext context;
    try {
        // A library cannot refuse to load from here (dlopen has no way to fail from a
        // constructor), so the result of InitInstance has nowhere to go; and an exception
        // escaping a constructor during dlopen would end the caller's process.
        (void)m_app.InitInstance();
    } catch (...) {
    }
}

HostAppStarter::~HostAppStarter() {
    {
        CModuleContext context;
        try {
            (void)m_app.ExitInstance();
        } catch (...) {
            // Destructors must not throw; the library is going away regardless.
        }
    }
    VESK_MODULE_STATE& state = pluginModuleState();
    // Put back as it was before start-up: nothing of this library stays reachable through
    // its handle once the library is gone.
    VeskAttachResources(state.hInstance, nullptr, 0);
    state.app = nullptr;
}

}  // namespace vesk::framework
