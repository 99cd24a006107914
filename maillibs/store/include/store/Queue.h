// Outbound mail: what a flush of the queue is told and what it reports.
//
// Sending is at most once. Before a queued message goes to the sending command it is marked
// in flight on disk (fsynced); only a recorded outcome moves it on: taken (exit 0) -> filed in
// the sent folder and gone from the queue; refused, failed or timed out -> stays queued with
// the reason, tried again at the next flush. A message a later flush finds still marked (the
// process died or was killed while the command had it) may have gone out: it is held, never
// handed over again by itself, until `releaseHeld` (the person's decision). The command runs
// in a process group of its own and is killed with it when the time limit passes or the
// process is stopped (see Command.h); one flush at a time per outbox (a lock beside it).
//
// Every outcome that leaves a message queued is also written to the shared problem log
// (store/QueueNotice.h), which is how a program outside the mail library learns of it.
//
// Additions keep this header source-compatible: new members have defaults, new operations
// are free functions over `Store`.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/Model.h"
#include "store/Status.h"

namespace vesk::store {

/// How `Store::flush` hands queued messages on.
struct SendOptions {
    /// A sendmail-compatible program, optionally followed by blank-separated arguments
    /// (no shell is involved; double quotes group a word holding blanks). The store appends
    /// `-i -f <from> -- <recipients...>` and writes the message to its standard input.
    /// Empty: nothing is sent and every message stays queued (outcome Held).
    std::string command;
    std::string outbox = kOutbox;  ///< the folder the queue lives in
    /// Where a sent message goes (marked seen); empty: it is removed once sent.
    std::string sentFolder;
    int timeoutSeconds = 120;  ///< a command still running after this long is killed (Failed)
    /// Called about once a second while the command has message `id`, with the seconds
    /// waited so far (may be empty). Every wait is also reported through the platform's
    /// `vesk::noteWait("the sending command", seconds)`, which the program on top shows.
    std::function<void(const std::string& id, int seconds)> waiting;
};

/// What happened to one queued message.
enum class SendOutcome {
    Sent,    ///< the command took it (exit status 0); it left the queue
    Held,    ///< not handed over: no command is configured, another flush of the same outbox
             ///< is running, or (`inDoubt`) an earlier hand-off was cut off; it stays queued
    Failed,  ///< the command could not run, failed or timed out, or the message has no
             ///< recipients; it stays queued
};

/// One queued message's outcome, as returned by a flush and as kept in the queue log.
struct SendRecord {
    std::time_t when = 0;  ///< when the outcome was recorded
    std::string id;        ///< the message's identifier in the outbox
    SendOutcome outcome = SendOutcome::Held;
    std::string detail;    ///< one line: exit status, the command's first error line, ...
    /// Held because a hand-off of this message was cut off before its outcome was recorded:
    /// it may have gone out. It waits for `releaseHeld`. (Not kept in the queue log.)
    bool inDoubt = false;
};

/// "sent", "held" or "failed".
const char* describe(SendOutcome outcome);

class Store;

/// One message waiting in an outbox, as a person needs to see it.
struct QueuedMessage {
    std::string id;
    std::string subject;     ///< Windows-1252, as the store reads it
    std::string recipients;  ///< To and Cc addresses, ", "-separated (Windows-1252)
    std::time_t queued = 0;  ///< when it was put into the queue
    /// Held: a hand-off was cut off (`SendRecord::inDoubt`); sent again only when released.
    bool held = false;
    std::time_t heldSince = 0;  ///< when that hand-off began (held only)
    std::string lastOutcome;    ///< the last recorded outcome's detail, empty when never tried
    std::time_t lastTried = 0;  ///< when it was recorded
};

/// Every message of `outbox`, oldest first, with its state. Reads only. NotFound when the
/// outbox does not exist.
Result<std::vector<QueuedMessage>> queuedMessages(Store& store, std::string_view outbox = kOutbox);

/// Lets the next flush hand held message `id` of `outbox` over again (the person has checked
/// that it did not go out). NotFound when `outbox` holds no held message `id`; Exists while a
/// flush of that outbox runs.
Status releaseHeld(Store& store, std::string_view outbox, std::string_view id);

}  // namespace vesk::store
