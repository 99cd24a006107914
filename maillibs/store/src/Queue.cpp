#include "Queue.h"

#include <ctime>

#include "Command.h"
#include "Outbound.h"
#include "store/Model.h"

namespace vesk::store::detail {
namespace {

// The flag of a queued message handed to the sending command and not yet filed.
constexpr char kInFlightFlag = 'P';

std::string commandFailure(const CommandOutcome& run) {
    std::string detail;
    if (!run.started) detail = "cannot run: ";
    else if (run.timedOut) detail = "timed out";
    else if (run.signal != 0) detail = "killed by signal " + std::to_string(run.signal);
    else detail = "exit status " + std::to_string(run.exitStatus);
    if (!run.message.empty()) {
        if (run.started) detail += ": ";
        detail += run.message;
    }
    return detail;
}

SendRecord sendOne(Store& store, const SendOptions& options, const std::vector<std::string>& command,
                   const MessageInfo& info) {
    SendRecord r;
    r.id = info.id;
    r.outcome = SendOutcome::Failed;
    if (command.empty()) {
        r.outcome = SendOutcome::Held;
        r.detail = "no sending command configured";
        return r;
    }
    Result<std::string> bytes = store.readRaw(options.outbox, info.id);
    if (!bytes) {
        r.detail = std::string("cannot read: ") + describe(bytes.status());
        return r;
    }
    Result<Outbound> out = prepareOutbound(*bytes);
    if (!out) {
        r.detail = std::string("cannot parse: ") + describe(out.status());
        return r;
    }
    if (out->recipients.empty()) {
        r.detail = "no recipients";
        return r;
    }
    // Marked in flight before the command runs: a message found marked was handed over
    // before (its copy could not be filed, or the process died), and sending it again could
    // deliver it twice. It is held for the person to look at.
    if (info.flags.find(kInFlightFlag) != std::string::npos) {
        r.outcome = SendOutcome::Held;
        r.detail = "handed to the sending command before; held so it is not sent twice";
        return r;
    }
    Status marked = store.setFlags(options.outbox, info.id, std::string(1, kInFlightFlag), "");
    if (marked != Status::Ok) {
        r.detail = std::string("cannot mark it as being sent: ") + describe(marked);
        return r;
    }
    std::vector<std::string> argv = command;
    argv.push_back("-i");
    if (!out->sender.empty()) {
        argv.push_back("-f");
        argv.push_back(out->sender);
    }
    argv.push_back("--");
    argv.insert(argv.end(), out->recipients.begin(), out->recipients.end());
    CommandOutcome run = runCommand(argv, out->bytes, options.timeoutSeconds);
    if (!run.succeeded()) {
        r.detail = commandFailure(run);
        // Not handed over: the next flush may try again.
        Status unmarked = store.setFlags(options.outbox, info.id, "", std::string(1, kInFlightFlag));
        if (unmarked != Status::Ok) r.detail += std::string("; left marked as being sent: ") + describe(unmarked);
        return r;
    }
    r.outcome = SendOutcome::Sent;
    r.detail = std::to_string(out->recipients.size()) + " recipient(s)";
    // The message has left; where its copy ends up must not turn that into a failure.
    Status filed = Status::Ok;
    if (options.sentFolder.empty()) {
        filed = store.remove(options.outbox, info.id);
    } else {
        filed = store.createFolder(options.sentFolder);
        if (filed == Status::Ok) filed = store.setFlags(options.outbox, info.id, "S", "");
        if (filed == Status::Ok) filed = store.move(options.outbox, info.id, options.sentFolder);
        // Only once it is out of the outbox may it lose the mark; a copy in the sent folder
        // that keeps it is harmless.
        if (filed == Status::Ok) (void)store.setFlags(options.sentFolder, info.id, "", std::string(1, kInFlightFlag));
    }
    if (filed != Status::Ok) r.detail += std::string("; left in the outbox: ") + describe(filed);
    return r;
}

}  // namespace

Result<std::vector<SendRecord>> flushQueue(Store& store, const SendOptions& options,
                                           const std::function<void(const SendRecord&)>& record) {
    Result<std::vector<MessageInfo>> queued = store.list(options.outbox);
    if (!queued) return queued.status();
    std::vector<std::string> command = splitCommand(options.command);
    std::vector<SendRecord> records;
    for (const MessageInfo& info : *queued) {
        SendRecord r = sendOne(store, options, command, info);
        r.when = std::time(nullptr);
        record(r);
        records.push_back(std::move(r));
    }
    return records;
}

}  // namespace vesk::store::detail
