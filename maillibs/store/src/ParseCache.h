// The per-mailbox parse cache: what reading a message file produced, kept in an SQLite
// database in the Maildir's root ("vesk-cache.db", a plain file: mail readers see neither a
// folder nor a message in it), so each version of a message is parsed once.
//
// A record is believed only while the file it came from is exactly as it was: the same name
// in the same place (new/ or cur/ and the flags part), size, modification and change times to
// the nanosecond, and inode. Anything else that touched the file, even a rename by a mail
// reader, changes the change time, and the file is parsed again. Flags and read state are
// never kept; they come from the file's name each time.
//
// The cache can only make reads faster, never make them fail: a database that cannot be
// opened runs the store without a cache, and one that is damaged, of another version or
// belongs to another Maildir (copied in with the mail) is emptied and filled again. Each of
// those leaves one line in the problem log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CachedRecord.h"
#include "FileStamp.h"
#include "RecentRecords.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vesk::store::detail {

class ParseCache {
public:
    static constexpr const char* kFileName = "vesk-cache.db";

    /// The cache of the Maildir at `root`; the database is opened on first use.
    explicit ParseCache(std::string root);
    ~ParseCache();
    ParseCache(const ParseCache&) = delete;
    ParseCache& operator=(const ParseCache&) = delete;

    /// The record of message `id` of `folder` when it was made from the file as `stamp`
    /// describes it, and holds the body when `needBody`. The last few records used are
    /// answered from memory (see RecentRecords.h), under the same key.
    bool lookup(std::string_view folder, std::string_view id, const FileStamp& stamp, bool needBody,
                ParsedRecord& out);
    /// Keeps `record` of message `id` of `folder`, made from the file as `stamp` describes it.
    void store(std::string_view folder, std::string_view id, const FileStamp& stamp, const ParsedRecord& record);
    /// The decoded bytes of attachment `index` of message `id` of `folder`, when kept from
    /// the file as `stamp` describes it.
    bool lookupAttachment(std::string_view folder, std::string_view id, std::size_t index, const FileStamp& stamp,
                          std::string& out);
    /// Keeps the decoded bytes of an attachment (up to `kMaxAttachment` bytes; larger ones
    /// are decoded each time rather than doubling the mailbox on disk).
    void storeAttachment(std::string_view folder, std::string_view id, std::size_t index, const FileStamp& stamp,
                         std::string_view bytes);
    static constexpr std::size_t kMaxAttachment = 8u << 20;

    /// The store renamed message `id` from `before` in `from` to `after` in `to`: its record
    /// follows when it was made from that file and the content did not change on the way.
    void renamed(std::string_view from, std::string_view id, const FileStamp& before, std::string_view to,
                 const FileStamp& after);
    /// Drops the record of message `id` of `folder`.
    void forget(std::string_view folder, std::string_view id);
    /// Drops the records of `folder` whose identifier `keep` refuses (messages gone).
    template <class Keep>
    void prune(std::string_view folder, Keep keep);
    /// Writes what is pending to disk (the cache writes in batches) and ends the run of
    /// look-ups, so that other processes can write to the cache.
    void commit();

    /// The path of the database.
    const std::string& path() const { return m_path; }

private:
    enum class State { Closed, Open, Off };

    bool ready();
    bool openDatabase();
    bool prepareSchema();
    void close();
    /// Handles an SQLite failure `rc` of `action`: damage empties the cache; anything
    /// else that is not a passing lock turns it off. Returns false always.
    bool failed(int rc, const char* action);
    /// Steps `s` (bound by the caller) to its end and resets it; false on failure.
    bool run(sqlite3_stmt* s, const char* action);
    bool stampMatches(sqlite3_stmt* s, int first, const FileStamp& stamp) const;
    bool beginRead();
    bool beginWrite();
    void wrote();
    std::vector<std::string> idsOf(std::string_view folder);

    std::string m_root;
    std::string m_path;
    std::string m_identity;  // the Maildir the records belong to (device and inode of its root)
    State m_state = State::Closed;
    bool m_rebuilt = false;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_select = nullptr;
    sqlite3_stmt* m_upsert = nullptr;
    sqlite3_stmt* m_rename = nullptr;
    sqlite3_stmt* m_delete = nullptr;
    sqlite3_stmt* m_selectPart = nullptr;
    sqlite3_stmt* m_upsertPart = nullptr;
    sqlite3_stmt* m_renameParts = nullptr;
    sqlite3_stmt* m_deleteParts = nullptr;
    bool m_inTransaction = false;
    unsigned m_pending = 0;
    unsigned m_skipWrites = 0;
    RecentRecords m_recent;  // in front of the database; used even when the database is not
};

template <class Keep>
void ParseCache::prune(std::string_view folder, Keep keep) {
    if (!ready()) return;
    for (const std::string& id : idsOf(folder)) {
        if (!keep(id)) forget(folder, id);
    }
}

}  // namespace vesk::store::detail
