#include "platform/RegistryValues.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "home/AtomicFile.h"
#include "platform/VeskHome.h"
#include "registry/RegDocument.h"

namespace vesk {
namespace {

// Opens `key` below `root` for reading; null when it does not exist.
HKEY openForReading(HKEY root, const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return nullptr;
    return opened;
}

// The type and bytes of a value, or nothing.
std::optional<std::vector<BYTE>> readValue(HKEY root, const std::string& key, const std::string& name, DWORD& type) {
    HKEY opened = openForReading(root, key);
    if (opened == nullptr) return std::nullopt;
    std::optional<std::vector<BYTE>> bytes;
    DWORD size = 0;
    // The value may grow between asking its size and reading it; ask again then.
    for (int attempt = 0; attempt < 3 && !bytes; ++attempt) {
        if (RegQueryValueExA(opened, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<BYTE> buffer(size);
        LONG result = RegQueryValueExA(opened, name.c_str(), nullptr, &type, buffer.data(), &size);
        if (result == ERROR_SUCCESS) {
            buffer.resize(size);
            bytes = std::move(buffer);
        } else if (result != ERROR_MORE_DATA) {
            break;
        }
    }
    RegCloseKey(opened);
    return bytes;
}

LONG writeValue(HKEY root, const std::string& key, const std::string& name, DWORD type, const void* data,
                DWORD size) {
    HKEY opened = nullptr;
    LONG result = RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr);
    if (result != ERROR_SUCCESS) return result;
    result = RegSetValueExA(opened, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(opened);
    return result;
}

}  // namespace

std::optional<std::string> readRegString(HKEY root, const std::string& key, const std::string& name) {
    DWORD type = REG_NONE;
    std::optional<std::vector<BYTE>> bytes = readValue(root, key, name, type);
    if (!bytes || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    // Stored strings need not end in NUL, and may hold one early: the text ends at the first.
    std::string text(bytes->begin(), bytes->end());
    return text.substr(0, text.find('\0'));
}

std::optional<DWORD> readRegDword(HKEY root, const std::string& key, const std::string& name) {
    DWORD type = REG_NONE;
    std::optional<std::vector<BYTE>> bytes = readValue(root, key, name, type);
    if (!bytes || type != REG_DWORD || bytes->size() != 4) return std::nullopt;
    const std::vector<BYTE>& b = *bytes;
    return static_cast<DWORD>(b[0]) | static_cast<DWORD>(b[1]) << 8 | static_cast<DWORD>(b[2]) << 16 |
           static_cast<DWORD>(b[3]) << 24;
}

LONG writeRegString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
    return writeValue(root, key, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

LONG writeRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
    const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                           static_cast<BYTE>(value >> 24)};
    return writeValue(root, key, name, REG_DWORD, bytes, sizeof bytes);
}

std::string registryFileProblem() {
    const std::string path = home() + "/registry.reg";
    std::string bytes;
    if (int error = files::readWholeFile(path, bytes)) {
        if (error == ENOENT) return path + " does not exist";
        return path + " cannot be read: " + std::strerror(error);
    }
    reg::RegDocument document(std::move(bytes));
    if (document.text().find_first_not_of(" \t\r\n") == std::string::npos) return path + " is empty";
    if (!document.valid()) return path + " does not start with the line REGEDIT4, so it is not a registry file";
    const std::vector<size_t>& unread = document.unreadLines();
    if (unread.empty()) return "";
    return path + " has " + std::to_string(unread.size()) + (unread.size() == 1 ? " line" : " lines") +
           " that cannot be read (the first is line " + std::to_string(unread.front()) + ")";
}

}  // namespace vesk
