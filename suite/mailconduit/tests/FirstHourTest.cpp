// The first hour with mailconduit, as a person meets it: what each command prints and the
// status it exits with, over a copy of the example desktop and the Simple MAPI plug-in.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>

#include "commands/Commands.h"
#include "desktop/DesktopView.h"
#include "desktop/FileIo.h"
#include "display/Progress.h"
#include "TestDesktop.h"

namespace conduit {
namespace {

using test::RunResult;
using test::TempDesktop;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class FirstHourTest : public ::testing::Test {
public:
    void SetUp() override {
        if (!exists(std::string(MAILCONDUIT_MODULE_DIR) + "/salvith.so")) GTEST_SKIP() << "salvith.so is not built";
        ASSERT_EQ(copyTree(MAILCONDUIT_EXAMPLE_DESKTOP, m_desktop.path()), 0);
        ASSERT_FALSE(prepareDesktop(m_desktop.path()));
    }
    RunResult run(const std::vector<std::string>& args, const std::string& input = "",
                  const std::vector<std::string>& env = {}) {
        return test::runConduit(args, m_desktop.path(), env, input);
    }
    RunResult sync(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"sync", "--plugin", "salvith"};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    }
    std::string path(const std::string& relative) const { return m_desktop.path() + "/" + relative; }
    nlohmann::json handheld() const { return nlohmann::json::parse(test::handheldJson(m_desktop.path())); }
    // Replaces every `from` in the registry file with `to`.
    void editRegistry(const std::string& from, const std::string& to) const {
        std::string text = m_desktop.read("registry.reg");
        ASSERT_TRUE(contains(text, from));
        for (size_t at; (at = text.find(from)) != std::string::npos;) text.replace(at, from.size(), to);
        m_desktop.write("registry.reg", text);
    }

    TempDesktop m_desktop;
};

// 1. A setup whose settings cannot be written says what failed and where, and saves nothing.
TEST_F(FirstHourTest, SetupThatCannotWriteItsSettingsSaysSo) {
    ::mkdir(path("a-folder").c_str(), 0755);
    m_desktop.write("finish.txt", "press Finish\n");
    RunResult folder = run({"setup", "--plugin", "salvith", "--host", "Eudora 3.0.1 or higher", "--config",
                            path("a-folder"), "--script", path("finish.txt")});
    EXPECT_EQ(folder.status, 1);
    EXPECT_TRUE(contains(folder.err, path("a-folder") + " is a folder")) << folder.err;
    EXPECT_TRUE(contains(folder.err, "nothing was saved")) << folder.err;
    EXPECT_FALSE(contains(folder.out, "Settings saved")) << folder.out;
}

TEST_F(FirstHourTest, SetupInAFolderItCannotWriteSaysSo) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder; the read-only case needs another user";
    m_desktop.write("finish.txt", "press Finish\n");
    const std::string before = m_desktop.read("conduit/salvith.ini");
    ASSERT_EQ(::chmod(path("conduit").c_str(), 0555), 0);
    RunResult readOnly = run({"setup", "--plugin", "salvith", "--host", "Netscape Communicator", "--script",
                              path("finish.txt")});
    ::chmod(path("conduit").c_str(), 0755);
    EXPECT_EQ(readOnly.status, 1);
    EXPECT_TRUE(contains(readOnly.err, "the folder " + path("conduit") + " cannot be written to")) << readOnly.err;
    EXPECT_FALSE(contains(readOnly.out, "Settings saved")) << readOnly.out;
    EXPECT_EQ(m_desktop.read("conduit/salvith.ini"), before);
}

// 2. Whatever mail system Mail Setup was run for, the next sync logs on and reads the mailbox.
TEST_F(FirstHourTest, SetupThenSyncWorksForEveryMailSystem) {
    RunResult hosts = run({"hosts", "--plugin", "salvith"});
    ASSERT_EQ(hosts.status, 0) << hosts.err;
    std::vector<std::string> names;
    std::istringstream lines(hosts.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("  ", 0) == 0) names.push_back(line.substr(2));
    }
    ASSERT_GE(names.size(), 3u) << hosts.out;
    m_desktop.write("finish.txt", "press Finish\n");
    for (const std::string& host : names) {
        SCOPED_TRACE(host);
        removeTree(path("conduit"));
        RunResult setup = run({"setup", "--plugin", "salvith", "--host", host, "--script", path("finish.txt")});
        ASSERT_EQ(setup.status, 0) << setup.err;
        EXPECT_TRUE(contains(setup.out, "Mail Setup finished. Settings saved")) << setup.out;
        RunResult synced = sync();
        EXPECT_EQ(synced.status, 0) << synced.err;
        EXPECT_TRUE(contains(synced.out, "received   16 new messages")) << synced.out << synced.err;
    }
}

// 3. Each fault on the desktop side gets its own reason, naming the file, folder or account,
// and the log it was found in.
TEST_F(FirstHourTest, EachDesktopFaultIsNamed) {
    struct Row {
        const char* what;
        std::function<void(FirstHourTest&)> spoil;
        std::vector<std::string> says;  // parts of the error, with <home> for the desktop
    };
    const std::vector<Row> rows = {
        {"no registry file", [](FirstHourTest& t) { ::unlink(t.path("registry.reg").c_str()); },
         {"<home>/registry.reg does not exist"}},
        {"an empty registry file", [](FirstHourTest& t) { t.m_desktop.write("registry.reg", "\n"); },
         {"<home>/registry.reg is empty"}},
        {"a registry file of another format",
         [](FirstHourTest& t) { t.m_desktop.write("registry.reg", "Windows Registry Editor Version 5.00\n"); },
         {"does not start with the line REGEDIT4"}},
        {"a garbled registry file",
         [](FirstHourTest& t) { t.m_desktop.write("registry.reg", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\n\x01\x02\n"); },
         {"2 lines that cannot be read (the first is line 2)", "no account teo"}},
        {"no such account",
         [](FirstHourTest& t) { t.editRegistry("Accounts\\teo]", "Accounts\\theo]"); },
         {"no account teo", "Accounts\\teo"}},
        {"a wrong password", [](FirstHourTest& t) { t.editRegistry("harbour7", "lighthouse9"); },
         {"the password given for account teo is not the one in <home>/registry.reg"}},
        {"no Maildir", [](FirstHourTest& t) { removeTree(t.path("mail/teo")); },
         {"the Maildir <home>/mail/teo does not exist", "account teo"}},
        {"a Maildir without tmp/", [](FirstHourTest& t) { removeTree(t.path("mail/teo/tmp")); },
         {"the Maildir <home>/mail/teo has no tmp/ folder", "account teo"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        removeTree(m_desktop.path());
        SetUp();
        row.spoil(*this);
        RunResult r = sync();
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(contains(r.err, "the logon was refused")) << r.err;
        EXPECT_TRUE(contains(r.err, "logged in " + path("vesk-mail.log"))) << r.err;
        for (std::string part : row.says) {
            for (size_t at; (at = part.find("<home>")) != std::string::npos;) part.replace(at, 6, m_desktop.path());
            EXPECT_TRUE(contains(r.err, part)) << r.err << "\nlacks: " << part;
        }
    }
}

// 4. Changes the plug-in accepts but the mail program does not keep are reported as not kept,
// and the handheld shows the desktop's state again at once.
TEST_F(FirstHourTest, ChangesTheDesktopDoesNotKeepAreNotCountedAsMade) {
    ASSERT_EQ(sync().status, 0);
    std::uint64_t readOne = 0, unreadOne = 0, other = 0;
    const nlohmann::json first = handheld();
    for (const nlohmann::json& m : first["inbox"]) {
        std::uint64_t id = m["id"].get<std::uint64_t>();
        if (m["read"].get<bool>() && !readOne) readOne = id;
        else if (!m["read"].get<bool>() && !unreadOne) unreadOne = id;
        else if (!other) other = id;
    }
    ASSERT_TRUE(readOne && unreadOne && other) << handheld().dump(1);
    ASSERT_EQ(run({"handheld", "read", std::to_string(readOne), "--unread"}).status, 0);
    ASSERT_EQ(run({"handheld", "read", std::to_string(unreadOne)}).status, 0);
    ASSERT_EQ(run({"handheld", "priority", std::to_string(other), "high"}).status, 0);

    RunResult r = sync();
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(contains(r.out, "  marked     1 (1 read, 0 unread, 0 priority)\n")) << r.out;
    EXPECT_TRUE(contains(r.out, "  not kept   2 (the desktop keeps its own state, and the handheld took it back)"))
        << r.out;
    EXPECT_TRUE(contains(r.out, "#" + std::to_string(other) + ", priority: not kept by Simple MAPI mail programs"))
        << r.out;
    EXPECT_TRUE(contains(r.out, "#" + std::to_string(readOne) + ", unread: not kept by Simple MAPI mail programs"))
        << r.out;
    const nlohmann::json after = handheld();
    for (const nlohmann::json& m : after["inbox"]) {
        std::uint64_t id = m["id"].get<std::uint64_t>();
        if (id == readOne) {
            EXPECT_TRUE(m["read"].get<bool>()) << "the desktop's read state";
        }
        if (id == other) {
            EXPECT_EQ(m["priority"].get<int>(), 1) << "the desktop's priority";
        }
    }
    RunResult again = sync();
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(contains(again.out, "  marked     0\n")) << again.out;
    EXPECT_FALSE(contains(again.out, "not kept")) << again.out;
}

// 5. F1 / Help in the line presenter shows the help file the build puts beside the plug-ins.
TEST_F(FirstHourTest, HelpShowsTheHelpFile) {
    ASSERT_TRUE(exists(std::string(MAILCONDUIT_MODULE_DIR) + "/Helvor.hlp"));
    RunResult r = run({"setup", "--plugin", "salvith", "--host", "Eudora 3.0.1 or higher"}, "Help\nCancel\n");
    EXPECT_EQ(r.status, 1);
    const std::string shown = r.out + r.err;
    EXPECT_TRUE(contains(shown, "-- Help: ")) << shown;
    EXPECT_TRUE(contains(shown, "Helvor.hlp")) << shown;
    EXPECT_TRUE(contains(shown, "-- end of help --")) << shown;
}

// 6. A script that does not fit the wizard stops with its line number on standard error.
TEST_F(FirstHourTest, ScriptErrorsAreShownWithTheirLine) {
    const std::string before = m_desktop.read("conduit/salvith.ini");
    m_desktop.write("bad.txt", "# finish the only page\npress Bogus\npress Finish\n");
    RunResult bad = run({"setup", "--plugin", "salvith", "--host", "Eudora 3.0.1 or higher", "--script",
                         path("bad.txt"), "--transcript", path("t.txt")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(contains(bad.err, "the script " + path("bad.txt") + ", line 2: press Bogus: no such button")) << bad.err;
    EXPECT_TRUE(contains(m_desktop.read("t.txt"), "the script stopped there; 1 action after it was not played")) << m_desktop.read("t.txt");
    EXPECT_EQ(m_desktop.read("conduit/salvith.ini"), before);

    m_desktop.write("finish.txt", "press Finish\n");
    RunResult noTranscript = run({"setup", "--plugin", "salvith", "--host", "Eudora 3.0.1 or higher", "--script",
                                  path("finish.txt"), "--transcript", path("missing-folder/t.txt")});
    EXPECT_EQ(noTranscript.status, 2);
    EXPECT_TRUE(contains(noTranscript.err, "the transcript " + path("missing-folder/t.txt") + " cannot be written"))
        << noTranscript.err;
}

// 7. While a sync runs, the handheld is shown as the last sync left it, not as interrupted.
TEST_F(FirstHourTest, ListDuringARunningSyncSaysSo) {
    ASSERT_EQ(sync().status, 0);
    ASSERT_EQ(run({"handheld", "compose", "--to", "mira.castell@example.org", "--subject", "On its way", "--body",
                   "x\n"}).status,
              0);
    // A sync stopped inside SendMsg leaves its journal, as a running one has.
    ASSERT_EQ(test::runConduit({"sync", "--plugin", "salvith"}, m_desktop.path(), {"MAILCONDUIT_FAULT=SendMsg#1"}).status,
              97);
    RunResult interrupted = run({"handheld", "list"});
    EXPECT_TRUE(contains(interrupted.out, "retry") || contains(interrupted.out, "?")) << interrupted.out;

    int fd = ::open(path("conduit").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    RunResult running = run({"handheld", "list"});
    RunResult change = run({"handheld", "read", "3"});
    ::close(fd);
    EXPECT_EQ(running.status, 0);
    EXPECT_TRUE(contains(running.err, "a sync is running")) << running.err;
    EXPECT_FALSE(contains(running.err + running.out, "interrupted")) << running.err << running.out;
    EXPECT_FALSE(contains(running.out, "retry")) << running.out;
    EXPECT_TRUE(contains(running.out, "On its way")) << running.out;
    EXPECT_EQ(change.status, 2);
    EXPECT_TRUE(contains(change.err, "a sync is running; try again when it ends")) << change.err;
}

// 8. The commands the demo shows run in a plain shell as shown (quoting included).
TEST_F(FirstHourTest, DemoCommandsAreValidShell) {
    TempDesktop scratch;
    RunResult demo = test::runConduit({"demo"}, scratch.path(), {});
    ASSERT_EQ(demo.status, 0) << demo.err;
    EXPECT_TRUE(contains(demo.out, "export PATH=")) << demo.out;
    std::string script = "set -e\n";
    std::istringstream lines(demo.out);
    int commands = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("$ mailconduit ", 0) != 0) continue;
        ++commands;
        // Multi-line bodies continue the command until its quote closes.
        std::string command = line.substr(14);
        // A quote written '\'' inside a quoted word leaves the word open; the rest pair up.
        auto open = [](std::string text) {
            for (size_t at; (at = text.find("'\\''")) != std::string::npos;) text.erase(at, 4);
            return std::count(text.begin(), text.end(), '\'') % 2 == 1;
        };
        while (open(command) && std::getline(lines, line)) command += "\n" + line;
        script += "printf '[%s]' " + command + "; echo\n";
    }
    EXPECT_GE(commands, 8);
    m_desktop.write("commands.sh", script);
    const std::string words = test::commandOutput("bash " + path("commands.sh") + " 2>&1; echo status=$?");
    EXPECT_TRUE(contains(words, "[--subject][Minutes of Tuesday's meeting]")) << words;
    EXPECT_TRUE(contains(words, "[--to][Mira Castell <mira.castell@example.org>]")) << words;
    EXPECT_TRUE(contains(words, "status=0")) << words;
    EXPECT_EQ(shellQuoted("it's"), "'it'\\''s'");
    EXPECT_EQ(shellQuoted("plain-word_1.ini"), "plain-word_1.ini");
    EXPECT_EQ(shellQuoted(""), "''");
}

// 9. Progress names the step and the count; the sync manager's turns only with --verbose.
TEST_F(FirstHourTest, ProgressSpeaksOfStepsNotInternals) {
    ASSERT_EQ(run({"handheld", "compose", "--to", "mira.castell@example.org", "--body", "x\n"}).status, 0);
    RunResult plain = sync();
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_TRUE(contains(plain.err, "mailconduit: Logging on\n")) << plain.err;
    EXPECT_TRUE(contains(plain.err, "mailconduit: Reading the mailbox\n")) << plain.err;
    EXPECT_TRUE(contains(plain.err, "mailconduit: Sending: 1 of 1\n")) << plain.err;
    EXPECT_FALSE(contains(plain.err + plain.out, "yield")) << plain.err << plain.out;
    EXPECT_FALSE(contains(plain.err + plain.out, "sync manager")) << plain.err << plain.out;
    RunResult verbose = sync({"--verbose"});
    EXPECT_TRUE(contains(verbose.out, "the plug-in gave the sync manager")) << verbose.out;
    EXPECT_TRUE(contains(verbose.err, "sync manager turns: ")) << verbose.err;

    struct Row {
        const char* text;
        std::size_t done, total;
        bool estimate, bar;
        const char* line;
    };
    const Row rows[] = {
        {"Reading the mailbox", 4200, 10000, false, false, "Reading the mailbox: 4,200 of 10,000"},
        {"Reading the mailbox", 4200, 10000, true, true,
         "Reading the mailbox: 4,200 of about 10,000  [########............]"},
        // Past the number last seen, the count goes on alone.
        {"Reading the mailbox", 12000, 10000, true, true, "Reading the mailbox: 12,000"},
        {"Sending", 3, 3, false, true, "Sending: 3 of 3  [####################]"},
        {"Logging on", 0, 0, false, true, "Logging on"},
        {"Reading the mailbox", 999, 0, true, true, "Reading the mailbox: 999"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(Progress::line(row.text, row.done, row.total, row.estimate, row.bar), row.line);
    }
    EXPECT_EQ(Progress::number(1234567), "1,234,567");

    m_desktop.write("conduit/handheld.db", "{\"format\": 1, \"inbox\": [ oops");
    RunResult damaged = run({"handheld", "list"});
    EXPECT_EQ(damaged.status, 2);
    EXPECT_TRUE(contains(damaged.err, path("conduit/handheld.db") + " is damaged or is not a handheld database"))
        << damaged.err;
    EXPECT_EQ(m_desktop.read("conduit/handheld.db"), "{\"format\": 1, \"inbox\": [ oops") << "nothing is lost";
}

// 10. The smaller things a newcomer trips over.
TEST_F(FirstHourTest, SmallerThings) {
    RunResult help = run({"help", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(contains(help.out, "Usage: mailconduit COMMAND")) << help.out;

    ASSERT_EQ(run({"handheld", "compose", "--to", "a@example.org", "--file", "--body", "x\n"}).status, 0);
    RunResult filed = run({"handheld", "read", "1"});
    EXPECT_EQ(filed.status, 2);
    EXPECT_TRUE(contains(filed.err, "#1 is in the filing queue; only inbox messages have a read state")) << filed.err;

    RunResult setupHelp = run({"setup", "--help"});
    EXPECT_TRUE(contains(setupHelp.out, "Enter presses\nthe focused button")) << setupHelp.out;
    EXPECT_FALSE(contains(setupHelp.out, "default\nbutton")) << setupHelp.out;

    for (const char* command : {"info", "sync"}) {
        SCOPED_TRACE(command);
        RunResult bogus = run({command, "--plugin", "bogus"});
        EXPECT_EQ(bogus.status, 2);
        EXPECT_TRUE(contains(bogus.err, "no plug-in named bogus")) << bogus.err;
        EXPECT_FALSE(contains(bogus.err, "bogus.ini")) << bogus.err;
    }

    const std::string typo = m_desktop.path() + "/typo";
    RunResult fresh = test::runConduit({"handheld", "list"}, typo);
    EXPECT_EQ(fresh.status, 0);
    EXPECT_TRUE(contains(fresh.err, "there is no handheld in " + typo + "/conduit yet, so it starts empty")) << fresh.err;
    EXPECT_TRUE(contains(fresh.err, "VESK_HOME=" + typo + ", which does not exist")) << fresh.err;
    RunResult known = run({"handheld", "list"});
    EXPECT_FALSE(contains(known.err, "starts empty")) << known.err;
}

}  // namespace
}  // namespace conduit
