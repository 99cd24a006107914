// What a sync has to carry from the handheld to the desktop, in the order it is carried.
#pragma once

#include <vector>

#include "handheld/Handheld.h"
#include "sync/Outcome.h"

namespace conduit {

/// The calls for the handheld as it stands: one SendMsg per outbox message, one SetMsg per
/// message of the filing queue, then per inbox message either DeleteMsg or the read and
/// priority changes. Messages held as unsure are left out (see `heldMessages`).
std::vector<PlannedCall> planCalls(const Handheld& handheld);

/// Messages of the outbox and filing queue held as unsure.
std::vector<const HandheldMessage*> heldMessages(const Handheld& handheld);

/// Inbox messages a sync would remove from the handheld: those marked deleted.
int pendingDeletions(const Handheld& handheld);

}  // namespace conduit
