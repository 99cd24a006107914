// GetPrivateProfileStringA and GetPrivateProfileIntA.
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "home/AtomicFile.h"
#include "profile/IniDocument.h"
#include "profile/ProfilePath.h"
#include "win32/Module.h"
#include "win32/Profile.h"

namespace {

using vesk::profile::IniDocument;
using vesk::profile::LineKind;

// The file's bytes; nothing when it is missing or unreadable, which every read treats alike
// apart from the last error it leaves.
std::optional<std::string> readProfile(const char* fileName) {
    std::string path = vesk::profile::profilePath(fileName);
    if (path.empty()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return std::nullopt;
    }
    std::string bytes;
    if (int error = vesk::files::readWholeFile(path, bytes); error != 0) {
        SetLastError(vesk::profile::win32Error(error, path));
        return std::nullopt;
    }
    return bytes;
}

DWORD copyText(std::string_view text, char* buffer, DWORD size) {
    size_t count = std::min<size_t>(text.size(), size - 1);
    if (count < text.size()) SetLastError(ERROR_MORE_DATA);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<DWORD>(count);
}

// Writes names as a NUL-separated list closed by a second NUL. A list that does not fit is cut
// to size - 2 bytes and closed with two NULs, as Windows does.
DWORD copyList(const std::vector<std::string_view>& names, char* buffer, DWORD size) {
    std::string list;
    for (std::string_view name : names) {
        list.append(name);
        list.push_back('\0');
    }
    if (list.empty()) list.push_back('\0');  // an empty list is still two NULs
    if (list.size() + 1 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return names.empty() ? 0 : static_cast<DWORD>(list.size());
    }
    SetLastError(ERROR_MORE_DATA);
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

std::vector<std::string_view> sectionNames(const IniDocument& doc) {
    std::vector<std::string_view> names;
    for (const auto& line : doc.lines())
        if (line.kind == LineKind::Section && !line.name.empty()) names.push_back(line.name);
    return names;
}

std::vector<std::string_view> keyNames(const IniDocument& doc, size_t header) {
    std::vector<std::string_view> names;
    size_t end = doc.sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        const auto& line = doc.lines()[i];
        if (line.kind == LineKind::Key && !line.name.empty()) names.push_back(line.name);
    }
    return names;
}

// The value of `key` in `section` as a reader sees it, or nothing when any part is missing.
std::optional<std::string> lookupValue(const char* section, const char* key, const char* fileName) {
    std::optional<std::string> bytes = readProfile(fileName);
    if (!bytes) return std::nullopt;
    IniDocument doc(std::move(*bytes));
    size_t header = doc.findSection(vesk::profile::trimArgument(section));
    if (header == IniDocument::npos) return std::nullopt;
    size_t line = doc.findKey(header, vesk::profile::trimArgument(key));
    if (line == IniDocument::npos) return std::nullopt;
    return std::string(vesk::profile::unquote(doc.lines()[line].value));
}

DWORD copyDefault(const char* fallback, char* buffer, DWORD size) {
    std::string_view text = fallback != nullptr ? fallback : "";
    // Windows drops trailing spaces of the default, but not tabs or line breaks.
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return copyText(text, buffer, size);
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                               LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) {
    if (lpReturnedString == nullptr || nSize == 0) return 0;
    try {
        if (lpAppName == nullptr) {
            std::optional<std::string> bytes = readProfile(lpFileName);
            if (!bytes) return copyList({}, lpReturnedString, nSize);
            IniDocument doc(std::move(*bytes));
            return copyList(sectionNames(doc), lpReturnedString, nSize);
        }
        if (lpKeyName == nullptr) {
            // A section that is missing or has no keys reads as the default, not as an empty list.
            std::optional<std::string> bytes = readProfile(lpFileName);
            if (!bytes) return copyDefault(lpDefault, lpReturnedString, nSize);
            IniDocument doc(std::move(*bytes));
            size_t header = doc.findSection(vesk::profile::trimArgument(lpAppName));
            std::vector<std::string_view> names;
            if (header != IniDocument::npos) names = keyNames(doc, header);
            if (names.empty()) return copyDefault(lpDefault, lpReturnedString, nSize);
            return copyList(names, lpReturnedString, nSize);
        }
        std::optional<std::string> value = lookupValue(lpAppName, lpKeyName, lpFileName);
        if (!value) return copyDefault(lpDefault, lpReturnedString, nSize);
        return copyText(*value, lpReturnedString, nSize);
    } catch (...) {
        // Out of memory: report nothing rather than let an exception cross a C boundary.
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        lpReturnedString[0] = '\0';
        return 0;
    }
}

UINT GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, int nDefault, LPCSTR lpFileName) {
    if (lpAppName == nullptr || lpKeyName == nullptr) return static_cast<UINT>(nDefault);
    std::optional<std::string> value;
    try {
        value = lookupValue(lpAppName, lpKeyName, lpFileName);
    } catch (...) {
        return static_cast<UINT>(nDefault);
    }
    if (!value || value->empty()) return static_cast<UINT>(nDefault);

    std::string_view text = *value;
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Unsigned arithmetic wraps modulo 2^32 exactly as Windows' result does.
    UINT number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        number = number * 10u + static_cast<UINT>(c - '0');
    }
    return negative ? 0u - number : number;
}
