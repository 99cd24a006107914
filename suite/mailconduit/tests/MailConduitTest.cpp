// The mailconduit program end to end, run as a child process against a temporary desktop.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

#include "sync/FaultHook.h"
#include "desktop/FileIo.h"
#include "TestDesktop.h"

namespace conduit {
namespace {

using nlohmann::json;
using test::runConduit;
using test::RunResult;
using test::TempDesktop;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class MailConduitTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_config = test::writeFakeConfig(m_desktop);
        m_desktop.write("desktop-mailbox.json", test::fakeMailbox(4));
    }
    RunResult run(std::vector<std::string> args, const std::vector<std::string>& env = {}) {
        return runConduit(args, m_desktop.path(), env);
    }
    RunResult sync(std::vector<std::string> extra = {}, const std::vector<std::string>& env = {}) {
        std::vector<std::string> args = {"sync", "--plugin", MAILCONDUIT_FAKEHOST, "--config", m_config};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args, env);
    }

    TempDesktop m_desktop;
    std::string m_config;
};

TEST_F(MailConduitTest, EveryCommandHasHelp) {
    for (const char* command : {"hosts", "setup", "info", "handheld", "sync", "demo"}) {
        SCOPED_TRACE(command);
        RunResult result = run({command, "--help"});
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out.rfind(std::string("Usage: mailconduit ") + command, 0), 0u) << result.out;
        EXPECT_EQ(run({"help", command}).out, result.out);
    }
    RunResult overview = run({"--help"});
    EXPECT_EQ(overview.status, 0);
    for (const char* command : {"hosts", "setup", "info", "handheld", "sync", "demo"}) {
        EXPECT_TRUE(contains(overview.out, std::string("  ") + command)) << command;
    }
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"frobnicate"}).status, 2);
}

TEST_F(MailConduitTest, ExitStatusAndReasonForEachWayASyncCannotRun) {
    std::string noSection = m_desktop.path() + "/empty.ini";
    m_desktop.write("empty.ini", "[Other]\nKey=1\n");
    std::string refusing = m_desktop.path() + "/refusing.ini";
    m_desktop.write("refusing.ini", "[FakeHost]\nMsgHostName=Fake Mail 1.0\n[FakeHost Fake Mail 1.0]\nUserAccount=\n");
    const struct Row {
        const char* label;
        std::vector<std::string> args;
        std::vector<std::string> env;
        std::vector<const char*> reasons;  // each must appear on standard error
    } rows[] = {
        {"plug-in library missing",
         {"sync", "--plugin", "nosuchhost", "--config", m_config},
         {},
         {"no plug-in named nosuchhost", "nosuchhost.so", MAILCONDUIT_MODULE_DIR}},
        {"a library that is not a plug-in",
         {"sync", "--plugin", std::string(MAILCONDUIT_MODULE_DIR) + "/trevlin.so", "--config", m_config},
         {},
         {"is not a mail host plug-in", "lacks the export Initialize"}},
        {"mail library missing",
         {"sync", "--plugin", MAILCONDUIT_FAKEHOST, "--config", m_config},
         {"FAKEHOST_INIT_RESULT=204"},
         {"the mail library could not be started", "MAILHOST_LIBRARY_NOT_FOUND (204)"}},
        {"logon refused",
         {"sync", "--plugin", MAILCONDUIT_FAKEHOST, "--config", refusing},
         {},
         {"the logon was refused", "MAILHOST_LOGON_FAILED (200)", "Mail System:\tFake Mail 1.0"}},
        {"configuration file missing",
         {"sync", "--plugin", MAILCONDUIT_FAKEHOST, "--config", m_desktop.path() + "/nowhere.ini"},
         {},
         {"bad configuration", "nowhere.ini does not exist"}},
        {"configuration without the plug-in's settings",
         {"sync", "--plugin", MAILCONDUIT_FAKEHOST, "--config", noSection},
         {},
         {"MAILHOST_LOGON_FAILED", "Not Configured"}},
        {"no plug-in named", {"sync", "--config", m_config}, {}, {"--plugin is required"}},
        {"unknown option", {"sync", "--plugin", "x", "--dryrun"}, {}, {"unknown option --dryrun"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        RunResult result = run(row.args, row.env);
        EXPECT_EQ(result.status, 2);
        for (const char* reason : row.reasons) EXPECT_TRUE(contains(result.err, reason)) << result.err;
        EXPECT_LE(test::pendingCalls(m_desktop.path()), 0);
    }
}

TEST_F(MailConduitTest, FailedMessagesGiveStatusOneAndSayWhy) {
    m_config = test::writeFakeConfig(m_desktop, {"FailSendTo=bounce"});
    ASSERT_EQ(run({"handheld", "compose", "--to", "bounce@example.org", "--subject", "Lost?", "--body", "x"}).status, 0);
    RunResult result = sync();
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_TRUE(contains(result.out, "failed     1")) << result.out;
    EXPECT_TRUE(contains(result.out, "SendMsg of #1 \"Lost?\": MAILHOST_SEND_FAILED (212)")) << result.out;
    EXPECT_TRUE(contains(result.out, "it stays in the outbox")) << result.out;
    EXPECT_TRUE(contains(result.out, "received   4 new messages")) << result.out;
    RunResult list = run({"handheld", "list", "--folder", "outbox"});
    EXPECT_TRUE(contains(list.out, "Lost?")) << list.out;
}

TEST_F(MailConduitTest, HandheldCommandsEditWhatTheListShows) {
    ASSERT_EQ(sync().status, 0);
    m_desktop.write("body.txt", "Grüße aus Köln\nZeile zwei\n");
    RunResult composed = run({"handheld", "compose", "--to", "a@example.org", "--to", "b@example.org", "--subject",
                              "Café", "--priority", "high", "--read-receipt", "--body-file",
                              m_desktop.path() + "/body.txt"});
    ASSERT_EQ(composed.status, 0) << composed.err;
    EXPECT_EQ(composed.out, "#5 written into the outbox\n");
    ASSERT_EQ(run({"handheld", "read", "1"}).status, 0);
    ASSERT_EQ(run({"handheld", "delete", "#2"}).status, 0);
    ASSERT_EQ(run({"handheld", "priority", "3", "low"}).status, 0);

    RunResult list = run({"handheld", "list"});
    ASSERT_EQ(list.status, 0);
    std::istringstream lines(list.out);
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);) rows.push_back(line);
    ASSERT_EQ(rows.size(), 6u) << list.out;  // heading, four inbox messages, one outbox message
    EXPECT_TRUE(contains(rows[1], "inbox  r ")) << rows[1];        // read on the handheld, to carry
    EXPECT_TRUE(contains(rows[2], "inbox  D ")) << rows[2];        // to delete
    EXPECT_TRUE(contains(rows[3], "inbox  *p- ")) << rows[3];      // unread, priority to carry, low
    EXPECT_TRUE(contains(rows[5], "outbox R!")) << rows[5];
    EXPECT_TRUE(contains(rows[5], "Café")) << rows[5];

    RunResult show = run({"handheld", "show", "5"});
    EXPECT_TRUE(contains(show.out, "To:       a@example.org, b@example.org")) << show.out;
    EXPECT_TRUE(contains(show.out, "Grüße aus Köln\nZeile zwei\n")) << show.out;

    const struct {
        std::vector<std::string> args;
        const char* error;
    } refused[] = {
        {{"handheld", "read", "5"}, "only inbox messages have a read state"},
        {{"handheld", "show", "42"}, "no message #42"},
        {{"handheld", "priority", "1", "urgent"}, "priority must be high, normal or low"},
        {{"handheld", "read", "1", "--to", "x"}, "--to does not apply to read"},
        {{"handheld", "explode"}, "no action named explode"},
    };
    for (const auto& row : refused) {
        SCOPED_TRACE(row.error);
        RunResult result = run(row.args);
        EXPECT_EQ(result.status, 2);
        EXPECT_TRUE(contains(result.err, row.error)) << result.err;
    }
}

TEST_F(MailConduitTest, DryRunLeavesEveryFileByteIdentical) {
    ASSERT_EQ(sync().status, 0);
    ASSERT_EQ(run({"handheld", "compose", "--to", "a@example.org", "--subject", "Planned", "--body", "x"}).status, 0);
    ASSERT_EQ(run({"handheld", "compose", "--file", "--subject", "Note to self", "--body", "y"}).status, 0);
    ASSERT_EQ(run({"handheld", "read", "1"}).status, 0);
    ASSERT_EQ(run({"handheld", "delete", "2"}).status, 0);
    ASSERT_EQ(run({"handheld", "priority", "3", "high"}).status, 0);
    m_desktop.write("desktop-mailbox.json", test::fakeMailbox(6));  // new mail waiting
    std::string before = test::snapshot(m_desktop.path());

    RunResult dry = sync({"--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(test::snapshot(m_desktop.path()), before);
    for (const char* line : {"send   #5 to a@example.org  \"Planned\"", "file   #6  \"Note to self\"",
                             "mark   #1 read", "delete #2", "mark   #3 priority high"}) {
        EXPECT_TRUE(contains(dry.out, line)) << line << "\n" << dry.out;
    }
}

// The outcome a sync leaves: the desktop mailbox and the handheld (without the sync's ID).
std::string outcome(const TempDesktop& desktop) {
    json handheld = json::parse(test::handheldJson(desktop.path()));
    handheld.erase("lastSync");
    return desktop.read("desktop-mailbox.json") + handheld.dump(1);
}

TEST_F(MailConduitTest, ASyncKilledAtAnyPointIsFinishedWithoutLossOrDuplication) {
    // A handheld with something of every kind to carry, and new mail on the desktop.
    ASSERT_EQ(sync().status, 0);
    ASSERT_EQ(run({"handheld", "compose", "--to", "a@example.org", "--subject", "One", "--body", "1"}).status, 0);
    ASSERT_EQ(run({"handheld", "compose", "--to", "b@example.org", "--subject", "Two", "--body", "2"}).status, 0);
    ASSERT_EQ(run({"handheld", "compose", "--file", "--subject", "Filed", "--body", "3"}).status, 0);
    ASSERT_EQ(run({"handheld", "read", "1"}).status, 0);
    ASSERT_EQ(run({"handheld", "priority", "2", "low"}).status, 0);
    ASSERT_EQ(run({"handheld", "delete", "3"}).status, 0);
    m_desktop.write("desktop-mailbox.json", test::fakeMailbox(5));
    TempDesktop start;
    ASSERT_EQ(copyTree(m_desktop.path(), start.path()), 0);

    // The reference: an uninterrupted sync, tracing the points a fault can hit.
    std::string trace = m_desktop.path() + "/trace";
    ASSERT_EQ(sync({}, {"MAILCONDUIT_FAULT_TRACE=" + trace}).status, 0);
    ASSERT_EQ(sync().status, 0);  // a second sync has nothing left to do
    std::string expected = outcome(m_desktop);
    json box = json::parse(m_desktop.read("desktop-mailbox.json"));
    ASSERT_EQ(box["sent"].size(), 2u);
    ASSERT_EQ(box["filed"].size(), 1u);
    std::vector<std::string> points;
    std::istringstream lines(m_desktop.read("trace"));
    for (std::string line; std::getline(lines, line);) points.push_back(line);
    // Before each of the six calls and inside its two commits (pending, outcome); inside the
    // commit of the merged inbox; before, inside and after the final save.
    ASSERT_EQ(points.size(), 28u) << m_desktop.read("trace");
    EXPECT_TRUE(contains(m_desktop.read("trace"), "merge:commit\n"));

    for (const std::string& point : points) {
        SCOPED_TRACE("killed at " + point);
        TempDesktop run;
        ASSERT_EQ(copyTree(start.path(), run.path()), 0);
        std::string config = test::writeFakeConfig(run);
        std::vector<std::string> args = {"sync", "--plugin", MAILCONDUIT_FAKEHOST, "--config", config};
        RunResult killed = runConduit(args, run.path(), {"MAILCONDUIT_FAULT=" + point});
        ASSERT_EQ(killed.status, kFaultExitStatus) << killed.err;
        RunResult next = runConduit(args, run.path());
        ASSERT_EQ(next.status, 0) << next.out << next.err;
        ASSERT_EQ(runConduit(args, run.path()).status, 0);
        std::vector<std::uint64_t> held = test::heldMessages(run.path());
        ASSERT_EQ(held.size(), test::leavesCallInDoubt(point) ? 1u : 0u);
        for (std::uint64_t id : held) ASSERT_EQ(runConduit({"handheld", "delete", std::to_string(id)}, run.path()).status, 0);
        EXPECT_EQ(outcome(run), expected);
        EXPECT_EQ(test::pendingCalls(run.path()), 0);
    }
}

}  // namespace
}  // namespace conduit
