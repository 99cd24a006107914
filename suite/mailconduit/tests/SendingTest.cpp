// Mail leaves once, or visibly not at all: real syncs through the Simple MAPI plug-in with
// sending commands that take mail, refuse it, are missing, never end, or are cut off by a
// SIGKILL of the sync; what the summary, `info` and `queue` say about each.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "desktop/DesktopView.h"
#include "desktop/FileIo.h"
#include "TestDesktop.h"

namespace conduit {
namespace {

// True when some line of `text` (without its line end) satisfies `test`. (Plain string work:
// std::regex trips a false maybe-uninitialized warning of GCC 12 under the sanitizers.)
template <class Test>
bool anyLine(const std::string& text, Test test) {
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        if (test(text.substr(from, end - from))) return true;
        from = end + 1;
    }
    return false;
}

using test::RunResult;
using test::TempDesktop;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string slurpOrEmpty(const std::string& path) {
    std::string bytes;
    readFile(path, bytes);
    return bytes;
}

class SendingTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!exists(std::string(MAILCONDUIT_MODULE_DIR) + "/salvith.so")) GTEST_SKIP() << "salvith.so is not built";
        fresh();
    }
    /// A new copy of the example desktop.
    void fresh() {
        m_desktop.reset();
        m_desktop.emplace();
        ASSERT_EQ(copyTree(MAILCONDUIT_EXAMPLE_DESKTOP, home()), 0);
        ASSERT_FALSE(prepareDesktop(home()));
    }
    const std::string& home() const { return m_desktop->path(); }

    /// Makes `body` an executable script in the desktop's bin folder; returns its path.
    std::string script(const std::string& name, const std::string& body) {
        std::string path = home() + "/bin/" + name;
        EXPECT_EQ(replaceFile(path, "#!/bin/sh\n" + body), 0);
        ::chmod(path.c_str(), 0700);
        return path;
    }
    /// Points the account's SendCommand at `command` (empty: none), with a time limit.
    void useCommand(const std::string& command, int timeout = 0) {
        std::string registry = slurpOrEmpty(home() + "/registry.reg");
        std::string line = command.empty() ? "" : "\"SendCommand\"=\"" + command + "\"\n";
        if (timeout > 0) line += "\"SendTimeout\"=dword:" + std::string(8 - std::to_string(timeout).size(), '0') + std::to_string(timeout) + "\n";
        // Every "SendCommand"="..." line gives way to `line`.
        for (std::size_t at = 0; (at = registry.find("\"SendCommand\"=\"", at)) != std::string::npos;) {
            std::size_t end = registry.find('\n', at);
            end = end == std::string::npos ? registry.size() : end + 1;
            registry.replace(at, end - at, line);
            at += line.size();
        }
        ASSERT_EQ(replaceFile(home() + "/registry.reg", registry), 0);
    }
    RunResult run(const std::vector<std::string>& args) { return test::runConduit(args, home()); }
    void compose(const std::string& subject) {
        ASSERT_EQ(run({"handheld", "compose", "--to", "mira.castell@example.org", "--subject", subject, "--body", "x\n"}).status, 0);
    }
    RunResult sync() { return run({"sync", "--plugin", "salvith"}); }

    std::optional<TempDesktop> m_desktop;
};

TEST_F(SendingTest, TheSummarySaysWhatLeftAndWhatWasOnlyQueued) {
    struct Row {
        const char* what;
        std::string body;  // the sending command's script; empty: no command configured
        const char* missing;
        int timeout;
        int status;
        std::string sentLine;
    } rows[] = {
        {"accepted", "cat > /dev/null\n", nullptr, 0, 0, "  sent       1\n"},
        {"refused", "cat > /dev/null\necho '554 5.7.1 relay refused' >&2\nexit 75\n", nullptr, 0, 1,
         "  sent       0, queued 1 (the sending command failed: exit status 75: 554 5.7.1 relay refused; it is "
         "tried again at the next sync)\n"},
        {"missing", "", "/nonexistent/sendmail", 0, 1,
         "  sent       0, queued 1 (the sending command could not be run: /nonexistent/sendmail: No such file or "
         "directory; it is tried again at the next sync)\n"},
        {"never ends", "cat > /dev/null\nsleep 300\n", nullptr, 1, 1,
         "  sent       0, queued 1 (the sending command did not finish: timed out after 1 s, and was stopped; it is "
         "tried again at the next sync)\n"},
        {"not configured", "", nullptr, 0, 1,
         "  sent       0, queued 1 (no sending command configured; it is tried again at the next sync)\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fresh();
        if (row.missing) useCommand(row.missing);
        else useCommand(row.body.empty() ? "" : script("send", row.body), row.timeout);
        compose("Row " + std::string(row.what));
        auto start = std::chrono::steady_clock::now();
        RunResult r = sync();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
        EXPECT_EQ(r.status, row.status) << r.out << r.err;
        EXPECT_TRUE(contains(r.out, row.sentLine)) << r.out;
        RunResult info = run({"info", "--plugin", "salvith"});
        RunResult list = run({"queue", "list"});
        if (row.status == 0) {
            EXPECT_TRUE(contains(info.out, "(nothing waits in the desktop's outboxes)")) << info.out;
            EXPECT_EQ(list.status, 0);
        } else {
            EXPECT_TRUE(contains(info.out, "queued  ")) << info.out;
            EXPECT_TRUE(contains(info.out, "\"Row " + std::string(row.what) + "\" to mira.castell@example.org")) << info.out;
            EXPECT_EQ(list.status, 1);
        }
    }
}

TEST_F(SendingTest, TheProgressLineSaysWhatTheSyncWaitsFor) {
    useCommand(script("slow", "cat > /dev/null\nsleep 300\n"), 3);
    compose("Slow");
    RunResult r = sync();
    EXPECT_TRUE(contains(r.err, "mailconduit: Sending: 1 of 1: waiting for the sending command: 2 s\n")) << r.err;
}

// One sync run as its own process, so that it can be killed.
pid_t startSync(const std::string& home) {
    pid_t pid = ::fork();
    if (pid == 0) {
        int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::setenv("VESK_HOME", home.c_str(), 1);
        ::setenv("VESK_LIBRARY_PATH", MAILCONDUIT_MODULE_DIR, 1);
        ::execl(MAILCONDUIT_BINARY, MAILCONDUIT_BINARY, "sync", "--plugin", "salvith", "--quiet", (char*)nullptr);
        ::_exit(127);
    }
    return pid;
}

TEST_F(SendingTest, SyncsKilledAtRandomMomentsNeverSendAMessageTwice) {
    std::string deliveries = home() + "/deliveries";
    // About 0.4 s a message; the delivery is recorded halfway, so a kill lands before or after it.
    useCommand(script("slow", "m=$(cat)\nsleep 0.2\nprintf '%s\\n' \"$m\" | sed -n 's/^Subject: //p' | tr -d '\\r' >> '" +
                                  deliveries + "'\nsleep 0.2\n"));
    std::mt19937 random(2026);
    std::uniform_int_distribution<int> pause(100, 1600);
    int composed = 0;
    for (int round = 0; round < 10; ++round) {
        for (int k = 0; k < 2; ++k) compose("K" + std::to_string(composed++));
        pid_t child = startSync(home());
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // Syncs that are not killed carry out whatever is not held.
    for (int i = 0; i < 2; ++i) sync();

    std::map<std::string, int> delivered;
    std::istringstream lines(slurpOrEmpty(deliveries));
    for (std::string line; std::getline(lines, line);) ++delivered[line];
    std::string handheld = run({"handheld", "list", "--folder", "outbox"}).out;
    std::string desktop = run({"queue", "list"}).out;
    int held = 0;
    for (int i = 0; i < composed; ++i) {
        std::string subject = "K" + std::to_string(i);
        SCOPED_TRACE(subject);
        EXPECT_LE(delivered[subject], 1);
        // Held on the handheld ('?' in its outbox) or in the desktop's outbox.
        bool heldHere = anyLine(handheld, [&](const std::string& l) {
                            return l.find('?') != std::string::npos && l.size() >= subject.size() &&
                                   l.compare(l.size() - subject.size(), subject.size(), subject) == 0 &&
                                   l.find('?') < l.size() - subject.size();
                        }) ||
                        anyLine(desktop, [&](const std::string& l) {
                            std::size_t h = l.find("held ");
                            return h != std::string::npos && l.find("\"" + subject + "\"", h) != std::string::npos;
                        });
        held += heldHere ? 1 : 0;
        EXPECT_TRUE(delivered[subject] == 1 || heldHere) << handheld << desktop;
    }
    EXPECT_GT(held, 0) << "no kill landed while a message was being handed over";
}

}  // namespace
}  // namespace conduit
