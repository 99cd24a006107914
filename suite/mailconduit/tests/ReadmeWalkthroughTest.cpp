// The README read by a newcomer: its commands typed, in order, into a plain shell on a
// terminal (tmux), with nothing set up beforehand but the folder the build lives in. The
// commands come from the README itself, so the test follows what it says.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "desktop/FileIo.h"
#include "TestDesktop.h"

namespace conduit {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The indented command lines of the README section that starts with `heading`, up to the next
// heading of the same or a higher level; a line ending in '\' goes on on the next.
std::vector<std::string> commandsOf(const std::string& readme, const std::string& heading) {
    std::vector<std::string> commands;
    size_t start = readme.find("\n" + heading + "\n");
    if (start == std::string::npos) return commands;
    std::istringstream lines(readme.substr(start + heading.size() + 2));
    const std::string level = heading.substr(0, heading.find(' ') + 1);
    bool continued = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("#", 0) == 0 && line.find(' ') <= level.size() - 1) break;
        if (line.rfind("    ", 0) != 0) {
            continued = false;
            continue;
        }
        std::string text = line.substr(4);
        const bool goesOn = !text.empty() && text.back() == '\\';
        if (goesOn) text.pop_back();
        if (continued) {
            commands.back() += " " + text.substr(text.find_first_not_of(' '));
        } else {
            commands.push_back(text);
        }
        continued = goesOn;
    }
    return commands;
}

// A plain shell on a terminal of its own, with a tmux server of its own.
class Terminal {
public:
    Terminal() : m_socket("mailconduit-readme-" + std::to_string(::getpid())) {}
    ~Terminal() { tmux("kill-server 2>/dev/null"); }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    static bool available() { return std::system("tmux -V >/dev/null 2>&1") == 0; }

    /// Starts `bash` without any start-up file in `folder`, with only the usual environment
    /// and `extra`. Every prompt is preceded by a line with the last status.
    bool start(const std::string& folder, const std::string& extra) {
        const std::string config = m_config.path() + "/tmux.conf";
        const std::string shell = m_config.path() + "/shell.sh";
        const char* home = std::getenv("HOME");
        if (replaceFile(config, "set -g history-limit 50000\n") != 0 ||
            replaceFile(shell, "exec env -i HOME=" + quoted(home ? home : "/root") +
                                   " PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"
                                   " TERM=xterm-256color LANG=C.UTF-8 " + extra +
                                   " PROMPT_COMMAND='echo \"@@status=$?\"' PS1='$ ' bash --norc --noprofile\n") != 0) {
            return false;
        }
        if (tmux("-f " + config + " new-session -d -s readme -x 160 -y 50 -c " + quoted(folder) + " 'sh " + shell +
                 "'") != 0) {
            return false;
        }
        for (int waited = 0; waited < 100 && statuses().empty(); ++waited) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return !statuses().empty();
    }

    /// Types `command` and Enter, and waits (up to `seconds`) for the prompt after it; the
    /// status the shell reported, or -1 when it did not come back.
    int type(const std::string& command, int seconds) {
        const size_t before = statuses().size();
        tmux("send-keys -t readme -l " + quoted(command));
        tmux("send-keys -t readme Enter");
        for (int waited = 0; waited < seconds * 10; ++waited) {
            std::vector<int> now = statuses();
            if (now.size() > before) return now.back();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -1;
    }

    /// Everything the terminal showed so far.
    std::string history() const {
        return test::commandOutput("tmux -L " + m_socket + " capture-pane -p -J -S - -E - -t readme");
    }

private:
    static std::string quoted(const std::string& text) {
        std::string out = "'";
        for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    }
    int tmux(const std::string& arguments) const { return std::system(("tmux -L " + m_socket + " " + arguments).c_str()); }
    std::vector<int> statuses() const {
        std::vector<int> found;
        std::istringstream lines(history());
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("@@status=", 0) == 0) found.push_back(std::atoi(line.c_str() + 9));
        }
        return found;
    }

    std::string m_socket;
    test::TempDesktop m_config;
};

TEST(ReadmeWalkthroughTest, TheReadmesCommandsRunAsWritten) {
    if (!Terminal::available()) GTEST_SKIP() << "tmux is not installed";
    std::string readme;
    ASSERT_EQ(readFile(std::string(MAILCONDUIT_SOURCE_ROOT) + "/README.md", readme), 0);

    // The two commands: the demo first (with --keep, as the text says, to go on with it).
    const std::vector<std::string> two = commandsOf(readme, "## Two commands");
    ASSERT_EQ(two.size(), 2u) << "the README names exactly two commands";
    EXPECT_EQ(two[0], "scripts/demo");
    EXPECT_EQ(two[1], "scripts/test");
    EXPECT_TRUE(contains(readme, "`scripts/demo --keep`"));

    Terminal terminal;
    // The build the tests run from is the one the demo uses; nothing else is set up.
    ASSERT_TRUE(terminal.start(MAILCONDUIT_SOURCE_ROOT, std::string("VESK_BUILD_DIR=") + MAILCONDUIT_BUILD_ROOT))
        << terminal.history();
    ASSERT_EQ(terminal.type(two[0] + " --keep", 600), 0) << terminal.history();
    std::string shown = terminal.history();
    EXPECT_TRUE(contains(shown, "Demo finished")) << shown;
    const std::string marker = "The demo desktop is kept in ";
    size_t at = shown.find(marker);
    ASSERT_NE(at, std::string::npos) << shown;
    const std::string home = shown.substr(at + marker.size(), shown.find(". ", at) - at - marker.size());

    // The examples of the manual, in order, with the two places that depend on this machine
    // filled in: the build folder and the desktop the demo kept.
    std::vector<std::string> examples = commandsOf(readme, "### EXAMPLES");
    ASSERT_GE(examples.size(), 8u);
    ASSERT_TRUE(contains(examples[0], "export PATH=\"$PWD/build/bin:$PATH\" VESK_HOME=")) << examples[0];
    examples[0] = std::string("export PATH=\"") + MAILCONDUIT_BUILD_ROOT + "/bin:$PATH\" VESK_HOME=" + home;
    for (const std::string& command : examples) {
        SCOPED_TRACE(command);
        EXPECT_EQ(terminal.type(command, 120), 0) << terminal.history();
    }
    shown = terminal.history();
    EXPECT_FALSE(contains(shown, "command not found")) << shown;
    EXPECT_FALSE(contains(shown, "No such file")) << shown;
    EXPECT_TRUE(contains(shown, "salvith:")) << shown;
    EXPECT_TRUE(contains(shown, "Minutes")) << shown;
    removeTree(home);
}

}  // namespace
}  // namespace conduit
