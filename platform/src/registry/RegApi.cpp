// The advapi32 registry calls over the registry file.
#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "registry/RegHandles.h"
#include "registry/RegPath.h"
#include "registry/RegStore.h"
#include "win32/Registry.h"

namespace {

using vesk::reg::OpenKey;
using vesk::reg::RegData;
using vesk::reg::RegDocument;

bool holdsLineBreak(const char* text) {
    return text != nullptr && std::strpbrk(text, "\r\n") != nullptr;
}

std::string valueName(const char* name) {
    return name != nullptr ? std::string(name) : std::string();
}

// Runs `body` and turns an exception (only std::bad_alloc is expected) into a Win32 result, so
// none ever crosses the C boundary.
template <typename Body>
LONG guarded(Body body) {
    try {
        return body();
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

// The key `subKey` below `base`, for open and create.
LONG resolveChild(HKEY base, const char* subKey, OpenKey& parent, std::string& path) {
    std::optional<OpenKey> found = vesk::reg::lookupHandle(base);
    if (!found) return ERROR_INVALID_HANDLE;
    std::optional<std::string> child = vesk::reg::childPath(found->path, subKey);
    if (!child) return ERROR_BAD_PATHNAME;
    parent = std::move(*found);
    path = std::move(*child);
    return ERROR_SUCCESS;
}

// Checks a value call's handle: open, holding `right`.
LONG resolveForValues(HKEY key, REGSAM right, OpenKey& open) {
    std::optional<OpenKey> found = vesk::reg::lookupHandle(key);
    if (!found) return ERROR_INVALID_HANDLE;
    if ((found->access & right) == 0) return ERROR_ACCESS_DENIED;
    open = std::move(*found);
    return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*ulOptions*/, REGSAM samDesired, PHKEY phkResult) {
    if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    return guarded([&]() -> LONG {
        OpenKey parent;
        std::string path;
        LONG result = resolveChild(hKey, lpSubKey, parent, path);
        if (result != ERROR_SUCCESS) return result;
        result = vesk::reg::readRegistry([&](const RegDocument& doc) -> LONG {
            if (!doc.hasKey(parent.path)) return ERROR_KEY_DELETED;
            if (!doc.hasKey(path)) return ERROR_FILE_NOT_FOUND;
            path = doc.existingSpelling(path);
            return ERROR_SUCCESS;
        });
        if (result != ERROR_SUCCESS) return result;
        *phkResult = vesk::reg::openHandle({path, vesk::reg::effectiveAccess(samDesired)});
        return ERROR_SUCCESS;
    });
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*Reserved*/, LPSTR /*lpClass*/, DWORD /*dwOptions*/,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/, PHKEY phkResult,
                     LPDWORD lpdwDisposition) {
    if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    if (holdsLineBreak(lpSubKey)) return ERROR_INVALID_PARAMETER;
    return guarded([&]() -> LONG {
        OpenKey parent;
        std::string path;
        LONG result = resolveChild(hKey, lpSubKey, parent, path);
        if (result != ERROR_SUCCESS) return result;
        DWORD disposition = REG_OPENED_EXISTING_KEY;
        result = vesk::reg::changeRegistry([&](const RegDocument& doc, std::string& updated) -> LONG {
            if (!doc.hasKey(parent.path)) return ERROR_KEY_DELETED;
            if (doc.hasKey(path)) {
                updated = doc.text();
            } else {
                if ((parent.access & KEY_CREATE_SUB_KEY) == 0) return ERROR_ACCESS_DENIED;
                updated = doc.withKey(path);
                disposition = REG_CREATED_NEW_KEY;
            }
            path = doc.existingSpelling(path);
            return ERROR_SUCCESS;
        });
        if (result != ERROR_SUCCESS) return result;
        *phkResult = vesk::reg::openHandle({path, vesk::reg::effectiveAccess(samDesired)});
        if (lpdwDisposition != nullptr) *lpdwDisposition = disposition;
        return ERROR_SUCCESS;
    });
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData) {
    if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) return ERROR_INVALID_PARAMETER;
    return guarded([&]() -> LONG {
        OpenKey key;
        LONG result = resolveForValues(hKey, KEY_QUERY_VALUE, key);
        if (result != ERROR_SUCCESS) return result;
        std::optional<RegData> data;
        result = vesk::reg::readRegistry([&](const RegDocument& doc) -> LONG {
            if (!doc.hasKey(key.path)) return ERROR_KEY_DELETED;
            data = doc.value(key.path, valueName(lpValueName));
            return data ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
        });
        if (result != ERROR_SUCCESS) return result;

        if (lpType != nullptr) *lpType = data->type;
        if (lpcbData == nullptr) return ERROR_SUCCESS;
        DWORD size = static_cast<DWORD>(data->bytes.size());
        DWORD room = *lpcbData;
        *lpcbData = size;
        if (lpData == nullptr) return ERROR_SUCCESS;
        if (room < size) return ERROR_MORE_DATA;
        std::memcpy(lpData, data->bytes.data(), size);
        return ERROR_SUCCESS;
    });
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD /*Reserved*/, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
    if (lpData == nullptr && cbData > 0) return ERROR_INVALID_PARAMETER;
    // A value name is written inside one line of the file.
    if (holdsLineBreak(lpValueName)) return ERROR_INVALID_PARAMETER;
    return guarded([&]() -> LONG {
        OpenKey key;
        LONG result = resolveForValues(hKey, KEY_SET_VALUE, key);
        if (result != ERROR_SUCCESS) return result;
        RegData data{dwType, std::string(reinterpret_cast<const char*>(lpData), lpData != nullptr ? cbData : 0)};
        return vesk::reg::changeRegistry([&](const RegDocument& doc, std::string& updated) -> LONG {
            if (!doc.hasKey(key.path)) return ERROR_KEY_DELETED;
            updated = doc.withValue(key.path, valueName(lpValueName), data);
            return ERROR_SUCCESS;
        });
    });
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    return guarded([&]() -> LONG {
        OpenKey key;
        LONG result = resolveForValues(hKey, KEY_SET_VALUE, key);
        if (result != ERROR_SUCCESS) return result;
        return vesk::reg::changeRegistry([&](const RegDocument& doc, std::string& updated) -> LONG {
            if (!doc.hasKey(key.path)) return ERROR_KEY_DELETED;
            if (!doc.value(key.path, valueName(lpValueName))) return ERROR_FILE_NOT_FOUND;
            updated = doc.withoutValue(key.path, valueName(lpValueName));
            return ERROR_SUCCESS;
        });
    });
}

LONG RegCloseKey(HKEY hKey) {
    return guarded([&]() -> LONG { return vesk::reg::closeHandle(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE; });
}
