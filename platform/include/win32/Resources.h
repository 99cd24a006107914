// Loading resources of a module: the Win32 string loader.
//
// A module's resources are the .res table the loader attached to it: a language library's
// own, or a plug-in's embedded English copy.
#pragma once

#include "win32/Export.h"
#include "win32/WinTypes.h"

/// Loads string `uID` of module `hInstance` as Windows-1252 text into `lpBuffer`.
///
/// hInstance    in: the module whose strings are searched. NULL stands for the module that
///              resource loads of the calling code go to: the resource handle of the current
///              module state (a plug-in's language library while a call into the plug-in runs;
///              outside any plug-in the process's own state, which normally names none).
///              A stale or foreign handle finds nothing.
/// uID          in: the string number.
/// lpBuffer     out: receives at most `cchBufferMax` - 1 characters and a NUL; the caller owns it.
/// cchBufferMax in: the size of `lpBuffer` in bytes.
///
/// Returns the number of characters copied, without the NUL. Returns 0 when the string does
/// not exist (or is empty); the buffer then holds an empty string. With a null buffer or a
/// size below 1 nothing is written and 0 is returned.
WIN32_API int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);
