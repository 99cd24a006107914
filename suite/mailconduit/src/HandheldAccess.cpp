#include "HandheldAccess.h"

#include <cstring>

#include "FileIo.h"
#include "HandheldFile.h"
#include "Paths.h"

namespace conduit {

std::optional<std::string> openHandheld(const std::string& home, bool persist, OpenedHandheld& out) {
    out = OpenedHandheld();
    if (std::optional<std::string> error = loadHandheld(handheldPath(home), out.handheld)) return error;
    std::string journal = journalPath(home);
    if (!exists(journal)) return std::nullopt;
    JournalContent content;
    if (std::optional<std::string> error = readJournal(journal, content)) {
        return *error + " (the handheld is left as it is; move the journal away to go on without it)";
    }
    out.replay = replayJournal(out.handheld, content);
    if (!persist) return std::nullopt;
    if (!out.replay->alreadySaved && !out.replay->syncId.empty()) {
        if (std::optional<std::string> error = saveHandheld(handheldPath(home), out.handheld)) return error;
    }
    if (int err = removeDurably(journal)) {
        return "cannot remove " + journal + ": " + std::strerror(err);
    }
    return std::nullopt;
}

std::optional<std::string> storeHandheld(const std::string& home, const Handheld& handheld) {
    return saveHandheld(handheldPath(home), handheld);
}

std::string describeReplay(const ReplayReport& report, const Handheld& handheld) {
    if (report.syncId.empty()) return "an interrupted sync had made no calls yet; nothing to finish";
    if (report.alreadySaved) return "the last sync had saved the handheld; its journal was cleared";
    std::string text = "finished an interrupted sync: " + std::to_string(report.applied) +
                       " recorded result" + (report.applied == 1 ? "" : "s") + " carried into the handheld";
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
