#include "resources/ResourceLookup.h"

#include "loader/ModuleRegistry.h"
#include "win32/ModuleState.h"

namespace vesk::res {

HMODULE resourceModule(HMODULE module) {
    if (module != nullptr) return module;
    // As MFC's resource loads do: NULL means the resource handle in force for this call.
    return VeskGetModuleState()->hResource;
}

const ResourceTable* resourcesFor(HMODULE module) {
    const HMODULE target = resourceModule(module);
    return target == nullptr ? nullptr : loader::resourcesOf(target);
}

const std::string* findString(HMODULE module, unsigned id) {
    const ResourceTable* table = resourcesFor(module);
    return table ? table->string(id) : nullptr;
}

const DialogTemplate* findDialog(HMODULE module, unsigned id) {
    const ResourceTable* table = resourcesFor(module);
    return table ? table->dialog(id) : nullptr;
}

const Bitmap* findBitmap(HMODULE module, unsigned id) {
    const ResourceTable* table = resourcesFor(module);
    return table ? table->bitmap(id) : nullptr;
}

const IconGroup* findIcon(HMODULE module, unsigned id) {
    const ResourceTable* table = resourcesFor(module);
    return table ? table->icon(id) : nullptr;
}

}  // namespace vesk::res
