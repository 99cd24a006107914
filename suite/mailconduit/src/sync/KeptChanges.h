// What a mail system keeps of the changes a plug-in accepts. A plug-in may answer 0 to a
// change its mail system cannot store (Salvith takes a priority and does nothing with it,
// and marks a message read whatever it is asked); counting those as made would report a
// change the next sync silently takes back. The knowledge sits in one table here, so any
// plug-in not named in it is taken to keep what it accepts.
#pragma once

#include <optional>
#include <string>

#include "sync/Outcome.h"

namespace conduit {

/// A change the mail system does not keep although the plug-in accepted it.
struct UnkeptChange {
    std::string what;  ///< plain words, e.g. "priority: not kept by Simple MAPI mail programs"
    /// The read state the desktop message has after the call, when the call changed it
    /// (Simple MAPI's "mark unread" marks it read); nothing when the desktop is unchanged.
    std::optional<bool> desktopReadAfter;
};

/// Whether the mail system behind `plugin` (short name) keeps `call` with its value; the
/// description when it does not. Only SetMsgReadStatus and SetMsgPriority can be unkept.
std::optional<UnkeptChange> unkeptChange(const std::string& plugin, const PlannedCall& call);

/// Takes the handheld message of `call` back to the desktop's state after an accepted but
/// unkept change, so the handheld shows what the desktop holds and nothing stays pending.
void takeDesktopStateBack(Handheld& handheld, const PlannedCall& call, const UnkeptChange& unkept);

}  // namespace conduit
