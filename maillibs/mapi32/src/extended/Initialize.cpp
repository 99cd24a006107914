// MAPIInitialize and MAPIUninitialize: a count of initialisations. Objects handed out before
// the last MAPIUninitialize stay usable until released; only new logons are refused.
#include <atomic>

#include "extended/Subsystem.h"
#include "mapi32/mapix.h"

namespace {

std::atomic<long>& initialisations() {
    static std::atomic<long> count{0};
    return count;
}

constexpr ULONG kKnownInitFlags = MAPI_MULTITHREAD_NOTIFICATIONS | MAPI_NO_COINIT | MAPI_NT_SERVICE;

}  // namespace

bool vesk::mapi32::ex::subsystemInitialised() { return initialisations().load() > 0; }

extern "C" MAPI32_API HRESULT WINAPI MAPIInitialize(LPVOID lpMapiInit) {
    if (lpMapiInit != nullptr) {
        const auto* init = static_cast<const MAPIINIT_0*>(lpMapiInit);
        if (init->ulVersion != MAPI_INIT_VERSION) return MAPI_E_VERSION;
        if ((init->ulFlags & ~kKnownInitFlags) != 0) return MAPI_E_INVALID_PARAMETER;
    }
    ++initialisations();
    return S_OK;
}

extern "C" MAPI32_API void WINAPI MAPIUninitialize(void) {
    // An unmatched call must not drive the count below zero and so swallow a later
    // MAPIInitialize.
    long count = initialisations().load();
    while (count > 0 && !initialisations().compare_exchange_weak(count, count - 1)) {
    }
}
