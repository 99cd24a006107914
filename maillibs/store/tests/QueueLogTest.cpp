#include "QueueLog.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace vesk::store::detail {
namespace {

TEST(QueueLogTest, RecordsComeBackInOrderOnOneLineEach) {
    test::TempDir dir;
    Result<std::vector<SendRecord>> empty = readQueueLog(dir.path());
    ASSERT_TRUE(empty.ok());
    EXPECT_TRUE(empty->empty());

    ASSERT_EQ(appendQueueLog(dir.path(), {100, "id-1", SendOutcome::Held, "no command"}), Status::Ok);
    ASSERT_EQ(appendQueueLog(dir.path(), {200, "id-2", SendOutcome::Failed, "exit 1:\tbad\nthing"}), Status::Ok);
    ASSERT_EQ(appendQueueLog(dir.path(), {300, "id-1", SendOutcome::Sent, ""}), Status::Ok);

    Result<std::vector<SendRecord>> log = readQueueLog(dir.path());
    ASSERT_TRUE(log.ok());
    ASSERT_EQ(log->size(), 3u);
    EXPECT_EQ((*log)[0].when, 100);
    EXPECT_EQ((*log)[0].outcome, SendOutcome::Held);
    EXPECT_EQ((*log)[1].detail, "exit 1: bad thing");  // tabs and line ends flattened
    EXPECT_EQ((*log)[2].id, "id-1");
    EXPECT_EQ((*log)[2].outcome, SendOutcome::Sent);
    EXPECT_EQ((*log)[2].detail, "");

    struct stat st {};
    ASSERT_EQ(::stat(queueLogPath(dir.path()).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(QueueLogTest, DamagedLinesAreSkipped) {
    test::TempDir dir;
    test::spit(queueLogPath(dir.path()),
               "100\tsent\ta\tok\n"
               "garbage\n"
               "x\tsent\tb\tbad time\n"
               "200\tlost\tc\tunknown outcome\n"
               "300\tfailed\td\tlast line without end");
    Result<std::vector<SendRecord>> log = readQueueLog(dir.path());
    ASSERT_TRUE(log.ok());
    ASSERT_EQ(log->size(), 2u);
    EXPECT_EQ((*log)[0].id, "a");
    EXPECT_EQ((*log)[1].id, "d");
    EXPECT_EQ((*log)[1].detail, "last line without end");
}

}  // namespace
}  // namespace vesk::store::detail
