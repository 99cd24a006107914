// The queue's marks on disk, kept beside the store as "<root>/vesk-inflight/<outbox>/":
//   <id>        a message handed to the sending command whose outcome is not recorded yet;
//               written and fsynced before the command starts, removed once the outcome is.
//               A mark found by a later flush means the hand-off was cut off (crash, kill):
//               the message may have gone out, so it is held, never sent again by itself.
//   ../<outbox>.lock   flock'ed while a flush runs, so a mark seen under the lock always
//               belongs to a flush that is over.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "Fs.h"
#include "store/Status.h"

namespace vesk::store::detail {

/// The exclusive right to hand over one outbox's mail; released on destruction (and by the
/// kernel when the process dies).
class QueueLock {
public:
    /// Tries to take the lock of `outbox` of the store at `root` without waiting.
    /// Exists when another process holds it; IoError when the lock file cannot be made.
    static Result<QueueLock> take(const std::string& root, std::string_view outbox);

private:
    explicit QueueLock(Fd fd) : m_fd(std::move(fd)) {}
    Fd m_fd;
};

/// Marks `id` in flight, durably (file and directory fsynced). `note` says where it went.
Status markInFlight(const std::string& root, std::string_view outbox, std::string_view id, std::string_view note);
/// Removes the mark of `id`, durably. Ok when there was none.
Status clearInFlight(const std::string& root, std::string_view outbox, std::string_view id);
/// When `id` was marked, or 0 when it is not marked.
std::time_t inFlightSince(const std::string& root, std::string_view outbox, std::string_view id);
/// Every marked identifier of `outbox`.
std::vector<std::string> inFlightIds(const std::string& root, std::string_view outbox);

}  // namespace vesk::store::detail
