// A synchronisation: the calling order of the mail host interface, the handheld's state
// carried both ways, each step committed to the handheld's database so that the next run
// finishes a sync that was cut off.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "desktop/DesktopQueue.h"
#include "sync/FaultHook.h"
#include "handheld/Handheld.h"
#include "handheld/Journal.h"
#include "sync/Merge.h"
#include "sync/Outcome.h"
#include "host/PluginHost.h"
#include "display/Progress.h"

namespace conduit {

/// A mailbox this large or larger is one where losing more than half at once asks first.
inline constexpr std::size_t kNonTrivialMailbox = 10;

struct SyncOptions {
    std::string home;          ///< the desktop folder
    std::string plugin;        ///< the plug-in's short name, kept with the inbox it mirrors
    std::string configFile;    ///< passed to Logon unchanged
    bool headersOnly = false;  ///< GetAllMsgs without bodies
    bool dryRun = false;       ///< only say what would be carried; no plug-in call, no write
    bool assumeYes = false;    ///< no question before removing more than half of the inbox
};

/// A call the plug-in refused (or a step that failed).
struct SyncFailure {
    std::string step;         ///< the export's name
    std::uint64_t entry = 0;  ///< the handheld message concerned (0 for none)
    std::string subject;      ///< its subject (Windows-1252), for the person
    int rc = 0;               ///< the plug-in's result code
};

struct SyncReport {
    int exitCode = 0;    ///< 0 done, 1 some calls failed or mail stayed queued, 2 the sync could not run
    std::string reason;  ///< exit 2: why, in plain words
    std::optional<ReplayReport> replay;  ///< an interrupted sync that was finished first
    std::string replayText;
    std::vector<std::string> notes;      ///< further things the person should know
    /// What the mail libraries logged in the problem log while a refused call ran, one
    /// "<component>: <reason>" each (see ProblemWatch).
    std::vector<std::string> problems;

    bool mailboxRead = false;  ///< GetAllMsgs succeeded and the inbox was merged
    int mailboxSize = 0;       ///< records GetAllMsgs handed out
    MergeResult merge;

    std::vector<PlannedCall> plan;  ///< the calls made (dry run: that would be made)
    int sent = 0, filed = 0, deleted = 0, markedRead = 0, markedUnread = 0, prioritised = 0;
    /// Changes the plug-in accepted that its mail system does not keep (not counted as
    /// marked): one description each; the handheld took the desktop's state back for them.
    std::vector<std::string> unkept;
    bool verbose = false;  ///< the summary may show the sync's internals
    std::vector<SyncFailure> failures;
    std::vector<std::uint64_t> held;  ///< messages held as unsure, not handed over
    /// What the desktop's outboxes still hold after the sync, as the mail library recorded
    /// it during the sync: accepted by the plug-in (counted in `sent`) yet not left.
    std::vector<DesktopQueued> desktopQueue;
    /// Of `sent`, how many left the desktop: those not waiting in `desktopQueue` as queued now.
    int leftDesktop() const;
    unsigned long yields = 0;         ///< SyncYieldCycles calls during the sync

    Handheld handheld;  ///< the handheld afterwards (dry run: as it stands)
};

/// What the sync needs from its surroundings.
struct SyncEnvironment {
    Progress& progress;
    FaultHook& faults;
    /// Asked before a sync removes more than half of a non-trivial inbox; null or false
    /// stops the sync (exit 2).
    std::function<bool(const std::string& question)> confirm;
};

/// Runs one sync with the plug-in whose exports are `plugin`:
/// Initialize; Logon(1, config); GetAllMsgs then FreeMailMsg; SendMsg per outbox message,
/// SetMsg per message of the filing queue, DeleteMsg / SetMsgReadStatus / SetMsgPriority per
/// changed inbox message; Logoff; Uninitialize (always, once Initialize was called).
/// The merged inbox is committed as one step; each desktop-changing call is recorded as
/// pending before it is made, and its outcome committed when it returns. The desktop lock is held throughout.
SyncReport runSync(const PluginExports& plugin, const SyncOptions& options, SyncEnvironment& env);

}  // namespace conduit
