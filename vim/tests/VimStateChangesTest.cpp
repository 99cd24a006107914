// DeleteMsg, SetMsgReadStatus and SetMsgPriority over the recording fake: the reference from
// the record, the calls, and records that did not come from this host.
#include "VimFixture.h"

namespace vimtest {
namespace {

using Calls = std::vector<std::string>;

class VimStateChangesTest : public VimFakeTest {
protected:
    void SetUp() override {
        VimFakeTest::SetUp();
        fakevim::Message m;
        m.ref = 7;
        fakevim::script().mailbox.push_back(m);
    }
};

TEST_F(VimStateChangesTest, DeleteMovesTheMessageToTrash) {
    logOn();
    Record r(fromHost(7));
    EXPECT_EQ(app.DeleteMsg(r.get()), MAILHOST_OK);
    EXPECT_EQ(fakevim::calls(), (Calls{"SetMessageCategory(c1,ref=7:61453,Trash)"}));
    Record gone(fromHost(8));
    EXPECT_EQ(app.DeleteMsg(gone.get()), MAILHOST_SERVER_ERROR);
}

TEST_F(VimStateChangesTest, MarkReadAndNeverUnread) {
    Record r(fromHost(7));
    // Refused before anything else, even without a mailbox.
    EXPECT_EQ(app.SetMsgReadStatus(r.get(), 0), MAILHOST_NOT_SUPPORTED);
    EXPECT_TRUE(fakevim::calls().empty());
    logOn();
    EXPECT_EQ(app.SetMsgReadStatus(r.get(), 1), MAILHOST_OK);
    EXPECT_EQ(fakevim::calls(), (Calls{"MarkMessageAsRead(c1,ref=7:61453)"}));
    fakevim::script().failures["MarkMessageAsRead"][1] = VIMSTS_WRITE_FAILURE;
    EXPECT_EQ(app.SetMsgReadStatus(r.get(), 1), MAILHOST_SERVER_ERROR);
}

TEST_F(VimStateChangesTest, PriorityIsWrittenOnTheOpenedMessage) {
    const struct {
        int priority;
        const char* written;
    } rows[] = {{0, "=2"}, {1, "=1"}, {2, "=0"}, {3, "=1"}, {-1, "=1"}};
    logOn();
    Record r(fromHost(7));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.priority);
        fakevim::calls().clear();
        EXPECT_EQ(app.SetMsgPriority(r.get(), row.priority), MAILHOST_OK);
        ASSERT_EQ(fakevim::calls().size(), 3u);
        EXPECT_EQ(fakevim::calls()[0], "OpenMessage(c1,ref=7:61453,null)");
        EXPECT_EQ(fakevim::calls()[1].substr(fakevim::calls()[1].find(',')), std::string(",71,2,") + row.written + ")");
        EXPECT_EQ(fakevim::calls()[2].substr(0, 13), "CloseMessage(");
    }
}

TEST_F(VimStateChangesTest, AFailedPriorityChangeStillClosesTheMessage) {
    logOn();
    fakevim::script().failures["SetMessageHeader"][0] = VIMSTS_WRITE_FAILURE;
    Record r(fromHost(7));
    EXPECT_EQ(app.SetMsgPriority(r.get(), 0), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(callsOf("CloseMessage").size(), 1u);
    EXPECT_EQ(fakevim::openHandles().size(), 2u);
    fakevim::script().failures["OpenMessage"][1] = VIMSTS_INVALID_OBJECT;
    EXPECT_EQ(app.SetMsgPriority(r.get(), 0), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(callsOf("CloseMessage").size(), 1u);
}

TEST_F(VimStateChangesTest, RecordsThatDidNotComeFromThisHostAreRefused) {
    logOn();
    CMsg shortId = fromHost(7);
    shortId.m_hostMsgId.Set("abc", 3);
    CMsg longId = fromHost(7);
    longId.m_hostMsgId.Set("0123456789", 10);
    CMsg noId;
    // The right bytes, but written on the handheld: not looked up at all.
    CMsg handheld = fromHost(7);
    handheld.m_flags &= ~static_cast<uint32_t>(MAILMSG_FLAG_FROM_HOST);
    for (const CMsg* msg : {&shortId, &longId, &noId, &handheld}) {
        Record r(*msg);
        EXPECT_EQ(app.DeleteMsg(r.get()), MAILHOST_SERVER_ERROR);
        EXPECT_EQ(app.SetMsgReadStatus(r.get(), 1), MAILHOST_SERVER_ERROR);
        EXPECT_EQ(app.SetMsgPriority(r.get(), 1), MAILHOST_SERVER_ERROR);
    }
    // A size of 8 with no bytes behind it is no reference either.
    Record r(fromHost(7));
    unsigned char* bytes = r->hostMsgId;
    r->hostMsgId = nullptr;
    EXPECT_EQ(app.DeleteMsg(r.get()), MAILHOST_SERVER_ERROR);
    r->hostMsgId = bytes;
    EXPECT_EQ(app.DeleteMsg(nullptr), MAILHOST_SERVER_ERROR);
    EXPECT_TRUE(fakevim::calls().empty());
}

TEST_F(VimStateChangesTest, WithoutAMailboxNothingIsCalled) {
    Record r(fromHost(7));
    EXPECT_EQ(app.DeleteMsg(r.get()), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(app.SetMsgReadStatus(r.get(), 1), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(app.SetMsgPriority(r.get(), 1), MAILHOST_SERVER_ERROR);
    EXPECT_TRUE(fakevim::calls().empty());
}

}  // namespace
}  // namespace vimtest
