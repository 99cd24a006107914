// The nine Simple MAPI entry points Salvith uses, bound at run time from the mail library.
// The backend calls the library only through this table, so a test can put a recording fake
// in its place.
#pragma once

#include "mapi32/mapi.h"
#include "win32/WinTypes.h"

/// The entry points, in the order they are looked up.
struct SmapiFunctions {
    LPMAPILOGON MAPILogon = nullptr;
    LPMAPILOGOFF MAPILogoff = nullptr;
    LPMAPISENDMAIL MAPISendMail = nullptr;
    LPMAPIFINDNEXT MAPIFindNext = nullptr;
    LPMAPIREADMAIL MAPIReadMail = nullptr;
    LPMAPISAVEMAIL MAPISaveMail = nullptr;
    LPMAPIDELETEMAIL MAPIDeleteMail = nullptr;
    LPMAPIFREEBUFFER MAPIFreeBuffer = nullptr;
    LPMAPIRESOLVENAME MAPIResolveName = nullptr;
};

/// The bound mail library: its handle, its entry points and whether all nine were found.
class CSmapiBinding {
public:
    CSmapiBinding() = default;
    /// Releases a library still held.
    ~CSmapiBinding();
    CSmapiBinding(const CSmapiBinding&) = delete;
    CSmapiBinding& operator=(const CSmapiBinding&) = delete;

    /// Loads `libraryName` and looks the nine entry points up by name, in table order.
    /// MAILHOST_OK (bound), MAILHOST_LIBRARY_NOT_FOUND (nothing held), or
    /// MAILHOST_ENTRY_POINT_MISSING: the entry points before the missing one are set, the
    /// library stays held until Unbind and the binding is not bound.
    int Bind(const char* libraryName);

    /// Releases the library (when one is held) and clears the table.
    /// MAILHOST_OK, or MAILHOST_ERROR when the library refused to be released.
    int Unbind();

    /// Binds `functions` without a library, for tests: bound when all nine are set.
    void UseFunctions(const SmapiFunctions& functions);

    bool IsBound() const { return m_bound; }
    bool HoldsLibrary() const { return m_library != nullptr; }
    const SmapiFunctions& Functions() const { return m_functions; }

private:
    HMODULE m_library = nullptr;
    SmapiFunctions m_functions;
    bool m_bound = false;
};
