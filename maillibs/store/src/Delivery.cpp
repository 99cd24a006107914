#include "Delivery.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#include "platform/WriteFaults.h"

#include "Fs.h"
#include "Names.h"

namespace vesk::store::detail {
namespace {

struct TmpFile {
    std::string id;
    std::string path;
};

std::string dirOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Writes `bytes` into a fresh tmp/ file and fsyncs it. On failure nothing is left behind.
Result<TmpFile> writeTmp(const std::string& maildir, std::string_view bytes) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        struct timeval tv {};
        ::gettimeofday(&tv, nullptr);
        TmpFile tmp;
        tmp.id = uniqueId(tv.tv_sec, static_cast<long>(tv.tv_usec));
        tmp.path = maildir + "/tmp/" + tmp.id;
        Fd fd(::open(tmp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd.valid()) {
            if (errno == EEXIST) continue;
            return statusFromErrno(errno);
        }
        Status st = writeAll(fd.get(), bytes, tmp.path.c_str());
        if (st == Status::Ok && vesk::io::fsync(fd.get(), tmp.path.c_str()) != 0) st = Status::IoError;
        if (!fd.close() && st == Status::Ok) st = Status::IoError;
        if (st != Status::Ok) {
            int err = errno;
            vesk::io::unlink(tmp.path.c_str());
            diskFailure(tmp.path, "writing the message file", err);
            return st;
        }
        return tmp;
    }
    return Status::Exists;
}

}  // namespace

Result<std::string> deliverFile(const std::string& maildir, std::string_view bytes,
                                std::string_view flags) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        Result<TmpFile> tmp = writeTmp(maildir, bytes);
        if (!tmp) return tmp.status();
        std::string subdir = flags.empty() ? "/new" : "/cur";
        std::string target = maildir + subdir + "/" + (flags.empty() ? tmp->id : curName(tmp->id, flags));
        // link() rather than rename(): it fails on an existing name instead of replacing it.
        if (vesk::io::link(tmp->path.c_str(), target.c_str()) != 0) {
            int err = errno;
            vesk::io::unlink(tmp->path.c_str());
            if (err == EEXIST) continue;
            return diskFailure(target, "delivering the message file", err);
        }
        vesk::io::unlink(tmp->path.c_str());
        syncDirAfterChange(maildir + subdir);
        return std::move(tmp->id);
    }
    return Status::Exists;
}

Status replaceFile(const std::string& maildir, const std::string& target, std::string_view bytes) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return statusFromErrno(errno);
    Result<TmpFile> tmp = writeTmp(maildir, bytes);
    if (!tmp) return tmp.status();
    // Keep the message's own time: some readers sort by it.
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(AT_FDCWD, tmp->path.c_str(), times, 0);
    if (::access(target.c_str(), F_OK) != 0) {
        int err = errno;
        vesk::io::unlink(tmp->path.c_str());
        return statusFromErrno(err);
    }
    if (vesk::io::rename(tmp->path.c_str(), target.c_str()) != 0) {
        int err = errno;
        vesk::io::unlink(tmp->path.c_str());
        return diskFailure(target, "replacing the message file", err);
    }
    syncDirAfterChange(dirOf(target));
    return Status::Ok;
}

Status renameNoReplace(const std::string& from, const std::string& to) {
    if (vesk::io::renameNoReplace(from.c_str(), to.c_str()) == 0) return Status::Ok;
    int err = errno;
    if (err == EEXIST || err == ENOENT) return statusFromErrno(err);
    if (err != EINVAL && err != ENOSYS) return diskFailure(to, "moving the message file", err);
    // A file system without RENAME_NOREPLACE: check, then rename (still never a copy).
    if (::access(to.c_str(), F_OK) == 0) return Status::Exists;
    if (vesk::io::rename(from.c_str(), to.c_str()) != 0) return statusFromErrno(errno);
    return Status::Ok;
}

}  // namespace vesk::store::detail
