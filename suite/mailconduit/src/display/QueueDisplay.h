// How mail waiting in the desktop's outboxes is shown: in a sync's summary, by `info` and by
// `queue list`.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "desktop/DesktopQueue.h"
#include "sync/SyncEngine.h"

namespace conduit {

/// What happens next to `message`: tried again at the next sync, or held until released.
std::string queueConsequence(const DesktopQueued& message);

/// The summary's "sent" line: what left the desktop, what was only queued there and why,
/// then the older messages the desktop's outbox still holds.
void printSentAndQueued(std::ostream& out, const SyncReport& report);

/// One line per waiting message, each line starting with `indent`: state, identifier,
/// subject, recipients, reason and what happens next. "(nothing waits)" when empty.
void printDesktopQueue(std::ostream& out, const std::vector<DesktopQueued>& queue, const std::string& indent);

}  // namespace conduit
