// DeleteMsg, SetMsgReadStatus and SetMsgPriority against the recording fake.
#include <filesystem>

#include "SmapiFixture.h"

namespace smapitest {
namespace {

using fakemapi::callNames;
using fakemapi::calls;
using fakemapi::script;
using Names = std::vector<std::string>;

class StateChangesTest : public SmapiFakeTest {
protected:
    void SetUp() override {
        SmapiFakeTest::SetUp();
        if (HasFatalFailure()) return;
        logOn();
        fakemapi::Stored s;
        s.id = "msg-7";
        s.attachments = {"x.txt"};
        script().inbox = {s};
    }
};

// Records that name no message of this host: refused before any library call.
TEST_F(StateChangesTest, RecordsNotFromThisHostAreRefusedWithoutACall) {
    CMsg handheld;  // written on the handheld: no bit 31, no identifier
    CMsg noId;
    noId.m_flags |= MAILMSG_FLAG_FROM_HOST;
    CMsg noBit = fromHost("msg-7");
    noBit.m_flags &= ~static_cast<uint32_t>(MAILMSG_FLAG_FROM_HOST);
    CMsg unterminated;  // bytes without a NUL
    unterminated.m_hostMsgId.Set("msg-7", 5);
    unterminated.m_flags |= MAILMSG_FLAG_FROM_HOST;
    CMsg emptyText = fromHost("");  // only a NUL
    struct Row {
        const char* what;
        const CMsg& msg;
    };
    const Row rows[] = {{"written on the handheld", handheld},
                        {"bit 31 without identifier", noId},
                        {"identifier without bit 31", noBit},
                        {"identifier without its NUL", unterminated},
                        {"an empty identifier text", emptyText}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Record record(row.msg);
        EXPECT_EQ(app.DeleteMsg(record.get()), MAILHOST_SERVER_ERROR);
        EXPECT_EQ(app.SetMsgReadStatus(record.get(), 1), MAILHOST_SERVER_ERROR);
    }
    EXPECT_EQ(app.DeleteMsg(nullptr), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(app.SetMsgReadStatus(nullptr, 1), MAILHOST_SERVER_ERROR);
    EXPECT_TRUE(calls().empty());
}

TEST_F(StateChangesTest, DeletePassesTheIdentifier) {
    Record record(fromHost("msg-7"));
    ASSERT_EQ(app.DeleteMsg(record.get()), MAILHOST_OK);
    ASSERT_EQ(callNames(), Names{"MAPIDeleteMail"});
    EXPECT_EQ(calls()[0].text, std::optional<std::string>("msg-7"));
    EXPECT_EQ(calls()[0].flags, 0u);
    EXPECT_EQ(calls()[0].session, script().sessionHanded);
    script().deleteResult = MAPI_E_INVALID_MESSAGE;
    EXPECT_EQ(app.DeleteMsg(record.get()), MAILHOST_SERVER_ERROR);
}

TEST_F(StateChangesTest, ReadStatusReadsWithoutPeekWhateverReadSays) {
    Record record(fromHost("msg-7"));
    for (int read : {1, 0}) {
        SCOPED_TRACE(read);
        calls().clear();
        ASSERT_EQ(app.SetMsgReadStatus(record.get(), read), MAILHOST_OK);
        ASSERT_EQ(callNames(), (Names{"MAPIReadMail", "MAPIFreeBuffer"}));
        EXPECT_EQ(calls()[0].flags, FLAGS(MAPI_ENVELOPE_ONLY)) << "no MAPI_PEEK: the read marks it";
        EXPECT_EQ(calls()[0].text, std::optional<std::string>("msg-7"));
    }
    for (const std::string& path : fakemapi::writtenFiles()) EXPECT_FALSE(std::filesystem::exists(path));
    script().readResult = MAPI_E_INVALID_MESSAGE;
    EXPECT_EQ(app.SetMsgReadStatus(record.get(), 1), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(fakemapi::outstandingBuffers(), 0);
}

TEST_F(StateChangesTest, PriorityIsAcceptedAndIgnored) {
    Record record(fromHost("msg-7"));
    for (int priority : {0, 1, 2, 3, -1}) EXPECT_EQ(app.SetMsgPriority(record.get(), priority), MAILHOST_OK);
    EXPECT_EQ(app.SetMsgPriority(nullptr, 1), MAILHOST_OK);
    EXPECT_TRUE(calls().empty());
}

}  // namespace
}  // namespace smapitest
