#include "loader/SearchPath.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace vesk::loader {

std::vector<std::string> searchFolders(const void* callerAddress) {
    std::vector<std::string> folders;
    if (const char* list = std::getenv("VESK_LIBRARY_PATH")) {
        std::string entries(list);
        size_t start = 0;
        while (start <= entries.size()) {
            size_t end = entries.find(':', start);
            if (end == std::string::npos) end = entries.size();
            if (end > start) folders.push_back(entries.substr(start, end - start));
            start = end + 1;
        }
    }
    std::string own = moduleFolder(callerAddress);
    if (!own.empty()) folders.push_back(std::move(own));
    return folders;
}

std::string moduleFolder(const void* address) {
    Dl_info info;
    struct link_map* object = nullptr;
    if (address == nullptr ||
        dladdr1(address, &info, reinterpret_cast<void**>(&object), RTLD_DL_LINKMAP) == 0 ||
        object == nullptr) {
        return std::string();
    }
    // The program's own entry has no name in the linker's list; dladdr would offer argv[0],
    // which need not be a path at all.
    std::string path = (object->l_name != nullptr && object->l_name[0] != '\0')
                           ? std::string(object->l_name)
                           : programPath();
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string programPath() {
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return std::string();
    return std::string(buffer, static_cast<size_t>(length));
}

bool isFile(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace vesk::loader
