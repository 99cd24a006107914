// The handheld an earlier conduit kept in handheld.json (with the journal of a sync it left
// unfinished) moves into the database on first use, exactly once, and the old files stay as
// backups; `handheld export` gives the same JSON back for reading.
#include <gtest/gtest.h>

#include "desktop/FileIo.h"
#include "handheld/HandheldFile.h"
#include "handheld/Journal.h"
#include "desktop/Paths.h"
#include "TestDesktop.h"

namespace conduit {
namespace {

using test::RunResult;
using test::TempDesktop;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class HandheldMigrationTest : public ::testing::Test {
protected:
    // An earlier conduit's files: three inbox messages, two to send; its last sync was cut off
    // after sending #10 and while handing over #11.
    void SetUp() override {
        Handheld h;
        h.plugin = "salvith";
        h.lastSync = "old";
        for (std::uint64_t id : {1, 2, 3}) {
            HandheldMessage m;
            m.id = id;
            m.record.hostMsgId = "host-" + std::to_string(id);
            m.record.subject = "Inbox " + std::to_string(id) + " \x80";
            h.inbox.push_back(m);
        }
        for (std::uint64_t id : {10, 11}) {
            HandheldMessage m;
            m.id = id;
            m.record.to = "a@example.org";
            m.record.subject = "Out " + std::to_string(id);
            h.outbox.push_back(m);
        }
        h.nextId = 12;
        ASSERT_FALSE(saveHandheld(handheldPath(home()), h));
        JournalWriter journal;
        ASSERT_EQ(journal.start(journalPath(home()), "cut-off", "salvith"), 0);
        ASSERT_EQ(journal.begin({Call::SendMsg, 10, 0}), 0);
        ASSERT_EQ(journal.done({Call::SendMsg, 10, 0}, 0), 0);
        ASSERT_EQ(journal.begin({Call::SendMsg, 11, 0}), 0);
        m_json = m_desktop.read("conduit/handheld.json");
        m_journal = m_desktop.read("conduit/handheld.journal");
    }
    const std::string& home() const { return m_desktop.path(); }
    RunResult run(const std::vector<std::string>& args) { return test::runConduit(args, home()); }

    TempDesktop m_desktop;
    std::string m_json, m_journal;
};

TEST_F(HandheldMigrationTest, MovesOnceFinishingTheCutOffSyncAndKeepsTheOldFiles) {
    // Looking changes nothing, yet shows the cut-off sync finished.
    std::string before = test::snapshot(home());
    RunResult list = run({"handheld", "list"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_FALSE(contains(list.out, "Out 10")) << list.out;
    EXPECT_TRUE(contains(list.out, "Out 11")) << list.out;
    EXPECT_EQ(test::snapshot(home()), before);

    // The first change moves the handheld: #10 went, #11 is held as it may have gone.
    RunResult edit = run({"handheld", "read", "2"});
    ASSERT_EQ(edit.status, 0) << edit.err;
    EXPECT_TRUE(contains(edit.err, "#11 was being handed over")) << edit.err;
    EXPECT_TRUE(exists(handheldDatabasePath(home())));
    EXPECT_FALSE(exists(handheldPath(home())));
    EXPECT_FALSE(exists(journalPath(home())));
    EXPECT_EQ(m_desktop.read("conduit/handheld.json.migrated"), m_json);
    EXPECT_EQ(m_desktop.read("conduit/handheld.journal.migrated"), m_journal);
    EXPECT_EQ(test::heldMessages(home()), (std::vector<std::uint64_t>{11}));

    Handheld migrated;
    ASSERT_FALSE(handheldFromJson(test::handheldJson(home()), migrated));
    EXPECT_EQ(migrated.inbox.size(), 3u);
    EXPECT_TRUE(migrated.find(2)->read);
    EXPECT_EQ(migrated.find(1)->record.subject, "Inbox 1 \x80");
    EXPECT_EQ(migrated.find(10), nullptr);
    EXPECT_EQ(migrated.nextId, 12u);

    // Exactly once: a handheld.json that turns up later is neither read nor moved.
    m_desktop.write("conduit/handheld.json", m_json);
    ASSERT_EQ(run({"handheld", "read", "3"}).status, 0);
    EXPECT_EQ(m_desktop.read("conduit/handheld.json"), m_json);
    Handheld later;
    ASSERT_FALSE(handheldFromJson(test::handheldJson(home()), later));
    EXPECT_EQ(later.find(10), nullptr);
    EXPECT_TRUE(later.find(2)->read && later.find(3)->read);
}

TEST_F(HandheldMigrationTest, AMoveCutOffMidwayStartsOver) {
    // A half-built database under the temporary name, as a kill during the move leaves it.
    m_desktop.write("conduit/handheld.db.migrating", "SQLite format 3");
    ASSERT_EQ(run({"handheld", "priority", "1", "high"}).status, 0);
    EXPECT_FALSE(exists(handheldDatabasePath(home()) + ".migrating"));
    Handheld migrated;
    ASSERT_FALSE(handheldFromJson(test::handheldJson(home()), migrated));
    EXPECT_EQ(migrated.inbox.size(), 3u);
    EXPECT_EQ(migrated.find(1)->priority, kPriorityHigh);
}

TEST_F(HandheldMigrationTest, ExportWritesTheHandheldAsJson) {
    ASSERT_EQ(run({"handheld", "read", "1"}).status, 0);
    RunResult shown = run({"handheld", "export"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    const std::string file = home() + "/export.json";
    ASSERT_EQ(run({"handheld", "export", file}).status, 0);
    EXPECT_EQ(m_desktop.read("export.json"), shown.out);
    // The export reads back as the same handheld (the layout of the old file).
    Handheld exported;
    ASSERT_FALSE(loadHandheld(file, exported));
    EXPECT_EQ(handheldToJson(exported), shown.out);
    EXPECT_TRUE(exported.find(1)->read);

    RunResult unwritable = run({"handheld", "export", home() + "/no/such/folder/x.json"});
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_TRUE(contains(unwritable.err, "cannot write " + home() + "/no/such/folder/x.json")) << unwritable.err;
}

}  // namespace
}  // namespace conduit
