// Keeps two conduits from working on the same handheld at once.
#pragma once

#include <string>

namespace conduit {

/// An exclusive lock on the conduit's folder, held for the object's life (flock on the
/// folder itself, so taking it writes nothing).
class DesktopLock {
public:
    /// Tries to lock `folder` without waiting. `ok()` tells whether it worked.
    explicit DesktopLock(const std::string& folder);
    ~DesktopLock();
    DesktopLock(const DesktopLock&) = delete;
    DesktopLock& operator=(const DesktopLock&) = delete;

    bool ok() const { return m_fd >= 0; }
    /// Why the lock could not be taken ("another mailconduit is working on ...").
    const std::string& error() const { return m_error; }

    /// True when another process holds the lock on `folder` now (a sync is running there).
    /// Takes nothing: a shared probe that is let go at once.
    static bool heldElsewhere(const std::string& folder);

private:
    int m_fd = -1;
    std::string m_error;
};

}  // namespace conduit
