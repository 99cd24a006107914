#include "handheld/HandheldAccess.h"

#include <cstring>

#include "desktop/FileIo.h"
#include "handheld/HandheldFile.h"
#include "desktop/Paths.h"

namespace conduit {

namespace {

// The files an earlier conduit kept are renamed to these once their content is in the
// database: kept for the person, never read again.
std::string backupOf(const std::string& path) { return path + ".migrated"; }

// Moves what earlier conduits kept out of the way, once the database holds it. A backup
// already there is never replaced: a handheld.json that appears after the move stays as it
// is, unread.
std::optional<std::string> keepAsBackup(const std::string& home) {
    for (const std::string& path : {handheldPath(home), journalPath(home)}) {
        if (!exists(path) || exists(backupOf(path))) continue;
        if (int err = renameDurably(path, backupOf(path))) {
            return "cannot rename " + path + " to " + backupOf(path) + ": " + std::strerror(err);
        }
    }
    return std::nullopt;
}

// The handheld.json of an earlier conduit, with the journal of a sync it left unfinished
// carried in, as that conduit would have finished it.
std::optional<std::string> readOldHandheld(const std::string& home, OpenedHandheld& out) {
    if (auto error = loadHandheld(handheldPath(home), out.handheld)) return error;
    std::string journal = journalPath(home);
    if (!exists(journal)) return std::nullopt;
    JournalContent content;
    if (std::optional<std::string> error = readJournal(journal, content)) {
        return *error + " (the handheld is left as it is; move the journal away to go on without it)";
    }
    ReplayReport replay = replayJournal(out.handheld, content);
    if (!replay.alreadySaved && !replay.syncId.empty()) out.replay = replay;
    return std::nullopt;
}

// Builds the database beside the old files under a temporary name and renames it into place,
// so that a kill midway leaves the old files in charge and the next run starts over: the
// move happens exactly once.
std::optional<std::string> migrate(const std::string& home, const Handheld& handheld) {
    const std::string target = handheldDatabasePath(home);
    const std::string temp = target + ".migrating";
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) removeDurably(temp + suffix);
    {
        HandheldStore store;
        if (auto error = store.open(temp, false)) return error;
        Handheld empty;
        std::vector<PlannedCall> none;
        if (auto error = store.load(empty, none)) return error;
        if (auto error = store.commit(handheld, "migrate")) return error;
    }
    if (int err = renameDurably(temp, target)) {
        return "cannot rename " + temp + " to " + target + ": " + std::strerror(err);
    }
    return keepAsBackup(home);
}

}  // namespace

std::optional<std::string> openHandheld(const std::string& home, bool persist, OpenedHandheld& out,
                                        bool lightInbox) {
    out = OpenedHandheld();
    const std::string database = handheldDatabasePath(home);
    if (!exists(database) && exists(handheldPath(home))) {
        if (auto error = readOldHandheld(home, out)) return error;
        if (!persist) return std::nullopt;
        if (auto error = migrate(home, out.handheld)) return error;
        out.migrated = true;
    } else if (persist && exists(handheldPath(home))) {
        // A run killed between the database's rename and the backup's finishes the move.
        if (auto error = keepAsBackup(home)) return error;
    }
    out.store = std::make_unique<HandheldStore>();
    if (auto error = out.store->open(database, !persist)) return error;
    std::vector<PlannedCall> pending;
    Handheld loaded;
    if (auto error = out.store->load(loaded, pending, lightInbox)) return error;
    out.handheld = std::move(loaded);
    if (pending.empty()) return std::nullopt;

    // A call was handed to the plug-in and its result never recorded.
    ReplayReport report;
    report.syncId = "interrupted";
    report.inDoubt = pending;
    for (const PlannedCall& call : pending) applyInDoubt(out.handheld, call);
    out.replay = report;
    if (!persist) return std::nullopt;
    return out.store->commit(out.handheld, "settle", true);
}

std::optional<std::string> storeHandheld(const std::string& home, const Handheld& handheld) {
    if (int err = makeFolders(conduitFolder(home))) {
        return "cannot create " + conduitFolder(home) + ": " + std::strerror(err);
    }
    OpenedHandheld opened;
    if (auto error = openHandheld(home, true, opened)) return error;
    return opened.store->commit(handheld, "store");
}

std::string describeReplay(const ReplayReport& report, const Handheld& handheld) {
    if (report.syncId.empty()) return "an interrupted sync had made no calls yet; nothing to finish";
    if (report.alreadySaved) return "the last sync had saved the handheld; its journal was cleared";
    std::string text = report.applied == 0
                           ? std::string("finished an interrupted sync")
                           : "finished an interrupted sync: " + std::to_string(report.applied) + " recorded result" +
                                 (report.applied == 1 ? "" : "s") + " carried into the handheld";
    if (report.succeeded != report.applied) {
        text += " (" + std::to_string(report.applied - report.succeeded) + " had failed and stay pending)";
    }
    for (const PlannedCall& call : report.inDoubt) {
        const HandheldMessage* message = handheld.find(call.entry);
        if (message && message->unsure) {
            text += "\n  #" + std::to_string(call.entry) + " was being handed over (" + callName(call.call) +
                    ") when the sync stopped; it may have gone through, so it is held: "
                    "`mailconduit handheld retry " + std::to_string(call.entry) + "` hands it over again";
        } else {
            text += "\n  " + std::string(callName(call.call)) + " of #" + std::to_string(call.entry) +
                    " was under way when the sync stopped; it is tried again";
        }
    }
    return text;
}

}  // namespace conduit
