#include "desktop/DesktopQueue.h"

#include <map>
#include <set>
#include <tuple>

#include "store/ProblemLog.h"
#include "store/QueueNotice.h"
#include "store/Mailbox.h"
#include "store/Store.h"

namespace conduit {

namespace store = vesk::store;

namespace {

using QueueKey = std::pair<std::string, std::string>;  // root, outbox

std::unique_ptr<store::Store> openStore(const std::string& root) {
    store::Result<std::unique_ptr<store::Store>> opened = store::openStoreAt(root);
    return opened.ok() ? std::move(*opened) : nullptr;
}

// Every outbox the problem log names, in the order first named.
std::vector<QueueKey> namedOutboxes(const std::vector<store::QueueNotice>& notices) {
    std::vector<QueueKey> keys;
    std::set<QueueKey> seen;
    for (const store::QueueNotice& n : notices) {
        if (seen.insert({n.root, n.outbox}).second) keys.push_back({n.root, n.outbox});
    }
    return keys;
}

}  // namespace

std::uint64_t problemLogMark() { return store::problemLogSize(); }

std::vector<DesktopQueued> desktopQueueSince(std::uint64_t offset) {
    std::vector<store::QueueNotice> notices = store::queueNoticesSince(offset);
    // The last word on each message counts; "new" on any of them says this period queued it.
    std::map<std::tuple<std::string, std::string, std::string>, std::size_t> index;
    std::vector<DesktopQueued> entries;
    std::vector<bool> gone;
    for (const store::QueueNotice& n : notices) {
        auto key = std::make_tuple(n.root, n.outbox, n.id);
        auto [it, added] = index.emplace(key, entries.size());
        if (added) {
            entries.push_back({n.root, n.outbox, n.id, "", "", false, false, "", 0});
            gone.push_back(false);
        }
        DesktopQueued& e = entries[it->second];
        e.queuedNow = e.queuedNow || n.firstTry;
        gone[it->second] = n.kind == store::QueueNotice::Kind::Sent;
        e.held = n.kind == store::QueueNotice::Kind::Held;
        e.reason = n.reason;
        e.since = static_cast<std::time_t>(n.when);
    }
    std::vector<DesktopQueued> waiting;
    std::map<std::string, std::unique_ptr<store::Store>> stores;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (gone[i]) continue;
        DesktopQueued& e = entries[i];
        auto [it, added] = stores.emplace(e.root, nullptr);
        if (added) it->second = openStore(e.root);
        if (it->second) {
            // Removed from the outbox by hand meanwhile: nothing waits any more.
            if (it->second->find(e.outbox, e.id).status() == store::Status::NotFound) continue;
            if (store::Result<store::Message> m = it->second->read(e.outbox, e.id, store::ReadMode::Headers)) {
                e.subject = m->subject;
            }
        }
        waiting.push_back(std::move(e));
    }
    return waiting;
}

std::vector<DesktopQueued> desktopQueueNow(std::string& error) {
    error.clear();
    std::vector<store::QueueNotice> notices = store::queueNoticesSince(0);
    std::map<std::tuple<std::string, std::string, std::string>, std::string> reasons;
    for (const store::QueueNotice& n : notices) reasons[{n.root, n.outbox, n.id}] = n.reason;
    std::vector<DesktopQueued> waiting;
    for (const auto& [root, outbox] : namedOutboxes(notices)) {
        std::unique_ptr<store::Store> opened = openStore(root);
        store::Result<std::vector<store::QueuedMessage>> queued =
            opened ? store::queuedMessages(*opened, outbox) : store::Result<std::vector<store::QueuedMessage>>(store::Status::NotFound);
        if (!queued) {
            if (queued.status() == store::Status::NotFound) continue;  // the store or outbox is gone
            error += (error.empty() ? "" : "; ") + root + "/." + outbox + ": " + store::describe(queued.status());
            continue;
        }
        for (const store::QueuedMessage& q : *queued) {
            DesktopQueued e{root, outbox, q.id, q.subject, q.recipients, q.held, false, "", q.queued};
            auto reason = reasons.find({root, outbox, q.id});
            if (reason != reasons.end()) e.reason = reason->second;
            else if (!q.lastOutcome.empty()) e.reason = q.lastOutcome;
            else e.reason = "not handed over yet";
            if (q.held) e.since = q.heldSince;
            waiting.push_back(std::move(e));
        }
    }
    return waiting;
}

std::optional<std::string> releaseDesktopMessage(const std::string& id) {
    std::string error;
    for (const DesktopQueued& e : desktopQueueNow(error)) {
        if (e.id != id) continue;
        if (!e.held) return "message " + id + " in " + e.root + "/." + e.outbox + " is not held; it is tried at every sync";
        std::unique_ptr<store::Store> opened = openStore(e.root);
        if (!opened) return "cannot open the mail store " + e.root;
        store::Status st = store::releaseHeld(*opened, e.outbox, id);
        if (st == store::Status::Exists) return "a sync is handing over that outbox's mail right now; try again when it is done";
        if (st != store::Status::Ok) return std::string("cannot release it: ") + store::describe(st);
        return std::nullopt;
    }
    return "no desktop outbox holds a message " + id + (error.empty() ? "" : " (could not read: " + error + ")") +
           "; `mailconduit queue list` shows what waits";
}

}  // namespace conduit
