#include "Fs.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/WriteFaults.h"
#include "store/ProblemLog.h"

namespace vesk::store::detail {

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = other.release();
    }
    return *this;
}

Fd::~Fd() { close(); }

bool Fd::close() {
    if (m_fd < 0) return true;
    int rc = ::close(m_fd);
    m_fd = -1;
    return rc == 0;
}

Status statusFromErrno(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR: return Status::NotFound;
    case EEXIST: return Status::Exists;
    case ENOMEM: return Status::OutOfMemory;
    default: return Status::IoError;
    }
}

Result<std::string> readFile(const std::string& path) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return statusFromErrno(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return statusFromErrno(errno);
    std::string data;
    data.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    // The file may grow or shrink while it is read; read until end of file either way.
    for (;;) {
        if (got == data.size()) data.resize(data.size() + 4096);
        ssize_t n = ::read(fd.get(), data.data() + got, data.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return statusFromErrno(errno);
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    data.resize(got);
    return data;
}

Status writeAll(int fd, std::string_view data, const char* path) {
    while (!data.empty()) {
        ssize_t n = vesk::io::write(fd, data.data(), data.size(), path);
        if (n < 0) {
            if (errno == EINTR) continue;
            return statusFromErrno(errno);
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return Status::Ok;
}

Status diskFailure(const std::string& path, const char* action, int err) {
    logProblem("store", path, std::string(action) + " failed: " + std::strerror(err));
    return statusFromErrno(err);
}

Status syncDir(const std::string& dir) {
    Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) return statusFromErrno(errno);
    if (vesk::io::fsync(fd.get(), dir.c_str()) != 0) {
        diskFailure(dir, "flushing the folder to disk", errno);
        return Status::IoError;
    }
    return Status::Ok;
}

void syncDirAfterChange(const std::string& dir) { (void)syncDir(dir); }

Status makeDir(const std::string& dir, unsigned mode) {
    if (::mkdir(dir.c_str(), static_cast<mode_t>(mode)) == 0) return Status::Ok;
    if (errno == EEXIST && isDir(dir)) return Status::Ok;
    return statusFromErrno(errno);
}

bool isDir(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace vesk::store::detail
