#include "home/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/WriteFaults.h"

namespace vesk::files {
namespace {

int closeKeepingErrno(int fd) {
    int saved = errno;
    close(fd);
    errno = saved;
    return -1;
}

int writeAll(int fd, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        ssize_t written = vesk::io::write(fd, bytes.data(), bytes.size(), path.c_str());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return 0;
}

std::string baseOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a write must replace: the target of a symbolic link rather than the link itself.
std::string resolveTarget(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;  // dangling link: replacing the link is all we can do
    std::string target(resolved);
    std::free(resolved);
    return target;
}

// Creates a fresh temporary file beside `target`; its name starts with '.' so that folder
// listings of the desktop do not show it while it exists.
int createTemporary(const std::string& target, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    std::string stem = folderOf(target) + "/." + baseOf(target) + ".tmp-" + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = stem + std::to_string(counter.fetch_add(1));
        int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

void syncFolder(const std::string& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    // The rename has happened; a folder flush that fails only weakens durability after a crash.
    (void)vesk::io::fsync(fd, folder.c_str());
    close(fd);
}

}  // namespace

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

int readWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    char chunk[16384];
    for (;;) {
        ssize_t got = read(fd, chunk, sizeof chunk);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            int error = errno;
            close(fd);
            bytes.clear();
            return error;
        }
        bytes.append(chunk, static_cast<size_t>(got));
    }
    close(fd);
    return 0;
}

int replaceFile(const std::string& path, std::string_view bytes) {
    std::string target = resolveTarget(path);
    struct stat old {};
    bool existed = stat(target.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode)) return EISDIR;

    std::string tempPath;
    int fd = createTemporary(target, tempPath);
    if (fd < 0) return errno;

    int error = 0;
    if (existed) {
        if (fchmod(fd, old.st_mode & 07777) != 0) error = errno;
        // Only root can hand the file back to another owner; anyone else keeps their own.
        if (error == 0 && (old.st_uid != geteuid() || old.st_gid != getegid()))
            (void)fchown(fd, old.st_uid, old.st_gid);
    }
    if (error == 0) error = writeAll(fd, bytes, tempPath);
    if (error == 0 && vesk::io::fsync(fd, tempPath.c_str()) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && vesk::io::rename(tempPath.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        vesk::io::unlink(tempPath.c_str());
        return error;
    }
    syncFolder(folderOf(target));
    return 0;
}

int makeFolders(const std::string& path) {
    if (path.empty()) return ENOENT;
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    std::string parent = folderOf(path);
    if (parent != path && parent != "." && parent != "/") {
        int error = makeFolders(parent);
        if (error != 0) return error;
    }
    // Another process may create it between the check and here; that is success too.
    if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) return errno;
    return 0;
}

FolderLock::FolderLock(const std::string& filePath) {
    fd_ = open(folderOf(filePath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    while (flock(fd_, LOCK_EX) != 0) {
        if (errno != EINTR) {
            fd_ = closeKeepingErrno(fd_);
            return;
        }
    }
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) close(fd_);
}

}  // namespace vesk::files
