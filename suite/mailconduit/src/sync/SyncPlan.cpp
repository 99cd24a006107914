#include "sync/SyncPlan.h"

namespace conduit {

std::vector<PlannedCall> planCalls(const Handheld& handheld) {
    std::vector<PlannedCall> calls;
    for (const HandheldMessage& m : handheld.outbox) {
        if (!m.unsure) calls.push_back({Call::SendMsg, m.id, 0});
    }
    for (const HandheldMessage& m : handheld.filed) {
        if (!m.unsure) calls.push_back({Call::SetMsg, m.id, 0});
    }
    for (const HandheldMessage& m : handheld.inbox) {
        if (m.deleted) {
            calls.push_back({Call::DeleteMsg, m.id, 0});
            continue;
        }
        if (m.readChanged()) calls.push_back({Call::SetMsgReadStatus, m.id, m.read ? 1 : 0});
        if (m.priorityChanged()) calls.push_back({Call::SetMsgPriority, m.id, m.priority});
    }
    return calls;
}

std::vector<const HandheldMessage*> heldMessages(const Handheld& handheld) {
    std::vector<const HandheldMessage*> held;
    for (const auto* list : {&handheld.outbox, &handheld.filed}) {
        for (const HandheldMessage& m : *list) {
            if (m.unsure) held.push_back(&m);
        }
    }
    return held;
}

int pendingDeletions(const Handheld& handheld) {
    int count = 0;
    for (const HandheldMessage& m : handheld.inbox) count += m.deleted ? 1 : 0;
    return count;
}

}  // namespace conduit
