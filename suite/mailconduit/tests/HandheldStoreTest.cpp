// The handheld's database: what it stores comes back field for field, a commit writes only
// what changed, a pending call survives the process, and a file it did not write (or cannot
// write) is refused by name and left as it was.
#include "handheld/HandheldStore.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include "desktop/FileIo.h"
#include "TestDesktop.h"

namespace conduit {
namespace {

using test::TempDesktop;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

HandheldMessage message(std::uint64_t id, const std::string& subject) {
    HandheldMessage m;
    m.id = id;
    m.record.subject = subject;
    m.record.body = "body of " + subject + "\r\n";
    return m;
}

Handheld sample() {
    Handheld h;
    h.plugin = "salvith";
    h.lastSync = "1700000000-42-abcdef01";
    HandheldMessage in = message(3, "Caf\xe9 \x80 5");  // Windows-1252 bytes, kept as they are
    // Identifiers are opaque bytes: NULs and high bytes must survive.
    in.record.hostMsgId = std::string("\x01\x00\xff\x80id", 6);
    in.record.extraWord = 7;
    in.record.timeSent = -5;
    in.record.size = 0xfffffff0u;
    in.record.extraLong = 0xdeadbeef;
    in.record.flags = 0x822A0000;
    in.record.from = "j\xf6rg@example.de";
    in.read = true;
    in.priority = kPriorityHigh;
    in.deleted = true;
    h.inbox = {in, message(4, "second"), message(7, "third")};
    HandheldMessage out = message(5, "to send");
    out.record.to = "a@example.org";
    out.readReceipt = out.deliveryReport = out.unsure = true;
    h.outbox.push_back(out);
    h.filed.push_back(message(6, "to file"));
    h.nextId = 9;
    return h;
}

// A store on `path` and what it holds; the test fails when either cannot be had.
struct Opened {
    HandheldStore store;
    Handheld handheld;
    std::vector<PlannedCall> pending;
    std::vector<std::string> commits;  ///< the transactions committed, by kill point

    explicit Opened(const std::string& path, bool readOnly = false) {
        EXPECT_FALSE(store.open(path, readOnly));
        EXPECT_FALSE(store.load(handheld, pending));
        store.setKillPoint([this](const std::string& point) { commits.push_back(point); });
    }
};

TEST(HandheldStoreTest, KeepsEveryFieldAndWritesOnlyWhatChanged) {
    TempDesktop desktop;
    const std::string path = desktop.path() + "/handheld.db";
    {
        Opened first(path);
        EXPECT_EQ(first.handheld, Handheld());
        ASSERT_FALSE(first.store.commit(sample(), "first"));
        // Nothing differs: no transaction at all.
        ASSERT_FALSE(first.store.commit(sample(), "again"));
        EXPECT_EQ(first.commits, (std::vector<std::string>{"first:commit"}));
    }
    Opened second(path);
    EXPECT_EQ(second.handheld, sample());

    // Changes of every kind: a field, a removal, a move between folders, a new message, a new
    // order, the counters.
    Handheld changed = sample();
    changed.inbox[1].read = true;
    changed.erase(7);
    changed.filed.push_back(changed.outbox[0]);
    changed.outbox.clear();
    changed.outbox.push_back(message(9, "new"));
    std::swap(changed.inbox[0], changed.inbox[1]);
    changed.nextId = 10;
    changed.lastSync = "later";
    ASSERT_FALSE(second.store.commit(changed, "change"));
    Opened third(path);
    EXPECT_EQ(third.handheld, changed);

    // Numbers are never reused, even when the counter stored is behind the messages.
    Handheld behind = changed;
    behind.nextId = 2;
    ASSERT_FALSE(third.store.commit(behind, "behind"));
    EXPECT_EQ(Opened(path).handheld.nextId, 10u);
}

TEST(HandheldStoreTest, APendingCallOutlivesTheProcessUntilItsOutcomeCommits) {
    TempDesktop desktop;
    const std::string path = desktop.path() + "/handheld.db";
    const PlannedCall send{Call::SendMsg, 5, 0};
    {
        Opened opened(path);
        ASSERT_FALSE(opened.store.commit(sample(), "first"));
        ASSERT_FALSE(opened.store.beginCall(send, "SendMsg#1 pending"));
    }
    Opened later(path);
    EXPECT_EQ(later.pending, (std::vector<PlannedCall>{send}));
    Handheld sent = later.handheld;
    applyOutcome(sent, send, 0);
    ASSERT_FALSE(later.store.finishCall(sent, send, "SendMsg#1 outcome"));
    EXPECT_EQ(later.commits, (std::vector<std::string>{"SendMsg#1 outcome:commit"}));
    Opened after(path);
    EXPECT_TRUE(after.pending.empty());
    EXPECT_EQ(after.handheld, sent);
    EXPECT_EQ(after.handheld.find(5), nullptr);
}

// The texts a light row leaves out, for comparing with the full row.
std::vector<std::string> textsOf(const HandheldMessage& m) {
    return {m.record.to, m.record.cc, m.record.bcc, m.record.body, m.record.attachments};
}

TEST(HandheldStoreTest, ALightInboxLeavesItsTextsInTheDatabase) {
    TempDesktop desktop;
    const std::string path = desktop.path() + "/handheld.db";
    Handheld full = sample();
    full.inbox[1].record.to = "me@example.org";
    full.inbox[1].record.attachments = "a.pdf";
    ASSERT_FALSE(Opened(path).store.commit(full, "first"));

    HandheldStore store;
    ASSERT_FALSE(store.open(path, false));
    Handheld light;
    std::vector<PlannedCall> pending;
    ASSERT_FALSE(store.load(light, pending, true));
    ASSERT_EQ(light.inbox.size(), full.inbox.size());
    for (size_t i = 0; i < light.inbox.size(); ++i) {
        SCOPED_TRACE(i);
        const HandheldMessage& m = light.inbox[i];
        EXPECT_TRUE(m.textsReleased);
        EXPECT_EQ(textsOf(m), std::vector<std::string>(5));
        EXPECT_EQ(m.record.subject, full.inbox[i].record.subject) << "the subject stays for the person";
        EXPECT_EQ(fingerprintOf(m), fingerprintOf(full.inbox[i]));
    }
    EXPECT_EQ(light.outbox, full.outbox) << "only the inbox is light";
    EXPECT_EQ(light.filed, full.filed);

    // Nothing changed: nothing is written, though no text is at hand.
    std::vector<std::string> commits;
    store.setKillPoint([&](const std::string& point) { commits.push_back(point); });
    ASSERT_FALSE(store.commit(light, "unchanged"));
    EXPECT_TRUE(commits.empty());
    // A field of a light row changes: the row keeps its texts.
    light.inbox[1].read = true;
    ASSERT_FALSE(store.commit(light, "read"));
    EXPECT_EQ(commits, (std::vector<std::string>{"read:commit"}));

    HandheldMessage restored = light.inbox[1];
    ASSERT_FALSE(store.restoreTexts(restored));
    EXPECT_FALSE(restored.textsReleased);
    EXPECT_EQ(textsOf(restored), textsOf(full.inbox[1]));

    full.inbox[1].read = true;
    EXPECT_EQ(Opened(path, true).handheld, full);
}

TEST(HandheldStoreTest, TextsChangedBehindTheConduitAreNotRestored) {
    TempDesktop desktop;
    const std::string path = desktop.path() + "/handheld.db";
    ASSERT_FALSE(Opened(path).store.commit(sample(), "first"));
    HandheldStore store;
    ASSERT_FALSE(store.open(path, false));
    Handheld light;
    std::vector<PlannedCall> pending;
    ASSERT_FALSE(store.load(light, pending, true));
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, "UPDATE messages SET body = x'41' WHERE id = 4; DELETE FROM messages WHERE id = 7",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    HandheldMessage changed = light.inbox[1], gone = light.inbox[2];
    std::optional<std::string> error = store.restoreTexts(changed);
    ASSERT_TRUE(error);
    EXPECT_TRUE(contains(*error, path) && contains(*error, "#4")) << *error;
    EXPECT_TRUE(changed.textsReleased) << "the message is left as it was";
    error = store.restoreTexts(gone);
    ASSERT_TRUE(error);
    EXPECT_TRUE(contains(*error, path) && contains(*error, "#7")) << *error;
}

TEST(HandheldStoreTest, AStepWrittenAsItGoesCommitsOnceOrNotAtAll) {
    TempDesktop desktop;
    const std::string path = desktop.path() + "/handheld.db";
    ASSERT_FALSE(Opened(path).store.commit(sample(), "first"));
    Opened opened(path);
    Handheld next = opened.handheld;
    next.inbox[0].record.body = "changed body";
    next.inbox.push_back(message(10, "arrived"));
    next.erase(7);
    next.nextId = 11;

    // Given up: nothing it wrote is kept, in the file or in what the store remembers.
    ASSERT_FALSE(opened.store.beginStep());
    for (size_t i = 0; i < next.inbox.size(); ++i) {
        HandheldMessage m = next.inbox[i];
        ASSERT_FALSE(opened.store.put(m, Folder::Inbox, static_cast<std::int64_t>(i)));
        EXPECT_TRUE(m.textsReleased) << "written, so its texts need not stay";
    }
    opened.store.abortStep();
    EXPECT_TRUE(opened.commits.empty());
    EXPECT_EQ(Opened(path, true).handheld, sample());

    ASSERT_FALSE(opened.store.beginStep());
    Handheld kept = next;
    for (size_t i = 0; i < kept.inbox.size(); ++i) {
        ASSERT_FALSE(opened.store.put(kept.inbox[i], Folder::Inbox, static_cast<std::int64_t>(i)));
    }
    ASSERT_FALSE(opened.store.commitStep(kept, "merge"));
    EXPECT_EQ(opened.commits, (std::vector<std::string>{"merge:commit"}));
    EXPECT_EQ(Opened(path, true).handheld, next) << "rows put, the removal and the counter, together";
    // The store knows what it wrote: the same again writes nothing.
    ASSERT_FALSE(opened.store.commit(kept, "again"));
    EXPECT_EQ(opened.commits.size(), 1u);

    // A step in which nothing differed ends without a commit.
    ASSERT_FALSE(opened.store.beginStep());
    for (size_t i = 0; i < kept.inbox.size(); ++i) {
        ASSERT_FALSE(opened.store.put(kept.inbox[i], Folder::Inbox, static_cast<std::int64_t>(i)));
    }
    ASSERT_FALSE(opened.store.commitStep(kept, "unchanged"));
    EXPECT_EQ(opened.commits.size(), 1u);
}

TEST(HandheldStoreTest, ReadingAMissingFileMakesNone) {
    TempDesktop desktop;
    const std::string path = desktop.path() + "/handheld.db";
    Opened opened(path, true);
    EXPECT_TRUE(opened.store.absent());
    EXPECT_EQ(opened.handheld, Handheld());
    EXPECT_TRUE(listFiles(desktop.path()).empty());
}

// A database file made with SQLite itself by `sql`.
void makeDatabase(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

// Opening `path` for reading and for writing both end in an error naming the file and `reason`.
void expectRefusedBothWays(const std::string& path, const std::string& reason) {
    for (bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "read only" : "writable");
        HandheldStore store;
        std::optional<std::string> error = store.open(path, readOnly);
        Handheld h;
        std::vector<PlannedCall> pending;
        if (!error) error = store.load(h, pending);
        ASSERT_TRUE(error.has_value());
        EXPECT_TRUE(contains(*error, path)) << *error;
        EXPECT_TRUE(contains(*error, reason)) << *error;
    }
}

TEST(HandheldStoreTest, AFileItDidNotWriteIsRefusedByNameAndLeftAsItWas) {
    struct Row {
        const char* what;
        std::function<void(const std::string& path, const std::string& good)> make;
        const char* reason;
    };
    const std::vector<Row> rows = {
        {"text", [](const std::string& p, const std::string&) { ASSERT_EQ(replaceFile(p, "{\"format\": 1}\n"), 0); },
         "is damaged or is not a handheld database"},
        {"cut off",
         [](const std::string& p, const std::string& good) {
             std::string bytes;
             ASSERT_EQ(readFile(good, bytes), 0);
             ASSERT_EQ(replaceFile(p, bytes.substr(0, 5000)), 0);
         },
         "is damaged"},
        {"another program's", [](const std::string& p, const std::string&) { makeDatabase(p, "CREATE TABLE notes (x);"); },
         "belongs to another program"},
        {"a newer conduit's",
         [](const std::string& p, const std::string&) {
             makeDatabase(p, "CREATE TABLE meta (key TEXT); PRAGMA application_id=1448299336; PRAGMA user_version=9;");
         },
         "written by a newer conduit"},
    };
    TempDesktop desktop;
    const std::string good = desktop.path() + "/good.db";
    {
        Opened opened(good);
        Handheld big = sample();
        for (std::uint64_t id = 10; id < 40; ++id) big.inbox.push_back(message(id, std::string(500, 'x')));
        ASSERT_FALSE(opened.store.commit(big, "fill"));
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string path = desktop.path() + "/" + row.what + ".db";
        row.make(path, good);
        std::string before;
        ASSERT_EQ(readFile(path, before), 0);
        expectRefusedBothWays(path, row.reason);
        std::string after;
        ASSERT_EQ(readFile(path, after), 0);
        EXPECT_EQ(after, before) << "nothing is lost";
    }
}

TEST(HandheldStoreTest, AFileHoldingOneMessageNumberTwiceIsRefusedAndKeepsBothRows) {
    // Our layout keys rows by number; a file whose table was altered loses that guarantee,
    // and loading both rows would store back only one of them.
    TempDesktop desktop;
    const std::string path = desktop.path() + "/twice.db";
    makeDatabase(path,
                 "CREATE TABLE meta (key, value); CREATE TABLE pending (call, entry, value);"
                 "CREATE TABLE messages (id, folder, position, read, priority, deleted, read_receipt,"
                 " delivery_report, desktop_read, desktop_priority, unsure, extra_id1, host_msg_id, extra_id2,"
                 " extra_word, time_sent, time_received, size, extra_long, status, flags, sender, extra_text1,"
                 " extra_text2, subject, recipients, cc, bcc, body, attachments);"
                 "INSERT INTO messages (id, folder, position, priority, subject)"
                 " VALUES (5, 0, 0, 1, 'kept'), (5, 2, 0, 1, 'filed');"
                 "PRAGMA application_id=1448299336; PRAGMA user_version=1;");
    expectRefusedBothWays(path, "message #5 is stored twice");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* count = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT count(*) FROM messages", -1, &count, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(count), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(count, 0), 2) << "both rows stay for a person to look at";
    sqlite3_finalize(count);
    sqlite3_close(db);
}

// Runs `work` with files limited to `bytes` (a write beyond fails with EFBIG, as a full
// disk fails with ENOSPC), then lifts the limit again.
template <typename Work>
void withFileSizeLimit(rlim_t bytes, Work work) {
    rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = bytes;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    work();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previous);
}

TEST(HandheldStoreTest, AWriteTheDiskRefusesIsReportedByNameAndLosesNothing) {
    TempDesktop desktop;
    const std::string path = desktop.path() + "/handheld.db";
    Opened opened(path);
    ASSERT_FALSE(opened.store.commit(sample(), "first"));
    Handheld grown = sample();
    grown.outbox[0].record.body = std::string(400000, 'b');
    std::optional<std::string> error;
    withFileSizeLimit(200000, [&] { error = opened.store.commit(grown, "grow"); });
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(contains(*error, "cannot write " + path)) << *error;
    EXPECT_TRUE(contains(*error, "SQLite code")) << *error;
    // The failed transaction left the stored handheld as it was, and the store still knows
    // what it holds: the same commit goes through once the disk has room.
    EXPECT_EQ(Opened(path).handheld, sample());
    ASSERT_FALSE(opened.store.commit(grown, "grow"));
    EXPECT_EQ(Opened(path).handheld, grown);
}

}  // namespace
}  // namespace conduit
