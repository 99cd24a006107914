// What an outbox holds and the one way a held message goes back into the queue.
#include <map>

#include "InFlight.h"
#include "store/Store.h"

namespace vesk::store {
namespace {

std::string joined(const std::vector<Address>& a, const std::vector<Address>& b) {
    std::string out;
    for (const std::vector<Address>* list : {&a, &b}) {
        for (const Address& x : *list) {
            if (!out.empty()) out += ", ";
            out += x.address.empty() ? x.name : x.address;
        }
    }
    return out;
}

}  // namespace

Result<std::vector<QueuedMessage>> queuedMessages(Store& store, std::string_view outbox) {
    Result<std::vector<MessageInfo>> listed = store.list(outbox);
    if (!listed) return listed.status();
    std::map<std::string, SendRecord, std::less<>> last;
    if (Result<std::vector<SendRecord>> log = store.queueLog()) {
        for (SendRecord& r : *log) last[r.id] = std::move(r);
    }
    std::vector<QueuedMessage> out;
    for (const MessageInfo& info : *listed) {
        QueuedMessage q;
        q.id = info.id;
        q.queued = info.delivered;
        if (Result<Message> m = store.read(outbox, info.id, ReadMode::Headers)) {
            q.subject = m->subject;
            q.recipients = joined(m->to, m->cc);
        }
        q.heldSince = detail::inFlightSince(store.root(), outbox, info.id);
        q.held = q.heldSince != 0;
        if (auto it = last.find(info.id); it != last.end()) {
            q.lastOutcome = it->second.detail;
            q.lastTried = it->second.when;
        }
        out.push_back(std::move(q));
    }
    return out;
}

Status releaseHeld(Store& store, std::string_view outbox, std::string_view id) {
    if (!isValidId(id) || !isValidFolderName(outbox)) return Status::InvalidArgument;
    Result<detail::QueueLock> lock = detail::QueueLock::take(store.root(), outbox);
    if (!lock) return lock.status();
    if (!store.find(outbox, id).ok() || detail::inFlightSince(store.root(), outbox, id) == 0) return Status::NotFound;
    return detail::clearInFlight(store.root(), outbox, id);
}

}  // namespace vesk::store
