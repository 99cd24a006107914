// mailconduit with the VIM plug-in on the example desktop: sync, demo and setup run with
// nothing but the plug-in's name changed, over the post office HARBOUR in which Teo's Maildir
// is his mailbox and Mira Castell is a second user.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "desktop/DesktopView.h"
#include "desktop/FileIo.h"
#include "TestDesktop.h"

namespace conduit {
namespace {

using test::RunResult;
using test::TempDesktop;

const char kCcMail[] = "Lotus cc:Mail 6.0 or higher";

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The subjects of the messages in a Maildir's cur/ and new/.
std::vector<std::string> subjects(const std::string& maildir) {
    std::vector<std::string> found;
    for (const std::string& file : listFiles(maildir)) {
        if (file.rfind("cur/", 0) != 0 && file.rfind("new/", 0) != 0) continue;
        std::string bytes;
        readFile(maildir + "/" + file, bytes);
        std::istringstream lines(bytes);
        for (std::string line; std::getline(lines, line) && line != "\r" && !line.empty();) {
            if (line.back() == '\r') line.pop_back();
            if (line.rfind("Subject: ", 0) == 0) found.push_back(line.substr(9));
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The envelope recipients the capturing sendmail was given, one line per message.
std::vector<std::string> captured(const std::string& home) {
    std::vector<std::string> mails;
    for (const std::string& file : listFiles(home + "/sent-mail")) {
        std::string bytes;
        readFile(home + "/sent-mail/" + file, bytes);
        std::istringstream lines(bytes);
        for (std::string line; std::getline(lines, line) && line != "\r" && !line.empty();) {
            if (line.back() == '\r') line.pop_back();
            if (line.rfind("X-Envelope-To: ", 0) == 0) mails.push_back(line.substr(15));
        }
    }
    std::sort(mails.begin(), mails.end());
    return mails;
}

class OrvekConduitTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!exists(std::string(MAILCONDUIT_MODULE_DIR) + "/orvek.so")) GTEST_SKIP() << "orvek.so is not built";
        ASSERT_EQ(copyTree(MAILCONDUIT_EXAMPLE_DESKTOP, m_desktop.path()), 0);
        ASSERT_FALSE(prepareDesktop(m_desktop.path()));
    }
    RunResult run(const std::vector<std::string>& args) { return test::runConduit(args, m_desktop.path()); }
    std::string path(const std::string& relative) const { return m_desktop.path() + "/" + relative; }

    TempDesktop m_desktop;
};

TEST_F(OrvekConduitTest, SyncDeliversToTheOtherLocalUserAndSendsInternetMail) {
    const std::vector<std::string> miraBefore = subjects(path("mail/mira"));
    ASSERT_EQ(run({"handheld", "compose", "--to", "Mira Castell", "--cc", "jonas.weber@example.net", "--subject",
                   "Stall plan", "--body", "Plan attached on paper.\n"})
                  .status,
              0);
    RunResult first = run({"sync", "--plugin", "orvek"});
    ASSERT_EQ(first.status, 0) << first.out << first.err;
    EXPECT_TRUE(contains(first.out, "received   16 new messages (16 in the desktop mailbox)")) << first.out;
    EXPECT_TRUE(contains(first.out, "sent       1")) << first.out;

    // Mira is a user of the same post office: the message is in her mailbox at once.
    std::vector<std::string> miraAfter = subjects(path("mail/mira"));
    ASSERT_EQ(miraAfter.size(), miraBefore.size() + 1);
    EXPECT_NE(std::find(miraAfter.begin(), miraAfter.end(), "Stall plan"), miraAfter.end());
    // Jonas is on the Internet: through the gateway to the sending command.
    EXPECT_EQ(captured(m_desktop.path()), (std::vector<std::string>{"jonas.weber@example.net"}));

    // The handheld's changes reach Teo's Maildir.
    ASSERT_EQ(run({"handheld", "read", "6"}).status, 0);
    ASSERT_EQ(run({"handheld", "delete", "17"}).status, 0);
    RunResult second = run({"sync", "--plugin", "orvek"});
    ASSERT_EQ(second.status, 0) << second.out << second.err;
    EXPECT_TRUE(contains(second.out, "deleted    1")) << second.out;
    EXPECT_TRUE(contains(second.out, "failed     0")) << second.out;
    EXPECT_EQ(subjects(path("mail/teo/.Trash")).size(), 1u) << "deleted mail goes to the trash";
    RunResult third = run({"sync", "--plugin", "orvek"});
    EXPECT_TRUE(contains(third.out, "received   0 new messages (15 in the desktop mailbox)")) << third.out;
}

TEST_F(OrvekConduitTest, TheDemoRunsThrough) {
    RunResult demo = run({"demo", "--plugin", "orvek"});
    EXPECT_EQ(demo.status, 0) << demo.out << demo.err;
    EXPECT_TRUE(contains(demo.out, "Demo finished: messages were received, sent, marked and deleted.")) << demo.out;
}

TEST_F(OrvekConduitTest, SetupRunsTheFourPagesAndStoresTheSettings) {
    m_desktop.write("script.txt",
                    "press Next\npress Next\ntype CCMAIL into 2104\npress Next\npress Finish\n");
    const std::string config = path("conduit/orvek.ini");
    RunResult r = run({"setup", "--plugin", "orvek", "--config", config, "--host", kCcMail, "--script",
                       path("script.txt"), "--transcript", path("transcript.txt")});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(contains(r.out, "Settings saved in " + config)) << r.out;
    EXPECT_TRUE(contains(r.out, "User Name:\t\tteo")) << r.out;
    const std::string ini = m_desktop.read("conduit/orvek.ini");
    EXPECT_TRUE(contains(ini, "InternetGateway=CCMAIL")) << ini;
    EXPECT_TRUE(contains(ini, "PostOfficePath=" + path("postoffice"))) << ini;
    const std::string shown = m_desktop.read("transcript.txt");
    for (const char* dialog : {"dialog 2001", "dialog 2000", "dialog 2002", "dialog 2003"}) {
        EXPECT_TRUE(contains(shown, dialog)) << dialog << "\n" << shown;
    }
    EXPECT_FALSE(contains(shown, "box ")) << "the logon test with the stored password passes: " << shown;
    // The new settings work for a sync.
    RunResult sync = run({"sync", "--plugin", "orvek"});
    EXPECT_EQ(sync.status, 0) << sync.out << sync.err;
}

}  // namespace
}  // namespace conduit
