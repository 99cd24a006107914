// The loader's own view of its table of modules (ModuleRegistry.h is the part other platform
// code uses). Entries are keyed by handle; handles count up and are never reused, so a stale
// handle finds nothing. The table's lock is never held while a library is opened or closed:
// the library's constructors and destructors call back into the loader.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "win32/OrdinalTable.h"
#include "win32/WinTypes.h"

namespace vesk::loader {

/// A copy of what the table holds for one module.
struct ModuleView {
    void* dl = nullptr;                          ///< our dlopen reference, null when we hold none
    const void* linkMap = nullptr;               ///< the object's identity in the dynamic linker
    std::string path;                            ///< the file it came from
    const VESK_ORDINAL_ENTRY* ordinals = nullptr;
    bool resourceOnly = false;                   ///< read from a .res file; has no code
    bool program = false;                        ///< the executable itself
    bool closing = false;                        ///< its last reference is gone, unload under way
};

/// Records a library just opened with dlopen (`dl`, identity `linkMap`): a new entry with one
/// reference, or one more reference on the entry that already stands for the same object
/// (then `*surplus` receives `dl`, which the caller closes to balance the open).
HMODULE adoptLibrary(void* dl, const void* linkMap, const std::string& path,
                     const VESK_ORDINAL_ENTRY* ordinals, void** surplus);

/// Adds a reference to the resource-only module read from `path`, if one is loaded.
HMODULE addResourceModuleReference(const std::string& path);

enum class Release {
    Invalid,  ///< the handle names no live module
    Kept,     ///< references remain (or the module is not ours to unload)
    Unload    ///< last reference of a library: close `*dl`, then call finishUnload
};

/// Drops one reference. On Release::Unload the entry stays (marked closing, so its resources
/// remain reachable from the library's destructors) until finishUnload.
Release releaseModule(HMODULE module, void** dl);

/// Removes the entry of a library whose last reference was dropped and that has been closed.
void finishUnload(HMODULE module);

/// What the table holds for `module`, or nothing when the handle names no live module.
std::optional<ModuleView> lookupModule(HMODULE module);

}  // namespace vesk::loader
