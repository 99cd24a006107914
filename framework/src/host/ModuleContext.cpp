#include "framework/ModuleContext.h"

namespace vesk::framework {
namespace {

// Constant-initialised: it is in place before any constructor of the plug-in runs. Hidden like
// everything in the framework, so every plug-in has its own.
VESK_MODULE_STATE g_pluginState = {nullptr, nullptr, nullptr, nullptr};

}  // namespace

VESK_MODULE_STATE& pluginModuleState() {
    return g_pluginState;
}

}  // namespace vesk::framework
