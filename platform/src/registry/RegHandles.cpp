#include "registry/RegHandles.h"

#include <memory>
#include <mutex>
#include <unordered_set>

#include "registry/RegPath.h"
#include "win32/Registry.h"

namespace vesk::reg {
namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_set<const OpenKey*> open;
};

HandleTable& table() {
    static HandleTable instance;
    return instance;
}

constexpr REGSAM kGenericRead = 0x80000000u;
constexpr REGSAM kGenericWrite = 0x40000000u;
constexpr REGSAM kGenericAll = 0x10000000u;

}  // namespace

std::optional<OpenKey> lookupHandle(HKEY key) {
    if (std::optional<std::string> root = rootPath(key)) return OpenKey{*root, KEY_ALL_ACCESS};
    HandleTable& handles = table();
    std::lock_guard<std::mutex> hold(handles.mutex);
    // Compare the value only: an unknown pointer is never dereferenced.
    auto found = handles.open.find(reinterpret_cast<const OpenKey*>(key));
    if (found == handles.open.end()) return std::nullopt;
    return **found;
}

HKEY openHandle(const OpenKey& key) {
    auto object = std::make_unique<OpenKey>(key);
    HandleTable& handles = table();
    std::lock_guard<std::mutex> hold(handles.mutex);
    handles.open.insert(object.get());
    return reinterpret_cast<HKEY>(object.release());
}

bool closeHandle(HKEY key) {
    if (rootPath(key)) return true;
    HandleTable& handles = table();
    std::unique_ptr<const OpenKey> object;
    {
        std::lock_guard<std::mutex> hold(handles.mutex);
        auto found = handles.open.find(reinterpret_cast<const OpenKey*>(key));
        if (found == handles.open.end()) return false;
        object.reset(*found);
        handles.open.erase(found);
    }
    return true;
}

REGSAM effectiveAccess(REGSAM requested) {
    REGSAM access = requested & KEY_ALL_ACCESS;
    if (requested & (MAXIMUM_ALLOWED | kGenericAll)) access |= KEY_ALL_ACCESS;
    if (requested & kGenericRead) access |= KEY_READ;
    if (requested & kGenericWrite) access |= KEY_WRITE;
    return access;
}

}  // namespace vesk::reg
