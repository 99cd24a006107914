#include "desktop/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/WriteFaults.h"

namespace conduit {

namespace fs = std::filesystem;

namespace {

int writeAll(int fd, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        ssize_t n = vesk::io::write(fd, bytes.data(), bytes.size(), path.c_str());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

}  // namespace

int readFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            return err;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return 0;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

int renameDurably(const std::string& from, const std::string& to) {
    if (vesk::io::rename(from.c_str(), to.c_str()) != 0) return errno;
    return syncFolder(folderOf(to));
}

int syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int err = vesk::io::fsync(fd, folder.c_str()) == 0 ? 0 : errno;
    ::close(fd);
    return err;
}

int replaceFile(const std::string& path, std::string_view bytes) {
    std::string temp = folderOf(path) + "/.tmp." + std::to_string(::getpid()) + "." +
                       path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return errno;
    int err = writeAll(fd, bytes, temp);
    if (err == 0 && vesk::io::fsync(fd, temp.c_str()) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && vesk::io::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        vesk::io::unlink(temp.c_str());
        return err;
    }
    return syncFolder(folderOf(path));
}

int appendDurably(const std::string& path, std::string_view bytes) {
    bool created = !exists(path);
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return errno;
    int err = writeAll(fd, bytes, path);
    if (err == 0 && vesk::io::fdatasync(fd, path.c_str()) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    // A new file's name must reach the disk too, or a crash could lose the whole journal.
    if (err == 0 && created) err = syncFolder(folderOf(path));
    return err;
}

int removeDurably(const std::string& path) {
    if (vesk::io::unlink(path.c_str()) != 0) return errno == ENOENT ? 0 : errno;
    return syncFolder(folderOf(path));
}

int makeFolders(const std::string& path) {
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec) return ec.value();
    return 0;
}

bool exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

int copyTree(const std::string& from, const std::string& to, std::string* failedPath) {
    std::error_code ec;
    fs::create_directories(to, ec);
    if (ec) {
        if (failedPath) *failedPath = to;
        return ec.value();
    }
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    if (ec) {
        if (failedPath) *failedPath = from;
        return ec.value();
    }
    return 0;
}

std::vector<std::string> listFiles(const std::string& root) {
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec)) files.push_back(fs::relative(it->path(), root, ec).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

int removeTree(const std::string& path) {
    std::error_code ec;
    fs::remove_all(path, ec);
    return ec ? ec.value() : 0;
}

}  // namespace conduit
