// The desktop suite's common library, VeskCmn.dll ("veskcmn.so"). A plug-in reaches it by
// ordinal only: LoadLibraryA("VeskCmn.dll"), then GetProcAddress(h, MAKEINTRESOURCEA(n)).
#pragma once

#include "win32/WinTypes.h"

/// Ordinal 2: loads a plug-in's language library.
#define VESKCMN_ORDINAL_LOAD_LANGUAGE 2
/// Ordinal 3: frees what ordinal 2 loaded.
#define VESKCMN_ORDINAL_FREE_LANGUAGE 3

/// Ordinal 2. Loads the language library `fileName` ("SAVIDNE.DLL") with LoadLibraryA, which
/// finds a language library as a .res file beside the modules.
/// fileName in: the library's file name. own in: the calling plug-in's own module handle.
/// status out (may be null): 0 when the language library was loaded, else the loader's error.
/// Returns the language library's handle, or `own` when it cannot be loaded (the plug-in then
/// uses its embedded English resources). The caller gives the handle back to ordinal 3.
typedef HMODULE (*VESKCMN_LOAD_LANGUAGE)(LPCSTR fileName, HMODULE own, DWORD* status);

/// Ordinal 3. Frees `language` (a handle from ordinal 2); does nothing when it is `own` or null.
/// TRUE, or FALSE when the handle names no loaded module.
typedef BOOL (*VESKCMN_FREE_LANGUAGE)(HMODULE language, HMODULE own);
