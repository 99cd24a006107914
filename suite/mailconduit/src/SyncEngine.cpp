#include "SyncEngine.h"

#include <cstring>
#include <map>

#include "DesktopLock.h"
#include "FileIo.h"
#include "HandheldAccess.h"
#include "KeptChanges.h"
#include "Paths.h"
#include "ProblemWatch.h"
#include "Record.h"
#include "ResultCodes.h"
#include "SyncPlan.h"

namespace conduit {

namespace {

// The step a call belongs to, as the progress line names it.
const char* stepOf(Call call) {
    switch (call) {
        case Call::SendMsg: return "Sending";
        case Call::SetMsg: return "Filing";
        default: return "Carrying the handheld's changes";
    }
}

int invoke(const PluginExports& plugin, const PlannedCall& call, const MailMsg* record) {
    switch (call.call) {
        case Call::SendMsg: return plugin.SendMsg(record);
        case Call::SetMsg: return plugin.SetMsg(record);
        case Call::DeleteMsg: return plugin.DeleteMsg(record);
        case Call::SetMsgReadStatus: return plugin.SetMsgReadStatus(record, call.value);
        case Call::SetMsgPriority: return plugin.SetMsgPriority(record, call.value);
    }
    return MAILHOST_ERROR;
}

void tally(SyncReport& report, const PlannedCall& call) {
    switch (call.call) {
        case Call::SendMsg: ++report.sent; break;
        case Call::SetMsg: ++report.filed; break;
        case Call::DeleteMsg: ++report.deleted; break;
        case Call::SetMsgReadStatus: ++(call.value ? report.markedRead : report.markedUnread); break;
        case Call::SetMsgPriority: ++report.prioritised; break;
    }
}

// The calls for a handheld whose inbox belongs to another mailbox leave that inbox alone.
std::vector<PlannedCall> callsFor(const Handheld& handheld, bool inboxIsForeign) {
    if (!inboxIsForeign) return planCalls(handheld);
    Handheld withoutInbox = handheld;
    withoutInbox.inbox.clear();
    return planCalls(withoutInbox);
}

SyncReport cannotRun(SyncReport report, std::string reason) {
    report.exitCode = 2;
    report.reason = std::move(reason);
    return report;
}

}  // namespace

int SyncReport::leftDesktop() const {
    int queuedNow = 0;
    for (const DesktopQueued& q : desktopQueue) queuedNow += q.queuedNow ? 1 : 0;
    return sent > queuedNow ? sent - queuedNow : 0;
}

SyncReport runSync(const PluginExports& plugin, const SyncOptions& options, SyncEnvironment& env) {
    SyncReport report;
    const std::string folder = conduitFolder(options.home);
    if (!options.dryRun) {
        if (int err = makeFolders(folder)) {
            return cannotRun(std::move(report), "cannot create " + folder + ": " + std::strerror(err));
        }
    }
    std::optional<DesktopLock> lock;
    if (exists(folder)) {
        lock.emplace(folder);
        if (!lock->ok()) return cannotRun(std::move(report), lock->error());
    }

    OpenedHandheld opened;
    if (std::optional<std::string> error = openHandheld(options.home, !options.dryRun, opened)) {
        return cannotRun(std::move(report), *error);
    }
    Handheld handheld = std::move(opened.handheld);
    if (opened.replay) {
        report.replay = opened.replay;
        report.replayText = describeReplay(*opened.replay, handheld);
    }
    const bool otherMailbox = !handheld.plugin.empty() && handheld.plugin != options.plugin;
    if (otherMailbox) {
        report.notes.push_back("the handheld's inbox mirrors the mailbox of " + handheld.plugin +
                               "; it is replaced by the mailbox of " + options.plugin +
                               " and its unsent changes are dropped");
    }
    for (const HandheldMessage* message : heldMessages(handheld)) report.held.push_back(message->id);

    if (options.dryRun) {
        report.plan = callsFor(handheld, otherMailbox);
        report.handheld = std::move(handheld);
        return report;
    }

    // Whatever the mail library records about its outbox from here on belongs to this sync.
    const std::uint64_t problemsBefore = problemLogMark();
    JournalWriter journal;
    const std::string syncId = newSyncId();
    if (int err = journal.start(journalPath(options.home), syncId, options.plugin)) {
        return cannotRun(std::move(report), "cannot write the journal " + journalPath(options.home) +
                                                ": " + std::strerror(err));
    }
    YieldHookScope hook(env.progress);
    auto leave = [&](bool loggedOn) {
        if (loggedOn) {
            env.progress.phase("Logging off");
            env.faults.reach("Logoff");
            int rc = plugin.Logoff();
            if (rc != MAILHOST_OK) report.notes.push_back("Logoff: " + describeResult(rc));
        }
        env.progress.phase("Releasing the mail library");
        env.faults.reach("Uninitialize");
        int rc = plugin.Uninitialize();
        if (rc != MAILHOST_OK) report.notes.push_back("Uninitialize: " + describeResult(rc));
        report.yields = env.progress.yields();
    };

    // A refused call is followed by what the mail library logged during it.
    ProblemWatch watch;
    auto collect = [&](int result) {
        if (result != MAILHOST_OK) {
            for (std::string& line : watch.appended()) report.problems.push_back(std::move(line));
        }
        watch.restart();
    };

    env.progress.phase("Starting the mail library");
    env.faults.reach("Initialize");
    int rc = plugin.Initialize();
    collect(rc);
    if (rc != MAILHOST_OK) {
        leave(false);
        journal.finish();
        report.failures.push_back({"Initialize", 0, "", rc});
        return cannotRun(std::move(report), "the mail library could not be started: " + describeResult(rc));
    }
    env.progress.phase("Logging on");
    env.faults.reach("Logon");
    watch.restart();
    rc = plugin.Logon(1, options.configFile.c_str());
    collect(rc);
    if (rc != MAILHOST_OK) {
        leave(false);
        journal.finish();
        report.failures.push_back({"Logon", 0, "", rc});
        return cannotRun(std::move(report), "the logon was refused: " + describeResult(rc));
    }

    env.progress.countingTurns(options.headersOnly ? "Reading the mailbox (headers only)" : "Reading the mailbox",
                               handheld.inbox.size());
    env.faults.reach("GetAllMsgs");
    MailMsg** records = nullptr;
    int count = 0;
    watch.restart();
    rc = plugin.GetAllMsgs(&records, &count, options.headersOnly ? 1 : 0);
    collect(rc);
    std::vector<RecordFields> desktop;
    if (records) {
        for (int i = 0; i < count; ++i) {
            if (records[i]) desktop.push_back(fieldsFromRecord(*records[i]));
        }
        env.faults.reach("FreeMailMsg");
        plugin.FreeMailMsg(records, count);
    }
    report.mailboxSize = static_cast<int>(desktop.size());
    if (rc == MAILHOST_OK) {
        Handheld merged = handheld;
        MergeResult merge = mergeDesktop(merged, desktop, otherMailbox);
        int removals = merge.forgotten + pendingDeletions(merged);
        size_t before = handheld.inbox.size();
        if (before >= kNonTrivialMailbox && static_cast<size_t>(removals) * 2 > before &&
            !options.assumeYes) {
            std::string question = "This sync would remove " + std::to_string(removals) + " of the " +
                                   std::to_string(before) + " messages in the handheld's inbox (" +
                                   std::to_string(merge.forgotten) + " gone from the desktop, " +
                                   std::to_string(pendingDeletions(merged)) +
                                   " deleted on the handheld). Go on?";
            env.progress.finish();
            if (!env.confirm || !env.confirm(question)) {
                leave(true);
                journal.finish();
                return cannotRun(std::move(report),
                                 "it would remove " + std::to_string(removals) + " of the " +
                                     std::to_string(before) +
                                     " messages in the handheld's inbox, more than half; nothing was "
                                     "changed. Run it again with --yes if that is what you want");
            }
        }
        handheld = std::move(merged);
        report.merge = merge;
        report.mailboxRead = true;
    } else {
        report.failures.push_back({"GetAllMsgs", 0, "", rc});
        report.notes.push_back("the mailbox could not be read, so the handheld's inbox was left as it was");
    }

    const bool inboxIsForeign = otherMailbox && !report.mailboxRead;
    report.plan = callsFor(handheld, inboxIsForeign);
    std::map<Call, int> ordinal;
    std::map<std::string, std::size_t> stepTotal, stepDone;
    for (const PlannedCall& call : report.plan) ++stepTotal[stepOf(call.call)];
    for (const PlannedCall& call : report.plan) {
        const std::string step = stepOf(call.call);
        env.progress.counted(step, ++stepDone[step], stepTotal[step]);
        env.faults.reach(std::string(callName(call.call)) + "#" + std::to_string(++ordinal[call.call]));
        const HandheldMessage* message = handheld.find(call.entry);
        if (!message) continue;
        bool submission = call.call == Call::SendMsg || call.call == Call::SetMsg;
        OwnedRecord record(submission ? recordForSubmission(*message) : recordForChange(*message));
        std::string subject = message->record.subject;
        if (int err = journal.begin(call)) {
            report.notes.push_back(std::string("the journal could not be written (") + std::strerror(err) +
                                   "), so the sync stopped before carrying the rest");
            report.failures.push_back({"journal", call.entry, subject, MAILHOST_ERROR});
            break;
        }
        watch.restart();
        rc = invoke(plugin, call, record.get());
        collect(rc);
        int journalErr = journal.done(call, rc);
        std::optional<UnkeptChange> unkept = rc == MAILHOST_OK ? unkeptChange(options.plugin, call) : std::nullopt;
        if (unkept) {
            takeDesktopStateBack(handheld, call, *unkept);
        } else {
            applyOutcome(handheld, call, rc);
        }
        if (unkept) {
            report.unkept.push_back("#" + std::to_string(call.entry) + ", " + unkept->what);
        } else if (rc == MAILHOST_OK) {
            tally(report, call);
        } else {
            report.failures.push_back({callName(call.call), call.entry, subject, rc});
        }
        if (journalErr) {
            report.notes.push_back(std::string("the journal could not be written (") +
                                   std::strerror(journalErr) + "), so the sync stopped early");
            break;
        }
    }
    leave(true);
    report.desktopQueue = desktopQueueSince(problemsBefore);

    if (report.mailboxRead) handheld.plugin = options.plugin;
    handheld.lastSync = syncId;
    env.progress.phase("Saving the handheld");
    env.faults.reach("save");
    if (std::optional<std::string> error = storeHandheld(options.home, handheld)) {
        report.handheld = std::move(handheld);
        return cannotRun(std::move(report), *error + "; the journal is kept, and the next run finishes this sync");
    }
    env.faults.reach("saved");
    if (int err = journal.finish()) {
        report.notes.push_back("the journal " + journal.path() + " could not be removed (" +
                               std::strerror(err) + "); the next run clears it");
    }
    env.progress.finish();
    report.exitCode = report.failures.empty() && report.desktopQueue.empty() ? 0 : 1;
    report.handheld = std::move(handheld);
    return report;
}

}  // namespace conduit
