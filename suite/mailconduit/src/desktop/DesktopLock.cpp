#include "desktop/DesktopLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace conduit {

DesktopLock::DesktopLock(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        m_error = "cannot open " + folder + ": " + std::strerror(errno);
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_error = errno == EWOULDBLOCK
                      ? "another mailconduit is working on the handheld in " + folder
                      : "cannot lock " + folder + ": " + std::strerror(errno);
        ::close(fd);
        return;
    }
    m_fd = fd;
}

bool DesktopLock::heldElsewhere(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

DesktopLock::~DesktopLock() {
    if (m_fd >= 0) ::close(m_fd);
}

}  // namespace conduit
