#include "desktop/Paths.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace conduit {

std::string conduitFolder(const std::string& home) { return home + "/conduit"; }
std::string handheldPath(const std::string& home) { return conduitFolder(home) + "/handheld.json"; }
std::string journalPath(const std::string& home) { return conduitFolder(home) + "/handheld.journal"; }
std::string handheldDatabasePath(const std::string& home) { return conduitFolder(home) + "/handheld.db"; }
std::string lockPath(const std::string& home) { return conduitFolder(home) + "/.lock"; }

std::string defaultConfigPath(const std::string& home, const std::string& plugin) {
    return conduitFolder(home) + "/" + pluginShortName(plugin) + ".ini";
}

std::string absolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer)) return path;
    return std::string(buffer) + "/" + path;
}

std::string programFolder() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "";
    std::string exe(buffer, static_cast<size_t>(n));
    size_t slash = exe.rfind('/');
    return slash == std::string::npos ? "" : exe.substr(0, slash);
}

void ensureLibraryPath() {
    const char* current = std::getenv("VESK_LIBRARY_PATH");
    if (current && *current) return;
    std::string folder = programFolder();
    if (folder.empty()) return;
    ::setenv("VESK_LIBRARY_PATH", (folder + "/../lib").c_str(), 1);
}

std::vector<std::string> libraryFolders() {
    std::vector<std::string> folders;
    const char* value = std::getenv("VESK_LIBRARY_PATH");
    if (!value) return folders;
    std::string text = value;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find(':', pos);
        if (end == std::string::npos) end = text.size();
        if (end > pos) folders.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return folders;
}

std::string pluginModuleName(const std::string& plugin) {
    if (plugin.find('/') != std::string::npos) return plugin;
    return pluginShortName(plugin) + ".dll";
}

std::string pluginShortName(const std::string& plugin) {
    std::string name = plugin.substr(plugin.rfind('/') == std::string::npos ? 0 : plugin.rfind('/') + 1);
    size_t dot = name.find('.');
    if (dot != std::string::npos) name.resize(dot);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

const std::vector<std::string>& knownPlugins() {
    static const std::vector<std::string> names = {"orvek", "dunmere", "salvith"};
    return names;
}

}  // namespace conduit
