#include <gtest/gtest.h>

#include <vector>

#include "trevlin/Trevlin.h"

namespace {

struct Seen {
    std::vector<int> cycles;
    int answer = 0;
};

int recordingHook(int cycles, void* context) {
    auto* seen = static_cast<Seen*>(context);
    seen->cycles.push_back(cycles);
    return seen->answer;
}

class Trevlin : public ::testing::Test {
protected:
    void TearDown() override { TrevlinSetYieldHook(nullptr, nullptr); }
};

TEST_F(Trevlin, CountsEveryYieldWithOrWithoutAHook) {
    const unsigned long before = TrevlinYieldCount();
    EXPECT_EQ(SyncYieldCycles(100), 0);
    Seen seen;
    TrevlinSetYieldHook(recordingHook, &seen);
    SyncYieldCycles(100);
    EXPECT_EQ(TrevlinYieldCount(), before + 2);
}

TEST_F(Trevlin, HandsEachYieldToTheHookWithItsContext) {
    Seen seen;
    seen.answer = 9;
    TrevlinSetYieldHook(recordingHook, &seen);
    EXPECT_EQ(SyncYieldCycles(100), 9);
    EXPECT_EQ(SyncYieldCycles(3), 9);
    EXPECT_EQ(seen.cycles, (std::vector<int>{100, 3}));

    // A new hook replaces the old one; removing it stops the calls.
    Seen other;
    TrevlinSetYieldHook(recordingHook, &other);
    SyncYieldCycles(100);
    TrevlinSetYieldHook(nullptr, nullptr);
    EXPECT_EQ(SyncYieldCycles(100), 0);
    EXPECT_EQ(seen.cycles.size(), 2u);
    EXPECT_EQ(other.cycles, (std::vector<int>{100}));
}

// A hook may change the hook from inside (the conduit drops its progress display this way).
int removingHook(int, void* context) {
    ++*static_cast<int*>(context);
    TrevlinSetYieldHook(nullptr, nullptr);
    return 1;
}

TEST_F(Trevlin, LetsAHookRemoveItself) {
    int calls = 0;
    TrevlinSetYieldHook(removingHook, &calls);
    EXPECT_EQ(SyncYieldCycles(100), 1);
    EXPECT_EQ(SyncYieldCycles(100), 0);
    EXPECT_EQ(calls, 1);
}

}  // namespace
