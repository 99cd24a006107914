#include "Queue.h"

#include <ctime>
#include <set>

#include "Command.h"
#include "InFlight.h"
#include "Outbound.h"
#include "platform/WaitNotice.h"
#include "store/Model.h"
#include "store/QueueNotice.h"

namespace vesk::store::detail {
namespace {

constexpr const char* kWaitingFor = "the sending command";

std::string commandFailure(const CommandOutcome& run, int timeoutSeconds) {
    std::string detail;
    if (!run.started) detail = "cannot run: ";
    else if (run.timedOut) detail = "timed out after " + std::to_string(timeoutSeconds) + " s";
    else if (run.signal != 0) detail = "killed by signal " + std::to_string(run.signal);
    else detail = "exit status " + std::to_string(run.exitStatus);
    if (!run.message.empty()) {
        if (run.started) detail += ": ";
        detail += run.message;
    }
    return detail;
}

std::string timeText(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    return buffer;
}

// The sentence a person reads about a message that did not leave.
std::string reasonFor(const SendRecord& r) {
    if (r.inDoubt) return r.detail;
    if (r.outcome == SendOutcome::Held) return r.detail;
    if (r.detail.rfind("cannot run: ", 0) == 0)
        return "the sending command could not be run: " + r.detail.substr(12);
    if (r.detail.rfind("timed out", 0) == 0)
        return "the sending command did not finish: " + r.detail + ", and was stopped";
    if (r.detail.rfind("exit status", 0) == 0 || r.detail.rfind("killed by", 0) == 0)
        return "the sending command failed: " + r.detail;
    return "the message could not be handed over: " + r.detail;
}

class Flush {
public:
    Flush(Store& store, const SendOptions& options) : m_store(store), m_options(options) {
        m_command = splitCommand(options.command);
        if (Result<std::vector<SendRecord>> log = store.queueLog()) {
            for (const SendRecord& r : *log) {
                m_tried.insert(r.id);
                if (r.outcome == SendOutcome::Sent) m_noticed.erase(r.id);
                else m_noticed.insert(r.id);
            }
        }
    }

    // Sets r's outcome; false when the flush must stop (this process was interrupted).
    bool sendOne(const MessageInfo& info, SendRecord& r) {
        r.id = info.id;
        r.outcome = SendOutcome::Failed;
        const std::string& root = m_store.root();
        if (std::time_t since = inFlightSince(root, m_options.outbox, info.id)) {
            r.outcome = SendOutcome::Held;
            r.inDoubt = true;
            r.detail = "its hand-off to the sending command on " + timeText(since) +
                       " was cut off before the outcome was known; it may have gone out, so it is held "
                       "until released";
            return true;
        }
        if (m_command.empty()) {
            r.outcome = SendOutcome::Held;
            r.detail = "no sending command configured";
            return true;
        }
        Result<std::string> bytes = m_store.readRaw(m_options.outbox, info.id);
        if (!bytes) {
            r.detail = std::string("cannot read: ") + describe(bytes.status());
            return true;
        }
        Result<Outbound> out = prepareOutbound(*bytes);
        if (!out) {
            r.detail = std::string("cannot parse: ") + describe(out.status());
            return true;
        }
        if (out->recipients.empty()) {
            r.detail = "no recipients";
            return true;
        }
        std::vector<std::string> argv = m_command;
        argv.push_back("-i");
        if (!out->sender.empty()) {
            argv.push_back("-f");
            argv.push_back(out->sender);
        }
        argv.push_back("--");
        argv.insert(argv.end(), out->recipients.begin(), out->recipients.end());

        // The mark is on disk before the command can take the message: whatever happens to
        // this process from here on, the message is never handed over twice by itself.
        Status marked = markInFlight(root, m_options.outbox, info.id, m_options.command);
        if (marked != Status::Ok) {
            r.detail = std::string("cannot mark it in flight: ") + describe(marked);
            return true;
        }
        auto waiting = [&](int seconds) {
            if (m_options.waiting) m_options.waiting(info.id, seconds);
            vesk::noteWait(kWaitingFor, seconds);
        };
        CommandOutcome run = runCommand(argv, out->bytes, m_options.timeoutSeconds, waiting);
        vesk::noteWait(kWaitingFor, -1);
        if (run.interrupted != 0) {
            // Killed mid-way: it may have gone out. The mark stays; the message is held.
            r.outcome = SendOutcome::Held;
            r.inDoubt = true;
            r.detail = "the sending command was stopped (signal " + std::to_string(run.interrupted) +
                       ") before the outcome was known; it may have gone out, so it is held until released";
            return false;
        }
        if (!run.succeeded()) {
            r.detail = commandFailure(run, m_options.timeoutSeconds);
            clearInFlight(root, m_options.outbox, info.id);
            return true;
        }
        r.outcome = SendOutcome::Sent;
        r.detail = std::to_string(out->recipients.size()) + " recipient(s)";
        // The message has left; where its copy ends up must not turn that into a failure. A
        // copy that cannot be filed nor removed keeps its mark: held, never sent again.
        Status filed = Status::Ok;
        if (m_options.sentFolder.empty()) {
            filed = m_store.remove(m_options.outbox, info.id);
        } else {
            filed = m_store.createFolder(m_options.sentFolder);
            if (filed == Status::Ok) filed = m_store.setFlags(m_options.outbox, info.id, "S", "");
            if (filed == Status::Ok) filed = m_store.move(m_options.outbox, info.id, m_options.sentFolder);
        }
        if (filed == Status::Ok) clearInFlight(root, m_options.outbox, info.id);
        else r.detail += std::string("; left in the outbox, held: ") + describe(filed);
        return true;
    }

    // Writes the problem-log notice for `r` when a person must learn of it.
    void notice(const SendRecord& r) {
        QueueNotice n;
        n.root = m_store.root();
        n.outbox = m_options.outbox;
        n.id = r.id;
        n.firstTry = m_tried.count(r.id) == 0;
        if (r.outcome == SendOutcome::Sent) {
            if (m_noticed.count(r.id) == 0) return;
            n.kind = QueueNotice::Kind::Sent;
            n.reason = "it has now been handed to the sending command";
        } else {
            n.kind = r.inDoubt ? QueueNotice::Kind::Held : QueueNotice::Kind::Queued;
            n.reason = reasonFor(r);
        }
        logQueueNotice(n);
    }

private:
    Store& m_store;
    const SendOptions& m_options;
    std::vector<std::string> m_command;
    std::set<std::string> m_tried;    // identifiers with an outcome in the queue log
    std::set<std::string> m_noticed;  // of those, the ones whose last outcome kept them queued
};

}  // namespace

Result<std::vector<SendRecord>> flushQueue(Store& store, const SendOptions& options,
                                           const std::function<void(const SendRecord&)>& record) {
    Result<std::vector<MessageInfo>> queued = store.list(options.outbox);
    if (!queued) return queued.status();
    Flush flush(store, options);
    std::vector<SendRecord> records;
    Result<QueueLock> lock = QueueLock::take(store.root(), options.outbox);
    if (!lock) {
        // Another flush has this outbox (or the lock cannot be made): nothing is handed over.
        std::string why = lock.status() == Status::Exists
                              ? "another program is handing this outbox's mail over right now"
                              : std::string("the outbox's lock cannot be taken: ") + describe(lock.status());
        for (const MessageInfo& info : *queued) {
            SendRecord r;
            r.when = std::time(nullptr);
            r.id = info.id;
            r.outcome = SendOutcome::Held;
            r.detail = why;
            record(r);
            flush.notice(r);
            records.push_back(std::move(r));
        }
        return records;
    }
    // Marks of messages no longer queued belong to hand-offs whose message was filed.
    std::set<std::string> present;
    for (const MessageInfo& info : *queued) present.insert(info.id);
    for (const std::string& id : inFlightIds(store.root(), options.outbox)) {
        if (present.count(id) == 0) clearInFlight(store.root(), options.outbox, id);
    }
    for (const MessageInfo& info : *queued) {
        SendRecord r;
        bool goOn = flush.sendOne(info, r);
        r.when = std::time(nullptr);
        record(r);
        flush.notice(r);
        records.push_back(std::move(r));
        if (!goOn) break;
    }
    return records;
}

}  // namespace vesk::store::detail
