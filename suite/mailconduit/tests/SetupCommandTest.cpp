// mailconduit setup end to end: the Mail Setup sequence through the Simple MAPI plug-in, run as
// a child process against a temporary desktop, driven by scripts, and once by a person's keys
// on a terminal (tmux).
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "desktop/DesktopView.h"
#include "desktop/FileIo.h"
#include "TestDesktop.h"

namespace conduit {
namespace {

using test::runConduit;
using test::RunResult;
using test::TempDesktop;

const char kEudora[] = "Eudora 3.0.1 or higher";
const char kEudoraInstructions[] =
    "In order to synchronize with Eudora, you must first properly set up MAPI in Eudora.";

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class SetupCommandTest : public ::testing::Test {
protected:
    /// Runs `mailconduit setup` for salvith with the script `actions` (one a line), and
    /// `extra` arguments; the transcript lands in `transcript`.
    RunResult setup(const std::string& actions, std::vector<std::string> extra) {
        m_desktop.write("script.txt", actions);
        std::vector<std::string> args = {"setup",    "--plugin",  "salvith", "--config",  config(),
                                         "--script", script(),    "--transcript", transcriptPath()};
        args.insert(args.end(), extra.begin(), extra.end());
        return runConduit(args, m_desktop.path());
    }
    std::string config() const { return m_desktop.path() + "/conduit/salvith.ini"; }
    std::string script() const { return m_desktop.path() + "/script.txt"; }
    std::string transcriptPath() const { return m_desktop.path() + "/transcript.txt"; }
    std::string transcript() const { return m_desktop.read("transcript.txt"); }

    TempDesktop m_desktop;
};

TEST_F(SetupCommandTest, FinishStoresTheSettingsAndDescribesThem) {
    RunResult r = setup("press Finish\n", {"--host", kEudora});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "Settings saved in " + config())) << r.out;
    EXPECT_TRUE(contains(r.out, std::string("Mail System:\t") + kEudora)) << r.out;
    const std::string ini = m_desktop.read("conduit/salvith.ini");
    EXPECT_TRUE(contains(ini, std::string("MsgHostName=") + kEudora)) << ini;
    EXPECT_TRUE(contains(ini, std::string("[SmapiPlugin ") + kEudora + "]")) << ini;
    // The transcript shows the Eudora page as the plug-in's language library words it.
    const std::string shown = transcript();
    EXPECT_TRUE(contains(shown, "page \"Mail Setup\" dialog 5001")) << shown;
    EXPECT_TRUE(contains(shown, kEudoraInstructions)) << shown;
    EXPECT_TRUE(contains(shown, "Finish \"Finish\" default")) << shown;
}

TEST_F(SetupCommandTest, AStoredAccountSurvivesSetupForTheSameMailSystem) {
    m_desktop.write("conduit/salvith.ini", std::string("[SmapiPlugin]\nMsgHostName=Microsoft Outlook Express\n") +
                                               "[SmapiPlugin " + kEudora + "]\nUserAccount=anna\nUserData=\n");
    RunResult r = setup("press Finish\n", {"--host", kEudora});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string ini = m_desktop.read("conduit/salvith.ini");
    EXPECT_TRUE(contains(ini, std::string("MsgHostName=") + kEudora)) << ini;
    EXPECT_TRUE(contains(ini, "UserAccount=anna")) << ini;
}

TEST_F(SetupCommandTest, CancelAndBackStoreNothing) {
    const std::string before = std::string("[SmapiPlugin]\nMsgHostName=Microsoft Outlook Express\n");
    struct Row {
        const char* name;
        const char* script;
        std::vector<std::string> extra;
        const char* says;
    } rows[] = {
        {"cancel", "press Cancel\n", {}, "Mail Setup was cancelled; nothing was saved"},
        {"cancel inside Mail Setup", "press Cancel\nanswer Yes\n", {"--in-mail-setup"},
         "Mail Setup was cancelled; nothing was saved"},
        {"back", "press Back\n", {}, "went back out of the wizard; nothing was saved"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_desktop.write("conduit/salvith.ini", before);
        std::vector<std::string> extra = {"--host", kEudora};
        extra.insert(extra.end(), row.extra.begin(), row.extra.end());
        RunResult r = setup(row.script, extra);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_TRUE(contains(r.err, row.says)) << r.err;
        EXPECT_EQ(m_desktop.read("conduit/salvith.ini"), before);
        // What the file still holds is described.
        EXPECT_TRUE(contains(r.out, "Mail System:\tMicrosoft Outlook Express")) << r.out;
    }
}

TEST_F(SetupCommandTest, InsideMailSetupTheLastButtonReadsNextAndNoKeepsTheWizard) {
    RunResult r = setup("press Cancel\nanswer No\npress Finish\n", {"--host", "Microsoft Outlook Express",
                                                                      "--in-mail-setup"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string shown = transcript();
    EXPECT_TRUE(contains(shown, "page \"Mail Setup\" dialog 5002")) << shown;
    EXPECT_TRUE(contains(shown, "Finish \"&Next >\" default")) << shown;
    EXPECT_TRUE(contains(shown, "Are you sure that you want to cancel Mail Setup?\" -> No")) << shown;
    EXPECT_TRUE(contains(m_desktop.read("conduit/salvith.ini"), "MsgHostName=Microsoft Outlook Express"));
}

TEST_F(SetupCommandTest, CannotRunWithoutAMailSystemOrAUsableScript) {
    m_desktop.write("bad-script.txt", "press Finish\nwave hands\n");
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string says;
    } rows[] = {
        {"unknown host",
         {"setup", "--plugin", "salvith", "--host", "Pegasus Mail"},
         "no mail system \"Pegasus Mail\"; salvith serves:\n  Eudora 3.0.1 or higher\n  Microsoft Outlook Express\n"
         "  Netscape Communicator 4.5 or higher"},
        {"no terminal to choose on", {"setup", "--plugin", "salvith"}, "no terminal to choose a mail system on"},
        {"transcript without script",
         {"setup", "--plugin", "salvith", "--host", kEudora, "--transcript", "t.txt"},
         "--transcript goes with --script"},
        {"unreadable script",
         {"setup", "--plugin", "salvith", "--host", kEudora, "--script", m_desktop.path() + "/none.txt"},
         "the script " + m_desktop.path() + "/none.txt"},
        {"script that is no script",
         {"setup", "--plugin", "salvith", "--host", kEudora, "--script", m_desktop.path() + "/bad-script.txt"},
         "line 2"},
        {"no plug-in", {"setup", "--host", kEudora}, "--plugin is required"},
        {"plug-in missing", {"setup", "--plugin", "nosuchhost", "--host", kEudora}, "no plug-in named nosuchhost"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RunResult r = runConduit(row.args, m_desktop.path());
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(contains(r.err, row.says)) << r.err;
        EXPECT_FALSE(exists(config()));
    }
}

// A terminal for the person-level test: a tmux server of its own, removed with the test.
class Tmux {
public:
    Tmux() : m_socket("mailconduit-setup-" + std::to_string(::getpid())) {}
    ~Tmux() { run("kill-server 2>/dev/null"); }
    Tmux(const Tmux&) = delete;
    Tmux& operator=(const Tmux&) = delete;

    static bool available() { return std::system("tmux -V >/dev/null 2>&1") == 0; }

    int run(const std::string& command) const { return std::system(("tmux -L " + m_socket + " " + command).c_str()); }
    void keys(const std::string& keys) const { run("send-keys -t setup " + keys); }
    std::string screen() const { return test::commandOutput("tmux -L " + m_socket + " capture-pane -p -t setup"); }
    /// Waits until the screen shows `text` (the program runs on its own clock); the screen.
    std::string waitFor(const std::string& text) const {
        std::string now;
        for (int attempt = 0; attempt < 200; ++attempt) {
            now = screen();
            if (contains(now, text)) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return now;
    }
    /// Waits until the screen no longer shows `text`; the screen.
    std::string waitUntilGone(const std::string& text) const {
        std::string now = screen();
        for (int attempt = 0; attempt < 100 && contains(now, text); ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            now = screen();
        }
        return now;
    }

private:
    std::string m_socket;
};

TEST_F(SetupCommandTest, APersonSetsUpEudoraOnTheTerminal) {
    if (!Tmux::available()) GTEST_SKIP() << "tmux is not installed";
    Tmux tmux;
    const std::string command = std::string("env VESK_HOME=") + m_desktop.path() +
                                " VESK_LIBRARY_PATH=" + MAILCONDUIT_MODULE_DIR + " " + MAILCONDUIT_BINARY +
                                " setup --plugin salvith --in-mail-setup; echo EXIT=$?; sleep 60";
    ASSERT_EQ(tmux.run("new-session -d -s setup -x 100 -y 40 '" + command + "'"), 0);

    std::string screen = tmux.waitFor("Choose a mail system [1-3]:");
    ASSERT_TRUE(contains(screen, "1. Eudora 3.0.1 or higher")) << screen;
    ASSERT_TRUE(contains(screen, "2. Microsoft Outlook Express")) << screen;
    tmux.keys("1 Enter");

    screen = tmux.waitFor("Setup Instructions:");
    EXPECT_TRUE(contains(screen, "Mail System:       Eudora 3.0.1 or higher")) << screen;
    EXPECT_TRUE(contains(screen, "In order to synchronize with Eudora, you must first properly set up MAPI in")) << screen;
    EXPECT_TRUE(contains(screen, "\"Always\" as the MAPI setting.")) << screen;
    EXPECT_TRUE(contains(screen, "[ < Back ]  [ Next > ]  [ Cancel ]  [ Help ]")) << screen;

    // Esc asks first inside Mail Setup; No keeps the page.
    tmux.keys("Escape");
    screen = tmux.waitFor("Are you sure that you want to cancel Mail Setup?");
    EXPECT_TRUE(contains(screen, "[ Yes ]  [ No ]")) << screen;
    tmux.keys("n");
    tmux.waitFor("Tab/Shift-Tab: move");
    screen = tmux.waitUntilGone("Are you sure");
    EXPECT_FALSE(contains(screen, "Are you sure")) << screen;

    // F1 shows the help file beside the plug-ins; Esc closes it and the page is back.
    tmux.keys("F1");
    screen = tmux.waitFor("Esc or Enter: close");
    EXPECT_TRUE(contains(screen, " Help ")) << screen;
    EXPECT_TRUE(contains(screen, "Mail Setup connects the mail conduit")) << screen;
    tmux.keys("Escape");
    tmux.waitFor("Tab/Shift-Tab: move");
    screen = tmux.waitUntilGone("Esc or Enter: close");
    EXPECT_FALSE(contains(screen, "Esc or Enter: close")) << screen;

    // The focus starts on "Next >" (the page has no fields): Enter goes through.
    tmux.keys("Enter");
    screen = tmux.waitFor("EXIT=");
    EXPECT_TRUE(contains(screen, "Mail Setup finished. Settings saved in " + config())) << screen;
    EXPECT_TRUE(contains(screen, "EXIT=0")) << screen;
    const std::string ini = m_desktop.read("conduit/salvith.ini");
    EXPECT_TRUE(contains(ini, "MsgHostName=Eudora 3.0.1 or higher")) << ini;
}

// The VIM plug-in's post office page on the terminal: Browse opens the directory chooser where
// the typed path points, and the folder chosen with the keys lands in the path field.
TEST_F(SetupCommandTest, APersonBrowsesForThePostOfficeOnTheTerminal) {
    if (!Tmux::available()) GTEST_SKIP() << "tmux is not installed";
    if (!exists(std::string(MAILCONDUIT_MODULE_DIR) + "/orvek.so")) GTEST_SKIP() << "orvek.so is not built";
    ASSERT_EQ(copyTree(MAILCONDUIT_EXAMPLE_DESKTOP, m_desktop.path()), 0);
    ASSERT_FALSE(prepareDesktop(m_desktop.path()));
    Tmux tmux;
    const std::string command = std::string("env VESK_HOME=") + m_desktop.path() +
                                " VESK_LIBRARY_PATH=" + MAILCONDUIT_MODULE_DIR + " " + MAILCONDUIT_BINARY +
                                " setup --plugin orvek --host \"Lotus cc:Mail 6.0 or higher\"; echo EXIT=$?; sleep 60";
    ASSERT_EQ(tmux.run("new-session -d -s setup -x 100 -y 40 '" + command + "'"), 0);

    std::string screen = tmux.waitFor("User Name:");
    EXPECT_TRUE(contains(screen, "[teo")) << screen;
    tmux.keys("Enter");  // Next, with the stored user and password
    screen = tmux.waitFor("Post Office Path:");
    EXPECT_TRUE(contains(screen, "[" + m_desktop.path() + "/postoffice")) << screen;

    tmux.keys("Tab");  // to Browse...
    tmux.keys("Enter");
    screen = tmux.waitFor("Choose Directory");
    EXPECT_TRUE(contains(screen, m_desktop.path() + "/postoffice")) << "the chooser starts at the typed path: " << screen;
    tmux.keys("Enter");  // "../": the desktop folder
    screen = tmux.waitFor("mail/");
    tmux.keys("m");      // the "mail" folder ...
    tmux.keys("Enter");  // ... opened
    tmux.waitFor(m_desktop.path() + "/mail ");
    tmux.keys("Tab");    // to OK
    tmux.keys("Enter");
    screen = tmux.waitFor("[" + m_desktop.path() + "/mail_");
    EXPECT_TRUE(contains(screen, "[" + m_desktop.path() + "/mail_")) << screen;
    EXPECT_FALSE(contains(screen, "Choose Directory")) << screen;
    tmux.keys("Escape");
    screen = tmux.waitFor("EXIT=");
    EXPECT_TRUE(contains(screen, "EXIT=")) << screen;
}

}  // namespace
}  // namespace conduit
