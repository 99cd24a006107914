// LoadLibraryA, FreeLibrary, GetModuleFileNameA and the loader's own additions.
#include "win32/Module.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "loader/LoadFailure.h"
#include "loader/ModuleName.h"
#include "loader/ModuleRegistry.h"
#include "loader/ModuleTable.h"
#include "loader/SearchPath.h"
#include "loader/Symbols.h"
#include "resources/ResourceTable.h"

namespace {

using namespace vesk::loader;

std::string absolutePath(const std::string& path) {
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

// `file` is a path, or a bare name for the system loader to search for (`searched` true).
HMODULE openLibrary(const std::string& file, bool searched) {
    dlerror();
    // RTLD_NOW: like a Windows library, a module with an unresolvable import fails to load
    // instead of failing later at its first call. RTLD_LOCAL: one plug-in's symbols never
    // satisfy another's.
    void* dl = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (dl == nullptr) {
        SetLastError(loadFailureCode(searched ? std::string() : file, dlerror()));
        return nullptr;
    }
    struct link_map* object = nullptr;
    if (dlinfo(dl, RTLD_DI_LINKMAP, &object) != 0 || object == nullptr) {
        dlclose(dl);
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    std::string path = (object->l_name != nullptr && object->l_name[0] != '\0') ? object->l_name : file;
    const auto* ordinals =
        static_cast<const VESK_ORDINAL_ENTRY*>(ownSymbol(dl, object, VESK_ORDINAL_TABLE_SYMBOL));
    void* surplus = nullptr;
    HMODULE module = adoptLibrary(dl, object, path, ordinals, &surplus);
    if (surplus != nullptr) dlclose(surplus);
    return module;
}

HMODULE openResourceModule(const std::string& path) {
    if (HMODULE loaded = addResourceModuleReference(path)) return loaded;
    std::string reason;
    auto resources = vesk::res::loadResourceFile(path, &reason);
    if (!resources) {
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return nullptr;
    }
    return registerResourceModule(path, std::move(resources));
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR lpLibFileName) {
    // Taken first: the folder of the module that called us is part of the search.
    const void* caller = __builtin_return_address(0);
    if (lpLibFileName == nullptr || lpLibFileName[0] == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const ModuleFileNames names = mapModuleName(lpLibFileName);
    const bool hasFolder = !names.folder.empty();
    const std::vector<std::string> folders =
        hasFolder ? std::vector<std::string>{names.folder} : searchFolders(caller);
    for (const std::string& folder : folders) {
        const std::string prefix = folder.back() == '/' ? folder : folder + '/';
        if (!names.library.empty() && isFile(prefix + names.library)) {
            return openLibrary(absolutePath(prefix + names.library), false);
        }
        if (!names.resources.empty() && isFile(prefix + names.resources)) {
            return openResourceModule(absolutePath(prefix + names.resources));
        }
    }
    if (hasFolder || names.library.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return openLibrary(names.library, true);
}

BOOL FreeLibrary(HMODULE hLibModule) {
    void* dl = nullptr;
    switch (releaseModule(hLibModule, &dl)) {
        case Release::Invalid:
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        case Release::Kept:
            return TRUE;
        case Release::Unload:
            // The library's destructors run here and may free modules of their own.
            dlclose(dl);
            finishUnload(hLibModule);
            return TRUE;
    }
    return FALSE;
}

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    std::string path;
    if (hModule == nullptr) {
        path = programPath();
    } else if (auto view = lookupModule(hModule)) {
        path = view->path;
    }
    if (path.empty()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (lpFilename == nullptr || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() < nSize) {
        std::memcpy(lpFilename, path.c_str(), path.size() + 1);
        return static_cast<DWORD>(path.size());
    }
    std::memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}

HMODULE VeskModuleFromAddress(const void* address) {
    return moduleFromAddress(address);
}

BOOL VeskAttachResources(HMODULE hModule, const void* data, size_t size) {
    if (data == nullptr) {
        if (attachResources(hModule, nullptr)) return TRUE;
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lookupModule(hModule)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::string reason;
    auto resources = vesk::res::parseResources(data, size, &reason);
    if (!resources) {
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return FALSE;
    }
    if (attachResources(hModule, std::move(resources))) return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}
