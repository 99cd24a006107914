// Outbound mail: what a flush of the queue is told and what it reports.
#pragma once

#include <ctime>
#include <string>

#include "store/Model.h"

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
};

/// What happened to one queued message.
enum class SendOutcome {
    Sent,    ///< the command took it (exit status 0); it left the queue
    Held,    ///< no command is configured; it stays queued
    Failed,  ///< the command could not run, failed or timed out, or the message has no
             ///< recipients; it stays queued
};

/// One queued message's outcome, as returned by a flush and as kept in the queue log.
struct SendRecord {
    std::time_t when = 0;  ///< when the outcome was recorded
    std::string id;        ///< the message's identifier in the outbox
    SendOutcome outcome = SendOutcome::Held;
    std::string detail;    ///< one line: exit status, the command's first error line, ...
};

/// "sent", "held" or "failed".
const char* describe(SendOutcome outcome);

}  // namespace vesk::store
