// The loader's table of modules. A module handle (HMODULE) names one entry: a shared library
// opened with dlopen, a resource-only module read from a .res file, or both (a plug-in with
// its embedded English resources). Other parts of the platform reach a module's resources
// through here and never through the handle's bits.
#pragma once

#include <memory>
#include <string>

#include "win32/WinTypes.h"

namespace vesk::res {
class ResourceTable;
}

namespace vesk::loader {

/// The resources attached to `module`, or null when the handle names no live module or the
/// module carries none. The table stays valid while the module is loaded.
const vesk::res::ResourceTable* resourcesOf(HMODULE module);

/// Attaches a parsed resource table to a live module (replacing any earlier one).
/// Returns false when the handle names no live module.
bool attachResources(HMODULE module, std::shared_ptr<const vesk::res::ResourceTable> table);

/// Registers a resource-only module (a language library) with one reference.
/// `path` is where it was read from, for diagnostics.
HMODULE registerResourceModule(const std::string& path,
                               std::shared_ptr<const vesk::res::ResourceTable> table);

/// The module that contains `address` (the calling library's own handle when given the
/// address of one of its functions or variables); registers it on first use.
/// Null when the address belongs to no loaded object.
HMODULE moduleFromAddress(const void* address);

/// The file a live module was loaded from, or empty.
std::string modulePath(HMODULE module);

}  // namespace vesk::loader
