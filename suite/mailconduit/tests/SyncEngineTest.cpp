// The sync engine in-process, driving the test plug-in loaded through the platform loader.
#include "sync/SyncEngine.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

#include "desktop/FileIo.h"
#include "handheld/HandheldAccess.h"
#include "desktop/Paths.h"
#include "TestDesktop.h"
#include "framework/MailHost.h"

namespace conduit {
namespace {

using nlohmann::json;
using Calls = std::vector<std::string>;

class SyncEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_log = m_desktop.path() + "/calls.log";
        ::setenv("FAKEHOST_CALL_LOG", m_log.c_str(), 1);
        ::unsetenv("FAKEHOST_INIT_RESULT");
        configure({});
        m_desktop.write("desktop-mailbox.json", test::fakeMailbox(4));
        LoadError error;
        m_host = PluginHost::load(MAILCONDUIT_FAKEHOST, error);
        ASSERT_NE(m_host, nullptr) << error.detail;
    }
    void TearDown() override {
        ::unsetenv("FAKEHOST_CALL_LOG");
        ::unsetenv("FAKEHOST_INIT_RESULT");
    }

    void configure(const std::vector<std::string>& extra) { m_config = test::writeFakeConfig(m_desktop, extra); }

    SyncReport sync(bool dryRun = false, bool assumeYes = false) {
        SyncOptions options;
        options.home = m_desktop.path();
        options.plugin = "fakehost";
        options.configFile = m_config;
        options.dryRun = dryRun;
        options.assumeYes = assumeYes;
        std::ostringstream sink;
        Progress progress(sink, false, true);
        FaultHook faults("", m_trace);
        SyncEnvironment env{progress, faults, m_confirm};
        return runSync(m_host->exports(), options, env);
    }

    // The commits of the syncs since the last look, by kill point.
    std::vector<std::string> commits() {
        std::vector<std::string> lines;
        std::istringstream in(m_desktop.read("trace"));
        for (std::string line; std::getline(in, line);) {
            if (line.find(":commit") != std::string::npos) lines.push_back(line);
        }
        removeDurably(m_trace);
        return lines;
    }

    // The exports called since the last look.
    Calls calls() {
        std::string text = m_desktop.read("calls.log");
        removeDurably(m_log);
        Calls lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    Handheld handheld() {
        OpenedHandheld opened;
        EXPECT_FALSE(openHandheld(m_desktop.path(), false, opened));
        return opened.handheld;
    }
    // What a sync killed while `call` was with the plug-in leaves in the database.
    void leavePending(const PlannedCall& call) {
        HandheldStore store;
        ASSERT_FALSE(store.open(handheldDatabasePath(m_desktop.path()), false));
        Handheld h;
        std::vector<PlannedCall> pending;
        ASSERT_FALSE(store.load(h, pending));
        ASSERT_FALSE(store.beginCall(call, "test"));
    }
    template <typename Edit>
    void edit(Edit change) {
        Handheld h = handheld();
        change(h);
        ASSERT_FALSE(storeHandheld(m_desktop.path(), h));
    }
    std::uint64_t composeTo(const std::string& to, bool file = false) {
        std::uint64_t id = 0;
        edit([&](Handheld& h) {
            Draft draft;
            draft.to = to;
            draft.subject = "To " + to;
            draft.body = "Hello\r\n";
            draft.fileOnly = file;
            EXPECT_FALSE(compose(h, draft, id));
        });
        return id;
    }
    std::uint64_t inboxId(const std::string& hostId) {
        for (const HandheldMessage& m : handheld().inbox) {
            if (m.record.hostMsgId == hostId) return m.id;
        }
        ADD_FAILURE() << "no inbox message " << hostId;
        return 0;
    }
    json mailbox() { return json::parse(m_desktop.read("desktop-mailbox.json")); }

    test::TempDesktop m_desktop;
    std::string m_config, m_log;
    std::string m_trace = m_desktop.path() + "/trace";
    std::unique_ptr<PluginHost> m_host;
    std::function<bool(const std::string&)> m_confirm;
};

TEST_F(SyncEngineTest, CallsTheExportsInTheDocumentedOrder) {
    ASSERT_EQ(sync().exitCode, 0);
    EXPECT_EQ(calls(), (Calls{"Initialize", "Logon(1)", "GetAllMsgs", "FreeMailMsg", "Logoff", "Uninitialize"}));

    // m1 and m3 arrived unread, m2 read.
    edit([&](Handheld& h) {
        EXPECT_FALSE(deleteMessage(h, inboxId("m3")));
        EXPECT_FALSE(setPriority(h, inboxId("m2"), kPriorityHigh));
        EXPECT_FALSE(markRead(h, inboxId("m1"), true));
    });
    composeTo("anna@example.org");
    composeTo("", true);
    SyncReport report = sync();
    ASSERT_EQ(report.exitCode, 0) << report.reason;
    EXPECT_EQ(calls(), (Calls{"Initialize", "Logon(1)", "GetAllMsgs", "FreeMailMsg", "SendMsg", "SetMsg",
                              "SetMsgReadStatus", "SetMsgPriority", "DeleteMsg", "Logoff", "Uninitialize"}));
    EXPECT_EQ(report.sent, 1);
    EXPECT_EQ(report.filed, 1);
    EXPECT_EQ(report.deleted, 1);
    EXPECT_EQ(report.markedRead, 1);
    EXPECT_EQ(report.prioritised, 1);
    // Six sync-manager turns: Initialize, Logon and one per message of the mailbox.
    EXPECT_EQ(report.yields, 6u);

    json box = mailbox();
    ASSERT_EQ(box["sent"].size(), 1u);
    EXPECT_EQ(box["sent"][0]["to"], "anna@example.org");
    EXPECT_FALSE(box["sent"][0]["hasHostId"].get<bool>());
    ASSERT_EQ(box["inbox"].size(), 4u);  // m3 deleted, the filed message added
    EXPECT_TRUE(box["inbox"][0]["read"].get<bool>());
    EXPECT_EQ(box["inbox"][1]["priority"], kPriorityHigh);
    Handheld h = handheld();
    EXPECT_TRUE(h.outbox.empty());
    EXPECT_TRUE(h.filed.empty());
    for (const HandheldMessage& m : h.inbox) EXPECT_FALSE(m.hasPendingChange()) << m.id;
    EXPECT_EQ(test::pendingCalls(m_desktop.path()), 0);

    // The filed message comes back as a desktop message at the next sync.
    report = sync();
    EXPECT_EQ(report.merge.received, 1);
    EXPECT_EQ(handheld().inbox.size(), 4u);
}

TEST_F(SyncEngineTest, UninitializeOnEveryWayOut) {
    struct Row {
        const char* label;
        std::function<void()> arrange;
        Calls expected;
        const char* reason;  // part of the reason given
    };
    const Row rows[] = {
        {"mail library missing",
         [] { ::setenv("FAKEHOST_INIT_RESULT", "204", 1); },
         {"Initialize", "Uninitialize"},
         "MAILHOST_LIBRARY_NOT_FOUND (204)"},
        {"logon refused",
         [this] { configure({"UserAccount="}); },
         {"Initialize", "Logon(1)", "Uninitialize"},
         "MAILHOST_LOGON_FAILED (200)"},
        {"more than half of the inbox would go, nobody to ask",
         [this] {
             m_desktop.write("desktop-mailbox.json", test::fakeMailbox(12));
             ASSERT_EQ(sync().exitCode, 0);
             calls();
             m_desktop.write("desktop-mailbox.json", test::fakeMailbox(5));
         },
         {"Initialize", "Logon(1)", "GetAllMsgs", "FreeMailMsg", "Logoff", "Uninitialize"},
         "7 of the 12 messages"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        ::unsetenv("FAKEHOST_INIT_RESULT");
        configure({});
        for (const char* suffix : {"", "-wal", "-shm"}) removeDurably(handheldDatabasePath(m_desktop.path()) + suffix);
        row.arrange();
        std::string before = test::snapshot(conduitFolder(m_desktop.path()));
        composeTo("kept@example.org");
        std::string withDraft = test::snapshot(conduitFolder(m_desktop.path()));
        SyncReport report = sync();
        EXPECT_EQ(report.exitCode, 2);
        EXPECT_NE(report.reason.find(row.reason), std::string::npos) << report.reason;
        EXPECT_EQ(calls(), row.expected);
        EXPECT_EQ(test::snapshot(conduitFolder(m_desktop.path())), withDraft) << "nothing changes on the handheld";
        EXPECT_NE(before, withDraft);
    }
}

TEST_F(SyncEngineTest, RefusedMessagesStayForTheNextSync) {
    configure({"FailSendTo=bounce", "NoUnread=1", "FailDelete=1"});
    ASSERT_EQ(sync().exitCode, 0);
    std::uint64_t good = composeTo("anna@example.org");
    std::uint64_t bad = composeTo("bounce@example.org");
    edit([&](Handheld& h) {
        EXPECT_FALSE(markRead(h, inboxId("m2"), false));  // m2 is read on the desktop
        EXPECT_FALSE(deleteMessage(h, inboxId("m4")));
    });
    calls();
    SyncReport report = sync();
    EXPECT_EQ(report.exitCode, 1);
    ASSERT_EQ(report.failures.size(), 3u);
    EXPECT_EQ(report.failures[0].step, "SendMsg");
    EXPECT_EQ(report.failures[0].entry, bad);
    EXPECT_EQ(report.failures[0].rc, MAILHOST_SEND_FAILED);
    EXPECT_EQ(report.failures[1].rc, MAILHOST_NOT_SUPPORTED);
    EXPECT_EQ(report.failures[2].step, "DeleteMsg");
    EXPECT_EQ(report.failures[2].rc, MAILHOST_SERVER_ERROR);

    Handheld h = handheld();
    EXPECT_EQ(h.find(good), nullptr);
    ASSERT_NE(h.find(bad), nullptr);
    EXPECT_FALSE(h.find(bad)->unsure);
    EXPECT_TRUE(h.find(inboxId("m2"))->read) << "the desktop cannot mark unread: the handheld follows it";
    EXPECT_TRUE(h.find(inboxId("m4"))->deleted) << "a refused deletion stays pending";

    // The next sync tries the send and the deletion again, and not the unread mark.
    calls();
    report = sync();
    EXPECT_EQ(report.exitCode, 1);
    EXPECT_EQ(calls(), (Calls{"Initialize", "Logon(1)", "GetAllMsgs", "FreeMailMsg", "SendMsg", "DeleteMsg",
                              "Logoff", "Uninitialize"}));
    EXPECT_EQ(mailbox()["sent"].size(), 1u);
}

TEST_F(SyncEngineTest, MassRemovalAsksFirst) {
    m_desktop.write("desktop-mailbox.json", test::fakeMailbox(12));
    ASSERT_EQ(sync().exitCode, 0);
    m_desktop.write("desktop-mailbox.json", test::fakeMailbox(6));
    std::string asked;
    m_confirm = [&](const std::string& question) {
        asked = question;
        return false;
    };
    // Exactly half is not more than half.
    EXPECT_EQ(sync().exitCode, 0);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(handheld().inbox.size(), 6u);

    m_desktop.write("desktop-mailbox.json", test::fakeMailbox(2));
    EXPECT_EQ(sync().exitCode, 0) << "a mailbox of 6 is too small to ask about";
    m_desktop.write("desktop-mailbox.json", test::fakeMailbox(12));
    ASSERT_EQ(sync().exitCode, 0);
    edit([&](Handheld& h) {
        for (int i = 1; i <= 3; ++i) EXPECT_FALSE(deleteMessage(h, inboxId("m" + std::to_string(i))));
    });
    m_desktop.write("desktop-mailbox.json", test::fakeMailbox(8));  // 4 gone + 3 deleted = 7 of 12
    SyncReport refused = sync();
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(asked.find("remove 7 of the 12"), std::string::npos) << asked;
    EXPECT_EQ(handheld().inbox.size(), 12u);
    EXPECT_EQ(mailbox()["inbox"].size(), 8u) << "nothing was deleted on the desktop";

    m_confirm = [](const std::string&) { return true; };
    SyncReport agreed = sync();
    EXPECT_EQ(agreed.exitCode, 0);
    EXPECT_EQ(agreed.merge.forgotten, 4);
    EXPECT_EQ(agreed.deleted, 3);
    EXPECT_EQ(handheld().inbox.size(), 5u);
}

TEST_F(SyncEngineTest, AnUnchangedResyncCommitsOnlyItsOwnRecord) {
    ASSERT_EQ(sync().exitCode, 0);
    EXPECT_EQ(commits(), (std::vector<std::string>{"merge:commit", "save:commit"}));
    ASSERT_EQ(sync().exitCode, 0);
    EXPECT_EQ(commits(), (std::vector<std::string>{"save:commit"})) << "the merge of an unchanged mailbox writes nothing";
    // One more message on the desktop: the merge commits, and only it and the save.
    m_desktop.write("desktop-mailbox.json", test::fakeMailbox(5));
    SyncReport grown = sync();
    EXPECT_EQ(grown.merge.received, 1);
    EXPECT_EQ(commits(), (std::vector<std::string>{"merge:commit", "save:commit"}));
}

TEST_F(SyncEngineTest, TextsLeftInTheDatabaseDuringASyncAreStillThereAfterwards) {
    ASSERT_EQ(sync().exitCode, 0);
    // Calls that hand inbox messages to the plug-in, whose texts must be read back for them.
    edit([&](Handheld& h) {
        EXPECT_FALSE(markRead(h, inboxId("m1"), true));
        EXPECT_FALSE(setPriority(h, inboxId("m3"), kPriorityHigh));
    });
    SyncReport report = sync();
    ASSERT_EQ(report.exitCode, 0);
    EXPECT_EQ(report.markedRead, 1);
    EXPECT_EQ(report.prioritised, 1);
    ASSERT_EQ(report.handheld.inbox.size(), 4u);
    for (const HandheldMessage& m : report.handheld.inbox) {
        EXPECT_TRUE(m.textsReleased) << "the sync held #" << m.id << "'s texts in memory";
    }
    auto expectWhole = [](const Handheld& h, const char* seen) {
        SCOPED_TRACE(seen);
        ASSERT_EQ(h.inbox.size(), 4u);
        for (size_t i = 0; i < h.inbox.size(); ++i) {
            EXPECT_FALSE(h.inbox[i].textsReleased);
            EXPECT_EQ(h.inbox[i].record.body, "Body " + std::to_string(i + 1) + "\r\n");
            EXPECT_EQ(h.inbox[i].record.to, "teo@example.org");
        }
    };
    expectWhole(handheld(), "read back");
    EXPECT_TRUE(handheld().find(inboxId("m1"))->desktopRead) << "the change reached the desktop";
    EXPECT_EQ(handheld().find(inboxId("m3"))->desktopPriority, kPriorityHigh);
    // A second sync over the light rows the first left, with a change on the desktop.
    m_desktop.write("desktop-mailbox.json", test::fakeMailbox(5));
    ASSERT_EQ(sync().merge.received, 1);
    Handheld after = handheld();
    Handheld firstFour = after;
    firstFour.inbox.resize(4);
    expectWhole(firstFour, "after the next sync");
    EXPECT_EQ(after.inbox[4].record.body, "Body 5\r\n");

    m_desktop.write("desktop-mailbox.json", test::fakeMailbox(4));
    ASSERT_EQ(sync().merge.forgotten, 1);
    expectWhole(sync(true).handheld, "in a dry run");
    test::RunResult exported = test::runConduit({"handheld", "export"}, m_desktop.path());
    ASSERT_EQ(exported.status, 0) << exported.err;
    for (int i = 1; i <= 4; ++i) {
        EXPECT_NE(exported.out.find("Body " + std::to_string(i)), std::string::npos) << exported.out;
    }
}

TEST_F(SyncEngineTest, DryRunCallsNothingAndWritesNothing) {
    ASSERT_EQ(sync().exitCode, 0);
    std::uint64_t out = composeTo("anna@example.org");
    edit([&](Handheld& h) { EXPECT_FALSE(markRead(h, inboxId("m1"), true)); });
    // An interrupted sync cut off while sending: the dry run shows the message held, in memory.
    std::uint64_t sentBefore = composeTo("bob@example.org");
    leavePending({Call::SendMsg, sentBefore, 0});
    calls();
    std::string before = test::snapshot(m_desktop.path());

    SyncReport report = sync(true);
    EXPECT_EQ(report.exitCode, 0);
    EXPECT_EQ(report.plan, (std::vector<PlannedCall>{{Call::SendMsg, out, 0}, {Call::SetMsgReadStatus, inboxId("m1"), 1}}));
    ASSERT_TRUE(report.replay.has_value());
    EXPECT_EQ(report.held, (std::vector<std::uint64_t>{sentBefore}));
    EXPECT_EQ(test::pendingCalls(m_desktop.path()), 1);
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(test::snapshot(m_desktop.path()), before);
}

TEST_F(SyncEngineTest, InterruptedSyncIsFinishedBeforeTheNext) {
    ASSERT_EQ(sync().exitCode, 0);
    std::uint64_t delivered = composeTo("anna@example.org");
    std::uint64_t cutOff = composeTo("bob@example.org");
    std::uint64_t waiting = composeTo("carl@example.org");
    // The earlier sync's first send committed its outcome; the second was cut off.
    edit([&](Handheld& h) { h.erase(delivered); });
    leavePending({Call::SendMsg, cutOff, 0});
    calls();

    SyncReport report = sync();
    EXPECT_EQ(report.exitCode, 0);
    ASSERT_TRUE(report.replay.has_value());
    EXPECT_EQ(report.held, (std::vector<std::uint64_t>{cutOff}));
    EXPECT_EQ(report.sent, 1) << "only the message nobody had handed over yet";
    json box = mailbox();
    ASSERT_EQ(box["sent"].size(), 1u);
    EXPECT_EQ(box["sent"][0]["to"], "carl@example.org");
    Handheld h = handheld();
    EXPECT_EQ(h.find(delivered), nullptr);
    EXPECT_EQ(h.find(waiting), nullptr);
    ASSERT_NE(h.find(cutOff), nullptr);
    EXPECT_TRUE(h.find(cutOff)->unsure);

    // Once the person says so, it goes.
    edit([&](Handheld& hh) { EXPECT_FALSE(retryMessage(hh, cutOff)); });
    EXPECT_EQ(sync().sent, 1);
    EXPECT_EQ(handheld().find(cutOff), nullptr);
}

TEST_F(SyncEngineTest, AnotherPluginsInboxIsReplacedNotChanged) {
    ASSERT_EQ(sync().exitCode, 0);
    edit([&](Handheld& h) {
        h.plugin = "salvith";
        EXPECT_FALSE(deleteMessage(h, inboxId("m1")));
        EXPECT_FALSE(markRead(h, inboxId("m3"), true));
    });
    calls();
    SyncReport report = sync();
    EXPECT_EQ(report.exitCode, 0);
    EXPECT_EQ(calls(), (Calls{"Initialize", "Logon(1)", "GetAllMsgs", "FreeMailMsg", "Logoff", "Uninitialize"}));
    EXPECT_EQ(report.merge.forgotten, 4);
    EXPECT_EQ(report.merge.received, 4);
    EXPECT_EQ(handheld().plugin, "fakehost");
    EXPECT_EQ(mailbox()["inbox"].size(), 4u);
}

}  // namespace
}  // namespace conduit
