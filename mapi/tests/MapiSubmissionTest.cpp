// SendMsg and SetMsg against the recording fake: the properties set, the recipient lists,
// resolution, and the failures that must not read as success.
#include "MapiFixture.h"

namespace mapitest {
namespace {

using namespace fakemapix;
using Names = std::vector<std::string>;
using SubmissionTest = MapiFakeTest;

CMsg handheldMessage() {
    CMsg msg;
    msg.m_subject = "Lunch";
    msg.m_body = "See you at noon.";
    msg.m_to = "Anna <anna@example.org>; bob@example.org";
    msg.m_cc = "EX:/o=Org/cn=cy";
    return msg;
}

std::string textOf(const Props& props, ULONG tag) {
    const Prop* p = find(props, tag);
    return p != nullptr ? p->data : "<missing>";
}
LONG numberOf(const Props& props, ULONG tag) {
    const Prop* p = find(props, tag);
    return p != nullptr ? p->number : -99;
}

TEST_F(SubmissionTest, SendMsgSetsNineValuesAddsRecipientsAndSubmits) {
    logOn();
    CMsg msg = handheldMessage();
    // Handheld priority high, read receipt asked for.
    msg.m_status = static_cast<uint16_t>((0u << MAILMSG_STATUS_PRIORITY_SHIFT) | MAILMSG_STATUS_READ_RECEIPT);
    Record record(msg);
    ASSERT_EQ(app.SendMsg(record.get()), MAILHOST_OK);
    ASSERT_EQ(made().size(), 1u);
    const Made& sent = made()[0];
    EXPECT_EQ(sent.folder, "outbox");
    std::vector<ULONG> tags;
    for (const Prop& p : sent.props) tags.push_back(p.tag);
    EXPECT_EQ(tags, (std::vector<ULONG>{PR_MESSAGE_FLAGS, PR_IMPORTANCE, PR_READ_RECEIPT_REQUESTED,
                                        PR_ORIGINATOR_DELIVERY_REPORT_REQUESTED, PR_SUBJECT, PR_BODY,
                                        PR_SENDER_ENTRYID, PR_SENTMAIL_ENTRYID, PR_MESSAGE_CLASS}));
    EXPECT_EQ(numberOf(sent.props, PR_MESSAGE_FLAGS), 13);
    EXPECT_EQ(numberOf(sent.props, PR_IMPORTANCE), IMPORTANCE_HIGH);
    EXPECT_EQ(numberOf(sent.props, PR_READ_RECEIPT_REQUESTED), 1);
    EXPECT_EQ(numberOf(sent.props, PR_ORIGINATOR_DELIVERY_REPORT_REQUESTED), 0);
    EXPECT_EQ(textOf(sent.props, PR_SUBJECT), "Lunch");
    EXPECT_EQ(textOf(sent.props, PR_BODY), "See you at noon.");
    EXPECT_EQ(textOf(sent.props, PR_SENDER_ENTRYID), "ME");
    EXPECT_EQ(textOf(sent.props, PR_SENTMAIL_ENTRYID), "SENT");
    EXPECT_EQ(textOf(sent.props, PR_MESSAGE_CLASS), "IPM.Note");

    // One list per field: To (replacing, two entries), then Cc (added).
    ASSERT_EQ(sent.recipientCalls.size(), 2u);
    EXPECT_EQ(sent.recipientCalls[0].first, 0u);
    EXPECT_EQ(sent.recipientCalls[1].first, MODRECIP_ADD);
    const std::vector<Props>& to = sent.recipientCalls[0].second;
    ASSERT_EQ(to.size(), 2u);
    EXPECT_EQ(textOf(to[0], PR_DISPLAY_NAME), "Anna");
    EXPECT_EQ(textOf(to[0], PR_EMAIL_ADDRESS), "anna@example.org");
    // Not resolved: sent as typed, as Internet addresses.
    EXPECT_EQ(textOf(to[0], PR_ADDRTYPE), "smtp");
    EXPECT_EQ(numberOf(to[0], PR_RECIPIENT_TYPE), MAPI_TO);
    EXPECT_EQ(textOf(to[1], PR_EMAIL_ADDRESS), "bob@example.org");
    const std::vector<Props>& cc = sent.recipientCalls[1].second;
    ASSERT_EQ(cc.size(), 1u);
    EXPECT_EQ(textOf(cc[0], PR_ADDRTYPE), "EX");
    EXPECT_EQ(textOf(cc[0], PR_EMAIL_ADDRESS), "EX:/o=Org/cn=cy");
    EXPECT_EQ(numberOf(cc[0], PR_RECIPIENT_TYPE), MAPI_CC);
    EXPECT_TRUE(sent.submitted);
    EXPECT_FALSE(sent.saved);
    app.Logoff();
    expectNothingLeft();
}

// The address book replaces resolved entries one by one, which frees each entry's values on
// its own: each must be a block of its own.
TEST_F(SubmissionTest, ResolvedEntriesReplaceTheCallersWithoutHeapDamage) {
    logOn();
    script().resolves = true;
    Record record(handheldMessage());
    ASSERT_EQ(app.SendMsg(record.get()), MAILHOST_OK);
    const std::vector<Props>& to = made()[0].recipientCalls[0].second;
    ASSERT_EQ(to.size(), 2u);
    EXPECT_EQ(textOf(to[0], PR_DISPLAY_NAME), "Resolved 0");
    EXPECT_EQ(numberOf(to[0], PR_RECIPIENT_TYPE), MAPI_TO);
    EXPECT_EQ(textOf(to[0], PR_ADDRTYPE), "SMTP");
    EXPECT_EQ(numberOf(made()[0].recipientCalls[1].second[0], PR_RECIPIENT_TYPE), MAPI_CC);
    app.Logoff();
    expectNothingLeft();
}

TEST_F(SubmissionTest, ARecordWithoutRecipientsIsSubmittedWithoutAList) {
    logOn();
    CMsg msg;
    msg.m_subject = "Note";
    Record record(msg);
    ASSERT_EQ(app.SendMsg(record.get()), MAILHOST_OK);
    EXPECT_TRUE(made()[0].recipientCalls.empty());
    EXPECT_TRUE(made()[0].submitted);
}

// Each failure has its code; a message whose recipients could not be set is neither
// submitted nor saved, and that is reported.
TEST_F(SubmissionTest, FailuresOfSendMsgAndSetMsgHaveTheirCodes) {
    struct Row {
        bool send;
        const char* failAt;
        int expected;
    };
    const Row rows[] = {{true, "Folder.CreateMessage", MAILHOST_OUT_OF_MEMORY},
                        {true, "Message.SetProps", MAILHOST_SERVER_ERROR},
                        {true, "Message.ModifyRecipients", MAILHOST_SERVER_ERROR},
                        {true, "Message.SubmitMessage", MAILHOST_ERROR},
                        {true, "Session.QueryIdentity", MAILHOST_OUT_OF_MEMORY},
                        {true, "MailUser.GetProps", MAILHOST_OUT_OF_MEMORY},
                        {false, "Folder.CreateMessage", MAILHOST_OUT_OF_MEMORY},
                        {false, "Message.SetProps", MAILHOST_SERVER_ERROR},
                        {false, "Message.ModifyRecipients", MAILHOST_SERVER_ERROR},
                        {false, "Message.SaveChanges", MAILHOST_SERVER_ERROR}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.send ? "send " : "set ") + row.failAt);
        reset();
        logOn();
        script().failAt = row.failAt;
        Record record(handheldMessage());
        EXPECT_EQ(row.send ? app.SendMsg(record.get()) : app.SetMsg(record.get()), row.expected);
        for (const Made& m : made()) {
            EXPECT_FALSE(m.submitted && row.expected != MAILHOST_OK);
            EXPECT_FALSE(m.saved && row.expected != MAILHOST_OK);
        }
        app.Logoff();
        expectNothingLeft();
    }
}

TEST_F(SubmissionTest, EveryAllocationThatFailsIsOutOfMemoryAndLeavesNothing) {
    for (bool send : {true, false}) {
        for (int allocation = 0;; ++allocation) {
            SCOPED_TRACE(std::string(send ? "send #" : "set #") + std::to_string(allocation));
            reset();
            logOn();
            failAllocationAfter(allocation);
            Record record(handheldMessage());
            int result = send ? app.SendMsg(record.get()) : app.SetMsg(record.get());
            app.Logoff();
            expectNothingLeft();
            if (result == MAILHOST_OK) break;
            EXPECT_EQ(result, MAILHOST_OUT_OF_MEMORY);
            ASSERT_LT(allocation, 60);
        }
    }
}

// An identity whose PR_ENTRYID came back as an error carries an error code, not a length.
TEST_F(SubmissionTest, AnIdentityWithoutAnEntryIdentifierSendsNothing) {
    logOn();
    script().identityEntryIdError = true;
    Record record(handheldMessage());
    EXPECT_EQ(app.SendMsg(record.get()), MAILHOST_OUT_OF_MEMORY);
    EXPECT_FALSE(made()[0].submitted);
    app.Logoff();
    expectNothingLeft();
}

TEST_F(SubmissionTest, TheIdentityIsReadOncePerSession) {
    logOn();
    Record record(handheldMessage());
    ASSERT_EQ(app.SendMsg(record.get()), MAILHOST_OK);
    ASSERT_EQ(app.SendMsg(record.get()), MAILHOST_OK);
    EXPECT_EQ(callsStartingWith("Session.QueryIdentity").size(), 1u);
    app.Logoff();
    expectNothingLeft();
}

TEST_F(SubmissionTest, SetMsgFilesAReceivedMessage) {
    logOn();
    CMsg msg = handheldMessage();
    msg.m_from = "Anna <anna@example.org>";
    msg.m_flags = (msg.m_flags & ~(3u << MAILMSG_FLAG_PRIORITY_SHIFT)) | (2u << MAILMSG_FLAG_PRIORITY_SHIFT);
    msg.m_status |= MAILMSG_STATUS_READ_ON_HANDHELD;
    Record record(msg);
    ASSERT_EQ(app.SetMsg(record.get()), MAILHOST_OK);
    const Made& filed = made()[0];
    EXPECT_EQ(filed.folder, "inbox");
    std::vector<ULONG> tags;
    for (const Prop& p : filed.props) tags.push_back(p.tag);
    EXPECT_EQ(tags, (std::vector<ULONG>{PR_MESSAGE_FLAGS, PR_SUBJECT, PR_BODY, PR_SENT_REPRESENTING_NAME,
                                        PR_SENT_REPRESENTING_EMAIL_ADDRESS, PR_IMPORTANCE, PR_INCOMPLETE_COPY}));
    EXPECT_EQ(numberOf(filed.props, PR_MESSAGE_FLAGS), MSGFLAG_READ);
    EXPECT_EQ(textOf(filed.props, PR_SENT_REPRESENTING_NAME), "Anna");
    EXPECT_EQ(textOf(filed.props, PR_SENT_REPRESENTING_EMAIL_ADDRESS), "anna@example.org");
    EXPECT_EQ(numberOf(filed.props, PR_IMPORTANCE), IMPORTANCE_LOW);
    EXPECT_EQ(numberOf(filed.props, PR_INCOMPLETE_COPY), 1);
    EXPECT_TRUE(filed.saved);
    EXPECT_FALSE(filed.submitted);
    EXPECT_EQ(details().back(), "SaveChanges=2");
}

TEST_F(SubmissionTest, SetMsgWithoutASenderUsesTheFallbackSender) {
    logOn();
    CMsg msg;
    msg.m_subject = "Typed on the handheld";
    Record record(msg);
    ASSERT_EQ(app.SetMsg(record.get()), MAILHOST_OK);
    const Made& filed = made()[0];
    EXPECT_FALSE(textOf(filed.props, PR_SENT_REPRESENTING_NAME).empty());
    EXPECT_NE(textOf(filed.props, PR_SENT_REPRESENTING_EMAIL_ADDRESS), textOf(filed.props, PR_SENT_REPRESENTING_NAME));
    EXPECT_EQ(numberOf(filed.props, PR_MESSAGE_FLAGS), 0);
}

TEST_F(SubmissionTest, SetMsgOfARecordFromTheHostIsRefused) {
    logOn();
    Record record(fromHost("M1"));
    EXPECT_EQ(app.SetMsg(record.get()), MAILHOST_SERVER_ERROR);
    EXPECT_TRUE(calls().empty());
}

TEST_F(SubmissionTest, WithoutASessionNothingIsWritten) {
    Record record(handheldMessage());
    EXPECT_EQ(app.SendMsg(record.get()), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(app.SetMsg(record.get()), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(app.SendMsg(nullptr), MAILHOST_NULL_ARGUMENT);
    EXPECT_TRUE(calls().empty());
}

}  // namespace
}  // namespace mapitest
