// The registry: keys, values and the advapi32 calls that read and write them. The stand-in keeps
// the whole registry in one REGEDIT4 text file, $VESK_HOME/registry.reg (see vesk::home()), read
// afresh whenever another process changed it and replaced atomically on every write.
//
// Every call returns a Win32 error code directly (ERROR_SUCCESS on success).
#pragma once

#include "win32/Export.h"
#include "win32/WinTypes.h"

typedef HKEY* PHKEY;
typedef struct _SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

// Predefined root keys: always open, never need closing.
#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002u)
#define HKEY_USERS ((HKEY)(ULONG_PTR)0x80000003u)

// Value types.
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4  ///< 32 bits, little-endian
#define REG_MULTI_SZ 7

// Access rights.
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F
#define MAXIMUM_ALLOWED 0x02000000

// RegCreateKeyExA options and dispositions.
#define REG_OPTION_NON_VOLATILE 0x0
#define REG_OPTION_OPEN_LINK 0x8
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

// Results.
#ifndef ERROR_SUCCESS
#define ERROR_SUCCESS 0
#endif
#ifndef ERROR_FILE_NOT_FOUND
#define ERROR_FILE_NOT_FOUND 2
#endif
#ifndef ERROR_ACCESS_DENIED
#define ERROR_ACCESS_DENIED 5
#endif
#ifndef ERROR_INVALID_HANDLE
#define ERROR_INVALID_HANDLE 6
#endif
#ifndef ERROR_NOT_ENOUGH_MEMORY
#define ERROR_NOT_ENOUGH_MEMORY 8
#endif
#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87
#endif
#ifndef ERROR_BAD_PATHNAME
#define ERROR_BAD_PATHNAME 161
#endif
#ifndef ERROR_MORE_DATA
#define ERROR_MORE_DATA 234
#endif
#ifndef ERROR_BADDB
#define ERROR_BADDB 1009  ///< the registry file is not a REGEDIT4 file; it is left alone
#endif
#ifndef ERROR_KEY_DELETED
#define ERROR_KEY_DELETED 1018
#endif

/// Opens an existing key `lpSubKey` below `hKey` (a root or an open key). Names are
/// case-insensitive, components separated by '\'; a null or empty `lpSubKey` opens `hKey` again.
/// `ulOptions` is ignored; `samDesired` limits what the handle may do (KEY_QUERY_VALUE for
/// queries, KEY_SET_VALUE for changes; MAXIMUM_ALLOWED grants both).
/// On success `*phkResult` is a new handle the caller frees with RegCloseKey; on failure it is
/// null. Results: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND (no such key), ERROR_INVALID_HANDLE (bad
/// `hKey`), ERROR_INVALID_PARAMETER (`phkResult` null), ERROR_BAD_PATHNAME (`lpSubKey` starts
/// with '\' or holds an empty component), ERROR_KEY_DELETED (`hKey`'s key is gone).
WIN32_API LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                             PHKEY phkResult);

/// Opens `lpSubKey` below `hKey`, creating it and any missing parents first. `Reserved`,
/// `lpClass`, `dwOptions` and `lpSecurityAttributes` are ignored. `*lpdwDisposition` (may be
/// null) receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. Handle and results as
/// RegOpenKeyExA, plus ERROR_ACCESS_DENIED when the registry file cannot be written and
/// ERROR_INVALID_PARAMETER for a name holding CR or LF.
WIN32_API LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass,
                               DWORD dwOptions, REGSAM samDesired,
                               LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                               LPDWORD lpdwDisposition);

/// Reads value `lpValueName` of `hKey` (null or "" is the key's default value, `@`).
/// `lpType` (may be null) receives the type. With `lpData` null, `*lpcbData` receives the size in
/// bytes; otherwise `*lpcbData` is the buffer size on entry and the size of the data on return.
/// Strings are returned as stored, with their terminating NUL when they were stored with one:
/// allocate one byte more and terminate yourself. Results: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND
/// (no such value), ERROR_MORE_DATA (buffer too small: `*lpcbData` gets the size needed, the
/// buffer is not written), ERROR_INVALID_PARAMETER (`lpReserved` not null, or `lpData` without
/// `lpcbData`), ERROR_INVALID_HANDLE, ERROR_ACCESS_DENIED (handle lacks KEY_QUERY_VALUE),
/// ERROR_KEY_DELETED.
WIN32_API LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);

/// Stores `cbData` bytes of `lpData` as value `lpValueName` (null or "": the default value) of
/// type `dwType`, replacing any earlier value of that name. REG_SZ data should include its
/// terminating NUL, as on Windows. Written to the registry file at once, keeping every other
/// line of it. Results: ERROR_SUCCESS, ERROR_INVALID_HANDLE, ERROR_ACCESS_DENIED (handle lacks
/// KEY_SET_VALUE, or the file cannot be written), ERROR_INVALID_PARAMETER (`lpData` null with
/// `cbData` > 0, or a value name holding CR or LF), ERROR_KEY_DELETED.
WIN32_API LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                              const BYTE* lpData, DWORD cbData);

/// Removes value `lpValueName` of `hKey`. Results: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND (no such
/// value), and the failures of RegSetValueExA.
WIN32_API LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);

/// Frees a handle from RegOpenKeyExA or RegCreateKeyExA; closing a root key does nothing.
/// Results: ERROR_SUCCESS, ERROR_INVALID_HANDLE (null, unknown or already closed handle).
WIN32_API LONG RegCloseKey(HKEY hKey);
