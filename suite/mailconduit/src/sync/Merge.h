// Bringing the desktop mailbox into the handheld's inbox.
#pragma once

#include <vector>

#include "handheld/Handheld.h"

namespace conduit {

/// What a merge did (or would do).
struct MergeResult {
    int received = 0;   ///< desktop messages the handheld did not have
    int updated = 0;    ///< known messages refreshed from the desktop
    int forgotten = 0;  ///< handheld messages gone from the desktop, dropped
    int changesDropped = 0;  ///< of the forgotten, those with a change still to carry
};

/// Merges the records of one GetAllMsgs into the inbox, in the desktop's order:
/// - a record whose host identifier the inbox knows refreshes that message; the handheld's
///   read state and priority follow the desktop unless the person changed them on the
///   handheld (the change is still to be carried); a headers-only record keeps the body,
///   recipients and attachment list the handheld already has;
/// - a record the inbox does not know becomes a new message;
/// - an inbox message that no record names is forgotten.
/// `otherMailbox` says the inbox mirrors another plug-in's mailbox: its identifiers mean
/// nothing here, so every old message is forgotten and every record is new.
MergeResult mergeDesktop(Handheld& handheld, const std::vector<RecordFields>& desktop,
                         bool otherMailbox);

}  // namespace conduit
