// The process's open sessions, reached by handle. A handle carries a slot and a generation,
// so a handle that was logged off (or never handed out) is recognised, never followed.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>

#include "common/Session.h"

namespace vesk::mapi32 {

/// How many sessions may be open at once.
inline constexpr std::size_t kMaxSessions = 32;

/// Held by every call of the library for its whole run: callers may share a session between
/// threads, the store it holds may not be used by two at once.
std::mutex& apiLock();

/// Adds `session` and returns its handle (never 0), or 0 when the table is full.
LHANDLE addSession(std::unique_ptr<Session> session);
/// The session of `handle`, or null for a stale, foreign or zero handle.
Session* findSession(LHANDLE handle);
/// Removes and returns the session of `handle` (null when there is none).
std::unique_ptr<Session> takeSession(LHANDLE handle);

/// The session one call works on: the caller's, or for handle 0 where the call allows it a
/// temporary session on the default account that ends with the call.
class CallSession {
public:
    /// SUCCESS_SUCCESS, MAPI_E_INVALID_SESSION (a stale handle, or 0 where a real session is
    /// required), or the failure of opening the temporary session.
    ULONG open(LHANDLE handle, bool allowTemporary);
    Session& operator*() { return *m_session; }
    Session* operator->() { return m_session; }

private:
    Session* m_session = nullptr;
    std::unique_ptr<Session> m_temporary;
};

/// Runs `body`, turning exceptions into error numbers: none may cross the C boundary.
template <class F>
ULONG guarded(F&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return MAPI_E_INSUFFICIENT_MEMORY;
    } catch (...) {
        return MAPI_E_FAILURE;
    }
}

}  // namespace vesk::mapi32
