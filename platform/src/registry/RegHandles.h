// Key handles: what an HKEY stands for. Root keys are predefined constants; every other handle
// is a heap object made by openHandle and freed by closeHandle, and only handles that are
// currently open are accepted, so a stale or foreign value is refused instead of used.
#pragma once

#include <optional>
#include <string>

#include "win32/WinTypes.h"

namespace vesk::reg {

/// What a handle stands for: a key's path and the rights it was opened with.
struct OpenKey {
    std::string path;
    REGSAM access = 0;
};

/// The key a handle stands for: a root key (all rights) or an open handle; nothing otherwise.
std::optional<OpenKey> lookupHandle(HKEY key);

/// A new handle for `key`; the caller closes it with closeHandle. Throws std::bad_alloc.
HKEY openHandle(const OpenKey& key);

/// Frees an open handle. True for an open handle or a root key, false for anything else.
bool closeHandle(HKEY key);

/// Rights as a handle holds them: generic and MAXIMUM_ALLOWED requests turned into key rights.
REGSAM effectiveAccess(REGSAM requested);

}  // namespace vesk::reg
