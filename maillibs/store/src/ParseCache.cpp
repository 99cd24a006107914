#include "ParseCache.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "store/ProblemLog.h"

namespace vesk::store::detail {
namespace {

// The layout of the tables; with the record encoding it makes the database's version.
constexpr int kSchemaVersion = 1;
constexpr int kDatabaseVersion = kSchemaVersion * 1000 + static_cast<int>(kRecordVersion);

// Writes go in batches: one transaction per this many records keeps a first read of a large
// mailbox from paying a commit per message. A batch's records fit the page cache below, so
// they are written once, at the commit.
constexpr unsigned kBatch = 256;
// After another process held the write lock, this many records are not kept before trying again.
constexpr unsigned kBusyBackoff = 256;

constexpr const char* kSchema =
    "CREATE TABLE meta(name TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE parsed(folder TEXT NOT NULL, id TEXT NOT NULL, file TEXT NOT NULL,"
    " size INTEGER NOT NULL, inode INTEGER NOT NULL, mtime_ns INTEGER NOT NULL,"
    " ctime_ns INTEGER NOT NULL, record BLOB NOT NULL, PRIMARY KEY(folder, id)) WITHOUT ROWID;"
    "CREATE TABLE attachment(folder TEXT NOT NULL, id TEXT NOT NULL, part INTEGER NOT NULL, file TEXT NOT NULL,"
    " size INTEGER NOT NULL, inode INTEGER NOT NULL, mtime_ns INTEGER NOT NULL, ctime_ns INTEGER NOT NULL,"
    " bytes BLOB NOT NULL, PRIMARY KEY(folder, id, part));";

void bindText(sqlite3_stmt* s, int n, std::string_view text) {
    sqlite3_bind_text(s, n, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void bindStamp(sqlite3_stmt* s, int first, const FileStamp& st) {
    bindText(s, first, st.file);
    sqlite3_bind_int64(s, first + 1, static_cast<sqlite3_int64>(st.size));
    sqlite3_bind_int64(s, first + 2, static_cast<sqlite3_int64>(st.inode));
    sqlite3_bind_int64(s, first + 3, st.mtimeNs);
    sqlite3_bind_int64(s, first + 4, st.ctimeNs);
}

std::string_view columnText(sqlite3_stmt* s, int n) {
    const void* p = sqlite3_column_blob(s, n);
    int size = sqlite3_column_bytes(s, n);
    return p ? std::string_view(static_cast<const char*>(p), static_cast<std::size_t>(size)) : std::string_view();
}

bool isDamage(int rc) {
    int primary = rc & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_FORMAT;
}

bool isLock(int rc) {
    int primary = rc & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// Runs one statement that returns no rows.
int exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

}  // namespace

ParseCache::ParseCache(std::string root) : m_root(std::move(root)), m_path(m_root + "/" + kFileName) {}

ParseCache::~ParseCache() { close(); }

bool ParseCache::ready() {
    if (m_state == State::Closed) {
        if (!openDatabase()) close();
        if (m_state == State::Closed) m_state = State::Off;
    }
    return m_state == State::Open;
}

bool ParseCache::openDatabase() {
    struct stat root {};
    if (::stat(m_root.c_str(), &root) != 0) return false;
    m_identity = std::to_string(root.st_dev) + ":" + std::to_string(root.st_ino);

    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW;
    int rc = sqlite3_open_v2(m_path.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        logProblem("store", m_path, std::string("the parse cache cannot be opened (mail is read without it): ") +
                                        sqlite3_errstr(rc));
        return false;
    }
    sqlite3_busy_timeout(m_db, 100);
    // Records are a few kilobytes: in large pages they seldom spill into overflow pages,
    // which made the database half again as large and its writing the larger part of a first
    // read (the size takes effect when the database is created). A rollback journal writes
    // new records once, where a write-ahead log writes them twice; and nothing is synced:
    // a crash of this process is rolled back from the journal; damage a crash of the machine
    // could leave is reported by SQLite, or fails a record's decoding, and the cache is built
    // again. A lost record costs a parse, never a wrong answer: every record carries the key
    // it is checked against. A megabyte of pages holds a batch of new records; look-ups go
    // through the pages once, in the listing's order, and gained nothing from more.
    rc = exec(m_db, "PRAGMA page_size=65536; PRAGMA journal_mode=DELETE; PRAGMA synchronous=OFF; PRAGMA cache_size=-1024;");
    if (rc == SQLITE_OK && prepareSchema()) {
        m_state = State::Open;
        return true;
    }
    // A damaged file is replaced by a fresh database there, which leaves the cache open.
    if (rc != SQLITE_OK) failed(rc, "opening it");
    return m_state == State::Open;
}

bool ParseCache::prepareSchema() {
    sqlite3_stmt* s = nullptr;
    int version = -1;
    int rc = sqlite3_prepare_v2(m_db, "PRAGMA user_version", -1, &s, nullptr);
    if (rc == SQLITE_OK && (rc = sqlite3_step(s)) == SQLITE_ROW) version = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    if (version < 0) return failed(rc, "reading its version");

    std::string owner;
    if (version == kDatabaseVersion) {
        s = nullptr;
        rc = sqlite3_prepare_v2(m_db, "SELECT value FROM meta WHERE name = 'maildir'", -1, &s, nullptr);
        if (rc == SQLITE_OK && (rc = sqlite3_step(s)) == SQLITE_ROW) owner = std::string(columnText(s, 0));
        sqlite3_finalize(s);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) return failed(rc, "reading whose it is");
    }
    if (version != kDatabaseVersion || owner != m_identity) {
        if (version != 0) {
            logProblem("store", m_path,
                       version != kDatabaseVersion
                           ? "the parse cache was written by another version and is built again"
                           : "the parse cache belongs to another Maildir (copied in?) and is built again");
        }
        // One transaction: a crash leaves either the old tables or the new ones.
        std::string sql = "BEGIN IMMEDIATE; DROP TABLE IF EXISTS attachment; DROP TABLE IF EXISTS parsed; DROP TABLE IF EXISTS meta;";
        sql += kSchema;
        sql += "INSERT INTO meta VALUES('maildir', '" + m_identity + "');";
        sql += "PRAGMA user_version = " + std::to_string(kDatabaseVersion) + "; COMMIT;";
        rc = exec(m_db, sql.c_str());
        if (rc != SQLITE_OK) {
            exec(m_db, "ROLLBACK");
            return failed(rc, "setting it up");
        }
    }
    struct Prepared {
        sqlite3_stmt** stmt;
        const char* sql;
    } statements[] = {
        {&m_select, "SELECT file, size, inode, mtime_ns, ctime_ns, record FROM parsed WHERE folder = ?1 AND id = ?2"},
        {&m_upsert, "INSERT OR REPLACE INTO parsed VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"},
        {&m_rename,
         "UPDATE parsed SET folder = ?8, file = ?9, ctime_ns = ?10 WHERE folder = ?1 AND id = ?2 AND file = ?3"
         " AND size = ?4 AND inode = ?5 AND mtime_ns = ?6 AND ctime_ns = ?7"},
        {&m_delete, "DELETE FROM parsed WHERE folder = ?1 AND id = ?2"},
        {&m_selectPart,
         "SELECT file, size, inode, mtime_ns, ctime_ns, bytes FROM attachment WHERE folder = ?1 AND id = ?2"
         " AND part = ?3"},
        {&m_upsertPart, "INSERT OR REPLACE INTO attachment VALUES(?1, ?2, ?9, ?3, ?4, ?5, ?6, ?7, ?8)"},
        {&m_renameParts,
         "UPDATE attachment SET folder = ?8, file = ?9, ctime_ns = ?10 WHERE folder = ?1 AND id = ?2"
         " AND file = ?3 AND size = ?4 AND inode = ?5 AND mtime_ns = ?6 AND ctime_ns = ?7"},
        {&m_deleteParts, "DELETE FROM attachment WHERE folder = ?1 AND id = ?2"},
    };
    for (const Prepared& p : statements) {
        rc = sqlite3_prepare_v3(m_db, p.sql, -1, SQLITE_PREPARE_PERSISTENT, p.stmt, nullptr);
        if (rc != SQLITE_OK) return failed(rc, "preparing its statements");
    }
    return true;
}

void ParseCache::close() {
    if (m_db == nullptr) return;
    if (m_inTransaction) {
        if (exec(m_db, "COMMIT") != SQLITE_OK) exec(m_db, "ROLLBACK");
        m_inTransaction = false;
    }
    for (sqlite3_stmt** s : {&m_select, &m_upsert, &m_rename, &m_delete, &m_selectPart, &m_upsertPart,
                             &m_renameParts, &m_deleteParts}) {
        sqlite3_finalize(*s);
        *s = nullptr;
    }
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool ParseCache::failed(int rc, const char* action) {
    if (isLock(rc) && m_state == State::Open) return false;
    const char* reason = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
    if (isDamage(rc) && !m_rebuilt) {
        // A damaged cache is thrown away whole and built again; once per store is enough.
        logProblem("store", m_path,
                   std::string("the parse cache is damaged (") + reason + ", " + action + ") and is built again");
        m_rebuilt = true;
        close();
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) ::unlink((m_path + suffix).c_str());
        if (openDatabase()) return false;
        close();
        m_state = State::Off;
        return false;
    }
    logProblem("store", m_path, std::string("the parse cache is not used from now on (") + action + ": " + reason + ")");
    close();
    m_state = State::Off;
    return false;
}

bool ParseCache::beginRead() {
    if (!ready()) return false;
    if (m_inTransaction) return true;
    // One transaction for a run of look-ups: outside one, every statement takes and drops
    // the file lock and re-reads the database header.
    int rc = exec(m_db, "BEGIN");
    if (rc == SQLITE_OK) {
        m_inTransaction = true;
        return true;
    }
    return failed(rc, "starting to read");
}

bool ParseCache::lookup(std::string_view folder, std::string_view id, const FileStamp& stamp, bool needBody,
                        ParsedRecord& out) {
    if (const ParsedRecord* kept = m_recent.find(folder, id, stamp); kept && (kept->hasBody || !needBody)) {
        out = *kept;
        return true;
    }
    if (!beginRead()) return false;
    sqlite3_stmt* s = m_select;
    bindText(s, 1, folder);
    bindText(s, 2, id);
    int rc = sqlite3_step(s);
    bool hit = false;
    if (rc == SQLITE_ROW) hit = stampMatches(s, 0, stamp) && decodeRecord(columnText(s, 5), out) && (out.hasBody || !needBody);
    sqlite3_reset(s);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) failed(rc, "looking a message up");
    if (hit) m_recent.put(folder, id, stamp, out);
    return hit;
}

bool ParseCache::stampMatches(sqlite3_stmt* s, int first, const FileStamp& stamp) const {
    return columnText(s, first) == stamp.file &&
           static_cast<std::uint64_t>(sqlite3_column_int64(s, first + 1)) == stamp.size &&
           static_cast<std::uint64_t>(sqlite3_column_int64(s, first + 2)) == stamp.inode &&
           sqlite3_column_int64(s, first + 3) == stamp.mtimeNs && sqlite3_column_int64(s, first + 4) == stamp.ctimeNs;
}

bool ParseCache::lookupAttachment(std::string_view folder, std::string_view id, std::size_t index,
                                  const FileStamp& stamp, std::string& out) {
    if (!beginRead()) return false;
    sqlite3_stmt* s = m_selectPart;
    bindText(s, 1, folder);
    bindText(s, 2, id);
    sqlite3_bind_int64(s, 3, static_cast<sqlite3_int64>(index));
    int rc = sqlite3_step(s);
    bool hit = rc == SQLITE_ROW && stampMatches(s, 0, stamp);
    if (hit) out.assign(columnText(s, 5));
    sqlite3_reset(s);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) failed(rc, "looking an attachment up");
    return hit;
}

void ParseCache::storeAttachment(std::string_view folder, std::string_view id, std::size_t index,
                                 const FileStamp& stamp, std::string_view bytes) {
    if (bytes.size() > kMaxAttachment || !beginWrite()) return;
    sqlite3_stmt* s = m_upsertPart;
    bindText(s, 1, folder);
    bindText(s, 2, id);
    bindStamp(s, 3, stamp);
    sqlite3_bind_blob(s, 8, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
    sqlite3_bind_int64(s, 9, static_cast<sqlite3_int64>(index));
    if (run(s, "keeping an attachment")) wrote();
}

bool ParseCache::run(sqlite3_stmt* s, const char* action) {
    int rc = sqlite3_step(s);
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    if (rc == SQLITE_DONE) return true;
    return failed(rc, action);
}

bool ParseCache::beginWrite() {
    if (!ready()) return false;
    if (m_inTransaction) return true;
    if (m_skipWrites > 0) {
        --m_skipWrites;
        return false;
    }
    int rc = exec(m_db, "BEGIN IMMEDIATE");
    if (rc == SQLITE_OK) {
        m_inTransaction = true;
        return true;
    }
    // Another process is writing to the cache: leave the keeping to it for a while.
    if (isLock(rc)) m_skipWrites = kBusyBackoff;
    return failed(rc, "starting to write");
}

void ParseCache::wrote() {
    if (++m_pending >= kBatch) commit();
}

void ParseCache::commit() {
    if (m_db == nullptr || !m_inTransaction) return;
    m_inTransaction = false;
    m_pending = 0;
    int rc = exec(m_db, "COMMIT");
    if (rc != SQLITE_OK) {
        exec(m_db, "ROLLBACK");
        failed(rc, "writing records");
    }
}

void ParseCache::store(std::string_view folder, std::string_view id, const FileStamp& stamp,
                       const ParsedRecord& record) {
    m_recent.put(folder, id, stamp, record);
    if (!beginWrite()) return;
    std::string bytes = encodeRecord(record);
    sqlite3_stmt* s = m_upsert;
    bindText(s, 1, folder);
    bindText(s, 2, id);
    bindStamp(s, 3, stamp);
    sqlite3_bind_blob(s, 8, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
    if (run(s, "keeping a record")) wrote();
}

void ParseCache::renamed(std::string_view from, std::string_view id, const FileStamp& before, std::string_view to,
                         const FileStamp& after) {
    m_recent.renamed(from, id, before, to, after);
    if (!before.sameContent(after)) {
        forget(from, id);
        return;
    }
    if (!beginWrite()) return;
    for (sqlite3_stmt* s : {m_rename, m_renameParts}) {
        bindText(s, 1, from);
        bindText(s, 2, id);
        bindStamp(s, 3, before);
        bindText(s, 8, to);
        bindText(s, 9, after.file);
        sqlite3_bind_int64(s, 10, after.ctimeNs);
        if (!run(s, "following a renamed message")) return;
    }
    wrote();
}

void ParseCache::forget(std::string_view folder, std::string_view id) {
    m_recent.forget(folder, id);
    if (!beginWrite()) return;
    for (sqlite3_stmt* s : {m_delete, m_deleteParts}) {
        bindText(s, 1, folder);
        bindText(s, 2, id);
        if (!run(s, "dropping a record")) return;
    }
    wrote();
}

std::vector<std::string> ParseCache::idsOf(std::string_view folder) {
    std::vector<std::string> ids;
    sqlite3_stmt* s = nullptr;
    const char* sql = "SELECT id FROM parsed WHERE folder = ?1 UNION SELECT id FROM attachment WHERE folder = ?1";
    int rc = sqlite3_prepare_v2(m_db, sql, -1, &s, nullptr);
    if (rc == SQLITE_OK) {
        bindText(s, 1, folder);
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) ids.emplace_back(columnText(s, 0));
    }
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE) {
        failed(rc, "listing its records");
        ids.clear();
    }
    return ids;
}

}  // namespace vesk::store::detail
