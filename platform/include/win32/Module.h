// Loading libraries and finding their entry points (the kernel32 module calls), plus the
// thread's last-error value that these calls report through.
//
// A DLL name maps to a module file by lower-casing its file name and replacing ".dll" with
// ".so" (a name without an extension gets ".so"): "VeskCmn.dll" is "veskcmn.so". A name
// without a folder is searched for in each folder of $VESK_LIBRARY_PATH (colon-separated), then
// in the folder of the module that calls LoadLibraryA, then by the system loader. In each of
// the first two places a "<name>.res" file stands in for a missing "<name>.so": it is loaded as
// a resource-only module (a language library: "SAVIDNE.DLL" is found as "savidne.res"). A name
// ending in ".res" names such a file directly.
//
// Handles are never reused: a handle that was freed, or one that never came from this loader,
// makes every call fail with ERROR_INVALID_HANDLE instead of touching memory.
#pragma once

#include <stddef.h>

#include "win32/Export.h"
#include "win32/WinTypes.h"

#ifndef ERROR_SUCCESS
#define ERROR_SUCCESS 0
#endif
#ifndef ERROR_INVALID_HANDLE
#define ERROR_INVALID_HANDLE 6
#endif
#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87
#endif
#ifndef ERROR_INSUFFICIENT_BUFFER
#define ERROR_INSUFFICIENT_BUFFER 122
#endif
#ifndef ERROR_MOD_NOT_FOUND
#define ERROR_MOD_NOT_FOUND 126
#endif
#ifndef ERROR_PROC_NOT_FOUND
#define ERROR_PROC_NOT_FOUND 127
#endif
#ifndef ERROR_BAD_EXE_FORMAT
#define ERROR_BAD_EXE_FORMAT 193
#endif

/// Loads the module that `lpLibFileName` names (see the search above) or adds a reference to
/// it when it is already loaded; each successful call must be matched by one FreeLibrary.
/// A name holding a '/' is taken as a path and not searched for.
/// Returns the module handle, or null with the last error set to ERROR_MOD_NOT_FOUND (no such
/// module, or a library it needs is missing), ERROR_BAD_EXE_FORMAT (the file is neither a
/// library for this machine nor a resource file), ERROR_PROC_NOT_FOUND (the library needs a
/// function that no loaded library offers) or ERROR_INVALID_PARAMETER (null or empty name).
WIN32_API HMODULE LoadLibraryA(LPCSTR lpLibFileName);

/// Finds a function or variable of `hModule`: by name, or by ordinal when `lpProcName` is
/// MAKEINTRESOURCEA(n). Ordinals come from the module's ordinal table (win32/OrdinalTable.h);
/// a name is looked up among the module's own dynamic symbols, then among the names of its
/// ordinal table. Symbols of the libraries a module depends on are never returned.
/// Returns the address, or null with ERROR_PROC_NOT_FOUND (no such entry; a resource-only
/// module has none) or ERROR_INVALID_HANDLE (`hModule` names no live module).
WIN32_API FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);

/// Drops one reference to `hModule`; the last one unloads the library (its static destructors
/// run before this returns) and invalidates the handle. A module that the loader knows only by
/// address (the program, or a library loaded by other means) is never unloaded: freeing it
/// succeeds and changes nothing.
/// TRUE, or FALSE with ERROR_INVALID_HANDLE.
WIN32_API BOOL FreeLibrary(HMODULE hLibModule);

/// Copies the file path of `hModule` (null: the program itself) into `lpFilename`, NUL-terminated.
/// Returns the length copied without the NUL. When `nSize` is too small the path is cut to
/// `nSize - 1` characters and terminated, `nSize` is returned and the last error is
/// ERROR_INSUFFICIENT_BUFFER. 0 with ERROR_INVALID_HANDLE when the handle names no live module.
WIN32_API DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);

/// The calling thread's last error, as left by the most recent failing call.
WIN32_API DWORD GetLastError(void);
/// Sets the calling thread's last error.
WIN32_API void SetLastError(DWORD dwErrCode);

/// The handle of the module that contains `address` (a function or variable of it), without
/// adding a reference; a module met this way for the first time is registered. A library uses
/// it to learn its own handle, also from its static constructors while it is being loaded.
/// Null when `address` lies in no loaded object.
WIN32_API HMODULE VeskModuleFromAddress(const void* address);

/// Parses `size` bytes of a .res file at `data` and makes them the resources of `hModule`,
/// replacing earlier ones; a plug-in hands over its embedded English copy this way. What is
/// kept is copied: the caller keeps its bytes. Null `data` detaches the module's resources.
/// FALSE when the handle names no live module (ERROR_INVALID_HANDLE) or the bytes are not a
/// resource file (ERROR_BAD_EXE_FORMAT).
WIN32_API BOOL VeskAttachResources(HMODULE hModule, const void* data, size_t size);

#ifdef __cplusplus
/// Turns an address from GetProcAddress into the function type the caller knows it has.
/// (A direct cast between function pointer types draws -Wcast-function-type.)
template <typename Fn>
inline Fn VeskProcAs(FARPROC proc) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}
#endif
