// The conduit's commands through the Extended MAPI plug-in over a copy of the example desktop,
// which serves Salvith and Dunmere alike: sync, demo and Mail Setup with nothing but the
// plug-in's name changed.
#include <gtest/gtest.h>

#include "desktop/DesktopView.h"
#include "desktop/FileIo.h"
#include "TestDesktop.h"

namespace conduit {
namespace {

using test::RunResult;
using test::TempDesktop;

const char kExchange[] = "Microsoft Exchange 5.0 or higher";

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class DunmereConduitTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!exists(std::string(MAILCONDUIT_MODULE_DIR) + "/dunmere.so")) GTEST_SKIP() << "dunmere.so is not built";
        ASSERT_EQ(copyTree(MAILCONDUIT_EXAMPLE_DESKTOP, m_desktop.path()), 0);
        ASSERT_FALSE(prepareDesktop(m_desktop.path()));
    }
    RunResult run(const std::vector<std::string>& args) { return test::runConduit(args, m_desktop.path()); }

    TempDesktop m_desktop;
};

TEST_F(DunmereConduitTest, SyncBringsTheMailboxAndSendsTheHandheldsMail) {
    ASSERT_EQ(run({"handheld", "compose", "--to", "Mira Castell <mira.castell@example.org>", "--subject", "Stall plan",
                   "--body", "Plan attached on paper.\n"})
                  .status,
              0);
    RunResult first = run({"sync", "--plugin", "dunmere", "--yes"});
    ASSERT_EQ(first.status, 0) << first.out << first.err;
    EXPECT_TRUE(contains(first.out, "Sync with dunmere done")) << first.out;
    EXPECT_TRUE(contains(first.out, "failed     0")) << first.out;
    // The handheld now holds the desktop's inbox.
    RunResult list = run({"handheld", "list"});
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_TRUE(contains(list.out, "Agenda for Tuesday")) << list.out;
    // The handheld's message went to the capturing sendmail.
    EXPECT_FALSE(listFiles(m_desktop.path() + "/sent-mail").empty());
    // A second sync changes nothing.
    RunResult second = run({"sync", "--plugin", "dunmere", "--yes"});
    ASSERT_EQ(second.status, 0) << second.out << second.err;
    EXPECT_TRUE(contains(second.out, "failed     0")) << second.out;
}

TEST_F(DunmereConduitTest, TheDemoRunsThrough) {
    RunResult demo = run({"demo", "--plugin", "dunmere"});
    ASSERT_EQ(demo.status, 0) << demo.out << demo.err;
    EXPECT_TRUE(contains(demo.out, "Sync with dunmere done")) << demo.out;
    EXPECT_TRUE(contains(demo.out, "Demo finished")) << demo.out;
}

TEST_F(DunmereConduitTest, SetupTestsTheProfileAndStoresIt) {
    const std::string config = m_desktop.path() + "/conduit/dunmere.ini";
    m_desktop.write("script.txt", "press Next\npress Finish\n");
    RunResult r = run({"setup", "--plugin", "dunmere", "--config", config, "--host", kExchange, "--script",
                       m_desktop.path() + "/script.txt", "--transcript", m_desktop.path() + "/transcript.txt"});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(contains(r.out, "Settings saved in " + config)) << r.out;
    EXPECT_TRUE(contains(r.out, "Profile:\t\tTeo")) << r.out;
    const std::string ini = m_desktop.read("conduit/dunmere.ini");
    EXPECT_TRUE(contains(ini, std::string("[MapiPlugin ") + kExchange + "]")) << ini;
    EXPECT_TRUE(contains(ini, "UserMAPIProfile=Teo")) << ini;
    const std::string shown = m_desktop.read("transcript.txt");
    EXPECT_TRUE(contains(shown, "dialog 3000")) << shown;
    EXPECT_TRUE(contains(shown, "dialog 3001")) << shown;
}

}  // namespace
}  // namespace conduit
