// The ten Extended MAPI entry points Dunmere uses, bound at run time from mapi32.dll. The
// backend calls the library only through this table and the interfaces it hands out, so a test
// can put a recording fake in its place.
#pragma once

#include "mapi32/mapix.h"
#include "win32/WinTypes.h"

/// The entry points, in the order they are bound (three by ordinal, seven by name).
struct MapiFunctions {
    LPFREEPROWS FreeProws = nullptr;                  ///< ordinal 140
    LPHRQUERYALLROWS HrQueryAllRows = nullptr;        ///< ordinal 75
    LPMAPIADMINPROFILES MAPIAdminProfiles = nullptr;  ///< "MAPIAdminProfiles"
    LPMAPIINITIALIZE MAPIInitialize = nullptr;        ///< "MAPIInitialize"
    LPMAPILOGONEX MAPILogonEx = nullptr;              ///< "MAPILogonEx"
    LPMAPIUNINITIALIZE MAPIUninitialize = nullptr;    ///< "MAPIUninitialize"
    LPMAPIFREEBUFFER MAPIFreeBuffer = nullptr;        ///< "MAPIFreeBuffer"
    LPFREEPADRLIST FreePadrlist = nullptr;            ///< ordinal 139
    LPMAPIALLOCATEMORE MAPIAllocateMore = nullptr;    ///< "MAPIAllocateMore"
    LPMAPIALLOCATEBUFFER MAPIAllocateBuffer = nullptr;  ///< "MAPIAllocateBuffer"

    /// True when all ten are set.
    bool Complete() const;
};

/// The bound library: its handle and its entry points.
class CMapiBinding {
public:
    CMapiBinding() = default;
    /// Releases a library still held.
    ~CMapiBinding();
    CMapiBinding(const CMapiBinding&) = delete;
    CMapiBinding& operator=(const CMapiBinding&) = delete;

    /// Loads `libraryName` (nothing held before) and binds the ten entry points in table order.
    /// MAILHOST_OK, MAILHOST_LIBRARY_NOT_FOUND (nothing held), or MAILHOST_INIT_FAILED at the
    /// first one missing: those before it stay set and the library stays held until Unbind.
    int Bind(const char* libraryName);

    /// Clears the table (the library stays held).
    void ClearFunctions() { m_functions = MapiFunctions(); }
    /// Releases the library when one is held. MAILHOST_OK, or MAILHOST_ERROR when it refused
    /// to be released; the handle is gone either way.
    int ReleaseLibrary();

    /// Puts `functions` in place without a library, for tests.
    void UseFunctions(const MapiFunctions& functions) { m_functions = functions; }

    bool HoldsLibrary() const { return m_library != nullptr; }
    const MapiFunctions& Functions() const { return m_functions; }

private:
    HMODULE m_library = nullptr;
    MapiFunctions m_functions;
};
