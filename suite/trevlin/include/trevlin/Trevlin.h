// The sync manager's yield call. Long work inside a plug-in calls SyncYieldCycles(100) at
// fixed points so that the sync manager stays responsive; the conduit hooks it to show
// progress and to count how often the plug-in gave way.
#pragma once

#define TREVLIN_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/// Called on every SyncYieldCycles with its argument and the context given with the hook.
/// It must not call back into the plug-in that is yielding. Its result becomes the result of
/// SyncYieldCycles.
typedef int (*TREVLIN_YIELD_HOOK)(int cycles, void* context);

/// Gives the sync manager `cycles` rounds of its own work. Counts the call, then runs the hook
/// (if one is set). Returns the hook's result, or 0 without a hook. Callers may ignore it.
TREVLIN_API int SyncYieldCycles(int cycles);

/// Sets (or with null removes) the hook and its context; replaces any earlier hook.
TREVLIN_API void TrevlinSetYieldHook(TREVLIN_YIELD_HOOK hook, void* context);

/// How many times SyncYieldCycles has been called in this process.
TREVLIN_API unsigned long TrevlinYieldCount(void);

#ifdef __cplusplus
}
#endif
