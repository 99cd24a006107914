// What the outbound queue writes to the shared problem log (store/ProblemLog.h), and how a
// program outside the mail library reads it back: the conduit cannot see inside the plug-in
// it drives, but it can read which messages a sync left in a desktop outbox, and why.
//
// One problem line per message that did not leave, and one when a message reported that way
// leaves after all:
//   component "store", subject "<store root>/.<outbox>/<id>",
//   reason "[queued] ...", "[queued, new] ...", "[held] ...", "[held, new] ..." or "[sent] ..."
// where "new" says the message had never been handed over before (it was queued just now).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vesk::store {

struct Problem;

struct QueueNotice {
    enum class Kind {
        Queued,  ///< stays queued and is tried again at the next flush (refused, timed out, no command)
        Held,    ///< held: a hand-off was cut off; it waits for releaseHeld
        Sent,    ///< an earlier noticed message left after all
    };
    std::string root;    ///< the store's root folder
    std::string outbox;  ///< the outbox folder's name
    std::string id;      ///< the message's identifier in the outbox
    Kind kind = Kind::Queued;
    bool firstTry = false;  ///< it had never been handed over before
    std::string reason;     ///< one plain sentence, e.g. "the sending command failed: exit status 75"
    std::int64_t when = 0;  ///< when it was written (read back only)
};

/// Appends `notice` to the problem log.
void logQueueNotice(const QueueNotice& notice);
/// The notice a problem line holds, or nothing when it is no queue notice.
std::optional<QueueNotice> queueNoticeFrom(const Problem& problem);
/// Every queue notice appended after the problem log had `offset` bytes, oldest first.
std::vector<QueueNotice> queueNoticesSince(std::uint64_t offset);

}  // namespace vesk::store
