// The registry file of the desktop, $VESK_HOME/registry.reg: read afresh whenever its bytes
// changed, changed under a lock on its folder and replaced atomically.
#pragma once

#include <functional>
#include <string>

#include "registry/RegDocument.h"
#include "win32/WinTypes.h"

namespace vesk::reg {

/// Runs `read` on the registry as the file holds it now and returns its result. A missing or
/// unreadable file is an empty registry.
LONG readRegistry(const std::function<LONG(const RegDocument&)>& read);

/// Runs `edit` on the registry as the file holds it now, with every other writer (thread or
/// process) kept waiting. `edit` returns a Win32 result and puts the new file text in its
/// second argument; when that differs from the old text the file is replaced. Returns `edit`'s
/// failure, ERROR_BADDB when the file is not a registry file, ERROR_ACCESS_DENIED when the file
/// cannot be read or written, else ERROR_SUCCESS.
LONG changeRegistry(const std::function<LONG(const RegDocument&, std::string&)>& edit);

}  // namespace vesk::reg
