#include "InFlight.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vesk::store::detail {
namespace {

std::string marksDir(const std::string& root) { return root + "/vesk-inflight"; }
std::string outboxDir(const std::string& root, std::string_view outbox) {
    return marksDir(root) + "/" + std::string(outbox);
}

}  // namespace

Result<QueueLock> QueueLock::take(const std::string& root, std::string_view outbox) {
    Status st = makeDir(marksDir(root), 0700);
    if (st != Status::Ok) return st;
    std::string path = outboxDir(root, outbox) + ".lock";
    Fd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!fd.valid()) return statusFromErrno(errno);
    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        return errno == EWOULDBLOCK ? Status::Exists : statusFromErrno(errno);
    }
    return QueueLock(std::move(fd));
}

Status markInFlight(const std::string& root, std::string_view outbox, std::string_view id, std::string_view note) {
    Status st = makeDir(marksDir(root), 0700);
    if (st == Status::Ok) st = makeDir(outboxDir(root, outbox), 0700);
    if (st != Status::Ok) return st;
    std::string dir = outboxDir(root, outbox);
    std::string path = dir + "/" + std::string(id);
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (!fd.valid()) return statusFromErrno(errno);
    st = writeAll(fd.get(), std::string(note) + "\n");
    if (st == Status::Ok && ::fsync(fd.get()) != 0) st = statusFromErrno(errno);
    if (!fd.close() && st == Status::Ok) st = Status::IoError;
    if (st == Status::Ok) st = syncDir(dir);
    if (st != Status::Ok) ::unlink(path.c_str());
    return st;
}

Status clearInFlight(const std::string& root, std::string_view outbox, std::string_view id) {
    std::string dir = outboxDir(root, outbox);
    if (::unlink((dir + "/" + std::string(id)).c_str()) != 0) {
        return errno == ENOENT ? Status::Ok : statusFromErrno(errno);
    }
    return syncDir(dir);
}

std::time_t inFlightSince(const std::string& root, std::string_view outbox, std::string_view id) {
    struct stat st {};
    if (::stat((outboxDir(root, outbox) + "/" + std::string(id)).c_str(), &st) != 0) return 0;
    return st.st_mtime > 0 ? st.st_mtime : 1;
}

std::vector<std::string> inFlightIds(const std::string& root, std::string_view outbox) {
    std::vector<std::string> ids;
    DIR* d = ::opendir(outboxDir(root, outbox).c_str());
    if (d == nullptr) return ids;
    while (struct dirent* e = ::readdir(d)) {
        if (e->d_name[0] != '.') ids.emplace_back(e->d_name);
    }
    ::closedir(d);
    return ids;
}

}  // namespace vesk::store::detail
