#include "profile/ProfilePath.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "home/AtomicFile.h"
#include "win32/Profile.h"

#include "platform/VeskHome.h"

namespace vesk::profile {

std::string profilePath(const char* fileName, bool* inDesktop) {
    if (inDesktop != nullptr) *inDesktop = false;
    if (fileName == nullptr) fileName = "win.ini";
    if (*fileName == '\0') return {};
    if (std::strchr(fileName, '/') != nullptr) return fileName;
    if (inDesktop != nullptr) *inDesktop = true;
    return vesk::home() + "/" + fileName;
}

unsigned win32Error(int error, const std::string& path) {
    switch (error) {
    case ENOENT: {
        // Windows tells a missing folder from a missing file.
        struct stat info {};
        bool folderThere = stat(vesk::files::folderOf(path).c_str(), &info) == 0;
        return folderThere ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return ERROR_ACCESS_DENIED;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_WRITE_FAULT;
    }
}

}  // namespace vesk::profile
