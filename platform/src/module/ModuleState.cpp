#include "win32/ModuleState.h"

namespace {

// The state in force when no library has selected its own: the process itself.
VESK_MODULE_STATE g_processState = {nullptr, nullptr, nullptr, nullptr};
// Calls arrive on the conduit's thread one at a time; a per-thread current state still keeps
// a stray second thread from seeing another thread's selection.
thread_local VESK_MODULE_STATE* t_current = nullptr;

}  // namespace

VESK_MODULE_STATE* VeskGetModuleState(void) {
    return t_current != nullptr ? t_current : &g_processState;
}

VESK_MODULE_STATE* VeskSetModuleState(VESK_MODULE_STATE* state) {
    VESK_MODULE_STATE* previous = VeskGetModuleState();
    t_current = state;
    return previous;
}
