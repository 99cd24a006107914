// Why dlopen refused a file, in the terms of the Windows loader.
#pragma once

#include <string>

#include "win32/WinTypes.h"

namespace vesk::loader {

/// The last-error code for an existing file at `path` that dlopen refused with `reason`
/// (dlerror's text, may be null; an empty `path` stands for a bare name that the system
/// loader searched for): ERROR_BAD_EXE_FORMAT when the file is not a shared library for this
/// machine, ERROR_PROC_NOT_FOUND when the library needs a symbol that nothing
/// offers, ERROR_MOD_NOT_FOUND otherwise (typically a library it needs is missing).
DWORD loadFailureCode(const std::string& path, const char* reason);

}  // namespace vesk::loader
