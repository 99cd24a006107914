// GetProcAddress: by name or by ordinal, from the module's own symbols and ordinal table.
#include <dlfcn.h>

#include "loader/ModuleTable.h"
#include "loader/Symbols.h"
#include "win32/Module.h"

namespace {

using namespace vesk::loader;

// A dlopen handle for the time of one lookup: ours when we hold one, else a fresh reference
// to a module we know only by address, taken without loading anything (so a module that was
// unloaded behind our back is noticed instead of searched).
class LookupHandle {
public:
    explicit LookupHandle(const ModuleView& view) {
        if (view.dl != nullptr) {
            m_dl = view.dl;
        } else if (view.program) {
            m_dl = m_owned = dlopen(nullptr, RTLD_LAZY);
        } else {
            m_dl = m_owned = dlopen(view.path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
        }
    }
    ~LookupHandle() {
        if (m_owned != nullptr) dlclose(m_owned);
    }
    LookupHandle(const LookupHandle&) = delete;
    LookupHandle& operator=(const LookupHandle&) = delete;

    void* get() const { return m_dl; }

private:
    void* m_dl = nullptr;
    void* m_owned = nullptr;
};

FARPROC asProc(const void* address) {
    return reinterpret_cast<FARPROC>(const_cast<void*>(address));
}

}  // namespace

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    const auto view = lookupModule(hModule);
    if (!view || view->closing) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (view->resourceOnly || lpProcName == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    LookupHandle handle(*view);
    if (handle.get() == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const VESK_ORDINAL_ENTRY* ordinals =
        view->dl != nullptr ? view->ordinals
                            : static_cast<const VESK_ORDINAL_ENTRY*>(
                                  ownSymbol(handle.get(), view->linkMap, VESK_ORDINAL_TABLE_SYMBOL));
    if (IS_INTRESOURCE(lpProcName)) {
        const auto ordinal = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(lpProcName));
        if (const VESK_ORDINAL_ENTRY* entry = findOrdinal(ordinals, ordinal)) return asProc(entry->address);
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    if (const void* address = ownSymbol(handle.get(), view->linkMap, lpProcName)) return asProc(address);
    if (const VESK_ORDINAL_ENTRY* entry = findOrdinalName(ordinals, lpProcName)) return asProc(entry->address);
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}
