// DeleteMsg, SetMsgReadStatus and SetMsgPriority against the recording fake.
#include "MapiFixture.h"

namespace mapitest {
namespace {

using namespace fakemapix;
using Names = std::vector<std::string>;
using StateChangesTest = MapiFakeTest;

TEST_F(StateChangesTest, ARecordMadeOnTheHandheldReachesNoMapiCall) {
    script().inbox = {storedMessage("M1", "S")};
    logOn();
    CMsg handheld;  // bit 31 clear
    CMsg noId = fromHost("");
    for (const CMsg* msg : {&handheld, &noId}) {
        Record record(*msg);
        EXPECT_EQ(app.DeleteMsg(record.get()), MAILHOST_SERVER_ERROR);
        EXPECT_EQ(app.SetMsgReadStatus(record.get(), 1), MAILHOST_SERVER_ERROR);
        EXPECT_EQ(app.SetMsgPriority(record.get(), 1), MAILHOST_SERVER_ERROR);
    }
    EXPECT_TRUE(calls().empty());
}

TEST_F(StateChangesTest, DeleteMovesTheMessageToDeletedItems) {
    script().inbox = {storedMessage("M1", "S")};
    logOn();
    Record record(fromHost("M1"));
    ASSERT_EQ(app.DeleteMsg(record.get()), MAILHOST_OK);
    EXPECT_EQ(deleted(), (Names{"M1"}));
    EXPECT_EQ(details(), (Names{"CopyMessages=3 to deleted"}));
    failNext("Folder.CopyMessages");
    EXPECT_EQ(app.DeleteMsg(record.get()), MAILHOST_SERVER_ERROR);
}

TEST_F(StateChangesTest, ReadStatusSetsOrClearsTheReadFlag) {
    script().inbox = {storedMessage("M1", "S")};
    logOn();
    Record record(fromHost("M1"));
    ASSERT_EQ(app.SetMsgReadStatus(record.get(), 1), MAILHOST_OK);
    ASSERT_EQ(app.SetMsgReadStatus(record.get(), 0), MAILHOST_OK);
    EXPECT_EQ(details(), (Names{"Store.OpenEntry=16", "ReadFlag=0", "Store.OpenEntry=16", "ReadFlag=4"}));
    // The read flag needs no SaveChanges.
    EXPECT_TRUE(callsStartingWith("Message.SaveChanges").empty());
    failNext("Message.SetReadFlag");
    EXPECT_EQ(app.SetMsgReadStatus(record.get(), 1), MAILHOST_SERVER_ERROR);
    app.Logoff();
    expectNothingLeft();
}

TEST_F(StateChangesTest, PriorityBecomesImportanceAndIsSaved) {
    script().inbox = {storedMessage("M1", "S")};
    logOn();
    Record record(fromHost("M1"));
    for (int priority : {0, 1, 2}) {
        SCOPED_TRACE(priority);
        details().clear();
        ASSERT_EQ(app.SetMsgPriority(record.get(), priority), MAILHOST_OK);
        EXPECT_EQ(details().back(), "SaveChanges=2");
    }
    // Out of range: nothing opened, nothing written.
    calls().clear();
    for (int priority : {-1, 3, 1000}) EXPECT_EQ(app.SetMsgPriority(record.get(), priority), MAILHOST_ERROR);
    EXPECT_TRUE(calls().empty());
    for (const char* failAt : {"Message.SetProps", "Message.SaveChanges", "Store.OpenEntry"}) {
        SCOPED_TRACE(failAt);
        failNext(failAt);
        calls().clear();
        EXPECT_EQ(app.SetMsgPriority(record.get(), 0), MAILHOST_SERVER_ERROR);
    }
    script().failAt.clear();
    failAllocationAfter(0);
    EXPECT_EQ(app.SetMsgPriority(record.get(), 0), MAILHOST_OUT_OF_MEMORY);
    app.Logoff();
    expectNothingLeft();
}

TEST_F(StateChangesTest, AnIdentifierOfSomethingElseIsReleasedAndRefused) {
    StoredMessage folder = storedMessage("F1", "not a message");
    folder.objectType = MAPI_FOLDER;
    script().inbox = {folder};
    logOn();
    Record record(fromHost("F1"));
    EXPECT_EQ(app.SetMsgReadStatus(record.get(), 1), MAILHOST_ERROR);
    EXPECT_EQ(app.SetMsgPriority(record.get(), 1), MAILHOST_ERROR);
    Record unknown(fromHost("nothing"));
    EXPECT_EQ(app.SetMsgReadStatus(unknown.get(), 1), MAILHOST_SERVER_ERROR);
    app.Logoff();
    expectNothingLeft();
}

TEST_F(StateChangesTest, WithoutASessionEveryOperationIsAServerError) {
    Record record(fromHost("M1"));
    EXPECT_EQ(app.DeleteMsg(record.get()), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(app.SetMsgReadStatus(record.get(), 1), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(app.SetMsgPriority(record.get(), 1), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(app.DeleteMsg(nullptr), MAILHOST_SERVER_ERROR);
    EXPECT_TRUE(calls().empty());
}

}  // namespace
}  // namespace mapitest
