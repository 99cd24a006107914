#include "handheld/Journal.h"

#include <gtest/gtest.h>

#include "desktop/FileIo.h"
#include "TestDesktop.h"
#include "framework/MailHost.h"

namespace conduit {
namespace {

// Inbox #1 (read change and priority change pending) and #2 (deletion pending); outbox #3
// and #4; filing queue #5.
Handheld pendingHandheld() {
    Handheld h;
    for (std::uint64_t id : {1, 2}) {
        HandheldMessage m;
        m.id = id;
        m.record.hostMsgId = "h" + std::to_string(id);
        h.inbox.push_back(m);
    }
    h.inbox[0].read = true;
    h.inbox[0].priority = kPriorityLow;
    h.inbox[1].deleted = true;
    for (std::uint64_t id : {3, 4}) {
        HandheldMessage m;
        m.id = id;
        m.record.to = "x@example.org";
        h.outbox.push_back(m);
    }
    HandheldMessage f;
    f.id = 5;
    h.filed.push_back(f);
    h.nextId = 6;
    return h;
}

using Step = JournalContent::Step;

Step begin(Call call, std::uint64_t entry, int value = 0) { return {false, {call, entry, value}, 0}; }
Step done(Call call, std::uint64_t entry, int rc, int value = 0) { return {true, {call, entry, value}, rc}; }

TEST(JournalTest, ReplayCarriesEachRecordedResult) {
    struct Row {
        const char* label;
        std::vector<Step> steps;
        std::function<void(const Handheld&)> check;
    };
    const Row rows[] = {
        {"an accepted send leaves the outbox",
         {begin(Call::SendMsg, 3), done(Call::SendMsg, 3, MAILHOST_OK)},
         [](const Handheld& h) {
             EXPECT_EQ(h.find(3), nullptr);
             EXPECT_NE(h.find(4), nullptr);
         }},
        {"a refused send stays for the next sync, not held",
         {begin(Call::SendMsg, 3), done(Call::SendMsg, 3, MAILHOST_SEND_FAILED)},
         [](const Handheld& h) {
             ASSERT_NE(h.find(3), nullptr);
             EXPECT_FALSE(h.find(3)->unsure);
         }},
        {"a send cut off mid-call is held, never repeated silently",
         {begin(Call::SendMsg, 3)},
         [](const Handheld& h) {
             ASSERT_NE(h.find(3), nullptr);
             EXPECT_TRUE(h.find(3)->unsure);
             EXPECT_FALSE(h.find(4)->unsure);
         }},
        {"filing cut off mid-call is held too",
         {begin(Call::SetMsg, 5)},
         [](const Handheld& h) { EXPECT_TRUE(h.find(5)->unsure); }},
        {"a deletion cut off mid-call stays pending (repeating it is harmless)",
         {begin(Call::DeleteMsg, 2)},
         [](const Handheld& h) {
             ASSERT_NE(h.find(2), nullptr);
             EXPECT_TRUE(h.find(2)->deleted);
         }},
        {"accepted changes settle; a later begin without done is in doubt",
         {begin(Call::DeleteMsg, 2), done(Call::DeleteMsg, 2, MAILHOST_OK), begin(Call::SetMsgReadStatus, 1, 1),
          done(Call::SetMsgReadStatus, 1, MAILHOST_OK, 1), begin(Call::SendMsg, 4)},
         [](const Handheld& h) {
             EXPECT_EQ(h.find(2), nullptr);
             EXPECT_FALSE(h.find(1)->readChanged());
             EXPECT_TRUE(h.find(1)->priorityChanged());
             EXPECT_TRUE(h.find(4)->unsure);
         }},
        {"a change the desktop cannot take goes back to the desktop's state",
         {begin(Call::SetMsgPriority, 1, kPriorityLow), done(Call::SetMsgPriority, 1, MAILHOST_NOT_SUPPORTED, kPriorityLow)},
         [](const Handheld& h) {
             EXPECT_EQ(h.find(1)->priority, kPriorityNormal);
             EXPECT_TRUE(h.find(1)->readChanged());
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Handheld h = pendingHandheld();
        JournalContent content;
        content.syncId = "s1";
        content.steps = row.steps;
        ReplayReport report = replayJournal(h, content);
        EXPECT_FALSE(report.alreadySaved);
        EXPECT_EQ(h.lastSync, "s1");
        row.check(h);
        // Replaying again changes nothing: the handheld now carries the sync's ID.
        Handheld again = h;
        EXPECT_TRUE(replayJournal(again, content).alreadySaved);
        EXPECT_EQ(again, h);
    }
}

TEST(JournalTest, WrittenJournalReadsBackAndATornLastLineIsIgnored) {
    test::TempDesktop desktop;
    std::string path = desktop.path() + "/journal";
    JournalWriter writer;
    ASSERT_EQ(writer.start(path, "sync-7", "salvith"), 0);
    ASSERT_EQ(writer.begin({Call::SendMsg, 3, 0}), 0);
    ASSERT_EQ(writer.done({Call::SendMsg, 3, 0}, MAILHOST_SEND_FAILED), 0);
    ASSERT_EQ(writer.begin({Call::SetMsgPriority, 1, 2}), 0);
    // The process died while writing the next line.
    ASSERT_EQ(appendDurably(path, "{\"done\":\"SetMsgPrio"), 0);

    JournalContent content;
    ASSERT_FALSE(readJournal(path, content));
    EXPECT_EQ(content.syncId, "sync-7");
    EXPECT_EQ(content.plugin, "salvith");
    ASSERT_EQ(content.steps.size(), 3u);
    EXPECT_TRUE(content.steps[1].done);
    EXPECT_EQ(content.steps[1].rc, MAILHOST_SEND_FAILED);
    EXPECT_EQ(content.steps[2].call, (PlannedCall{Call::SetMsgPriority, 1, 2}));

    Handheld h = pendingHandheld();
    ReplayReport report = replayJournal(h, content);
    EXPECT_EQ(report.applied, 1);
    EXPECT_EQ(report.succeeded, 0);
    ASSERT_EQ(report.inDoubt.size(), 1u);
    EXPECT_EQ(report.inDoubt[0].call, Call::SetMsgPriority);

    ASSERT_EQ(writer.finish(), 0);
    EXPECT_FALSE(exists(path));
}

TEST(JournalTest, DamagedLinesAreReported) {
    test::TempDesktop desktop;
    const struct {
        const char* label;
        const char* text;
    } rows[] = {
        {"first line not a journal", "{\"x\":1}\n"},
        {"unknown call", "{\"journal\":1,\"sync\":\"s\"}\n{\"begin\":\"Explode\",\"entry\":1}\n"},
        {"garbage in the middle", "{\"journal\":1,\"sync\":\"s\"}\nxx\n{\"begin\":\"SendMsg\",\"entry\":1}\n"},
        {"done without a result", "{\"journal\":1,\"sync\":\"s\"}\n{\"done\":\"SendMsg\",\"entry\":1}\n"},
        {"start time beyond every integer", "{\"journal\":1,\"sync\":\"s\",\"started\":1e300}\n"},
        {"negative entry", "{\"journal\":1,\"sync\":\"s\"}\n{\"begin\":\"SendMsg\",\"entry\":-1}\n"},
        {"result too large for a code",
         "{\"journal\":1,\"sync\":\"s\"}\n{\"done\":\"SendMsg\",\"entry\":1,\"rc\":4294967296}\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        desktop.write("journal", row.text);
        JournalContent content;
        EXPECT_TRUE(readJournal(desktop.path() + "/journal", content).has_value());
    }
}

TEST(JournalTest, EmptyOrMissingJournalHasNothingToReplay) {
    test::TempDesktop desktop;
    JournalContent content;
    ASSERT_FALSE(readJournal(desktop.path() + "/none", content));
    desktop.write("torn", "{\"journal\":1,\"sy");
    ASSERT_FALSE(readJournal(desktop.path() + "/torn", content));
    Handheld h = pendingHandheld();
    ReplayReport report = replayJournal(h, content);
    EXPECT_TRUE(report.syncId.empty());
    EXPECT_EQ(h, pendingHandheld());
}

}  // namespace
}  // namespace conduit
