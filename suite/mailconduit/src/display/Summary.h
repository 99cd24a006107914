// What a sync tells the person at the end.
#pragma once

#include <ostream>

#include "sync/SyncEngine.h"

namespace conduit {

/// The summary of a sync that ran: received, sent, filed, deleted, marked, failed (with the
/// result code's name and a plain-words reason), held; then the notes.
void printSummary(std::ostream& out, const SyncReport& report, const std::string& plugin);

/// What a dry run found: every call the sync would make, with the message it concerns.
void printPlan(std::ostream& out, const SyncReport& report, const std::string& plugin);

/// One line on what happens next to the message of a failed call.
std::string failureConsequence(const SyncFailure& failure);

}  // namespace conduit
