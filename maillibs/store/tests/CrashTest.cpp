// A writer killed at random points of delivery, moves, flag changes and header rewrites must
// leave every message exactly once: in its old place or its new one, never twice, never
// nowhere, never half-written.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>

#include "TestSupport.h"
#include "store/Store.h"

namespace vesk::store {
namespace {

constexpr int kSeeded = 20;
const char* const kFolders[] = {kInbox, "Trash", "Archive"};

// "<prefix><a>" or "<prefix><a>-<b>" (formatted by hand: GCC 12 at -O3 warns wrongly on
// string literal + std::string chains).
std::string label(const char* prefix, long a, long b = -1) {
    char buf[64];
    if (b < 0) std::snprintf(buf, sizeof buf, "%s%ld", prefix, a);
    else std::snprintf(buf, sizeof buf, "%s%ld-%ld", prefix, a, b);
    return buf;
}

// Every message carries its serial in a header and ends with a marker, so a reader can
// tell which message a file is and whether it is whole.
std::string messageText(const std::string& serial) {
    std::string text = "From: writer@example.org\nSubject: message " + serial + "\nX-Serial: " + serial + "\n\n";
    for (int i = 0; i < 200; ++i) {
        text += label("line ", i);
        text += " of ";
        text += serial;
        text += '\n';
    }
    return text + "END-OF-MESSAGE\n";
}

std::string serialOf(const std::string& raw) {
    std::size_t at = raw.find("\nX-Serial: ");
    if (at == std::string::npos) return {};
    at += 11;
    return raw.substr(at, raw.find('\n', at) - at);
}

// The writer: opens the store and changes it as fast as it can until it is killed,
// writing one byte to `progress` after each operation.
[[noreturn]] void runWriter(const std::string& root, unsigned seed, int progress) {
    Result<std::unique_ptr<Store>> opened = openMaildir(root);
    if (!opened) ::_exit(2);
    Store& store = **opened;
    std::mt19937 random(seed);
    for (int n = 0; n < 100000; ++n) {
        const char* folder = kFolders[random() % 3];
        Result<std::vector<MessageInfo>> list = store.list(folder);
        if (!list) ::_exit(3);
        int op = static_cast<int>(random() % 4);
        if (op == 0 || list->empty()) {
            store.deliverRaw(folder, messageText(label("w", seed, n)), random() % 2 ? "S" : "");
        } else {
            const MessageInfo& m = (*list)[random() % list->size()];
            if (op == 1) store.move(folder, m.id, kFolders[random() % 3]);
            else if (op == 2) store.setFlags(folder, m.id, random() % 2 ? "S" : "F", random() % 2 ? "F" : "");
            else store.setPriority(folder, m.id, static_cast<Priority>(random() % 3));
        }
        if (::write(progress, "+", 1) != 1) ::_exit(4);
    }
    ::_exit(0);
}

TEST(CrashTest, EveryMessageExactlyOnceAfterAKill) {
    test::TempDir dir;
    std::string root = dir.path() + "/mail";
    {
        Result<std::unique_ptr<Store>> opened = openMaildir(root, {.create = true});
        ASSERT_TRUE(opened.ok());
        for (const char* f : kFolders) ASSERT_EQ((*opened)->createFolder(f), Status::Ok);
        for (int i = 0; i < kSeeded; ++i)
            ASSERT_TRUE((*opened)->deliverRaw(kInbox, messageText(label("seed-", i))).ok());
    }
    unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    SCOPED_TRACE(label("seed ", seed));

    std::map<std::string, std::string> known;  // identifier -> serial, of every message seen so far
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(label("round ", round));
        unsigned childSeed = static_cast<unsigned>(random());
        int progress[2];
        ASSERT_EQ(::pipe(progress), 0);
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(progress[0]);
            runWriter(root, childSeed, progress[1]);
        }
        ::close(progress[1]);
        // Let a random number of operations finish, then kill a random moment later: the
        // kill lands inside whichever step the writer is in. Counting operations rather
        // than waiting a fixed time keeps this meaningful on slow (sanitizer) builds.
        int wanted = static_cast<int>(random() % 40);
        char byte;
        for (int done = 0; done < wanted && ::read(progress[0], &byte, 1) == 1; ++done) {
        }
        ::usleep(random() % 3000);
        ::kill(pid, SIGKILL);
        ::close(progress[0]);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << status;

        Result<std::unique_ptr<Store>> opened = openMaildir(root);
        ASSERT_TRUE(opened.ok());
        Store& store = **opened;
        std::map<std::string, int> idCount, serialCount;
        for (const char* folder : kFolders) {
            Result<std::vector<MessageInfo>> list = store.list(folder);
            ASSERT_TRUE(list.ok());
            for (const MessageInfo& m : *list) {
                Result<std::string> raw = store.readRaw(folder, m.id);
                ASSERT_TRUE(raw.ok());
                ASSERT_TRUE(raw->ends_with("END-OF-MESSAGE\n")) << folder << "/" << m.id << " is not whole";
                std::string serial = serialOf(*raw);
                ASSERT_FALSE(serial.empty()) << m.id;
                ++idCount[m.id];
                ++serialCount[serial];
                auto [it, added] = known.emplace(m.id, serial);
                ASSERT_EQ(it->second, serial) << "identifier " << m.id << " now names another message";
            }
        }
        for (const auto& [id, n] : idCount) ASSERT_EQ(n, 1) << id << " is in " << n << " folders";
        for (const auto& [serial, n] : serialCount) ASSERT_EQ(n, 1) << serial << " is there " << n << " times";
        // Nothing the store ever listed may vanish: the writer never removes messages.
        for (const auto& [id, serial] : known) ASSERT_EQ(idCount.count(id), 1u) << serial << " (" << id << ") is lost";
        for (int i = 0; i < kSeeded; ++i) ASSERT_EQ(serialCount.count(label("seed-", i)), 1u);
    }
    EXPECT_GT(known.size(), static_cast<std::size_t>(kSeeded));  // the writers did deliver
}

}  // namespace
}  // namespace vesk::store
