// What the desktop's outboxes hold: mail a plug-in accepted but that has not left the desktop
// (the sending command failed, timed out, or is not configured) or that is held because a
// hand-off was cut off. The conduit cannot see inside the plug-in; the mail libraries write
// these outcomes to the shared problem log (store/QueueNotice.h), which names the outbox, and
// the outbox itself is read through the store for subjects and the held state.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace conduit {

/// One message waiting in a desktop outbox.
struct DesktopQueued {
    std::string root;        ///< the mail store's folder
    std::string outbox;      ///< its outbox folder's name
    std::string id;          ///< the message's identifier in the store
    std::string subject;     ///< Windows-1252
    std::string recipients;  ///< Windows-1252
    bool held = false;       ///< waits for `mailconduit queue release ID`
    bool queuedNow = false;  ///< it was first handed over during the period read
    std::string reason;      ///< why it did not leave, one sentence
    std::time_t since = 0;   ///< held: when the hand-off began; else when it was queued
};

/// The messages the queue notices appended after the problem log had `offset` bytes say
/// did not leave (those that left after all dropped), in the order first noticed.
std::vector<DesktopQueued> desktopQueueSince(std::uint64_t offset);

/// Every message waiting in any desktop outbox the problem log names, as the outbox holds
/// it now. `error` receives the outboxes that could not be read (empty when all could).
std::vector<DesktopQueued> desktopQueueNow(std::string& error);

/// Lets the next sync hand held message `id` over again. Returns nothing when released, or
/// why not in plain words.
std::optional<std::string> releaseDesktopMessage(const std::string& id);

/// The problem log's size now (where a sync starts reading).
std::uint64_t problemLogMark();

}  // namespace conduit
