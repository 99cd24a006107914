// MAPIFreeBuffer: one call frees a whole structure this library handed out.
#include "common/Buffers.h"
#include "mapi32/mapi.h"

extern "C" MAPI32_API ULONG WINAPI MAPIFreeBuffer(LPVOID pv) {
    // A pointer that is not the start of a live chain is refused, never passed to free().
    return vesk::mapi32::freeBuffer(pv) ? SUCCESS_SUCCESS : MAPI_E_FAILURE;
}
