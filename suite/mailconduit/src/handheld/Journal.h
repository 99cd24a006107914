// The sync journal: a write-ahead record of every call that changes the desktop, so that a
// sync killed at any moment is finished by the next run without losing or repeating anything.
//
// The file holds one JSON object per line, each flushed to disk before the sync goes on:
//   {"journal":1,"sync":ID,"plugin":NAME,"started":T}    when the sync starts
//   {"begin":CALL,"entry":N,"value":V}                   before the call is made
//   {"done":CALL,"entry":N,"value":V,"rc":RC}            after it returned
// The handheld file is replaced once, at the end, carrying the sync's ID; then the journal is
// removed. A journal found later belongs to a sync whose end never came (or came just before
// the journal could be removed: the handheld then already carries its ID).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "handheld/Handheld.h"
#include "sync/Outcome.h"

namespace conduit {

/// What a journal file holds.
struct JournalContent {
    std::string syncId;   ///< empty when not even the first line reached the disk
    std::string plugin;
    std::int64_t started = 0;
    struct Step {
        bool done = false;  ///< false: a "begin" line; true: a "done" line
        PlannedCall call;
        int rc = 0;         ///< "done" lines only
    };
    std::vector<Step> steps;
};

/// Reads the journal at `path`. A last line without its newline (cut off by a crash) is
/// ignored. Returns an error text when the file cannot be read or a complete line is not a
/// journal line; a missing file gives an empty content.
std::optional<std::string> readJournal(const std::string& path, JournalContent& content);

/// What replaying a journal did.
struct ReplayReport {
    std::string syncId;
    bool alreadySaved = false;  ///< the handheld already held this sync's outcome
    int applied = 0;            ///< calls whose outcome was carried into the handheld
    int succeeded = 0;          ///< of those, how many the plug-in had accepted
    std::vector<PlannedCall> inDoubt;  ///< calls begun whose result was never recorded
};

/// Carries the outcome of an interrupted sync into `handheld`: every recorded result (as the
/// sync itself would have), every call without a result as in doubt; marks the handheld with
/// the sync's ID. Nothing is applied twice: a handheld that already carries the ID is left as
/// it is.
ReplayReport replayJournal(Handheld& handheld, const JournalContent& content);

/// Appends to a journal, flushing each line to disk before returning.
class JournalWriter {
public:
    /// Starts a new journal at `path` (replacing none: the caller has replayed and removed any
    /// earlier one). Returns 0 or errno.
    int start(const std::string& path, const std::string& syncId, const std::string& plugin);
    /// Records that `call` is about to be made. Returns 0 or errno.
    int begin(const PlannedCall& call);
    /// Records the result of `call`. Returns 0 or errno.
    int done(const PlannedCall& call, int rc);
    /// Removes the journal (after the handheld was saved). Returns 0 or errno.
    int finish();

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

/// A new sync identifier, unique enough for one desktop: time, process and a random part.
std::string newSyncId();

}  // namespace conduit
