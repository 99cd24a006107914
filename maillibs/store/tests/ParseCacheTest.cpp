// The parse cache is never believed once the file it was made from changed in any way, nor
// when the database is damaged, of another version or another Maildir's; and a read from it
// gives exactly what parsing the file gives.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>

#include <cctype>
#include <functional>

#include "CachedRecord.h"
#include "ParseCache.h"
#include "Parse.h"
#include "TestSupport.h"
#include "store/ProblemLog.h"
#include "store/Store.h"

namespace vesk::store {
namespace {

using detail::FileStamp;
using detail::ParseCache;
using detail::ParsedRecord;

constexpr const char* kMail = "Subject: Original text\nFrom: A <a@example.org>\n\nBody one.\n";
constexpr const char* kSameSize = "Subject: Replaced text\nFrom: A <a@example.org>\n\nBody two.\n";
constexpr const char* kStale = "Stale record";

class ParseCacheTest : public ::testing::Test {
public:
    void SetUp() override {
        if (const char* old = std::getenv("VESK_HOME")) m_oldHome = old;
        ::setenv("VESK_HOME", m_home.path().c_str(), 1);
        m_root = m_mail.path() + "/box";
        reopen();
        Result<std::string> id = m_store->deliverRaw(kInbox, kMail);
        ASSERT_TRUE(id.ok());
        m_id = *id;
        ASSERT_TRUE(m_store->list(kInbox).ok());
        ASSERT_EQ(subject(), "Original text");  // parsed once, now cached
    }
    void TearDown() override {
        m_store.reset();
        if (m_oldHome.empty()) ::unsetenv("VESK_HOME");
        else ::setenv("VESK_HOME", m_oldHome.c_str(), 1);
    }

    void reopen(const std::string& root = {}) {
        m_store.reset();  // writes what the cache holds
        Result<std::unique_ptr<Store>> s = openMaildir(root.empty() ? m_root : root, {true});
        ASSERT_TRUE(s.ok());
        m_store = std::move(*s);
    }
    std::string subject(ReadMode mode = ReadMode::Full) {
        Result<Message> m = m_store->read(kInbox, m_id, mode);
        EXPECT_TRUE(m.ok());
        return m ? m->subject : std::string("<unreadable>");
    }
    std::string cachePath(const std::string& root = {}) const {
        return (root.empty() ? m_root : root) + "/" + ParseCache::kFileName;
    }
    // Runs `sql` on the cache database of `root` while no store has it open.
    void onDatabase(const std::string& sql, const std::string& root = {}) {
        m_store.reset();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(cachePath(root).c_str(), &db), SQLITE_OK);
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(db);
    }
    // Replaces every record of `root`'s cache with one saying `kStale`, keeping the keys: a
    // cache believed from now on shows that subject.
    void plantStaleRecords(const std::string& root = {}) {
        ParsedRecord record;
        record.message.subject = kStale;
        record.hasBody = true;
        std::string hex;
        for (unsigned char c : detail::encodeRecord(record)) {
            static constexpr char kDigits[] = "0123456789abcdef";
            hex += kDigits[c >> 4];
            hex += kDigits[c & 15];
        }
        onDatabase("UPDATE parsed SET record = x'" + hex + "'", root);
    }
    std::vector<Problem> cacheProblems() const {
        std::vector<Problem> out;
        for (Problem& p : problemsSince(0)) {
            if (p.subject.find(ParseCache::kFileName) != std::string::npos) out.push_back(std::move(p));
        }
        return out;
    }

    test::TempDir m_home, m_mail;
    std::string m_oldHome, m_root, m_id;
    std::unique_ptr<Store> m_store;
};

TEST_F(ParseCacheTest, AGoodRecordIsBelievedSoAPlantedOneShows) {
    // The control for the tests below: with nothing about the file changed, the record is used.
    plantStaleRecords();
    reopen();
    EXPECT_EQ(subject(), kStale);
    EXPECT_EQ(subject(ReadMode::Headers), kStale);
}

struct Change {
    const char* what;
    std::function<void(const std::string& root, const std::string& id)> apply;
    const char* subject;  // what a read must show afterwards
    const char* flags;
};

void PrintTo(const Change& change, std::ostream* os) { *os << change.what; }

void keepTimes(const std::string& path, const std::function<void()>& change) {
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    change();
    struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class StaleFileTest : public ParseCacheTest, public ::testing::WithParamInterface<Change> {};

TEST_P(StaleFileTest, IsParsedAgain) {
    plantStaleRecords();
    reopen();
    GetParam().apply(m_root, m_id);
    ASSERT_TRUE(m_store->list(kInbox).ok());
    Result<Message> m = m_store->read(kInbox, m_id);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->subject, GetParam().subject);
    EXPECT_EQ(m->info.flags, GetParam().flags);
    EXPECT_EQ(m->read, std::string(GetParam().flags).find('S') != std::string::npos);
}

// What other programs do to a message file behind the store's back; after each, a record
// made from the file as it was must not be believed.
const Change kChanges[] = {
        // Same size, same modification time (set back): only the change time tells.
        Change{"rewritten_in_place_same_size",
               [](const std::string& root, const std::string& id) {
                   std::string path = root + "/new/" + id;
                   keepTimes(path, [&] { test::spit(path, kSameSize); });
               },
               "Replaced text", ""},
        // A new file (new inode) with the same size and times put in its place.
        Change{"replaced_by_another_file",
               [](const std::string& root, const std::string& id) {
                   std::string path = root + "/new/" + id;
                   std::string other = root + "/tmp/other";
                   test::spit(other, kSameSize);
                   struct stat st {};
                   ASSERT_EQ(::stat(path.c_str(), &st), 0);
                   struct timespec times[2] = {st.st_atim, st.st_mtim};
                   ASSERT_EQ(::utimensat(AT_FDCWD, other.c_str(), times, 0), 0);
                   ASSERT_EQ(::rename(other.c_str(), path.c_str()), 0);
               },
               "Replaced text", ""},
        // A mail reader moves it from new/ to cur/ and marks it read.
        Change{"moved_to_cur_by_a_reader",
               [](const std::string& root, const std::string& id) {
                   ASSERT_EQ(::rename((root + "/new/" + id).c_str(), (root + "/cur/" + id + ":2,S").c_str()), 0);
               },
               "Original text", "S"},
        // ... and back, flags dropped.
        Change{"moved_back_to_new",
               [](const std::string& root, const std::string& id) {
                   ASSERT_EQ(::rename((root + "/new/" + id).c_str(), (root + "/cur/" + id + ":2,S").c_str()), 0);
                   ASSERT_EQ(::rename((root + "/cur/" + id + ":2,S").c_str(), (root + "/new/" + id).c_str()), 0);
               },
               "Original text", ""},
        // Flags changed by a reader: a rename within cur/.
        Change{"flags_changed_by_a_reader",
               [](const std::string& root, const std::string& id) {
                   ASSERT_EQ(::rename((root + "/new/" + id).c_str(), (root + "/cur/" + id + ":2,S").c_str()), 0);
                   ASSERT_EQ(::rename((root + "/cur/" + id + ":2,S").c_str(), (root + "/cur/" + id + ":2,FR").c_str()), 0);
               },
               "Original text", "FR"},
};

std::string changeName(const ::testing::TestParamInfo<Change>& p) { return p.param.what; }

INSTANTIATE_TEST_SUITE_P(Changes, StaleFileTest, ::testing::ValuesIn(kChanges), changeName);

// The same changes while the store is open and holds the record in memory: the entry kept
// there is believed under the same key as the database's, never on the identifier alone.
class RecordInMemoryTest : public ParseCacheTest {
public:
    // Puts a planted record into the open store's memory (a read that finds it in the
    // database), then empties the database behind the store, so that only memory has it.
    void plantInMemoryOnly() {
        plantStaleRecords();
        reopen();
        ASSERT_TRUE(m_store->list(kInbox).ok());
        ASSERT_EQ(subject(), kStale);
        ASSERT_TRUE(m_store->list(kInbox).ok());  // ends the store's run of reads
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(cachePath().c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, "DELETE FROM parsed", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
};

class StaleInMemoryTest : public RecordInMemoryTest, public ::testing::WithParamInterface<Change> {};

TEST_F(RecordInMemoryTest, AnUntouchedFileIsServedFromMemory) {
    // The control for the suite: the planted record is gone from the database, and still shows.
    plantInMemoryOnly();
    EXPECT_EQ(subject(), kStale);
    EXPECT_EQ(subject(ReadMode::Headers), kStale);
}

TEST_P(StaleInMemoryTest, IsParsedAgain) {
    plantInMemoryOnly();
    GetParam().apply(m_root, m_id);
    ASSERT_TRUE(m_store->list(kInbox).ok());
    Result<Message> m = m_store->read(kInbox, m_id);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->subject, GetParam().subject);
    EXPECT_EQ(m->info.flags, GetParam().flags);
}

INSTANTIATE_TEST_SUITE_P(Changes, StaleInMemoryTest, ::testing::ValuesIn(kChanges), changeName);

TEST_F(RecordInMemoryTest, TheStoresOwnRenamesCarryTheEntryAlong) {
    plantInMemoryOnly();
    ASSERT_EQ(m_store->setFlags(kInbox, m_id, "S", ""), Status::Ok);
    EXPECT_EQ(subject(), kStale);
    ASSERT_EQ(m_store->createFolder("Archive"), Status::Ok);
    ASSERT_EQ(m_store->move(kInbox, m_id, "Archive"), Status::Ok);
    Result<Message> m = m_store->read("Archive", m_id);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->subject, kStale);
    EXPECT_EQ(m_store->read(kInbox, m_id).status(), Status::NotFound);
    // Flags changed by a reader after that: parsed again.
    std::string archive = m_root + "/.Archive/cur/" + m_id;
    ASSERT_EQ(::rename((archive + ":2,S").c_str(), (archive + ":2,RS").c_str()), 0);
    ASSERT_TRUE(m_store->list("Archive").ok());
    m = m_store->read("Archive", m_id);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->subject, "Original text");
}

TEST_F(RecordInMemoryTest, AHeaderRewriteByTheStoreDropsTheEntry) {
    plantInMemoryOnly();
    ASSERT_EQ(m_store->rewriteHeaders(kInbox, m_id, {{"X-Note", "n"}}), Status::Ok);
    EXPECT_EQ(subject(), "Original text");
}

TEST_F(ParseCacheTest, AHeaderReadKeepsTheWholeRecord) {
    // A listing's header read parses the whole message once: the full read, the recipients
    // and the attachments that follow are served by that record, not by a second parse.
    Result<std::string> id = m_store->deliverRaw(kInbox, "Subject: s\nTo: b@example.org\n\nthe body\n");
    ASSERT_TRUE(id.ok());
    Result<Message> headers = m_store->read(kInbox, *id, ReadMode::Headers);
    ASSERT_TRUE(headers.ok());
    EXPECT_EQ(headers->body, "");
    m_store.reset();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(cachePath().c_str(), &db), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT record FROM parsed WHERE id = ?1", -1, &s, nullptr), SQLITE_OK);
    sqlite3_bind_text(s, 1, id->c_str(), -1, SQLITE_TRANSIENT);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    ParsedRecord record;
    bool decoded = detail::decodeRecord(
        std::string_view(static_cast<const char*>(sqlite3_column_blob(s, 0)),
                         static_cast<std::size_t>(sqlite3_column_bytes(s, 0))),
        record);
    sqlite3_finalize(s);
    sqlite3_close(db);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(record.hasBody);
    EXPECT_EQ(record.message.body, "the body\r\n");
    ASSERT_EQ(record.message.to.size(), 1u);
    EXPECT_EQ(record.message.to[0].address, "b@example.org");
}

TEST_F(ParseCacheTest, TheStoresOwnFlagChangesAndMovesKeepTheRecord) {
    // A flag change by the store itself renames the file: the record follows (the planted one
    // shows), and the flags are the new ones.
    plantStaleRecords();
    reopen();
    ASSERT_TRUE(m_store->list(kInbox).ok());
    ASSERT_EQ(m_store->setFlags(kInbox, m_id, "S", ""), Status::Ok);
    Result<Message> m = m_store->read(kInbox, m_id);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->subject, kStale);
    EXPECT_TRUE(m->read);
    ASSERT_EQ(m_store->createFolder("Archive"), Status::Ok);
    ASSERT_EQ(m_store->move(kInbox, m_id, "Archive"), Status::Ok);
    m = m_store->read("Archive", m_id);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->subject, kStale);
    EXPECT_EQ(m->info.flags, "S");
}

TEST_F(ParseCacheTest, AHeaderRewriteIsReadAfresh) {
    ASSERT_EQ(m_store->rewriteHeaders(kInbox, m_id, {{"Subject", "Rewritten"}}), Status::Ok);
    EXPECT_EQ(subject(), "Rewritten");
}

TEST_F(ParseCacheTest, AHeadersOnlyRecordDoesNotServeAFullRead) {
    Result<std::string> id = m_store->deliverRaw(kInbox, "Subject: s\n\nthe body\n");
    ASSERT_TRUE(id.ok());
    Result<Message> headers = m_store->read(kInbox, *id, ReadMode::Headers);
    ASSERT_TRUE(headers.ok());
    EXPECT_EQ(headers->body, "");
    Result<Message> full = m_store->read(kInbox, *id, ReadMode::Full);
    ASSERT_TRUE(full.ok());
    EXPECT_EQ(full->body, "the body\r\n");
    headers = m_store->read(kInbox, *id, ReadMode::Headers);
    ASSERT_TRUE(headers.ok());
    EXPECT_EQ(headers->body, "");
}

struct Damage {
    const char* what;
    std::function<void(ParseCacheTest&, const std::string& path)> apply;
};

class DamagedCacheTest : public ParseCacheTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedCacheTest, IsBuiltAgainAndNeverStopsARead) {
    plantStaleRecords();
    GetParam().apply(*this, cachePath());
    reopen();
    EXPECT_EQ(subject(), "Original text");
    std::vector<Problem> problems = cacheProblems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].component, "store");
    EXPECT_EQ(problems[0].subject, cachePath());
    // Built again, it works as a cache: the next store believes what this one kept.
    reopen();
    EXPECT_EQ(subject(), "Original text");
    plantStaleRecords();
    reopen();
    EXPECT_EQ(subject(), kStale);
    EXPECT_EQ(cacheProblems().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedCacheTest,
    ::testing::Values(
        Damage{"garbage",
               [](ParseCacheTest&, const std::string& path) {
                   test::spit(path, std::string(8192, 'x'));
                   ::unlink((path + "-wal").c_str());
               }},
        Damage{"header_overwritten",
               [](ParseCacheTest&, const std::string& path) {
                   int fd = ::open(path.c_str(), O_WRONLY);
                   ASSERT_GE(fd, 0);
                   ASSERT_EQ(::pwrite(fd, "not a database!!", 16, 0), 16);
                   ::close(fd);
               }},
        Damage{"older_version",
               [](ParseCacheTest& fixture, const std::string&) { fixture.onDatabase("PRAGMA user_version = 1000"); }}
),
    [](const ::testing::TestParamInfo<Damage>& p) { return std::string(p.param.what); });

TEST_F(ParseCacheTest, ARecordThatDoesNotDecodeIsParsedAgain) {
    // Damage inside one record (or a record of another encoding version) costs only a parse.
    onDatabase("UPDATE parsed SET record = x'c38a95b2010201'");
    reopen();
    EXPECT_EQ(subject(), "Original text");
    EXPECT_TRUE(cacheProblems().empty());
}

TEST_F(ParseCacheTest, ACacheCopiedInFromAnotherMaildirIsNotBelieved) {
    // A second Maildir whose file is a hard link to the first one's: same name, inode, size
    // and times, so only the cache's record of its own Maildir tells them apart.
    std::string other = m_mail.path() + "/copy";
    ASSERT_TRUE(openMaildir(other, {true}).ok());
    ASSERT_EQ(::link((m_root + "/new/" + m_id).c_str(), (other + "/new/" + m_id).c_str()), 0);
    plantStaleRecords();
    test::spit(cachePath(other), test::slurp(cachePath()));
    reopen(other);
    EXPECT_EQ(subject(), "Original text");
    std::vector<Problem> problems = cacheProblems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].subject, cachePath(other));
}

TEST_F(ParseCacheTest, AMailboxThatCannotHoldACacheIsStillRead) {
    // A folder where the database would be: it cannot be opened, reads go on without it.
    m_store.reset();
    for (const char* suffix : {"", "-wal", "-shm"}) ::unlink((cachePath() + suffix).c_str());
    ASSERT_EQ(::mkdir(cachePath().c_str(), 0700), 0);
    reopen();
    EXPECT_EQ(subject(), "Original text");
    EXPECT_EQ(subject(), "Original text");
    EXPECT_EQ(cacheProblems().size(), 1u);
    Result<std::vector<std::string>> folders = m_store->folders();
    ASSERT_TRUE(folders.ok());
    EXPECT_EQ(*folders, std::vector<std::string>{kInbox});
    m_store.reset();
    ::rmdir(cachePath().c_str());
}

TEST_F(ParseCacheTest, TwoStoresOnOneMaildirAtOnceBothReadRight) {
    // The first store is in the middle of a run of reads (it holds the cache's read lock)
    // while a second one reads, keeps records and closes: the second simply keeps nothing.
    EXPECT_EQ(subject(), "Original text");
    Result<std::unique_ptr<Store>> other = openMaildir(m_root);
    ASSERT_TRUE(other.ok());
    Result<std::string> id = (*other)->deliverRaw(kInbox, kSameSize);
    ASSERT_TRUE(id.ok());
    ASSERT_TRUE((*other)->list(kInbox).ok());
    Result<Message> m = (*other)->read(kInbox, *id);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->subject, "Replaced text");
    EXPECT_EQ((*other)->read(kInbox, m_id)->subject, "Original text");
    other->reset();
    ASSERT_TRUE(m_store->list(kInbox).ok());
    EXPECT_EQ(m_store->read(kInbox, *id)->subject, "Replaced text");
    EXPECT_TRUE(cacheProblems().empty());
}

TEST_F(ParseCacheTest, RecordsOfMessagesGoneAreDropped) {
    ASSERT_EQ(::unlink((m_root + "/new/" + m_id).c_str()), 0);
    reopen();
    ASSERT_TRUE(m_store->list(kInbox).ok());
    m_store.reset();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(cachePath().c_str(), &db), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT count(*) FROM parsed", -1, &s, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(s, 0), 0);
    sqlite3_finalize(s);
    sqlite3_close(db);
}

TEST_F(ParseCacheTest, KeptAttachmentBytesAreBelievedOnlyForTheFileTheyCameFrom) {
    std::string mail = test::slurp(std::string(VESK_STORE_CORPORA) + "/messages/mixed-attachments.eml");
    Result<std::string> id = m_store->deliverRaw(kInbox, mail);
    ASSERT_TRUE(id.ok());
    Result<Message> m = m_store->read(kInbox, *id);
    ASSERT_TRUE(m.ok());
    ASSERT_GE(m->attachments.size(), 1u);
    Result<std::string> original = m_store->attachment(kInbox, *id, 0);
    ASSERT_TRUE(original.ok());
    ASSERT_FALSE(original->empty());
    onDatabase("UPDATE attachment SET bytes = x'5354414c45'");  // "STALE"
    reopen();
    ASSERT_TRUE(m_store->list(kInbox).ok());
    EXPECT_EQ(*m_store->attachment(kInbox, *id, 0), "STALE");
    // The store's own flag change carries them along.
    ASSERT_EQ(m_store->setFlags(kInbox, *id, "S", ""), Status::Ok);
    EXPECT_EQ(*m_store->attachment(kInbox, *id, 0), "STALE");
    // A rename by a mail reader does not.
    std::string path = m_root + "/cur/" + *id + ":2,S";
    ASSERT_EQ(::rename(path.c_str(), (m_root + "/cur/" + *id + ":2,RS").c_str()), 0);
    EXPECT_EQ(*m_store->attachment(kInbox, *id, 0), *original);
    EXPECT_EQ(m_store->attachment(kInbox, *id, m->attachments.size()).status(), Status::NotFound);
}

// Every field a read hands out, for comparing a cached read with a parse.
void expectSameMessage(const Message& a, const Message& b) {
    EXPECT_EQ(a.info.id, b.info.id);
    EXPECT_EQ(a.info.flags, b.info.flags);
    EXPECT_EQ(a.from, b.from);
    EXPECT_EQ(a.to, b.to);
    EXPECT_EQ(a.cc, b.cc);
    EXPECT_EQ(a.bcc, b.bcc);
    EXPECT_EQ(a.subject, b.subject);
    EXPECT_EQ(a.sent, b.sent);
    EXPECT_EQ(a.received, b.received);
    EXPECT_EQ(a.priority, b.priority);
    EXPECT_EQ(a.read, b.read);
    EXPECT_EQ(a.readReceipt, b.readReceipt);
    EXPECT_EQ(a.deliveryReport, b.deliveryReport);
    EXPECT_EQ(a.messageId, b.messageId);
    EXPECT_EQ(a.body, b.body);
    ASSERT_EQ(a.attachments.size(), b.attachments.size());
    for (std::size_t i = 0; i < a.attachments.size(); ++i) {
        EXPECT_EQ(a.attachments[i].name, b.attachments[i].name);
        EXPECT_EQ(a.attachments[i].contentType, b.attachments[i].contentType);
    }
}

class CachedReadTest : public ParseCacheTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(CachedReadTest, EqualsTheParse) {
    std::string bytes = test::slurp(std::string(VESK_STORE_CORPORA) + "/" + GetParam());
    Result<std::string> id = m_store->deliverRaw(kInbox, bytes, "RS");
    ASSERT_TRUE(id.ok());
    for (ReadMode mode : {ReadMode::Headers, ReadMode::Full}) {
        // The parse: a store without a usable cache (a folder where its database would be).
        test::TempDir plainHome;
        std::string plainRoot = plainHome.path() + "/box";
        ASSERT_TRUE(openMaildir(plainRoot, {true}).ok());
        ASSERT_EQ(::mkdir((plainRoot + "/" + ParseCache::kFileName).c_str(), 0700), 0);
        ASSERT_EQ(::link((m_root + "/cur/" + *id + ":2,RS").c_str(), (plainRoot + "/cur/" + *id + ":2,RS").c_str()), 0);
        Result<std::unique_ptr<Store>> plain = openMaildir(plainRoot);
        ASSERT_TRUE(plain.ok());
        Result<Message> parsed = (*plain)->read(kInbox, *id, mode);
        ASSERT_TRUE(parsed.ok());
        plain->reset();
        ::rmdir((plainRoot + "/" + ParseCache::kFileName).c_str());

        ASSERT_TRUE(m_store->read(kInbox, *id, ReadMode::Full).ok());  // keeps the record
        reopen();
        Result<Message> cached = m_store->read(kInbox, *id, mode);
        ASSERT_TRUE(cached.ok());
        expectSameMessage(*cached, *parsed);
    }
}

std::vector<std::string> corpusFiles() {
    std::vector<std::string> out;
    for (const char* dir : {"robustness", "messages"}) {
        for (const std::string& name : test::filesIn(std::string(VESK_STORE_CORPORA) + "/" + dir)) {
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".eml") == 0) out.push_back(std::string(dir) + "/" + name);
        }
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(Corpus, CachedReadTest, ::testing::ValuesIn(corpusFiles()),
                         [](const ::testing::TestParamInfo<std::string>& p) {
                             std::string name = p.param;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace vesk::store
