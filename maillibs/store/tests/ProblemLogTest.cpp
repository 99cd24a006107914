// The shared problem log: lines appended by any stand-in are read back by whoever noted the
// size before, with texts flattened to one line.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "store/ProblemLog.h"

namespace {

class ProblemLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/problem-log-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_home = pattern;
        ::setenv("VESK_HOME", m_home.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(m_home); }
    std::string m_home;
};

TEST_F(ProblemLogTest, ReadsBackOnlyWhatCameAfterTheNotedSize) {
    EXPECT_EQ(vesk::store::problemLogSize(), 0u);
    EXPECT_TRUE(vesk::store::problemsSince(0).empty());
    vesk::store::logProblem("store", "/m/new/1", "an earlier problem");
    std::uint64_t mark = vesk::store::problemLogSize();
    EXPECT_GT(mark, 0u);
    vesk::store::logProblem("mapi32", "account \"teo\"\tx", "the Maildir\r\nis missing");
    auto since = vesk::store::problemsSince(mark);
    ASSERT_EQ(since.size(), 1u);
    EXPECT_EQ(since[0].component, "mapi32");
    EXPECT_EQ(since[0].subject, "account \"teo\" x");
    EXPECT_EQ(since[0].reason, "the Maildir  is missing");
    EXPECT_GT(since[0].when, 0);
    EXPECT_EQ(vesk::store::problemsSince(0).size(), 2u);
    EXPECT_EQ(vesk::store::problemLogPath(), m_home + "/vesk-mail.log");
}

}  // namespace
