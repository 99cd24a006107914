// SendMsg and SetMsg against the recording fake: the exact message the library gets.
#include "SmapiFixture.h"
#include "framework/Allocation.h"

namespace smapitest {
namespace {

using fakemapi::callNames;
using fakemapi::calls;
using fakemapi::script;
using Names = std::vector<std::string>;

std::optional<std::string> text(const std::string& s) { return s; }

fakemapi::Recip bookEntry(const std::string& name, const std::string& address) {
    fakemapi::Recip r;
    r.recipClass = MAPI_TO;
    r.name = name;
    r.address = address;
    r.entryId = "eid:" + address;
    return r;
}

class SubmissionTest : public SmapiFakeTest {
protected:
    void SetUp() override {
        SmapiFakeTest::SetUp();
        if (HasFatalFailure()) return;
        logOn();
        script().book["anna"] = bookEntry("Anna Berg", "anna@example.org");
        script().book["carl"] = bookEntry("Carl Nystr\xf6m", "carl@example.se");
        script().book["bob@example.com"] = bookEntry("Bob Hansen", "bob@example.com");
    }
    // The message of the last MAPISendMail or MAPISaveMail call.
    const fakemapi::Message& sent() {
        EXPECT_FALSE(calls().empty());
        EXPECT_TRUE(calls().back().message.has_value());
        return *calls().back().message;
    }
    // The names the library was asked to resolve, in order.
    std::vector<std::string> resolved() {
        std::vector<std::string> names;
        for (const auto& c : calls()) {
            if (c.function == "MAPIResolveName") names.push_back(c.text.value_or("<null>"));
        }
        return names;
    }
};

TEST_F(SubmissionTest, RecipientsAreCountedSplitAndResolvedInClassOrder) {
    CMsg msg;
    msg.m_to = "Anna;bob@example.com,,Carl";
    msg.m_cc = "SMTP:Dora@Example.NET";
    msg.m_bcc = " ; ";
    Record record(msg);
    ASSERT_EQ(app.SendMsg(record.get()), MAILHOST_OK);
    EXPECT_EQ(resolved(), (std::vector<std::string>{"anna", "bob@example.com", "carl", "dora@example.net"}))
        << "without the address type and without capitals";
    const fakemapi::Message& m = sent();
    ASSERT_EQ(m.recipCount, 4u);
    struct Expected {
        ULONG recipClass;
        fakemapi::Text name;
        fakemapi::Text address;
        std::string entryId;
    };
    const Expected expected[] = {
        {MAPI_TO, text("Anna Berg"), text("anna@example.org"), "eid:anna@example.org"},
        {MAPI_TO, text("Bob Hansen"), text("bob@example.com"), "eid:bob@example.com"},
        {MAPI_TO, text("Carl Nystr\xf6m"), text("carl@example.se"), "eid:carl@example.se"},
        // Unknown to the library: its own text (capitals kept) as the name, nothing else.
        {MAPI_CC, text("Dora@Example.NET"), std::nullopt, ""},
    };
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(m.recips[i].recipClass, expected[i].recipClass);
        EXPECT_EQ(m.recips[i].name, expected[i].name);
        EXPECT_EQ(m.recips[i].address, expected[i].address);
        EXPECT_EQ(m.recips[i].entryId, expected[i].entryId);
    }
    EXPECT_FALSE(m.originator.has_value()) << "the sender is whoever is logged on";
    EXPECT_EQ(calls().back().flags, 0u);
    EXPECT_EQ(calls().back().session, script().sessionHanded);
    // Every recipient the library handed out was given back.
    EXPECT_EQ(fakemapi::outstandingBuffers(), 0);
}

TEST_F(SubmissionTest, ADisplayNameWithACommaIsCutThere) {
    CMsg msg;
    msg.m_to = "\"Nystr\xf6m, Carl\" <carl@example.se>";
    Record record(msg);
    ASSERT_EQ(app.SendMsg(record.get()), MAILHOST_OK);
    EXPECT_EQ(resolved(), (std::vector<std::string>{"\"nystr\xf6m", "carl\" <carl@example.se>"}));
    EXPECT_EQ(sent().recipCount, 2u);
}

TEST_F(SubmissionTest, ReceiptRequestsAndNullTexts) {
    struct Row {
        const char* what;
        uint16_t status;
        FLAGS flags;
    };
    const Row rows[] = {
        {"neither report", 0x0400, 0},
        {"delivery report", 0x0400 | MAILMSG_STATUS_DELIVERY_REPORT, MAPI_RECEIPT_REQUESTED},
        {"read receipt", 0x0400 | MAILMSG_STATUS_READ_RECEIPT, MAPI_RECEIPT_REQUESTED},
        {"both", 0x0400 | MAILMSG_STATUS_READ_RECEIPT | MAILMSG_STATUS_DELIVERY_REPORT, MAPI_RECEIPT_REQUESTED},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CMsg msg;
        msg.m_status = row.status;
        msg.m_to = "anna";
        Record record(msg);
        ASSERT_EQ(app.SendMsg(record.get()), MAILHOST_OK);
        EXPECT_EQ(sent().flags, row.flags);
        // A record without subject and body: NULL for both when sending.
        EXPECT_EQ(sent().subject, std::nullopt);
        EXPECT_EQ(sent().noteText, std::nullopt);
    }
}

TEST_F(SubmissionTest, TextsReachTheLibraryUnchanged) {
    CMsg msg;
    msg.m_subject = "Caf\xe9 at 12?";
    msg.m_body = "Line one\r\nLine two";
    msg.m_to = "anna";
    Record record(msg);
    ASSERT_EQ(app.SendMsg(record.get()), MAILHOST_OK);
    EXPECT_EQ(sent().subject, text("Caf\xe9 at 12?"));
    EXPECT_EQ(sent().noteText, text("Line one\r\nLine two"));
    EXPECT_EQ(sent().recipCount, 1u);
}

TEST_F(SubmissionTest, ARefusedSendIsSendFailed) {
    script().sendResult = MAPI_E_FAILURE;
    CMsg msg;
    msg.m_to = "anna";
    Record record(msg);
    EXPECT_EQ(app.SendMsg(record.get()), MAILHOST_SEND_FAILED);
    script().sendResult = MAPI_E_UNKNOWN_RECIPIENT;
    EXPECT_EQ(app.SendMsg(record.get()), MAILHOST_SEND_FAILED);
}

TEST_F(SubmissionTest, SetMsgFilesWithTheFirstSenderAsOriginator) {
    CMsg msg;
    msg.m_from = "bob@example.com (Bob Hansen), eve@example.com";
    msg.m_to = "anna";
    msg.m_cc = "carl";
    Record record(msg);
    ASSERT_EQ(app.SetMsg(record.get()), MAILHOST_OK);
    const fakemapi::Call& save = calls().back();
    EXPECT_EQ(save.function, "MAPISaveMail");
    EXPECT_EQ(save.flags, 0u);
    EXPECT_EQ(save.text, text("")) << "an empty identifier: a new message";
    const fakemapi::Message& m = *save.message;
    EXPECT_EQ(m.subject, text("")) << "empty texts, not NULL, when filing";
    EXPECT_EQ(m.noteText, text(""));
    EXPECT_EQ(m.flags, 0u);
    ASSERT_TRUE(m.originator.has_value());
    EXPECT_EQ(m.originator->recipClass, ULONG(MAPI_ORIG));
    EXPECT_EQ(m.originator->name, text("bob@example.com (Bob Hansen)"));
    ASSERT_EQ(m.recipCount, 2u);
    EXPECT_EQ(m.recips[0].recipClass, ULONG(MAPI_TO));
    EXPECT_EQ(m.recips[1].recipClass, ULONG(MAPI_CC));
    EXPECT_EQ(resolved(), (std::vector<std::string>{"bob@example.com (bob hansen)", "anna", "carl"}));
}

TEST_F(SubmissionTest, SetMsgWithoutASenderHasAnEmptyOriginator) {
    CMsg msg;
    Record record(msg);
    ASSERT_EQ(app.SetMsg(record.get()), MAILHOST_OK);
    const fakemapi::Message& m = sent();
    ASSERT_TRUE(m.originator.has_value());
    EXPECT_EQ(m.originator->recipClass, ULONG(MAPI_ORIG));
    EXPECT_EQ(m.originator->name, std::nullopt);
    EXPECT_EQ(m.originator->address, std::nullopt);
    EXPECT_EQ(m.recipCount, 0u);
    EXPECT_EQ(callNames(), Names{"MAPISaveMail"});
}

TEST_F(SubmissionTest, ARefusedSaveIsAServerError) {
    script().saveResult = MAPI_E_FAILURE;
    CMsg msg;
    Record record(msg);
    EXPECT_EQ(app.SetMsg(record.get()), MAILHOST_SERVER_ERROR);
}

TEST_F(SubmissionTest, OutOfMemorySendsAndSavesNothing) {
    CMsg msg;
    msg.m_to = "anna, carl";
    msg.m_from = "bob@example.com";
    Record record(msg);
    for (int which = 0; which < 3; ++which) {
        SCOPED_TRACE(which);
        calls().clear();
        vesk::injectAllocationFailure(which);
        int sendResult = app.SendMsg(record.get());
        vesk::injectAllocationFailure(-1);
        if (which < 2) {
            EXPECT_EQ(sendResult, MAILHOST_OUT_OF_MEMORY);
            for (const std::string& name : callNames()) EXPECT_NE(name, "MAPISendMail");
        }
        calls().clear();
        vesk::injectAllocationFailure(which);
        int saveResult = app.SetMsg(record.get());
        vesk::injectAllocationFailure(-1);
        EXPECT_EQ(saveResult, MAILHOST_OUT_OF_MEMORY);
        for (const std::string& name : callNames()) EXPECT_NE(name, "MAPISaveMail");
    }
    EXPECT_EQ(fakemapi::outstandingBuffers(), 0);
}

TEST_F(SubmissionTest, ANullRecordIsRefused) {
    EXPECT_EQ(app.SendMsg(nullptr), MAILHOST_NULL_ARGUMENT);
    EXPECT_EQ(app.SetMsg(nullptr), MAILHOST_NULL_ARGUMENT);
    EXPECT_TRUE(calls().empty());
}

}  // namespace
}  // namespace smapitest
