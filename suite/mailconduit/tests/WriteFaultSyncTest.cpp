// A full or failing disk at every write of a sync and of Mail Setup's save: each file
// operation of a real sync through Salvith (store, platform files, conduit files) fails once,
// in turn, with ENOSPC or EIO. The run reports a documented status and names the file; a
// later run finishes the work; in the end nothing is lost and nothing is duplicated.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <set>
#include <sstream>

#include "handheld/Base64.h"
#include "desktop/DesktopView.h"
#include "desktop/FileIo.h"
#include "TestDesktop.h"

namespace conduit {
namespace {

using test::RunResult;
using test::TempDesktop;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// One traced file operation: its number, kind and file.
struct Call {
    long number = 0;
    std::string op;
    std::string file;
};

std::vector<Call> readTrace(const std::string& text) {
    std::vector<Call> calls;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        Call c;
        std::string number;
        std::getline(fields, number, '\t');
        std::getline(fields, c.op, '\t');
        std::getline(fields, c.file);
        c.number = std::stol(number);
        calls.push_back(c);
    }
    return calls;
}

// Where a call happens, without what differs from call to call there: the folder for files in
// a Maildir's tmp/new/cur (unique names) and for the platform's temporary files.
std::string siteOf(const Call& c, const std::string& home) {
    std::string file = c.file.rfind(home, 0) == 0 ? c.file.substr(home.size()) : c.file;
    std::size_t slash = file.rfind('/');
    std::string folder = slash == std::string::npos ? "" : file.substr(0, slash);
    std::string base = file.substr(slash == std::string::npos ? 0 : slash + 1);
    bool generated = folder.size() >= 4 && (folder.ends_with("/tmp") || folder.ends_with("/new") || folder.ends_with("/cur"));
    if (generated || base.find(".tmp") != std::string::npos) base = "*";
    return c.op + " " + folder + "/" + base;
}

// The mail files of a Maildir folder by identifier, with their flags.
std::multiset<std::string> mailIds(const std::string& folder) {
    std::multiset<std::string> ids;
    for (const std::string& file : listFiles(folder)) {
        if (file.rfind("cur/", 0) != 0 && file.rfind("new/", 0) != 0) continue;
        ids.insert(file.substr(4));
    }
    return ids;
}

// What a finished sync leaves: the handheld's inbox subjects and read states, the count of
// files in each folder, and the subjects handed to sendmail (each must appear once).
std::string outcome(const std::string& home) {
    std::string text = test::handheldJson(home);
    nlohmann::json handheld = nlohmann::json::parse(text, nullptr, false);
    std::multiset<std::string> inbox, outbox;
    for (const nlohmann::json& m : handheld["inbox"])
        inbox.insert(m["record"].value("subject", "") + (m.value("read", false) ? " (read)" : ""));
    for (const nlohmann::json& m : handheld["outbox"]) outbox.insert(m["record"].value("subject", ""));
    std::string out = "handheld inbox:";
    for (const std::string& s : inbox) out += " [" + s + "]";
    out += "\nhandheld outbox:";
    for (const std::string& s : outbox) out += " [" + s + "]";
    for (const char* folder : {"", "/.Trash"}) {
        std::multiset<std::string> ids = mailIds(home + "/mail/teo" + folder);
        out += std::string("\nfolder ") + (*folder ? folder : "inbox") + ": " + std::to_string(ids.size());
    }
    // A sent message whose copy could not be filed stays in the outbox, held so that it is
    // not sent twice: a copy all the same.
    out += "\ncopies of sent mail: " +
           std::to_string(mailIds(home + "/mail/teo/.Sent").size() + mailIds(home + "/mail/teo/.Outbox").size());
    std::multiset<std::string> sent;
    for (const std::string& file : listFiles(home + "/sent-mail")) {
        std::string bytes;
        readFile(home + "/sent-mail/" + file, bytes);
        std::size_t at = bytes.find("\nSubject: ");
        sent.insert(at == std::string::npos ? "?" : bytes.substr(at + 10, bytes.find('\n', at + 10) - at - 10));
    }
    out += "\nsent:";
    for (const std::string& s : sent) out += " [" + s + "]";
    return out;
}

// A copy of `from` at `to`, with the registry's paths moved along.
void copyDesktop(const TempDesktop& from, const TempDesktop& to) {
    ASSERT_EQ(copyTree(from.path(), to.path()), 0);
    std::string registry = to.read("registry.reg");
    for (size_t at; (at = registry.find(from.path())) != std::string::npos;) registry.replace(at, from.path().size(), to.path());
    to.write("registry.reg", registry);
}

class WriteFaultSyncTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!exists(std::string(MAILCONDUIT_MODULE_DIR) + "/salvith.so")) GTEST_SKIP() << "salvith.so is not built";
        ASSERT_EQ(copyTree(MAILCONDUIT_EXAMPLE_DESKTOP, m_start.path()), 0);
        ASSERT_FALSE(prepareDesktop(m_start.path()));
    }
    RunResult sync(const TempDesktop& desktop, const std::vector<std::string>& env = {}) {
        return test::runConduit({"sync", "--plugin", "salvith"}, desktop.path(), env);
    }

    TempDesktop m_start;
};

TEST_F(WriteFaultSyncTest, EveryWriteOfASyncFailsOnceWithoutLossOrDuplication) {
    // A desktop with work in both directions: mail to send, a note to file, a message read
    // and one deleted on the handheld.
    ASSERT_EQ(sync(m_start).status, 0);
    auto handheld = [&](const std::vector<std::string>& args) { return test::runConduit(args, m_start.path()).status; };
    ASSERT_EQ(handheld({"handheld", "compose", "--to", "mira.castell@example.org", "--subject", "One", "--body", "1"}), 0);
    ASSERT_EQ(handheld({"handheld", "compose", "--file", "--subject", "Kept note", "--body", "3"}), 0);
    ASSERT_EQ(handheld({"handheld", "read", "3"}), 0);
    ASSERT_EQ(handheld({"handheld", "delete", "8"}), 0);

    TempDesktop traced;
    copyDesktop(m_start, traced);
    std::string tracePath = traced.path() + "/../" + "write-trace-" + std::to_string(::getpid());
    ASSERT_EQ(sync(traced, {"VESK_WRITE_FAULT_TRACE=" + tracePath}).status, 0);
    ASSERT_EQ(sync(traced).status, 0);
    const std::string expected = outcome(traced.path());
    ASSERT_TRUE(contains(expected, "sent: [One]")) << expected;
    std::string traceText;
    ASSERT_EQ(readFile(tracePath, traceText), 0);
    ::unlink(tracePath.c_str());
    std::vector<Call> calls = readTrace(traceText);
    ASSERT_GT(calls.size(), 10u);

    // The first call at each site stands for every call there.
    std::set<std::string> seen;
    int failedRuns = 0;
    for (const Call& call : calls) {
        std::string site = siteOf(call, traced.path());
        if (!seen.insert(site).second) continue;
        const char* error = seen.size() % 2 ? "ENOSPC" : "EIO";
        SCOPED_TRACE("call " + std::to_string(call.number) + " (" + site + ") fails with " + error);
        TempDesktop again;
        copyDesktop(m_start, again);
        std::uint64_t logBefore = 0;
        RunResult faulted = sync(again, {"VESK_WRITE_FAULT=" + std::to_string(call.number) + ":" + error});
        EXPECT_TRUE(faulted.status == 0 || faulted.status == 1 || faulted.status == 2) << faulted.status << faulted.err;
        if (faulted.status != 0) {
            ++failedRuns;
            // The person learns which file: on the conduit's output, or in the mail log.
            std::string file = call.file.substr(call.file.rfind('/') + 1);
            std::string folder = call.file.substr(0, call.file.rfind('/'));
            std::string log;
            readFile(again.path() + "/vesk-mail.log", log);
            std::string said = faulted.out + faulted.err + log.substr(logBefore);
            std::string movedFolder = folder.rfind(traced.path(), 0) == 0 ? again.path() + folder.substr(traced.path().size()) : folder;
            EXPECT_TRUE(contains(said, movedFolder) || contains(said, file)) << said;
        }
        // Later runs finish what the failed one left; the end is the same as without a fault.
        // A message that left but could not be filed stays held (never sent twice), and every
        // later sync says so with status 1 until the person releases it.
        RunResult first = sync(again);
        int settled = listFiles(again.path() + "/mail/teo/vesk-inflight/Outbox").empty() ? 0 : 1;
        EXPECT_EQ(first.status, settled) << first.out << first.err;
        EXPECT_EQ(sync(again).status, settled);
        EXPECT_EQ(outcome(again.path()), expected);
    }
    EXPECT_GT(failedRuns, 0);
}

TEST_F(WriteFaultSyncTest, MailSetupSaveFailsCleanlyAtEveryWrite) {
    std::string config = m_start.path() + "/conduit/salvith.ini";
    m_start.write("script.txt", "press Finish\n");
    auto setup = [&](const TempDesktop& desktop, const std::vector<std::string>& env) {
        return test::runConduit({"setup", "--plugin", "salvith", "--config", desktop.path() + "/conduit/salvith.ini",
                                 "--script", desktop.path() + "/script.txt", "--host", "Microsoft Outlook Express"},
                                desktop.path(), env);
    };
    TempDesktop traced;
    copyDesktop(m_start, traced);
    std::string before = traced.read("conduit/salvith.ini");
    std::string tracePath = traced.path() + "/../setup-trace-" + std::to_string(::getpid());
    ASSERT_EQ(setup(traced, {"VESK_WRITE_FAULT_TRACE=" + tracePath}).status, 0);
    std::string after = traced.read("conduit/salvith.ini");
    ASSERT_NE(after, before);
    std::string traceText;
    ASSERT_EQ(readFile(tracePath, traceText), 0);
    ::unlink(tracePath.c_str());
    std::vector<Call> calls = readTrace(traceText);
    ASSERT_FALSE(calls.empty());
    for (const Call& call : calls) {
        SCOPED_TRACE("call " + std::to_string(call.number) + " " + call.op + " " + call.file);
        TempDesktop again;
        copyDesktop(m_start, again);
        RunResult r = setup(again, {"VESK_WRITE_FAULT=" + std::to_string(call.number) + ":ENOSPC"});
        std::string now = again.read("conduit/salvith.ini");
        if (r.status != 0) {
            EXPECT_TRUE(contains(r.out + r.err, "salvith.ini")) << r.out << r.err;
        }
        // Each setting is replaced on its own, whole: every line is as it was before or as
        // the finished save writes it, never a torn or foreign one. (The save reports success
        // whichever settings were refused: its result is fixed at 1.)
        std::set<std::string> known;
        for (const std::string* text : {&before, &after}) {
            std::istringstream lines(*text);
            for (std::string line; std::getline(lines, line);) known.insert(line);
        }
        std::istringstream lines(now);
        for (std::string line; std::getline(lines, line);) EXPECT_TRUE(known.count(line)) << line;
        // No temporary file is left beside it.
        for (const std::string& file : listFiles(again.path() + "/conduit"))
            EXPECT_EQ(file.find(".tmp"), std::string::npos) << file;
    }
}

}  // namespace
}  // namespace conduit
