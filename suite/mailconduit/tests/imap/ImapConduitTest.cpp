// Whole syncs through each plug-in with the desktop's mailbox on an IMAP server: the example
// desktop moved onto a Dovecot of the test's own, then `mailconduit sync` run as a person runs
// it. A second IMAP client sees every change the sync made on the server, and the next sync
// sees every change that client made.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "ImapPeer.h"
#include "TestDesktop.h"
#include "desktop/DesktopView.h"
#include "desktop/FileIo.h"
#include "desktop/ImapDesktop.h"

namespace conduit {
namespace {

using test::RunResult;
using test::TempDesktop;
using vesk::store::testing::ImapPeer;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class ImapConduitTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (!exists(std::string(MAILCONDUIT_MODULE_DIR) + "/" + plugin() + ".so")) {
            GTEST_SKIP() << plugin() << " is not built";
        }
        ASSERT_EQ(copyTree(MAILCONDUIT_EXAMPLE_DESKTOP, m_desktop.path()), 0);
        ASSERT_FALSE(prepareDesktop(m_desktop.path()));
        ::setenv("VESK_HOME", m_desktop.path().c_str(), 1);
        std::optional<std::string> error = moveDesktopToImap(m_desktop.path(), m_imap);
        ASSERT_FALSE(error) << *error;
    }
    void TearDown() override { ::unsetenv("VESK_HOME"); }

    std::string plugin() const { return GetParam(); }
    RunResult run(const std::vector<std::string>& args) { return test::runConduit(args, m_desktop.path()); }
    void sync() {
        RunResult r = run({"sync", "--plugin", plugin(), "--yes"});
        EXPECT_EQ(r.status, 0) << r.out << r.err;
        EXPECT_TRUE(contains(r.out, "failed     0")) << r.out;
    }
    std::unique_ptr<ImapPeer> peer() const {
        return std::make_unique<ImapPeer>(m_imap.server->plainPort(), "teo", "harbour7");
    }
    nlohmann::json inbox() const { return nlohmann::json::parse(test::handheldJson(m_desktop.path()))["inbox"]; }
    static std::string subjectOf(const nlohmann::json& message) { return message["record"].value("subject", ""); }
    // The subject line of message `uid` of the selected mailbox, as its header holds it.
    static std::string subjectLine(ImapPeer& p, std::uint32_t uid) {
        std::string bytes = p.fetch(uid);
        std::size_t at = bytes.find("\nSubject: ");
        if (at == std::string::npos) return "";
        at += 10;
        return bytes.substr(at, bytes.find_first_of("\r\n", at) - at);
    }
    // The UID of the message of the selected mailbox whose subject is `subject`; 0 for none.
    static std::uint32_t uidWithSubject(ImapPeer& p, const std::string& subject) {
        for (std::uint32_t uid : p.uids()) {
            if (subjectLine(p, uid) == subject) return uid;
        }
        return 0;
    }

    TempDesktop m_desktop;
    ImapDesktop m_imap;
};

TEST_P(ImapConduitTest, EveryChangeReachesTheOtherSideAndBack) {
    auto other = peer();
    other->select("INBOX");
    const std::size_t onServer = other->uids().size();
    ASSERT_GT(onServer, 3u);

    ASSERT_EQ(run({"handheld", "compose", "--to", "jonas.weber@example.net", "--subject",
                   "Stall plan", "--body", "Plan attached on paper.\n"})
                  .status,
              0);
    sync();
    nlohmann::json first = inbox();
    ASSERT_EQ(first.size(), onServer) << "the handheld holds the server's inbox";
    // The handheld's message left once, and its copy is in the server's Sent mailbox.
    EXPECT_EQ(listFiles(m_desktop.path() + "/sent-mail").size(), 1u);
    other->select("Sent");
    EXPECT_NE(uidWithSubject(*other, "Stall plan"), 0u) << "the sent copy is on the server";

    // On the handheld: one unread message read, another deleted; both with a subject the
    // header holds as it stands (not encoded), so the other client can find them by it.
    std::map<std::string, std::uint32_t> bySubject;
    other->select("INBOX");
    for (std::uint32_t uid : other->uids()) bySubject[subjectLine(*other, uid)] = uid;
    std::string toRead, toDelete;
    std::uint64_t readId = 0, deleteId = 0;
    for (const nlohmann::json& m : first) {
        const std::string subject = subjectOf(m);
        if (subject.empty() || !bySubject.count(subject)) continue;
        if (!m["read"].get<bool>() && readId == 0) {
            readId = m["id"];
            toRead = subject;
        } else if (deleteId == 0) {
            deleteId = m["id"];
            toDelete = subject;
        }
    }
    ASSERT_NE(readId, 0u);
    ASSERT_NE(deleteId, 0u);
    ASSERT_EQ(run({"handheld", "read", std::to_string(readId)}).status, 0);
    ASSERT_EQ(run({"handheld", "delete", std::to_string(deleteId)}).status, 0);
    sync();
    other->select("INBOX");
    EXPECT_EQ(other->uids().size(), onServer - 1);
    std::uint32_t readUid = uidWithSubject(*other, toRead);
    ASSERT_NE(readUid, 0u) << toRead;
    EXPECT_TRUE(contains(other->flags(readUid), "\\Seen")) << other->flags(readUid);
    EXPECT_EQ(uidWithSubject(*other, toDelete), 0u) << "deleted from the inbox";
    other->select("Trash");
    EXPECT_NE(uidWithSubject(*other, toDelete), 0u) << "moved to the trash";

    // The other client reads one message, expunges another and files a new one in the inbox.
    std::set<std::string> onHandheld;
    for (const nlohmann::json& m : inbox()) onHandheld.insert(subjectOf(m));
    other->select("INBOX");
    std::uint32_t seenThere = 0, goneThere = 0;
    std::string seenSubject, goneSubject;
    for (std::uint32_t uid : other->uids()) {
        const std::string subject = subjectLine(*other, uid);
        if (uid == readUid || !onHandheld.count(subject)) continue;
        if (seenThere == 0 && !contains(other->flags(uid), "\\Seen")) {
            seenThere = uid;
            seenSubject = subject;
        } else if (goneThere == 0) {
            goneThere = uid;
            goneSubject = subject;
        }
    }
    ASSERT_NE(seenThere, 0u);
    ASSERT_NE(goneThere, 0u);
    other->storeFlags(seenThere, "\\Seen", true);
    other->expunge(goneThere);
    other->append("INBOX",
                  "From: Ida <ida@example.org>\r\nTo: teo.varga@example.org\r\nSubject: From the other reader\r\n"
                  "Date: Wed, 09 Dec 2026 10:00:00 +0000\r\nMessage-ID: <other-reader@example.org>\r\n\r\nHello.\r\n");
    sync();
    bool sawNew = false, sawGone = false, seenRead = false;
    for (const nlohmann::json& m : inbox()) {
        const std::string subject = subjectOf(m);
        sawNew = sawNew || subject == "From the other reader";
        sawGone = sawGone || subject == goneSubject;
        if (subject == seenSubject) seenRead = m["read"].get<bool>();
    }
    EXPECT_TRUE(sawNew) << "the other client's new message reached the handheld";
    EXPECT_FALSE(sawGone) << goneSubject << " was expunged on the server";
    EXPECT_TRUE(seenRead) << seenSubject << " was read on the server";
}

// Mail the sending command refuses waits in the server's outbox, and the conduit shows it
// there (it opens that store again from the state folder the queue's notices name).
TEST_P(ImapConduitTest, MailThatCannotLeaveIsShownWaitingOnTheServer) {
    std::string registry = m_desktop.read("registry.reg");
    for (std::size_t at; (at = registry.find("bin/capture-sendmail")) != std::string::npos;) {
        registry.replace(at, std::string("bin/capture-sendmail").size(), "bin/refusing-sendmail");
    }
    m_desktop.write("registry.reg", registry);
    m_desktop.write("bin/refusing-sendmail", "#!/bin/sh\necho 'relay refused' >&2\nexit 75\n");
    ASSERT_EQ(::chmod((m_desktop.path() + "/bin/refusing-sendmail").c_str(), 0755), 0);
    ASSERT_EQ(run({"handheld", "compose", "--to", "jonas.weber@example.net", "--subject", "Waits on the server",
                   "--body", "Later.\n"})
                  .status,
              0);
    RunResult synced = run({"sync", "--plugin", plugin(), "--yes"});
    EXPECT_TRUE(listFiles(m_desktop.path() + "/sent-mail").empty());
    auto other = peer();
    other->select("Outbox");
    EXPECT_EQ(other->uids().size(), 1u) << "queued in the server's outbox";
    RunResult queue = run({"queue", "list"});
    EXPECT_TRUE(contains(queue.out, "Waits on the server")) << queue.out << queue.err << synced.out;
}

// A server that is gone ends the sync with a message naming it; nothing is lost on either
// side, and once it is back the next sync carries on.
TEST_P(ImapConduitTest, AServerThatIsGoneEndsTheSyncAndTheNextOneCarriesOn) {
    ASSERT_EQ(run({"handheld", "compose", "--to", "jonas.weber@example.net", "--subject", "Written offline",
                   "--body", "Sent when the server is back.\n"})
                  .status,
              0);
    const std::string server = "127.0.0.1:" + std::to_string(m_imap.server->plainPort());
    m_imap.server->kill();
    RunResult down = run({"sync", "--plugin", plugin(), "--yes"});
    EXPECT_NE(down.status, 0) << down.out << down.err;
    EXPECT_TRUE(contains(down.out + down.err, server)) << "names the server\n" << down.out << down.err;
    EXPECT_TRUE(listFiles(m_desktop.path() + "/sent-mail").empty());

    m_imap.server->restart();
    auto other = peer();
    other->select("INBOX");
    const std::size_t onServer = other->uids().size();
    sync();
    EXPECT_EQ(inbox().size(), onServer);
    EXPECT_EQ(listFiles(m_desktop.path() + "/sent-mail").size(), 1u) << "the handheld's message left once";
    other->select("INBOX");
    EXPECT_EQ(other->uids().size(), onServer);
}

TEST_P(ImapConduitTest, TheDemoRunsOverItsOwnServer) {
    RunResult demo = run({"demo", "--plugin", plugin(), "--imap"});
    ASSERT_EQ(demo.status, 0) << demo.out << demo.err;
    EXPECT_TRUE(contains(demo.out, "mailboxes are on an IMAP server")) << demo.out;
    EXPECT_TRUE(contains(demo.out, "Demo finished")) << demo.out;
}

INSTANTIATE_TEST_SUITE_P(Plugins, ImapConduitTest, ::testing::Values("salvith", "dunmere", "orvek"),
                         [](const ::testing::TestParamInfo<const char*>& param) { return std::string(param.param); });

}  // namespace
}  // namespace conduit
