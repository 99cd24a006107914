#include "framework/MsgArray.h"

#include <gtest/gtest.h>

#include "framework/Allocation.h"

namespace {

CMsgList messages(int n) {
    CMsgList list;
    for (int i = 0; i < n; ++i) {
        auto m = std::make_unique<CMsg>();
        m->m_subject = "message " + std::to_string(i);
        list.push_back(std::move(m));
    }
    return list;
}

TEST(MsgArrayTest, HandsOutDenseArrayInListOrderWithHostBit) {
    MailMsg** array = nullptr;
    int count = -1;
    ASSERT_EQ(BuildMailMsgArray(messages(3), &array, &count), MAILHOST_OK);
    ASSERT_EQ(count, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(array[i]->subject, ("message " + std::to_string(i)).c_str());
        EXPECT_EQ(array[i]->flags, 0x002A0000u | MAILMSG_FLAG_FROM_HOST);
    }
    EXPECT_EQ(FreeMailMsgArray(array, count), MAILHOST_OK);
}

TEST(MsgArrayTest, EmptyMailboxLeavesCallersPointerAlone) {
    MailMsg** sentinel = reinterpret_cast<MailMsg**>(0x1234);
    MailMsg** array = sentinel;
    int count = 7;
    EXPECT_EQ(BuildMailMsgArray(CMsgList{}, &array, &count), MAILHOST_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(array, sentinel);
}

// Whichever allocation fails (the array, the first record, a middle one, the last one),
// nothing is handed out: a partial mailbox would look like deletions to the conduit.
class MsgArrayOutOfMemory : public ::testing::TestWithParam<int> {};

TEST_P(MsgArrayOutOfMemory, HandsOutNothingAndLeaksNothing) {
    MailMsg** sentinel = reinterpret_cast<MailMsg**>(0x1234);
    MailMsg** array = sentinel;
    int count = 9;
    vesk::injectAllocationFailure(GetParam());
    EXPECT_EQ(BuildMailMsgArray(messages(3), &array, &count), MAILHOST_OUT_OF_MEMORY);
    vesk::injectAllocationFailure(-1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(array, sentinel);
}

INSTANTIATE_TEST_SUITE_P(FailingAllocation, MsgArrayOutOfMemory, ::testing::Values(0, 1, 2, 3));

TEST(MsgArrayTest, FreeRules) {
    EXPECT_EQ(FreeMailMsgArray(nullptr, 5), MAILHOST_NULL_ARGUMENT);
    // Count 0 frees only the array (the records are then the caller's to lose, as documented;
    // free them here so the sanitizer run stays leak-free).
    MailMsg** array = nullptr;
    int count = 0;
    ASSERT_EQ(BuildMailMsgArray(messages(2), &array, &count), MAILHOST_OK);
    MailMsg* first = array[0];
    MailMsg* second = array[1];
    EXPECT_EQ(FreeMailMsgArray(array, 0), MAILHOST_OK);
    ReleaseMailMsg(first);
    ReleaseMailMsg(second);
    // Null entries are skipped.
    ASSERT_EQ(BuildMailMsgArray(messages(2), &array, &count), MAILHOST_OK);
    ReleaseMailMsg(array[0]);
    array[0] = nullptr;
    EXPECT_EQ(FreeMailMsgArray(array, count), MAILHOST_OK);
}

}  // namespace
