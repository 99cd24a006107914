// Small POSIX helpers for the Maildir layer: an owned descriptor, whole-file reads and
// writes, directory syncs, and errno mapped to store statuses.
#pragma once

#include <string>
#include <string_view>

#include "store/Status.h"

namespace vesk::store::detail {

/// An owned file descriptor, closed on destruction.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    Fd(Fd&& other) noexcept : m_fd(other.release()) {}
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd();

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release() { int fd = m_fd; m_fd = -1; return fd; }
    /// Closes now; false (errno set) when close reports an error.
    bool close();

private:
    int m_fd = -1;
};

/// ENOENT/ENOTDIR -> NotFound, EEXIST -> Exists, ENOMEM -> OutOfMemory, else IoError.
Status statusFromErrno(int err);

/// The whole content of `path`.
Result<std::string> readFile(const std::string& path);
/// Writes every byte of `data` to `fd`, retrying short writes and EINTR. `path` names the
/// file for the write-fault seam's trace.
Status writeAll(int fd, std::string_view data, const char* path = nullptr);
/// Notes in the problem log that `action` on `path` failed with `err`, and returns the status
/// for `err`: a person must learn which file the disk refused.
Status diskFailure(const std::string& path, const char* action, int err);

/// fsyncs directory `dir`, so a link or rename in it is on disk.
Status syncDir(const std::string& dir);
/// fsyncs directory `dir` after a link, rename or unlink in it has been made. The change has
/// happened, so a failing flush is logged, not returned: reporting it as a failure would make
/// the caller repeat a change that is already there (a second copy of a delivered message).
/// Only durability after a crash is weaker.
void syncDirAfterChange(const std::string& dir);
/// Creates `dir` with `mode`; Ok when it already exists as a directory.
Status makeDir(const std::string& dir, unsigned mode);
/// True when `path` is a directory.
bool isDir(const std::string& path);

}  // namespace vesk::store::detail
