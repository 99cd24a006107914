#include "handheld/HandheldStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <sys/stat.h>

#include "desktop/FileIo.h"

namespace conduit {

namespace {

// Marks the file as this conduit's, so a database of another program is never taken for one.
constexpr std::int64_t kApplicationId = 0x56534B48;  // "VSKH"
constexpr std::int64_t kSchemaVersion = 1;

constexpr const char* kSchema = R"(
CREATE TABLE meta (key TEXT PRIMARY KEY, value BLOB NOT NULL) WITHOUT ROWID;
CREATE TABLE messages (
  id INTEGER PRIMARY KEY, folder INTEGER NOT NULL, position INTEGER NOT NULL,
  read INTEGER NOT NULL, priority INTEGER NOT NULL, deleted INTEGER NOT NULL,
  read_receipt INTEGER NOT NULL, delivery_report INTEGER NOT NULL,
  desktop_read INTEGER NOT NULL, desktop_priority INTEGER NOT NULL, unsure INTEGER NOT NULL,
  extra_id1 BLOB NOT NULL, host_msg_id BLOB NOT NULL, extra_id2 BLOB NOT NULL,
  extra_word INTEGER NOT NULL, time_sent INTEGER NOT NULL, time_received INTEGER NOT NULL,
  size INTEGER NOT NULL, extra_long INTEGER NOT NULL, status INTEGER NOT NULL, flags INTEGER NOT NULL,
  sender BLOB NOT NULL, recipients BLOB NOT NULL, cc BLOB NOT NULL, bcc BLOB NOT NULL,
  extra_text1 BLOB NOT NULL, extra_text2 BLOB NOT NULL, subject BLOB NOT NULL, body BLOB NOT NULL,
  attachments BLOB NOT NULL);
CREATE INDEX messages_order ON messages (folder, position);
CREATE TABLE pending (call TEXT NOT NULL, entry INTEGER NOT NULL, value INTEGER NOT NULL);
)";

// The message columns after id, folder and position: first what a light row keeps, then the
// texts it leaves in the database (see HandheldMessage::textsReleased).
constexpr const char* kFieldColumns =
    "read, priority, deleted, read_receipt, delivery_report, desktop_read, desktop_priority, unsure, "
    "extra_id1, host_msg_id, extra_id2, extra_word, time_sent, time_received, size, extra_long, status, "
    "flags, sender, extra_text1, extra_text2, subject";
constexpr int kFieldColumnCount = 22;
constexpr const char* kTextColumns = "recipients, cc, bcc, body, attachments";
constexpr int kTextColumnCount = 5;
constexpr int kColumnCount = kFieldColumnCount + kTextColumnCount;

std::string allColumns() { return std::string(kFieldColumns) + ", " + kTextColumns; }

// The texts a light row leaves out, in kTextColumns order.
std::array<std::string*, kTextColumnCount> textsOf(RecordFields& r) { return {&r.to, &r.cc, &r.bcc, &r.body, &r.attachments}; }
std::array<const std::string*, kTextColumnCount> textsOf(const RecordFields& r) {
    return {&r.to, &r.cc, &r.bcc, &r.body, &r.attachments};
}

// Binds the kFieldColumns of `m` from parameter `i` on; returns the next parameter.
int bindFields(Statement& s, int i, const HandheldMessage& m) {
    const RecordFields& r = m.record;
    for (std::int64_t flag : std::initializer_list<std::int64_t>{m.read, m.priority, m.deleted, m.readReceipt,
                                                                 m.deliveryReport, m.desktopRead,
                                                                 m.desktopPriority, m.unsure}) {
        s.bind(i++, flag);
    }
    for (const std::string* id : {&r.extraId1, &r.hostMsgId, &r.extraId2}) s.bind(i++, *id);
    for (std::int64_t value : {std::int64_t{r.extraWord}, std::int64_t{r.timeSent}, std::int64_t{r.timeReceived},
                               std::int64_t{r.size}, std::int64_t{r.extraLong}, std::int64_t{r.status},
                               std::int64_t{r.flags}}) {
        s.bind(i++, value);
    }
    for (const std::string* text : {&r.from, &r.extraText1, &r.extraText2, &r.subject}) s.bind(i++, *text);
    return i;
}

int bindTexts(Statement& s, int i, const RecordFields& r) {
    for (const std::string* text : textsOf(r)) s.bind(i++, *text);
    return i;
}

// Reads the kFieldColumns from column `i` on.
void readFields(const Statement& s, int i, HandheldMessage& m) {
    RecordFields& r = m.record;
    m.read = s.integer(i++) != 0;
    m.priority = static_cast<int>(s.integer(i++));
    m.deleted = s.integer(i++) != 0;
    m.readReceipt = s.integer(i++) != 0;
    m.deliveryReport = s.integer(i++) != 0;
    m.desktopRead = s.integer(i++) != 0;
    m.desktopPriority = static_cast<int>(s.integer(i++));
    m.unsure = s.integer(i++) != 0;
    r.extraId1 = s.bytes(i++);
    r.hostMsgId = s.bytes(i++);
    r.extraId2 = s.bytes(i++);
    r.extraWord = static_cast<std::uint16_t>(s.integer(i++));
    r.timeSent = static_cast<std::int32_t>(s.integer(i++));
    r.timeReceived = static_cast<std::int32_t>(s.integer(i++));
    r.size = static_cast<std::uint32_t>(s.integer(i++));
    r.extraLong = static_cast<std::uint32_t>(s.integer(i++));
    r.status = static_cast<std::uint16_t>(s.integer(i++));
    r.flags = static_cast<std::uint32_t>(s.integer(i++));
    for (std::string* text : {&r.from, &r.extraText1, &r.extraText2, &r.subject}) *text = s.bytes(i++);
}

// Reads the kTextColumns from column `i` on, or with `light` only their hash.
void readTexts(const Statement& s, int i, HandheldMessage& m, bool light) {
    if (light) {
        m.textsReleased = true;
        m.releasedTextsHash = textsHash(s.view(i), s.view(i + 1), s.view(i + 2), s.view(i + 3), s.view(i + 4));
        return;
    }
    m.textsReleased = false;
    for (std::string* text : textsOf(m.record)) *text = s.bytes(i++);
}

// "a = ?, b = ?" for a list of columns.
std::string assignments(const std::string& columns) {
    std::string sets;
    for (size_t at = 0; at < columns.size();) {
        size_t end = columns.find(',', at);
        if (end == std::string::npos) end = columns.size();
        sets += (sets.empty() ? "" : ", ") + columns.substr(at, end - at) + " = ?";
        at = columns.find_first_not_of(", ", end);
        if (at == std::string::npos) break;
    }
    return sets;
}

std::string placeholders(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += i ? ", ?" : "?";
    return text;
}

}  // namespace

std::optional<std::string> HandheldStore::failed(const char* doing, int rc) const {
    return m_db.error(doing, rc);
}

std::optional<std::string> HandheldStore::open(const std::string& path, bool readOnly) {
    m_path = path;
    m_readOnly = readOnly;
    m_absent = false;
    if (readOnly && !exists(path)) {
        m_absent = true;
        return std::nullopt;
    }
    // Read without a sync's uncheckpointed commits beside the file (none is running, or the
    // last ended cleanly), nothing is made on disk: looking at the handheld leaves it
    // byte-identical. Otherwise those commits are read through the -wal file.
    struct stat wal;
    const bool walInUse = ::stat((path + "-wal").c_str(), &wal) == 0 && wal.st_size > 0;
    if (auto error = m_db.open(path, true, readOnly, !walInUse)) return error;
    // Rows are read once, in order, and a sync's writes go to the log as they are made: a
    // page cache beyond a few hundred pages only held the inbox a second time in memory.
    m_db.exec("PRAGMA cache_size=-512");
    if (auto error = checkOrCreate()) {
        m_db.close();
        return error;
    }
    return prepare();
}

std::optional<std::string> HandheldStore::checkOrCreate() {
    // The first read tells a damaged file or one that is no database at all; nothing is
    // written before the file is known to be ours (or new).
    std::int64_t applicationId = 0, version = 0, objects = 0;
    {
        Statement probe(m_db.handle(),
                        "SELECT (SELECT application_id FROM pragma_application_id), "
                        "(SELECT user_version FROM pragma_user_version), (SELECT count(*) FROM sqlite_master)");
        int rc = probe.ok() ? SQLITE_ROW : sqlite3_errcode(m_db.handle());
        if (!probe.ok() || !probe.step(rc)) {
            return m_path + " is damaged or is not a handheld database: " + sqlite3_errmsg(m_db.handle()) +
                   " (the file is left as it is; move it away to start an empty handheld)";
        }
        applicationId = probe.integer(0);
        version = probe.integer(1);
        objects = probe.integer(2);
    }
    const bool fresh = applicationId == 0 && objects == 0;
    if (!fresh && applicationId != kApplicationId) {
        return m_path + " is not a handheld database (it belongs to another program); it is left as it is";
    }
    if (!fresh && version > kSchemaVersion) {
        return m_path + " was written by a newer conduit (layout " + std::to_string(version) +
               ", this one knows " + std::to_string(kSchemaVersion) + "); it is left as it is";
    }
    if (!fresh && version < 1) return m_path + " is damaged: it has no layout version";
    if (m_readOnly) return std::nullopt;
    if (int rc = m_db.exec("PRAGMA journal_mode=WAL"); rc != SQLITE_OK) return failed("set up", rc);
    if (int rc = m_db.exec("PRAGMA synchronous=FULL"); rc != SQLITE_OK) return failed("set up", rc);
    if (!fresh) return std::nullopt;
    // The layout, its marks and the counters commit together: a kill midway leaves a file
    // that is still empty, and the next run starts it again.
    std::string create = std::string("BEGIN IMMEDIATE;") + kSchema +
                         "PRAGMA application_id=" + std::to_string(kApplicationId) +
                         ";PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";COMMIT;";
    if (int rc = m_db.exec(create.c_str()); rc != SQLITE_OK) {
        std::optional<std::string> error = failed("create", rc);
        m_db.exec("ROLLBACK");
        return error;
    }
    return std::nullopt;
}

std::optional<std::string> HandheldStore::prepare() {
    sqlite3* db = m_db.handle();
    m_insert = Statement(db, ("INSERT INTO messages (id, folder, position, " + allColumns() + ") VALUES (" +
                              placeholders(3 + kColumnCount) + ")")
                                 .c_str());
    m_update = Statement(
        db, ("UPDATE messages SET folder = ?, position = ?, " + assignments(allColumns()) + " WHERE id = ?").c_str());
    m_updateFields = Statement(
        db, ("UPDATE messages SET folder = ?, position = ?, " + assignments(kFieldColumns) + " WHERE id = ?").c_str());
    m_restore = Statement(db, (std::string("SELECT ") + kTextColumns + " FROM messages WHERE id = ?").c_str());
    m_move = Statement(db, "UPDATE messages SET folder = ?, position = ? WHERE id = ?");
    m_delete = Statement(db, "DELETE FROM messages WHERE id = ?");
    m_meta = Statement(db, "INSERT OR REPLACE INTO meta (key, value) VALUES (?, ?)");
    m_addPending = Statement(db, "INSERT INTO pending (call, entry, value) VALUES (?, ?, ?)");
    m_clearPending = Statement(db, "DELETE FROM pending");
    for (Statement* s : {&m_insert, &m_update, &m_updateFields, &m_restore, &m_move, &m_delete, &m_meta, &m_addPending, &m_clearPending}) {
        // A database of our layout always prepares them; failing here means it was altered.
        if (!s->ok()) return m_path + " is damaged: " + sqlite3_errmsg(db);
    }
    return std::nullopt;
}

std::optional<std::string> HandheldStore::load(Handheld& handheld, std::vector<PlannedCall>& pending,
                                               bool lightInbox) {
    handheld = Handheld();
    pending.clear();
    m_stored.clear();
    m_plugin.clear();
    m_lastSync.clear();
    m_nextId = 1;
    m_hasPending = false;
    if (m_absent) return std::nullopt;
    sqlite3* db = m_db.handle();
    auto damaged = [&] { return m_path + " cannot be read: " + sqlite3_errmsg(db); };
    // One read transaction, so the rows and the counters belong to the same commit.
    if (m_db.exec("BEGIN") != SQLITE_OK) return damaged();
    struct EndRead {
        Database& db;
        ~EndRead() { db.exec("COMMIT"); }
    } endRead{m_db};
    int rc;
    Statement meta(db, "SELECT key, value FROM meta");
    if (!meta.ok()) return damaged();
    while (meta.step(rc)) {
        std::string key = meta.bytes(0), value = meta.bytes(1);
        if (key == "plugin") handheld.plugin = value;
        if (key == "lastSync") handheld.lastSync = value;
        if (key == "nextId") handheld.nextId = std::max<std::uint64_t>(1, std::strtoull(value.c_str(), nullptr, 10));
    }
    if (rc != SQLITE_DONE) return damaged();
    // Each folder's list is made at its size at once: growing it step by step held up to
    // twice the inbox's rows for a moment.
    Statement sizes(db, "SELECT folder, count(*) FROM messages GROUP BY folder");
    if (!sizes.ok()) return damaged();
    while (sizes.step(rc)) {
        std::int64_t folderNumber = sizes.integer(0);
        if (folderNumber >= 0 && folderNumber <= 2) {
            // The inbox gets room for a sync's new mail: the merge builds the new inbox in
            // place, and a list made anew when it grows would hold it twice again.
            const size_t rows = static_cast<size_t>(std::max<std::int64_t>(0, sizes.integer(1)));
            const bool inbox = folderNumber == static_cast<int>(Folder::Inbox);
            handheld.messages(static_cast<Folder>(folderNumber)).reserve(inbox ? rows + rows / 16 + 64 : rows);
        }
    }
    if (rc != SQLITE_DONE) return damaged();
    Statement rows(db, ("SELECT id, folder, position, " + allColumns() +
                        " FROM messages ORDER BY folder, position, id")
                           .c_str());
    if (!rows.ok()) return damaged();
    std::uint64_t highest = 0;
    while (rows.step(rc)) {
        HandheldMessage m;
        readFields(rows, 3, m);
        m.id = static_cast<std::uint64_t>(rows.integer(0));
        std::int64_t folderNumber = rows.integer(1);
        readTexts(rows, 3 + kFieldColumnCount, m, lightInbox && folderNumber == static_cast<int>(Folder::Inbox));
        if (folderNumber < 0 || folderNumber > 2 || m.priority < kPriorityHigh || m.priority > kPriorityLow) {
            return m_path + " is damaged: message #" + std::to_string(m.id) + " has an impossible folder or priority";
        }
        Folder folder = static_cast<Folder>(folderNumber);
        highest = std::max(highest, m.id);
        // Our layout keys rows by number; a file whose table was altered to hold one number
        // twice would load as two messages and store back as one.
        if (!m_stored.emplace(m.id, Stored{folder, rows.integer(2), fingerprintOf(m)}).second) {
            return m_path + " is damaged: message #" + std::to_string(m.id) + " is stored twice";
        }
        handheld.messages(folder).push_back(std::move(m));
    }
    if (rc != SQLITE_DONE) return damaged();
    Statement calls(db, "SELECT call, entry, value FROM pending ORDER BY rowid");
    if (!calls.ok()) return damaged();
    while (calls.step(rc)) {
        std::optional<Call> call = callFromName(calls.bytes(0));
        if (!call) return m_path + " is damaged: a pending call is named " + calls.bytes(0);
        pending.push_back({*call, static_cast<std::uint64_t>(calls.integer(1)), static_cast<int>(calls.integer(2))});
    }
    if (rc != SQLITE_DONE) return damaged();
    // Numbers are never reused, even after a message with the highest one is gone.
    handheld.nextId = std::max(handheld.nextId, highest + 1);
    m_plugin = handheld.plugin;
    m_lastSync = handheld.lastSync;
    m_nextId = handheld.nextId;
    m_hasPending = !pending.empty();
    return std::nullopt;
}

std::optional<std::string> HandheldStore::begin() {
    if (m_readOnly || !m_db.handle()) return "cannot write " + m_path + ": it was opened for reading only";
    if (m_inStep) return "cannot write " + m_path + ": a step is still open";
    if (int rc = m_db.exec("BEGIN IMMEDIATE"); rc != SQLITE_OK) return failed("write", rc);
    m_inStep = true;
    return std::nullopt;
}

std::optional<std::string> HandheldStore::end(const std::string& what, std::optional<std::string> error) {
    if (!error && m_killPoint) m_killPoint(what + ":commit");
    if (!error) {
        if (int rc = m_db.exec("COMMIT"); rc != SQLITE_OK) error = failed("write", rc);
    }
    // A failed COMMIT may already have rolled back; a second ROLLBACK then does nothing.
    if (error) m_db.exec("ROLLBACK");
    m_inStep = false;
    if (error) {
        m_staged.clear();
    } else {
        for (auto& [id, row] : m_staged) m_stored[id] = row;
        m_staged.clear();
    }
    return error;
}

std::optional<std::string> HandheldStore::transaction(const std::string& what, const Work& work) {
    if (auto error = begin()) return error;
    return end(what, work());
}

const HandheldStore::Stored* HandheldStore::storedRow(std::uint64_t id) const {
    if (auto it = m_staged.find(id); it != m_staged.end()) return &it->second;
    if (auto it = m_stored.find(id); it != m_stored.end()) return &it->second;
    return nullptr;
}

std::optional<std::string> HandheldStore::writeMessage(const HandheldMessage& m, Folder folder,
                                                        std::int64_t position, bool isNew) {
    if (m.textsReleased && isNew) {
        return "cannot write message #" + std::to_string(m.id) + " into " + m_path + ": its texts are not at hand";
    }
    // A light row's texts are in the database already and stay as they are.
    Statement& s = isNew ? m_insert : m.textsReleased ? m_updateFields : m_update;
    s.reset();
    if (isNew) {
        s.bind(1, static_cast<std::int64_t>(m.id)).bind(2, static_cast<int>(folder)).bind(3, position);
        bindTexts(s, bindFields(s, 4, m), m.record);
    } else {
        s.bind(1, static_cast<int>(folder)).bind(2, position);
        int next = bindFields(s, 3, m);
        if (!m.textsReleased) next = bindTexts(s, next, m.record);
        s.bind(next, static_cast<std::int64_t>(m.id));
    }
    int rc = s.run();
    return rc == SQLITE_DONE ? std::nullopt : failed("write", rc);
}

std::optional<std::string> HandheldStore::restoreTexts(HandheldMessage& m) {
    if (!m.textsReleased) return std::nullopt;
    m_restore.reset().bind(1, static_cast<std::int64_t>(m.id));
    int rc = SQLITE_DONE;
    if (!m_restore.step(rc)) {
        if (rc == SQLITE_DONE) return m_path + " has lost message #" + std::to_string(m.id) + " (its row is gone)";
        return failed("read", rc);
    }
    HandheldMessage full = m;
    readTexts(m_restore, 0, full, false);
    m_restore.reset();
    if (textsHash(full.record) != m.releasedTextsHash) {
        return m_path + " is damaged: the texts of message #" + std::to_string(m.id) + " changed behind the conduit";
    }
    m = std::move(full);
    return std::nullopt;
}

std::optional<std::string> HandheldStore::writeMeta(const char* key, const std::string& value) {
    m_meta.reset().bind(1, std::string_view(key)).bind(2, value);
    // Keys are TEXT so that `sqlite3 handheld.db` shows them; the blob bind stores bytes.
    int rc = m_meta.run();
    return rc == SQLITE_DONE ? std::nullopt : failed("write", rc);
}

std::optional<std::string> HandheldStore::beginStep() { return begin(); }

std::optional<std::string> HandheldStore::put(HandheldMessage& m, Folder folder, std::int64_t position) {
    if (!m_inStep) return "cannot write " + m_path + ": no step is open";
    const Stored* row = storedRow(m.id);
    Fingerprint fingerprint = fingerprintOf(m);
    if (!row || row->fingerprint != fingerprint || row->folder != folder || row->position != position) {
        if (auto error = writeMessage(m, folder, position, row == nullptr)) return error;
        m_staged[m.id] = Stored{folder, position, fingerprint};
    }
    releaseTexts(m);
    return std::nullopt;
}

void HandheldStore::abortStep() {
    if (m_inStep) end("", std::string("given up"));
}

std::optional<std::string> HandheldStore::commit(const Handheld& now, const std::string& what, bool clearPending) {
    // The transaction starts with the first write: a commit with nothing to write touches
    // nothing, also on a handheld opened for reading.
    return commitStep(now, what, clearPending);
}

std::optional<std::string> HandheldStore::commitStep(const Handheld& now, const std::string& what,
                                                     bool clearPending) {
    std::optional<std::string> error;
    // Runs one write inside the step, opening it first when it is not open yet.
    auto write = [&](const Work& work) {
        if (!error && !m_inStep) error = begin();
        if (!error) error = work();
    };
    auto run = [this](Statement& statement) -> std::optional<std::string> {
        int rc = statement.run();
        return rc == SQLITE_DONE ? std::nullopt : failed("write", rc);
    };
    // What changed since the rows were stored (or written in this step): rows new, changed,
    // moved or gone, and the counters.
    std::vector<std::uint64_t> present;
    present.reserve(m_stored.size() + now.inbox.size());
    for (Folder folder : {Folder::Inbox, Folder::Outbox, Folder::Filed}) {
        const std::vector<HandheldMessage>& list = now.messages(folder);
        for (size_t i = 0; i < list.size() && !error; ++i) {
            const HandheldMessage& m = list[i];
            present.push_back(m.id);
            const Stored* row = storedRow(m.id);
            std::int64_t position = static_cast<std::int64_t>(i);
            Fingerprint fingerprint = fingerprintOf(m);
            if (!row || row->fingerprint != fingerprint) {
                write([&] { return writeMessage(m, folder, position, row == nullptr); });
            } else if (row->folder != folder || row->position != position) {
                write([&] {
                    return run(m_move.reset()
                                   .bind(1, static_cast<int>(folder))
                                   .bind(2, position)
                                   .bind(3, static_cast<std::int64_t>(m.id)));
                });
            } else {
                continue;
            }
            m_staged[m.id] = Stored{folder, position, fingerprint};
        }
    }
    std::sort(present.begin(), present.end());
    std::vector<std::uint64_t> removed;
    for (const auto* rows : {&m_stored, &m_staged}) {
        for (const auto& [id, row] : *rows) {
            if (!std::binary_search(present.begin(), present.end(), id)) removed.push_back(id);
        }
    }
    for (std::uint64_t id : removed) write([&] { return run(m_delete.reset().bind(1, static_cast<std::int64_t>(id))); });
    const bool metaChanged = now.plugin != m_plugin || now.lastSync != m_lastSync || now.nextId != m_nextId;
    const bool clearing = clearPending && m_hasPending;
    if (metaChanged) {
        write([&] { return writeMeta("plugin", now.plugin); });
        write([&] { return writeMeta("lastSync", now.lastSync); });
        write([&] { return writeMeta("nextId", std::to_string(now.nextId)); });
    }
    if (clearing) write([&] { return run(m_clearPending.reset()); });
    if (!m_inStep) return error;  // nothing to write, or the step could not be opened
    if (!error && m_staged.empty() && removed.empty() && !metaChanged && !clearing) {
        // A step opened for rows that all turned out unchanged ends without a commit (and
        // without its kill point): an unchanged mailbox writes nothing.
        m_db.exec("ROLLBACK");
        m_inStep = false;
        return std::nullopt;
    }
    if (auto e = end(what, error)) return e;
    for (std::uint64_t id : removed) m_stored.erase(id);
    m_plugin = now.plugin;
    m_lastSync = now.lastSync;
    m_nextId = now.nextId;
    if (clearing) m_hasPending = false;
    return std::nullopt;
}

std::optional<std::string> HandheldStore::beginCall(const PlannedCall& call, const std::string& what) {
    std::optional<std::string> error = transaction(what, [&]() -> std::optional<std::string> {
        int rc = m_addPending.reset()
                     .bind(1, std::string_view(callName(call.call)))
                     .bind(2, static_cast<std::int64_t>(call.entry))
                     .bind(3, call.value)
                     .run();
        return rc == SQLITE_DONE ? std::nullopt : failed("write", rc);
    });
    if (!error) m_hasPending = true;
    return error;
}

std::optional<std::string> HandheldStore::finishCall(const Handheld& now, const PlannedCall& call,
                                                     const std::string& what) {
    Folder folder = Folder::Inbox;
    const HandheldMessage* message = now.find(call.entry, &folder);
    auto stored = m_stored.find(call.entry);
    const Fingerprint fingerprint = message ? fingerprintOf(*message) : Fingerprint();
    std::optional<std::string> error = transaction(what, [&]() -> std::optional<std::string> {
        int rc = SQLITE_DONE;
        if (!message && stored != m_stored.end()) {
            rc = m_delete.reset().bind(1, static_cast<std::int64_t>(call.entry)).run();
        } else if (message && stored != m_stored.end() && stored->second.fingerprint != fingerprint) {
            // The row keeps its place: only a full commit renumbers the order.
            if (auto e = writeMessage(*message, folder, stored->second.position, false)) return e;
        }
        if (rc != SQLITE_DONE) return failed("write", rc);
        if (rc = m_clearPending.reset().run(); rc != SQLITE_DONE) return failed("write", rc);
        return std::nullopt;
    });
    if (error) return error;
    if (!message) {
        m_stored.erase(call.entry);
    } else if (stored != m_stored.end()) {
        stored->second.fingerprint = fingerprint;
        stored->second.folder = folder;
    }
    m_hasPending = false;
    return std::nullopt;
}

}  // namespace conduit
