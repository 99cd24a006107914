// The calls of a sync that change the desktop, and what each result does to the handheld.
// The sync applies outcomes as calls return; the journal replay applies the same outcomes to
// the state an interrupted sync left, so both end in the same handheld.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "handheld/Handheld.h"

namespace conduit {

/// A plug-in call that carries something from the handheld to the desktop.
enum class Call { SendMsg, SetMsg, DeleteMsg, SetMsgReadStatus, SetMsgPriority };

/// The export's name ("SendMsg", ...).
const char* callName(Call call);
/// The call named `name`; nothing for another text.
std::optional<Call> callFromName(const std::string& name);

/// One call the sync makes: which message, and the value passed (read flag or priority).
struct PlannedCall {
    Call call = Call::SendMsg;
    std::uint64_t entry = 0;
    int value = 0;
    bool operator==(const PlannedCall&) const = default;
};

/// Applies the result `rc` of `call` to the handheld:
/// - 0: SendMsg and SetMsg take the message out of the outbox or filing queue, DeleteMsg
///   removes it from the inbox, SetMsgReadStatus and SetMsgPriority record `value` as the
///   desktop's state (which settles the change);
/// - MAILHOST_NOT_SUPPORTED for a read or priority change: the desktop cannot take it, so the
///   handheld goes back to the desktop's state instead of retrying forever;
/// - anything else: nothing changes, and the next sync tries again.
/// A message that is no longer there is ignored (the outcome was applied before).
void applyOutcome(Handheld& handheld, const PlannedCall& call, int rc);

/// The call was handed to the plug-in but its result never recorded (the sync was killed
/// during it). Sending and filing are held as unsure, since repeating them could deliver a
/// message twice; deletion and marking are safe to repeat and stay pending.
void applyInDoubt(Handheld& handheld, const PlannedCall& call);

}  // namespace conduit
