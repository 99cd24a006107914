#include "sync/SyncEngine.h"

#include <cstring>
#include <map>

#include "desktop/DesktopLock.h"
#include "desktop/FileIo.h"
#include "handheld/HandheldAccess.h"
#include "sync/KeptChanges.h"
#include "desktop/Paths.h"
#include "sync/ProblemWatch.h"
#include "sync/Record.h"
#include "host/ResultCodes.h"
#include "sync/SyncPlan.h"

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
    // A sync keeps the inbox's texts in the database and reads back only those it hands to
    // the plug-in; a dry run shows them, so it reads them all.
    if (std::optional<std::string> error = openHandheld(options.home, !options.dryRun, opened, !options.dryRun)) {
        return cannotRun(std::move(report), *error);
    }
    Handheld handheld = std::move(opened.handheld);
    // Set unless this is a dry run of a handheld still in handheld.json.
    HandheldStore* store = opened.store.get();
    if (store) store->setKillPoint([&env](const std::string& point) { env.faults.reach(point); });
    if (opened.migrated) {
        report.notes.push_back("the handheld was moved from " + handheldPath(options.home) + " into " +
                               handheldDatabasePath(options.home) + "; the old file is kept as " +
                               handheldPath(options.home) + ".migrated");
    }
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
    const std::string syncId = newSyncId();
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
    // The records go into the merge one at a time while the plug-in still holds them: each
    // merged message is written (when it differs) and released at once, so the sync never
    // holds the mailbox twice.
    const std::size_t before = handheld.inbox.size();
    std::optional<std::string> mergeError;
    std::optional<InboxMerge> merge;
    if (rc == MAILHOST_OK) {
        mergeError = store->beginStep();
        if (!mergeError) {
            merge.emplace(handheld, otherMailbox, [store](HandheldMessage& message, std::int64_t position) {
                return store->put(message, Folder::Inbox, position);
            }, static_cast<std::size_t>(count > 0 ? count : 0));
        }
    }
    if (records) {
        for (int i = 0; i < count; ++i) {
            if (!records[i]) continue;
            ++report.mailboxSize;
            if (merge && !mergeError) mergeError = merge->put(fieldsFromRecord(*records[i]));
        }
        env.faults.reach("FreeMailMsg");
        plugin.FreeMailMsg(records, count);
    }
    if (mergeError) {
        store->abortStep();
        leave(true);
        return cannotRun(std::move(report), *mergeError);
    }
    if (merge) {
        MergeResult result = merge->finish();
        merge.reset();
        int removals = result.forgotten + pendingDeletions(handheld);
        if (before >= kNonTrivialMailbox && static_cast<size_t>(removals) * 2 > before &&
            !options.assumeYes) {
            std::string question = "This sync would remove " + std::to_string(removals) + " of the " +
                                   std::to_string(before) + " messages in the handheld's inbox (" +
                                   std::to_string(result.forgotten) + " gone from the desktop, " +
                                   std::to_string(pendingDeletions(handheld)) +
                                   " deleted on the handheld). Go on?";
            env.progress.finish();
            if (!env.confirm || !env.confirm(question)) {
                store->abortStep();
                leave(true);
                return cannotRun(std::move(report),
                                 "it would remove " + std::to_string(removals) + " of the " +
                                     std::to_string(before) +
                                     " messages in the handheld's inbox, more than half; nothing was "
                                     "changed. Run it again with --yes if that is what you want");
            }
        }
        handheld.plugin = options.plugin;
        report.merge = result;
        report.mailboxRead = true;
        // The merged inbox is one step: a kill after it keeps it, before it the next sync
        // merges again. An unchanged mailbox writes nothing here.
        if (std::optional<std::string> error = store->commitStep(handheld, "merge")) {
            leave(true);
            return cannotRun(std::move(report), *error);
        }
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
        const std::string point = std::string(callName(call.call)) + "#" + std::to_string(++ordinal[call.call]);
        env.faults.reach(point);
        const HandheldMessage* message = handheld.find(call.entry);
        if (!message) continue;
        bool submission = call.call == Call::SendMsg || call.call == Call::SetMsg;
        std::string subject = message->record.subject;
        // The plug-in gets the whole record, texts and all, as the desktop gave it.
        HandheldMessage whole;
        if (message->textsReleased) {
            whole = *message;
            if (std::optional<std::string> error = store->restoreTexts(whole)) {
                report.notes.push_back(*error + ", so the sync stopped before carrying the rest");
                report.failures.push_back({"handheld", call.entry, subject, MAILHOST_ERROR});
                break;
            }
            message = &whole;
        }
        OwnedRecord record(submission ? recordForSubmission(*message) : recordForChange(*message));
        if (std::optional<std::string> error = store->beginCall(call, point + " pending")) {
            report.notes.push_back(*error + ", so the sync stopped before carrying the rest");
            report.failures.push_back({"handheld", call.entry, subject, MAILHOST_ERROR});
            break;
        }
        watch.restart();
        rc = invoke(plugin, call, record.get());
        collect(rc);
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
        if (std::optional<std::string> error = store->finishCall(handheld, call, point + " outcome")) {
            report.notes.push_back(*error + ", so the sync stopped early (the call's result is not recorded: "
                                            "the next run treats it as in doubt)");
            break;
        }
    }
    leave(true);
    report.desktopQueue = desktopQueueSince(problemsBefore);

    handheld.lastSync = syncId;
    env.progress.phase("Saving the handheld");
    env.faults.reach("save");
    // Every outcome is in memory now, so the pending record of a call whose own step could
    // not be written goes with this commit.
    if (std::optional<std::string> error = store->commit(handheld, "save", true)) {
        report.handheld = std::move(handheld);
        return cannotRun(std::move(report), *error + "; the next run finishes this sync");
    }
    env.faults.reach("saved");
    env.progress.finish();
    report.exitCode = report.failures.empty() && report.desktopQueue.empty() ? 0 : 1;
    report.handheld = std::move(handheld);
    return report;
}

}  // namespace conduit
