// The current module context of the process: which library's instance and resources a call
// works with. Each plug-in owns one state and selects it for the duration of every call into
// it, restoring the caller's on the way out, so resource loads and help requests inside the
// call refer to the plug-in and not to the conduit.
#pragma once

#include "win32/Export.h"
#include "win32/WinTypes.h"

typedef struct VESK_MODULE_STATE {
    HINSTANCE hInstance;   ///< the library's own module
    HINSTANCE hResource;   ///< where strings, dialogs and bitmaps are loaded from
    void* app;             ///< the library's application (host) object, opaque to the platform
    const char* helpFile;  ///< help file of the application, or null
} VESK_MODULE_STATE;

/// The state in force; the process's own default state when no library selected one.
WIN32_API VESK_MODULE_STATE* VeskGetModuleState(void);
/// Selects `state` (null selects the process default) and returns the one in force before.
WIN32_API VESK_MODULE_STATE* VeskSetModuleState(VESK_MODULE_STATE* state);
