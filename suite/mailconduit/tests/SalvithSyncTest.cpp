// Real syncs through the Simple MAPI plug-in and its mail library, over a copy of the example
// desktop: the road of a message from the handheld to the sending command, and of the
// desktop's changes back.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

#include "handheld/Base64.h"
#include "desktop/DesktopView.h"
#include "sync/FaultHook.h"
#include "desktop/FileIo.h"
#include "TestDesktop.h"

namespace conduit {
namespace {

using test::RunResult;
using test::TempDesktop;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A copy of the example desktop, ready to use.
void copyExample(const TempDesktop& desktop) {
    ASSERT_EQ(copyTree(MAILCONDUIT_EXAMPLE_DESKTOP, desktop.path()), 0);
    ASSERT_FALSE(prepareDesktop(desktop.path()));
}

// The files of one Maildir folder as "subfolder/identifier:flags" lines, sorted.
std::vector<std::string> mailFiles(const std::string& folder) {
    std::vector<std::string> files;
    for (const std::string& file : listFiles(folder)) {
        if (file.rfind("cur/", 0) == 0 || file.rfind("new/", 0) == 0) files.push_back(file);
    }
    return files;
}

// The mail the capturing sendmail was given: one "recipients | subject" line each, sorted.
std::vector<std::string> captured(const std::string& home) {
    std::vector<std::string> mails;
    for (const std::string& file : listFiles(home + "/sent-mail")) {
        std::string bytes;
        readFile(home + "/sent-mail/" + file, bytes);
        std::string to, subject;
        std::istringstream lines(bytes);
        for (std::string line; std::getline(lines, line) && line != "\r" && !line.empty();) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.rfind("X-Envelope-To: ", 0) == 0) to = line.substr(15);
            if (line.rfind("Subject: ", 0) == 0) subject = line.substr(9);
        }
        mails.push_back(to + " | " + subject);
    }
    std::sort(mails.begin(), mails.end());
    return mails;
}

class SalvithSyncTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!exists(std::string(MAILCONDUIT_MODULE_DIR) + "/salvith.so")) GTEST_SKIP() << "salvith.so is not built";
        copyExample(m_desktop);
    }
    RunResult run(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
        return test::runConduit(args, m_desktop.path(), env);
    }
    RunResult sync(const std::vector<std::string>& extra = {}, const std::vector<std::string>& env = {}) {
        std::vector<std::string> args = {"sync", "--plugin", "salvith"};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args, env);
    }
    std::string inbox() const { return m_desktop.path() + "/mail/teo"; }

    TempDesktop m_desktop;
};

TEST_F(SalvithSyncTest, MessagesRoundTrip) {
    ASSERT_EQ(run({"handheld", "compose", "--to", "Mira Castell <mira.castell@example.org>", "--cc",
                   "jonas.weber@example.net", "--subject", "Stall plan", "--body", "Plan attached on paper.\n"})
                  .status,
              0);
    RunResult first = sync();
    ASSERT_EQ(first.status, 0) << first.out << first.err;
    EXPECT_TRUE(contains(first.out, "received   16 new messages (16 in the desktop mailbox)")) << first.out;
    EXPECT_TRUE(contains(first.out, "sent       1")) << first.out;
    EXPECT_EQ(captured(m_desktop.path()),
              (std::vector<std::string>{"mira.castell@example.org jonas.weber@example.net | Stall plan"}));

    // What the desktop held reaches the handheld, Windows-1252 texts and all.
    RunResult list = run({"handheld", "list"});
    EXPECT_TRUE(contains(list.out, "Résumé de la réunion")) << list.out;
    EXPECT_TRUE(contains(list.out, "Quote for the new shelves – €480")) << list.out;
    RunResult show = run({"handheld", "show", "6"});  // Élodie's message
    EXPECT_TRUE(contains(show.out, "voici le résumé de la réunion de lundi")) << show.out;
    EXPECT_TRUE(contains(show.out, "State:    unread")) << show.out;

    // The handheld's changes reach the desktop store.
    std::vector<std::string> before = mailFiles(inbox());
    ASSERT_EQ(run({"handheld", "read", "6"}).status, 0);
    ASSERT_EQ(run({"handheld", "delete", "17"}).status, 0);  // the last message, Astrid's report
    RunResult second = sync();
    ASSERT_EQ(second.status, 0) << second.out << second.err;
    EXPECT_TRUE(contains(second.out, "deleted    1")) << second.out;
    std::vector<std::string> after = mailFiles(inbox());
    ASSERT_EQ(after.size(), before.size() - 1);
    bool marked = false;
    for (const std::string& file : after) marked = marked || (contains(file, "1709651100.") && contains(file, ":2,S"));
    EXPECT_TRUE(marked) << "Élodie's message is read in the store";
    EXPECT_EQ(mailFiles(inbox() + "/.Trash").size(), 1u) << "deleted mail goes to the trash, not away";
    RunResult third = sync();
    EXPECT_TRUE(contains(third.out, "received   0 new messages (15 in the desktop mailbox)")) << third.out;
}

TEST_F(SalvithSyncTest, DryRunLeavesEveryFileByteIdentical) {
    ASSERT_EQ(sync().status, 0);
    ASSERT_EQ(run({"handheld", "compose", "--to", "hedda@example.com", "--subject", "Not yet", "--body", "x"}).status, 0);
    ASSERT_EQ(run({"handheld", "read", "4"}).status, 0);
    ASSERT_EQ(run({"handheld", "delete", "5"}).status, 0);
    // New mail waiting in new/, which a real logon would move to cur/.
    m_desktop.write("mail/teo/new/1710300000.M1P1.desktop",
                    "From: a@example.org\nTo: teo.varga@example.org\nSubject: Late news\n\nHello\n");
    std::string before = test::snapshot(m_desktop.path());
    RunResult dry = sync({"--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_TRUE(contains(dry.out, "send   #17 to hedda@example.com")) << dry.out;
    EXPECT_EQ(test::snapshot(m_desktop.path()), before);
}

TEST_F(SalvithSyncTest, ReasonsWhenTheSyncCannotRun) {
    // The plug-in alone in a folder of its own: its mail library is nowhere to be found.
    TempDesktop lonely;
    for (const char* file : {"salvith.so", "savidne.res", "veskcmn.so"}) {
        ASSERT_EQ(::symlink((std::string(MAILCONDUIT_MODULE_DIR) + "/" + file).c_str(),
                            (lonely.path() + "/" + file).c_str()),
                  0);
    }
    RunResult missing = run({"sync", "--plugin", "salvith"}, {"VESK_LIBRARY_PATH=" + lonely.path()});
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(contains(missing.err, "MAILHOST_LIBRARY_NOT_FOUND (204)")) << missing.err;

    m_desktop.write("conduit/salvith.ini",
                    "[SmapiPlugin]\nMsgHostName=Eudora 3.0.1 or higher\n[SmapiPlugin Eudora 3.0.1 or higher]\n"
                    "UserAccount=nobody\n");
    RunResult refused = sync();
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(contains(refused.err, "the logon was refused: MAILHOST_LOGON_FAILED (200)")) << refused.err;
    EXPECT_TRUE(contains(refused.err, "Mail System:\tEudora 3.0.1 or higher")) << refused.err;
}

// What a sync leaves behind, without what differs from run to run (generated file names).
std::string outcome(const std::string& home) {
    nlohmann::json handheld = nlohmann::json::parse([&] {
        std::string text;
        return test::handheldJson(home);
    }());
    handheld.erase("lastSync");
    // A message filed into the store gets a new identifier and delivery time of its own.
    auto generated = [](const std::string& id) { return id.find(".desktop") == std::string::npos; };
    for (nlohmann::json& message : handheld["inbox"]) {
        nlohmann::json& record = message["record"];
        if (generated(decodeBase64(record.value("hostMsgId", "")).value_or(""))) {
            record.erase("hostMsgId");
            record.erase("timeReceived");
            record.erase("timeSent");
        }
    }
    std::string all = handheld.dump(1);
    for (const std::string& file : mailFiles(home + "/mail/teo")) {
        all += "\ninbox " + (generated(file) ? "(filed) " + file.substr(file.find(':')) : file);
    }
    for (const std::string& file : mailFiles(home + "/mail/teo/.Trash")) all += "\ntrash " + file;
    all += "\nsent copies " + std::to_string(mailFiles(home + "/mail/teo/.Sent").size());
    for (const std::string& mail : captured(home)) all += "\nsendmail " + mail;
    return all;
}

TEST_F(SalvithSyncTest, KilledAtEveryPointLosesAndDuplicatesNothing) {
    ASSERT_EQ(sync().status, 0);
    ASSERT_EQ(run({"handheld", "compose", "--to", "mira.castell@example.org", "--subject", "One", "--body", "1"}).status, 0);
    ASSERT_EQ(run({"handheld", "compose", "--to", "hedda@example.com", "--subject", "Two", "--body", "2"}).status, 0);
    ASSERT_EQ(run({"handheld", "compose", "--file", "--subject", "Kept note", "--body", "3"}).status, 0);
    ASSERT_EQ(run({"handheld", "read", "3"}).status, 0);
    ASSERT_EQ(run({"handheld", "delete", "8"}).status, 0);
    TempDesktop start;
    ASSERT_EQ(copyTree(m_desktop.path(), start.path()), 0);

    std::string trace = m_desktop.path() + "/trace";
    ASSERT_EQ(sync({}, {"MAILCONDUIT_FAULT_TRACE=" + trace}).status, 0);
    ASSERT_EQ(sync().status, 0);
    std::string expected = outcome(m_desktop.path());
    ASSERT_EQ(captured(m_desktop.path()).size(), 2u);
    std::vector<std::string> points;
    std::istringstream lines(m_desktop.read("trace"));
    for (std::string line; std::getline(lines, line);) points.push_back(line);
    // Each of the five calls has a point before it and one inside each of its two commits
    // (pending, outcome); the save has one before, one inside and one after its commit.
    ASSERT_EQ(points.size(), 24u) << m_desktop.read("trace");

    for (const std::string& point : points) {
        SCOPED_TRACE("killed at " + point);
        TempDesktop again;
        ASSERT_EQ(copyTree(start.path(), again.path()), 0);
        // The registry names the sending command by its folder.
        std::string registry = again.read("registry.reg");
        for (size_t at; (at = registry.find(m_desktop.path())) != std::string::npos;) {
            registry.replace(at, m_desktop.path().size(), again.path());
        }
        again.write("registry.reg", registry);
        RunResult killed = test::runConduit({"sync", "--plugin", "salvith"}, again.path(), {"MAILCONDUIT_FAULT=" + point});
        ASSERT_EQ(killed.status, kFaultExitStatus) << killed.err;
        ASSERT_EQ(test::runConduit({"sync", "--plugin", "salvith"}, again.path()).status, 0);
        ASSERT_EQ(test::runConduit({"sync", "--plugin", "salvith"}, again.path()).status, 0);
        // A message whose hand-over was in doubt went once and is held; the person, seeing it
        // arrived, deletes it from the handheld.
        std::vector<std::uint64_t> held = test::heldMessages(again.path());
        ASSERT_EQ(held.size(), test::leavesCallInDoubt(point) ? 1u : 0u);
        for (std::uint64_t id : held) {
            ASSERT_EQ(test::runConduit({"handheld", "delete", std::to_string(id)}, again.path()).status, 0);
        }
        EXPECT_EQ(outcome(again.path()), expected);
    }
}

}  // namespace
}  // namespace conduit
