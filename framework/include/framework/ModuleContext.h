// The plug-in's module context. Each plug-in carries its own framework copy and so its own
// module state: its module handle, its resource handle (the language library after start-up)
// and its host object. A call into the plug-in selects that state for its duration, so that
// resource loads and help requests inside the call refer to the plug-in and not to the caller.
#pragma once

#include "win32/ModuleState.h"

namespace vesk::framework {

/// This plug-in's module state. Filled in at start-up (hInstance and hResource the own
/// module, app the host object), hResource set to the language library by InitInstance.
VESK_MODULE_STATE& pluginModuleState();

}  // namespace vesk::framework

/// Selects the plug-in's module state while it lives and restores the caller's when it goes
/// out of scope, on every path out, exceptions included. Not copyable; create it on the stack.
class CModuleContext {
public:
    CModuleContext() noexcept : m_previous(VeskSetModuleState(&vesk::framework::pluginModuleState())) {}
    ~CModuleContext() { VeskSetModuleState(m_previous); }
    CModuleContext(const CModuleContext&) = delete;
    CModuleContext& operator=(const CModuleContext&) = delete;

private:
    VESK_MODULE_STATE* m_previous;
};
