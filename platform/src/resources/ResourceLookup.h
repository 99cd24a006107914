// Finding resources by module handle: what the window system and the Win32 loaders call.
//
// Every function takes the module the way a Win32 call would: a module handle, or NULL for
// "where this code loads resources from", i.e. the resource handle of the current module
// state (inside a call into a plug-in, its language library).
#pragma once

#include <string>

#include "resources/ResourceTable.h"
#include "win32/Export.h"
#include "win32/WinTypes.h"

namespace vesk::res {

/// The module a resource load with `module` goes to: `module` itself, or for NULL the
/// current module state's resource handle (which may be NULL as well).
VESK_EXPORT HMODULE resourceModule(HMODULE module);

/// The resource table of `module` (NULL as above), or null when the handle names no live
/// module or the module carries no resources. Valid while the module stays loaded.
VESK_EXPORT const ResourceTable* resourcesFor(HMODULE module);

/// String, dialog template, bitmap or icon `id` of `module` (NULL as above), or null when
/// there is none. The result is owned by the module's table and valid while it stays loaded.
VESK_EXPORT const std::string* findString(HMODULE module, unsigned id);
VESK_EXPORT const DialogTemplate* findDialog(HMODULE module, unsigned id);
VESK_EXPORT const Bitmap* findBitmap(HMODULE module, unsigned id);
VESK_EXPORT const IconGroup* findIcon(HMODULE module, unsigned id);

}  // namespace vesk::res
