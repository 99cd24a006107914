// Telling whoever shows progress that this process is waiting on something outside it (the
// sending command, say). The mail libraries report; the program at the top (the conduit) shows.
// One hook per process, kept in the platform library because every module shares its one copy.
#pragma once

#include "win32/Export.h"

namespace vesk {

/// Receives `what` ("the sending command") and how many whole seconds it has been waited for.
using WaitHook = void (*)(const char* what, int seconds, void* context);

/// Installs `hook` (null removes it); returns nothing. Not thread-safe against `noteWait` on
/// another thread: install it before the work starts.
VESK_EXPORT void setWaitHook(WaitHook hook, void* context);

/// Reports a wait; does nothing when no hook is installed. Called about once a second while
/// the wait lasts, and once with `seconds` -1 when it ended.
VESK_EXPORT void noteWait(const char* what, int seconds);

}  // namespace vesk
