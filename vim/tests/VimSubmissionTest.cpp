// SendMsg and SetMsg over the recording fake: attributes in order, recipients looked up in the
// address books or addressed as written, the gateway rule, and every failure closing the
// message it created.
#include "VimFixture.h"

namespace vimtest {
namespace {

using Calls = std::vector<std::string>;

class VimSubmissionTest : public VimFakeTest {
protected:
    void SetUp() override {
        VimFakeTest::SetUp();
        fakevim::script().books = {
            {"Post Office", {{"teo", "teo"}, {"anna berg", "anna berg"}, {"cy", "cyrus"}}},
            {"Personal", {{"boss", "boss@example.org"}}},
        };
    }
    CMsg handheld(const std::string& to, const std::string& cc = "", const std::string& bcc = "") {
        CMsg msg;
        msg.m_subject = "Hi";
        msg.m_body = "Body";
        msg.m_to = to;
        msg.m_cc = cc;
        msg.m_bcc = bcc;
        return msg;
    }
    int send(const CMsg& msg) {
        Record r(msg);
        return app.SendMsg(r.get());
    }
    int file(const CMsg& msg) {
        Record r(msg);
        return app.SetMsg(r.get());
    }
    // The recipients as added: "class:type,nametype,name,addrtype,address".
    static const std::vector<std::string>& added() { return fakevim::addedRecipients(); }
};

TEST_F(VimSubmissionTest, SendWritesAttributesRecipientsAndBodyInOrder) {
    logOn();
    CMsg msg = handheld("Teo");
    msg.m_status = static_cast<uint16_t>(MAILMSG_STATUS_READ_RECEIPT | (0u << MAILMSG_STATUS_PRIORITY_SHIFT));
    EXPECT_EQ(send(msg), MAILHOST_OK);
    EXPECT_EQ(fakevim::calls(),
              (Calls{"CreateMessage(51,VIM_MAIL)", "SetMessageHeader(100,91,2,Hi)", "SetMessageHeader(100,79,2,=1)",
                     "SetMessageHeader(100,71,2,=2)", "SetMessageHeader(100,81,2,=1)",
                     "EnumerateAddressBooks(51,pos=0,1,1,[53:256],count=10)", "OpenAddressBook(51,Post Office)",
                     "MatchAddressBook(300,0:0,null,53,teo,36,null)",
                     "GetABEntryAttributes(300,entry=0:0,null,3,[53:256,1:1028,14:256])", "CloseAddressBook(300)",
                     "OpenAddressBook(51,Personal)", "MatchAddressBook(301,0:0,null,53,teo,36,null)",
                     "CloseAddressBook(301)", "SetMessageRecipient(100,97,26,0,,55,teo)",
                     "SetMessageItem(100,62,VIM_UNWRAPPED_TEXT,0,null,4,Body)", "SendMessage(100,null,null)"}));
    EXPECT_EQ(fakevim::openHandles().size(), 2u);
}

TEST_F(VimSubmissionTest, FilingWritesItsOwnAttributesAndClosesInsteadOfSending) {
    logOn();
    CMsg msg = handheld("teo");
    msg.m_status = static_cast<uint16_t>(MAILMSG_STATUS_READ_RECEIPT | MAILMSG_STATUS_DELIVERY_REPORT |
                                         (2u << MAILMSG_STATUS_PRIORITY_SHIFT));
    EXPECT_EQ(file(msg), MAILHOST_OK);
    EXPECT_EQ(callsOf("SetMessageHeader"),
              (Calls{"SetMessageHeader(100,91,2,Hi)", "SetMessageHeader(100,81,2,=1)", "SetMessageHeader(100,23,2,=1)",
                     "SetMessageHeader(100,71,2,=0)"}));
    EXPECT_TRUE(callsOf("SendMessage").empty());
    EXPECT_EQ(fakevim::calls().back(), "CloseMessage(100)");
}

TEST_F(VimSubmissionTest, PriorityBitsMapToVimPriorities) {
    const struct {
        unsigned bits;
        const char* written;
    } rows[] = {{0, "=2"}, {1, "=1"}, {2, "=0"}, {3, "=1"}};
    logOn();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bits);
        fakevim::calls().clear();
        CMsg msg = handheld("");
        msg.m_status = static_cast<uint16_t>(row.bits << MAILMSG_STATUS_PRIORITY_SHIFT);
        send(msg);
        const Calls priority = callsOf("SetMessageHeader");
        ASSERT_EQ(priority.size(), 3u);
        EXPECT_NE(priority[1].find(std::string(",71,2,") + row.written), std::string::npos) << priority[1];
    }
}

TEST_F(VimSubmissionTest, SubjectsAreCutAt256AndEmptyOnesHaveSizeZero) {
    logOn();
    CMsg msg = handheld("");
    msg.m_subject = std::string(300, 's');
    send(msg);
    EXPECT_EQ(callsOf("SetMessageHeader")[0], "SetMessageHeader(100,91,256," + std::string(256, 's') + ")");
    fakevim::calls().clear();
    msg.m_subject.clear();
    send(msg);
    EXPECT_EQ(callsOf("SetMessageHeader")[0], "SetMessageHeader(101,91,0,)");
}

TEST_F(VimSubmissionTest, ListsAreSplitAndEachEntryAddedOnce) {
    logOn();
    EXPECT_EQ(send(handheld("teo; cy", "teo")), MAILHOST_OK);
    EXPECT_EQ(added(), (Calls{"97:26,0,,55,teo", "97:26,0,,55,cyrus", "10:26,0,,55,teo"}));
}

TEST_F(VimSubmissionTest, RecipientsNotFoundAreAddressedAsWrittenInLowerCase) {
    logOn("Internet");
    EXPECT_EQ(send(handheld("Zed Quist <Zed@Example.ORG>", "Some One")), MAILHOST_OK);
    EXPECT_EQ(added(), (Calls{"97:101,55,zed quist,55,zed@example.org at Internet", "10:101,55,some one,55,some one"}));
}

TEST_F(VimSubmissionTest, AnAddressTypeInFrontIsDropped) {
    logOn("Internet");
    EXPECT_EQ(send(handheld("smtp:Pat@example.org, x400:boss")), MAILHOST_OK);
    EXPECT_EQ(added(), (Calls{"97:101,55,pat@example.org,55,pat@example.org at Internet",
                              "97:26,0,,55,boss@example.org"}));
}

TEST_F(VimSubmissionTest, TheGatewayRule) {
    struct Row {
        const char* what;
        const char* entry;
        const char* address;
    };
    const Row rows[] = {
        {"Internet address gets the gateway", "pat@example.org", "pat@example.org at Internet"},
        {"already routed", "pat@example.org at Other", "pat@example.org at other"},
        {"a trailing separator is dropped", "pat@example.org at ", "pat@example.org"},
        {"also inside quotes", "\"pat@example.org at \"", "pat@example.org"},
        {"a cc:Mail name never gets one", "Pat Smith", "pat smith"},
    };
    logOn("Internet");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fakevim::addedRecipients().clear();
        EXPECT_EQ(send(handheld(row.entry)), MAILHOST_OK);
        ASSERT_EQ(added().size(), 1u);
        EXPECT_EQ(added()[0].substr(added()[0].rfind(',') + 1), row.address);
    }
}

TEST_F(VimSubmissionTest, WithoutAGatewayInternetMailGoesOutUnrouted) {
    logOn("");
    EXPECT_EQ(send(handheld("pat@example.org")), MAILHOST_OK);
    EXPECT_EQ(added(), (Calls{"97:101,55,pat@example.org,55,pat@example.org"}));
}

TEST_F(VimSubmissionTest, HeldSettingsGatewayWinsOverTheLogonOne) {
    logOn("Internet");
    app.Settings().SetHostName(kHost);
    app.Settings().SetInternetGateway("Wizard");
    EXPECT_EQ(send(handheld("pat@example.org")), MAILHOST_OK);
    EXPECT_EQ(added(), (Calls{"97:101,55,pat@example.org,55,pat@example.org at Wizard"}));
}

TEST_F(VimSubmissionTest, AnExistingRecipientIsNoErrorAnyOtherRefusalRejects) {
    logOn();
    fakevim::script().failures["SetMessageRecipient"][0] = VIMSTS_NAME_EXISTS;
    EXPECT_EQ(send(handheld("teo, cy")), MAILHOST_OK);
    fakevim::reset();
    app.Binding().UseFunctions(fakevim::functions());
    logOn();
    fakevim::script().books.clear();
    fakevim::script().failures["SetMessageRecipient"][0] = VIMSTS_NAME_NOT_FOUND;
    EXPECT_EQ(send(handheld("nobody, cy", "teo")), MAILHOST_RECIPIENT_REJECTED);
    EXPECT_EQ(callsOf("SetMessageRecipient").size(), 1u) << "later recipients are not added";
    EXPECT_TRUE(callsOf("SendMessage").empty());
    EXPECT_EQ(fakevim::calls().back(), "CloseMessage(100)");
}

TEST_F(VimSubmissionTest, EveryFailureClosesTheMessageItCreated) {
    struct Row {
        const char* failingOp;
        int nth;
        int result;
        bool closed;
    };
    const Row rows[] = {
        {"CreateMessage", 0, MAILHOST_ERROR, false},
        {"SetMessageHeader", 0, MAILHOST_SERVER_ERROR, true},
        {"SetMessageHeader", 2, MAILHOST_SERVER_ERROR, true},
        {"SetMessageItem", 0, MAILHOST_SERVER_ERROR, true},
        {"SendMessage", 0, MAILHOST_ERROR, true},
        {"CloseMessage", 0, MAILHOST_SERVER_ERROR, true},
    };
    for (const bool submit : {true, false}) {
        for (const Row& row : rows) {
            if (!submit && std::string(row.failingOp) == "SendMessage") continue;
            SCOPED_TRACE(std::string(submit ? "send " : "file ") + row.failingOp + " " + std::to_string(row.nth));
            fakevim::reset();
            app.Binding().UseFunctions(fakevim::functions());
            logOn();
            fakevim::script().failures[row.failingOp][row.nth] = VIMSTS_WRITE_FAILURE;
            // A failed close of a filed message is the failure itself.
            const bool closeFails = std::string(row.failingOp) == "CloseMessage";
            if (submit && closeFails) fakevim::script().failures["SendMessage"][0] = VIMSTS_WRITE_FAILURE;
            const CMsg msg = handheld("teo");
            EXPECT_EQ(submit ? send(msg) : file(msg), row.result);
            EXPECT_EQ(callsOf("CloseMessage").size(), row.closed ? 1u : 0u);
            EXPECT_EQ(fakevim::openHandles().size(), 2u);
            app.Logoff();
        }
    }
}

TEST_F(VimSubmissionTest, ALookUpFailureAddressesTheEntryAsWritten) {
    struct Row {
        const char* failingOp;
        size_t booksClosed;
    };
    const Row rows[] = {{"EnumerateAddressBooks", 0}, {"OpenAddressBook", 0}, {"MatchAddressBook", 1},
                        {"GetABEntryAttributes", 1}, {"CloseAddressBook", 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.failingOp);
        fakevim::reset();
        app.Binding().UseFunctions(fakevim::functions());
        fakevim::script().books = {{"Post Office", {{"teo", "teo"}}}};
        logOn();
        fakevim::script().failures[row.failingOp][0] = VIMSTS_FAILURE;
        EXPECT_EQ(send(handheld("Teo")), MAILHOST_OK);
        EXPECT_EQ(added(), (Calls{"97:101,55,teo,55,teo"}));
        EXPECT_EQ(callsOf("CloseAddressBook").size(), row.booksClosed);
        EXPECT_EQ(fakevim::openHandles().size(), 2u);
        app.Logoff();
    }
}

TEST_F(VimSubmissionTest, ALaterBookHoldingTheEntryHasTheLastWord) {
    fakevim::script().books = {{"Post Office", {{"boss", "boss"}}}, {"Personal", {{"boss", "boss@example.org"}}}};
    logOn();
    EXPECT_EQ(send(handheld("Boss")), MAILHOST_OK);
    EXPECT_EQ(added(), (Calls{"97:26,0,,55,boss@example.org"}));
}

TEST_F(VimSubmissionTest, WithoutASessionNothingIsCalled) {
    EXPECT_EQ(send(handheld("teo")), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(file(handheld("teo")), MAILHOST_SERVER_ERROR);
    EXPECT_TRUE(fakevim::calls().empty());
    EXPECT_EQ(app.SendMsg(nullptr), MAILHOST_NULL_ARGUMENT);
}

}  // namespace
}  // namespace vimtest
