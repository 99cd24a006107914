#include "registry/RegPath.h"

#include "win32/Registry.h"

namespace vesk::reg {
namespace {

struct Root {
    HKEY handle;
    const char* name;
    const char* shortName;
};

const Root kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM"},
    {HKEY_USERS, "HKEY_USERS", "HKU"},
};

// Appends the components of `relative` to `path`; false on an empty component.
bool appendComponents(std::string& path, std::string_view relative) {
    if (!relative.empty() && relative.back() == '\\') relative.remove_suffix(1);
    if (relative.empty()) return true;
    size_t pos = 0;
    for (;;) {
        size_t slash = relative.find('\\', pos);
        std::string_view part = relative.substr(pos, slash == std::string_view::npos ? std::string_view::npos : slash - pos);
        if (part.empty()) return false;
        path.push_back('\\');
        path.append(part);
        if (slash == std::string_view::npos) return true;
        pos = slash + 1;
    }
}

}  // namespace

std::string lowerPath(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::optional<std::string> rootPath(HKEY key) {
    for (const Root& root : kRoots)
        if (root.handle == key) return std::string(root.name);
    return std::nullopt;
}

std::optional<std::string> headerPath(std::string_view inside) {
    size_t slash = inside.find('\\');
    std::string rootName = lowerPath(inside.substr(0, slash));
    for (const Root& root : kRoots) {
        if (rootName != lowerPath(root.name) && rootName != lowerPath(root.shortName)) continue;
        std::string path = root.name;
        if (slash == std::string_view::npos) return path;
        if (!appendComponents(path, inside.substr(slash + 1))) return std::nullopt;
        return path;
    }
    return std::nullopt;
}

std::optional<std::string> childPath(const std::string& base, const char* subKey) {
    std::string path = base;
    if (subKey == nullptr || *subKey == '\0') return path;
    if (*subKey == '\\') return std::nullopt;
    if (!appendComponents(path, subKey)) return std::nullopt;
    return path;
}

std::string parentPath(const std::string& path) {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string_view leafName(std::string_view path) {
    size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace vesk::reg
