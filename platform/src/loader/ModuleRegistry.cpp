#include "loader/ModuleRegistry.h"

#include <dlfcn.h>
#include <link.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "loader/ModuleTable.h"
#include "loader/SearchPath.h"
#include "resources/ResourceTable.h"

namespace vesk::loader {
namespace {

struct Entry {
    ModuleView view;
    int references = 0;  ///< LoadLibraryA references; 0 for a module known only by address
    std::shared_ptr<const res::ResourceTable> resources;
    // Tables replaced by attachResources stay alive with the module: a caller may still hold
    // the pointer that resourcesOf gave it.
    std::vector<std::shared_ptr<const res::ResourceTable>> retired;
};

// Handles look like addresses but are counters: they are never reused, and no handle is ever
// dereferenced, so a stale or made-up one is simply not found.
constexpr uintptr_t kFirstHandle = 0x10000000u;
constexpr uintptr_t kHandleStep = 0x10000u;

struct Table {
    std::mutex lock;
    std::map<uintptr_t, Entry> entries;
    uintptr_t next = kFirstHandle;

    HMODULE add(Entry entry) {
        uintptr_t handle = next;
        next += kHandleStep;
        entries.emplace(handle, std::move(entry));
        return reinterpret_cast<HMODULE>(handle);
    }

    Entry* find(HMODULE module) {
        auto it = entries.find(reinterpret_cast<uintptr_t>(module));
        return it == entries.end() ? nullptr : &it->second;
    }

    // The live (not closing) entry of a shared object.
    std::map<uintptr_t, Entry>::iterator findObject(const void* linkMap) {
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (it->second.view.linkMap == linkMap && !it->second.view.closing) return it;
        }
        return entries.end();
    }
};

// Never destroyed: libraries still loaded at exit run their destructors, which free modules,
// after this library's own static destructors could already have run.
Table& table() {
    static Table* instance = new Table;
    return *instance;
}

}  // namespace

HMODULE adoptLibrary(void* dl, const void* linkMap, const std::string& path,
                     const VESK_ORDINAL_ENTRY* ordinals, void** surplus) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    *surplus = nullptr;
    auto it = t.findObject(linkMap);
    if (it != t.entries.end()) {
        Entry& entry = it->second;
        // Known by address so far (the library asked for its own handle while it was being
        // loaded): from now on it is ours, with this open as its first reference.
        if (entry.view.dl == nullptr && !entry.view.program) {
            entry.view.dl = dl;
            entry.view.ordinals = ordinals;
            entry.view.path = path;
        } else {
            *surplus = dl;
        }
        ++entry.references;
        return reinterpret_cast<HMODULE>(it->first);
    }
    Entry entry;
    entry.view.dl = dl;
    entry.view.linkMap = linkMap;
    entry.view.path = path;
    entry.view.ordinals = ordinals;
    entry.references = 1;
    return t.add(std::move(entry));
}

HMODULE addResourceModuleReference(const std::string& path) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    for (auto& [handle, entry] : t.entries) {
        if (entry.view.resourceOnly && entry.view.path == path) {
            ++entry.references;
            return reinterpret_cast<HMODULE>(handle);
        }
    }
    return nullptr;
}

Release releaseModule(HMODULE module, void** dl) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    *dl = nullptr;
    Entry* entry = t.find(module);
    if (entry == nullptr || entry->view.closing) return Release::Invalid;
    if (entry->references == 0) return Release::Kept;
    if (--entry->references > 0) return Release::Kept;
    if (entry->view.resourceOnly) {
        t.entries.erase(reinterpret_cast<uintptr_t>(module));
        return Release::Kept;
    }
    *dl = entry->view.dl;
    entry->view.dl = nullptr;
    entry->view.closing = true;
    return Release::Unload;
}

void finishUnload(HMODULE module) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    t.entries.erase(reinterpret_cast<uintptr_t>(module));
}

std::optional<ModuleView> lookupModule(HMODULE module) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    Entry* entry = t.find(module);
    if (entry == nullptr) return std::nullopt;
    return entry->view;
}

const res::ResourceTable* resourcesOf(HMODULE module) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    Entry* entry = t.find(module);
    return entry == nullptr ? nullptr : entry->resources.get();
}

bool attachResources(HMODULE module, std::shared_ptr<const res::ResourceTable> resources) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    Entry* entry = t.find(module);
    if (entry == nullptr) return false;
    if (entry->resources) entry->retired.push_back(std::move(entry->resources));
    entry->resources = std::move(resources);
    return true;
}

HMODULE registerResourceModule(const std::string& path,
                               std::shared_ptr<const res::ResourceTable> resources) {
    Entry entry;
    entry.view.path = path;
    entry.view.resourceOnly = true;
    entry.references = 1;
    entry.resources = std::move(resources);
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    return t.add(std::move(entry));
}

HMODULE moduleFromAddress(const void* address) {
    Dl_info info;
    struct link_map* object = nullptr;
    if (address == nullptr ||
        dladdr1(address, &info, reinterpret_cast<void**>(&object), RTLD_DL_LINKMAP) == 0 ||
        object == nullptr) {
        return nullptr;
    }
    const bool program = object->l_name == nullptr || object->l_name[0] == '\0';
    std::string path = program ? programPath() : std::string(object->l_name);

    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    // A closing entry still answers: a library's destructors may ask for their own handle.
    for (auto& [handle, entry] : t.entries) {
        if (entry.view.linkMap != object) continue;
        // The dynamic linker reuses the memory of unloaded objects; an entry for another file
        // at the same place is a leftover of a library unloaded behind our back.
        if (entry.view.path == path || entry.references > 0 || entry.view.closing) {
            return reinterpret_cast<HMODULE>(handle);
        }
        t.entries.erase(handle);
        break;
    }
    Entry entry;
    entry.view.linkMap = object;
    entry.view.path = std::move(path);
    entry.view.program = program;
    return t.add(std::move(entry));
}

std::string modulePath(HMODULE module) {
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.lock);
    Entry* entry = t.find(module);
    return entry == nullptr ? std::string() : entry->view.path;
}

}  // namespace vesk::loader
