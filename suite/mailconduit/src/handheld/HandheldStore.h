// The handheld kept in an SQLite database (`<home>/conduit/handheld.db`): one row per
// message, updated in place, so a sync writes only what changed.
//
// Every step of a sync is one transaction. Before a call that changes the desktop the call is
// recorded as pending (committed before the call is made); when it returns, its outcome and the
// removal of the pending row commit together. A pending row found on opening belongs to a call
// whose result was lost: sending and filing are then held as unsure, never repeated behind the
// person's back. The database runs in WAL mode with synchronous=FULL: each commit reaches the
// disk before the conduit goes on, since a call made on the strength of a commit (a message
// sent) cannot be taken back if a power loss undid that commit.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "handheld/Fingerprint.h"
#include "handheld/Handheld.h"
#include "sync/Outcome.h"
#include "handheld/Sqlite.h"

namespace conduit {

class HandheldStore {
public:
    /// Called with a point's name inside each transaction before it commits ("<what>:commit"),
    /// so tests can end the process there.
    using KillPoint = std::function<void(const std::string&)>;

    /// Opens the database at `path`. A missing file is created (unless `readOnly`, which then
    /// gives an empty handheld without touching the disk). A file that is damaged, from another
    /// program or from a newer conduit is refused with an error naming it, and left as it is.
    std::optional<std::string> open(const std::string& path, bool readOnly);
    /// True when open() found no file and made none (read-only).
    bool absent() const { return m_absent; }
    const std::string& path() const { return m_path; }

    /// Reads the whole handheld, and the calls still recorded as pending. With `lightInbox`
    /// the inbox's texts stay in the database: its messages come back released (see
    /// HandheldMessage::textsReleased), so a sync holds no second copy of the mailbox.
    std::optional<std::string> load(Handheld& handheld, std::vector<PlannedCall>& pending,
                                    bool lightInbox = false);
    /// Reads back the texts of a released message (nothing to do for one that is not).
    /// An error names the file when the row is gone or its texts no longer match.
    std::optional<std::string> restoreTexts(HandheldMessage& message);

    /// Writes whatever differs between the stored handheld and `now`, in one transaction, and
    /// with `clearPending` removes the pending calls in the same transaction. No difference
    /// and nothing to clear: nothing is written.
    std::optional<std::string> commit(const Handheld& now, const std::string& what, bool clearPending = false);

    // A step written as it goes: beginStep, then put for each message as it is ready, then
    // commitStep (or abortStep). The rows put and the commit are one transaction, so a kill
    // before the commit leaves the handheld as it was.

    /// Opens a step.
    std::optional<std::string> beginStep();
    /// Within a step: writes `message` as the `position`th of `folder` when its row differs,
    /// then releases its texts, which are in the database from now on.
    std::optional<std::string> put(HandheldMessage& message, Folder folder, std::int64_t position);
    /// Ends the step as `commit` does (what still differs from `now` goes with it). A step in
    /// which nothing differed ends without a commit.
    std::optional<std::string> commitStep(const Handheld& now, const std::string& what, bool clearPending = false);
    /// Ends the step, keeping nothing it wrote.
    void abortStep();
    /// Records `call` as pending before it is made (`what` names the point).
    std::optional<std::string> beginCall(const PlannedCall& call, const std::string& what);
    /// Writes the outcome of `call` (the state of its message in `now`) and clears it as
    /// pending, in one transaction.
    std::optional<std::string> finishCall(const Handheld& now, const PlannedCall& call, const std::string& what);

    void setKillPoint(KillPoint killPoint) { m_killPoint = std::move(killPoint); }

private:
    // A row as the database holds it: where it sits and what it hashes to, not its texts.
    struct Stored {
        Folder folder = Folder::Inbox;
        std::int64_t position = 0;
        Fingerprint fingerprint;
    };
    using Work = std::function<std::optional<std::string>()>;

    std::optional<std::string> checkOrCreate();
    std::optional<std::string> prepare();
    std::optional<std::string> begin();
    /// Commits the open transaction (after the kill point `what`:commit), or rolls it back
    /// when `error` is set; the rows written in it become the stored ones only on a commit.
    std::optional<std::string> end(const std::string& what, std::optional<std::string> error);
    std::optional<std::string> transaction(const std::string& what, const Work& work);
    /// The row of message `id` as this step left it, else as stored; null when there is none.
    const Stored* storedRow(std::uint64_t id) const;
    std::optional<std::string> writeMessage(const HandheldMessage& m, Folder folder, std::int64_t position,
                                            bool isNew);
    std::optional<std::string> writeMeta(const char* key, const std::string& value);
    std::optional<std::string> failed(const char* doing, int rc) const;

    Database m_db;
    std::string m_path;
    bool m_absent = false;
    bool m_readOnly = false;
    KillPoint m_killPoint;
    // What the database holds, so a commit can tell what changed without reading it back
    // and without a second copy of every message.
    std::unordered_map<std::uint64_t, Stored> m_stored;
    std::string m_plugin, m_lastSync;
    std::uint64_t m_nextId = 1;
    bool m_hasPending = false;
    bool m_inStep = false;
    // Rows written in the open step, taken into m_stored when it commits.
    std::unordered_map<std::uint64_t, Stored> m_staged;

    Statement m_insert, m_update, m_updateFields, m_restore, m_move, m_delete, m_meta, m_addPending, m_clearPending;
};

}  // namespace conduit
