// MAPIAllocateBuffer and MAPIAllocateMore: the same allocation chains as every structure this
// library hands out, so one MAPIFreeBuffer frees a root and all it carries.
#include "common/Buffers.h"
#include "mapi32/mapix.h"

using namespace vesk::mapi32;

extern "C" MAPI32_API SCODE WINAPI MAPIAllocateBuffer(ULONG cbSize, LPVOID* lppBuffer) {
    if (lppBuffer == nullptr) return MAPI_E_INVALID_PARAMETER;
    *lppBuffer = allocateBuffer(cbSize);
    return *lppBuffer != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
}

extern "C" MAPI32_API SCODE WINAPI MAPIAllocateMore(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer) {
    if (lppBuffer == nullptr) return MAPI_E_INVALID_PARAMETER;
    *lppBuffer = nullptr;
    // A parent that is not a live root (a linked block, freed memory, a stranger's pointer)
    // is refused: the new block would otherwise never be freed, or be freed twice.
    if (!isLiveRoot(lpObject)) return MAPI_E_INVALID_PARAMETER;
    *lppBuffer = allocateMore(cbSize, lpObject);
    return *lppBuffer != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
}
