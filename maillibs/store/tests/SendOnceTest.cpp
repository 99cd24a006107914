// Sending is at most once: a flush killed at any moment never makes a message go out twice,
// a message whose hand-off was cut off is held until released, a command that never ends is
// stopped at the limit with nothing of it left running, and a stopped process takes its
// command with it.
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "InFlight.h"
#include "TestSupport.h"
#include "store/ProblemLog.h"
#include "store/QueueNotice.h"
#include "store/Store.h"

namespace vesk::store {
namespace {

using test::spit;

// The file's bytes, empty when there is none (yet).
std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SendOnceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("VESK_HOME", dir.path().c_str(), 1);
        root = dir.path() + "/mail";
        ASSERT_TRUE(openMaildir(root, {.create = true}).ok());
        deliveries = dir.path() + "/deliveries";
    }

    std::unique_ptr<Store> open() {
        Result<std::unique_ptr<Store>> opened = openMaildir(root);
        EXPECT_TRUE(opened.ok());
        return opened.ok() ? std::move(*opened) : nullptr;
    }

    /// A command that takes about `seconds` and records each delivery (the message's
    /// subject) halfway through, so a kill can land before or after the delivery.
    std::string slowSendmail(const char* seconds = "0.2") {
        std::string path = dir.path() + "/slow-sendmail";
        spit(path, std::string("#!/bin/sh\n") + "m=$(cat)\nsleep " + seconds + "\n" +
                       "printf '%s\\n' \"$m\" | sed -n 's/^Subject: //p' >> '" + deliveries + "'\n" +
                       "sleep " + seconds + "\n");
        ::chmod(path.c_str(), 0700);
        return path;
    }

    Draft draft(const std::string& subject) {
        Draft d;
        d.from = {"", "tom@example.org"};
        d.to = {{"", "anna@example.com"}};
        d.subject = subject;
        d.body = "text\r\n";
        return d;
    }

    /// A process of its own that flushes the outbox through `command` and exits.
    pid_t flushInChild(const std::string& command, const std::string& sentFolder) {
        pid_t child = ::fork();
        if (child != 0) return child;
        Result<std::unique_ptr<Store>> opened = openMaildir(root);
        if (!opened) ::_exit(3);
        SendOptions options;
        options.command = command;
        options.sentFolder = sentFolder;
        (*opened)->flush(options);
        ::_exit(0);
    }

    std::map<std::string, int> deliveredCounts() {
        std::map<std::string, int> counts;
        std::istringstream lines(slurp(deliveries));
        for (std::string line; std::getline(lines, line);) ++counts[line];
        return counts;
    }

    test::TempDir dir;
    std::string root, deliveries;
};

bool alive(pid_t pid) {
    // A zombie counts as gone: it runs nothing.
    std::string stat = slurp("/proc/" + std::to_string(pid) + "/stat");
    if (stat.empty()) return false;
    std::size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

// Waits up to two seconds for `pid` to be gone.
bool goneSoon(pid_t pid) {
    for (int i = 0; i < 200 && alive(pid); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !alive(pid);
}

TEST_F(SendOnceTest, KilledFlushesNeverDeliverTwice) {
    std::string command = slowSendmail();
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> pause(0, 900);
    int queued = 0;
    int killedMidway = 0;
    for (int round = 0; round < 16; ++round) {
        {
            std::unique_ptr<Store> store = open();
            ASSERT_TRUE(store);
            for (int k = 0; k < 2; ++k) ASSERT_TRUE(store->enqueue(draft("m" + std::to_string(queued++))).ok());
        }
        pid_t child = flushInChild(command, "Sent");
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == 0) {
            ::kill(child, SIGKILL);
            ++killedMidway;
        }
        ::waitpid(child, &status, 0);
        // The supervisor takes the command's group with it; give it a moment.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        for (const auto& [subject, n] : deliveredCounts()) ASSERT_LE(n, 1) << subject << " in round " << round;
    }
    EXPECT_GT(killedMidway, 0);

    // A last flush that is not killed: whatever is not held leaves now.
    std::unique_ptr<Store> store = open();
    SendOptions options;
    options.command = command;
    options.sentFolder = "Sent";
    ASSERT_TRUE(store->flush(options).ok());
    std::map<std::string, int> delivered = deliveredCounts();
    Result<std::vector<QueuedMessage>> left = queuedMessages(*store);
    ASSERT_TRUE(left.ok());
    // Kills that landed while the command had a message left it held.
    EXPECT_GT(left->size(), 0u);
    std::map<std::string, bool> heldBySubject;
    for (const QueuedMessage& q : *left) {
        EXPECT_TRUE(q.held) << q.subject << " is queued but neither held nor sent";
        heldBySubject[q.subject] = q.held;
    }
    for (int i = 0; i < queued; ++i) {
        std::string subject = "m" + std::to_string(i);
        SCOPED_TRACE(subject);
        EXPECT_LE(delivered[subject], 1);
        EXPECT_TRUE(delivered[subject] == 1 || heldBySubject.count(subject) != 0);
        // A delivered message that is not held left the queue for Sent.
        if (heldBySubject.count(subject) == 0) {
            EXPECT_EQ(delivered[subject], 1);
        }
    }
    // Every held message is in the problem log as held.
    int heldNotices = 0;
    for (const QueueNotice& n : queueNoticesSince(0)) {
        if (n.kind == QueueNotice::Kind::Held) ++heldNotices;
    }
    EXPECT_GE(heldNotices, static_cast<int>(left->size()));
}

TEST_F(SendOnceTest, AHeldMessageWaitsForItsRelease) {
    std::unique_ptr<Store> store = open();
    Result<std::string> id = store->enqueue(draft("cut off"));
    ASSERT_TRUE(id.ok());
    // What a flush killed while the command had the message leaves behind.
    ASSERT_EQ(detail::markInFlight(root, kOutbox, *id, "sendmail"), Status::Ok);
    std::uint64_t mark = problemLogSize();

    SendOptions options;
    options.command = slowSendmail("0");
    for (int attempt = 0; attempt < 2; ++attempt) {
        Result<std::vector<SendRecord>> out = store->flush(options);
        ASSERT_TRUE(out.ok());
        ASSERT_EQ(out->size(), 1u);
        EXPECT_EQ((*out)[0].outcome, SendOutcome::Held);
        EXPECT_TRUE((*out)[0].inDoubt);
    }
    EXPECT_TRUE(deliveredCounts().empty());
    std::vector<QueueNotice> notices = queueNoticesSince(mark);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].kind, QueueNotice::Kind::Held);
    EXPECT_EQ(notices[0].id, *id);
    EXPECT_EQ(notices[0].root, root);
    EXPECT_EQ(notices[0].outbox, kOutbox);
    EXPECT_TRUE(notices[0].firstTry);
    EXPECT_FALSE(notices[1].firstTry);
    Result<std::vector<QueuedMessage>> state = queuedMessages(*store);
    ASSERT_TRUE(state.ok());
    ASSERT_EQ(state->size(), 1u);
    EXPECT_TRUE((*state)[0].held);
    EXPECT_EQ((*state)[0].subject, "cut off");
    EXPECT_EQ((*state)[0].recipients, "anna@example.com");

    EXPECT_EQ(releaseHeld(*store, kOutbox, "no-such-id"), Status::NotFound);
    ASSERT_EQ(releaseHeld(*store, kOutbox, *id), Status::Ok);
    EXPECT_EQ(releaseHeld(*store, kOutbox, *id), Status::NotFound);  // no longer held
    Result<std::vector<SendRecord>> out = store->flush(options);
    ASSERT_TRUE(out.ok());
    EXPECT_EQ((*out)[0].outcome, SendOutcome::Sent);
    EXPECT_EQ(deliveredCounts()["cut off"], 1);
    // The log says it left after all.
    notices = queueNoticesSince(mark);
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices[2].kind, QueueNotice::Kind::Sent);
}

TEST_F(SendOnceTest, ACommandThatNeverEndsIsStoppedWithEverythingItStarted) {
    std::string pids = dir.path() + "/pids";
    std::string command = dir.path() + "/hang";
    // The shell and a child of its own, both recorded, then it waits forever.
    spit(command, "#!/bin/sh\necho $$ >> '" + pids + "'\ncat > /dev/null\nsleep 300 &\necho $! >> '" + pids +
                      "'\nwait\n");
    ::chmod(command.c_str(), 0700);
    std::unique_ptr<Store> store = open();
    Result<std::string> id = store->enqueue(draft("stuck"));
    ASSERT_TRUE(id.ok());
    SendOptions options;
    options.command = command;
    options.timeoutSeconds = 1;
    std::vector<int> waited;
    options.waiting = [&](const std::string&, int seconds) { waited.push_back(seconds); };
    auto start = std::chrono::steady_clock::now();
    Result<std::vector<SendRecord>> out = store->flush(options);
    auto took = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(out.ok());
    EXPECT_LT(took, std::chrono::seconds(3));
    EXPECT_EQ((*out)[0].outcome, SendOutcome::Failed);
    EXPECT_EQ((*out)[0].detail, "timed out after 1 s");
    EXPECT_FALSE((*out)[0].inDoubt);
    EXPECT_TRUE(store->find(kOutbox, *id).ok());
    Result<std::vector<QueuedMessage>> state = queuedMessages(*store);
    ASSERT_EQ(state->size(), 1u);
    EXPECT_FALSE((*state)[0].held);  // tried again at the next flush
    EXPECT_EQ((*state)[0].lastOutcome, "timed out after 1 s");
    std::istringstream lines(slurp(pids));
    int seen = 0;
    for (std::string line; std::getline(lines, line); ++seen) {
        EXPECT_TRUE(goneSoon(std::stoi(line))) << "process " << line << " of the command still runs";
    }
    EXPECT_EQ(seen, 2);
    std::vector<QueueNotice> notices = queueNoticesSince(0);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].kind, QueueNotice::Kind::Queued);
    EXPECT_EQ(notices[0].reason, "the sending command did not finish: timed out after 1 s, and was stopped");
}

TEST_F(SendOnceTest, AStoppedProcessTakesItsCommandWithIt) {
    std::string pids = dir.path() + "/pids";
    std::string command = dir.path() + "/hang";
    spit(command, "#!/bin/sh\necho $$ >> '" + pids + "'\ncat > /dev/null\nsleep 300\n");
    ::chmod(command.c_str(), 0700);
    ASSERT_TRUE(open()->enqueue(draft("interrupted")).ok());
    for (int signal : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal);
        ::unlink(pids.c_str());
        pid_t child = flushInChild(command, "");
        ASSERT_GT(child, 0);
        // Wait until the command runs, then stop the flushing process.
        for (int i = 0; i < 500 && slurp(pids).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_FALSE(slurp(pids).empty());
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), signal);  // the signal still ends the process
        EXPECT_TRUE(goneSoon(std::stoi(slurp(pids))));
        // It is held, never handed over again by itself.
        Result<std::vector<QueuedMessage>> state = queuedMessages(*open());
        ASSERT_EQ(state->size(), 1u);
        EXPECT_TRUE((*state)[0].held);
        if (signal == SIGTERM) {
            ASSERT_EQ(releaseHeld(*open(), kOutbox, (*state)[0].id), Status::Ok);
        }
    }
}

}  // namespace
}  // namespace vesk::store
