// New messages: recipients, submission to local users and through the gateway, filing.
#include <cstring>

#include "VimFixture.h"
#include "platform/RegistryValues.h"

namespace vimtest {
namespace {

class SubmitTest : public VimFixture {
protected:
    void SetUp() override {
        VimFixture::SetUp();
        if (HasFatalFailure()) return;
        makeStandardPostOffice();
        session = logOn("teo", "harbour7");
    }
    void TearDown() override {
        if (session != nullptr) vim.CloseSession(session);
        VimFixture::TearDown();
    }
    vimMsg create(const std::string& subject, const std::string& body) {
        vimMsg msg = nullptr;
        EXPECT_EQ(vim.CreateMessage(session, const_cast<char*>(VIM_MAIL), &msg), VIMSTS_SUCCESS);
        EXPECT_EQ(vim.SetMessageHeader(msg, VIMSEL_SUBJECT, static_cast<vimWord>(subject.size()),
                                       const_cast<char*>(subject.data())),
                  VIMSTS_SUCCESS);
        vimBuffFileDesc desc{static_cast<vimDWord>(body.size()), const_cast<char*>(body.data()), 0, nullptr};
        EXPECT_EQ(vim.SetMessageItem(msg, VIMSEL_NOTE_PART, const_cast<char*>(VIM_UNWRAPPED_TEXT), 0, nullptr, &desc),
                  VIMSTS_SUCCESS);
        return msg;
    }
    vimStatus add(vimMsg msg, vimSelector recipientClass, const std::string& name, const std::string& address) {
        vimRecipient r = recipient(name, address);
        return vim.SetMessageRecipient(msg, recipientClass, &r);
    }
    std::vector<vesk::store::Message> inboxOf(const std::string& user, const std::string& folder = vesk::store::kInbox) {
        std::vector<vesk::store::Message> messages;
        auto store = storeOf(user);
        auto listed = store->list(folder);
        if (!listed) return messages;
        for (const auto& info : *listed) messages.push_back(*store->read(folder, info.id));
        return messages;
    }
    vimSes session = nullptr;
};

TEST_F(SubmitTest, MailToAnotherUserArrivesInThatUsersMaildir) {
    vimMsg msg = create("Low tide at six", "Meet at the pier.\r\n");
    ASSERT_EQ(add(msg, VIMSEL_TO, "", "mira"), VIMSTS_SUCCESS);
    ASSERT_EQ(vim.SendMessage(msg, nullptr, nullptr), VIMSTS_SUCCESS);
    EXPECT_EQ(vim.CloseMessage(msg), VIMSTS_INVALID_OBJECT) << "the library took the message";

    auto arrived = inboxOf("mira");
    ASSERT_EQ(arrived.size(), 1u);
    EXPECT_EQ(arrived[0].subject, "Low tide at six");
    EXPECT_EQ(arrived[0].from.address, "teo.varga@example.org");
    EXPECT_EQ(arrived[0].from.name, "Teo Varga");
    EXPECT_NE(arrived[0].body.find("Meet at the pier."), std::string::npos);
    EXPECT_FALSE(arrived[0].read);
    EXPECT_TRUE(inboxOf("teo").empty()) << "no copy without VIMSEL_SAVE";

    // Mira sees it in her mailbox, from teo by name.
    vimSes hers = logOn("mira", "tide4");
    vimMsgContainer box = inbox(hers);
    vimEnumRef pos{};
    vimRecipient from[10];
    vimAttrDesc desc{VIMSEL_FROM, sizeof(vimRecipient), from};
    vimWord count = 10;
    vimBool more = VIM_FALSE;
    ASSERT_EQ(vim.EnumerateMessages(box, &pos, 1, 1, &desc, &count, 0, nullptr, 0, &more), VIMSTS_SUCCESS);
    ASSERT_EQ(count, 1);
    EXPECT_STREQ(from[0].Address.Value, "teo");
    vim.CloseSession(hers);
}

TEST_F(SubmitTest, InternetMailIsQueuedAndHandedToTheSendingCommand) {
    ASSERT_EQ(vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\VIM", "SendCommand", captureScript()),
              ERROR_SUCCESS);
    vimMsg msg = create("Hello", "from the harbour\r\n");
    ASSERT_EQ(add(msg, VIMSEL_TO, "Bob", "bob@example.com at INTERNET"), VIMSTS_SUCCESS);
    ASSERT_EQ(add(msg, VIMSEL_CC, "", "mira"), VIMSTS_SUCCESS);
    ASSERT_EQ(add(msg, VIMSEL_BCC, "", "dora@example.net"), VIMSTS_SUCCESS);
    vimWord save = 1;
    ASSERT_EQ(vim.SetMessageHeader(msg, VIMSEL_SAVE, 2, &save), VIMSTS_SUCCESS);
    ASSERT_EQ(vim.SendMessage(msg, nullptr, nullptr), VIMSTS_SUCCESS);

    auto calls = captured();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].first.find("bob@example.com"), std::string::npos);
    EXPECT_NE(calls[0].first.find("dora@example.net"), std::string::npos);
    EXPECT_EQ(calls[0].first.find(" at "), std::string::npos) << "the gateway part is not an address";
    EXPECT_EQ(calls[0].first.find("harbour.invalid"), std::string::npos) << "local users are not sent out";
    EXPECT_EQ(calls[0].second.find("dora@example.net"), std::string::npos) << "Bcc unseen";
    EXPECT_EQ(inboxOf("mira").size(), 1u);
    auto sent = inboxOf("teo", "Sent");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(sent[0].read);
    EXPECT_TRUE(inboxOf("teo", vesk::store::kOutbox).empty()) << "sent mail left the queue";
}

TEST_F(SubmitTest, WithoutASendingCommandInternetMailStaysQueued) {
    vimMsg msg = create("Queued", "x");
    ASSERT_EQ(add(msg, VIMSEL_TO, "", "bob@example.com"), VIMSTS_SUCCESS);
    ASSERT_EQ(vim.SendMessage(msg, nullptr, nullptr), VIMSTS_SUCCESS);
    auto queued = inboxOf("teo", vesk::store::kOutbox);
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(queued[0].to.at(0).address, "bob@example.com");
}

// Each row: a recipient as written, and what adding it must give.
TEST_F(SubmitTest, RecipientsFoundAndNotFound) {
    vimMsg msg = create("r", "x");
    struct Case {
        vimSelector recipientClass;
        const char* name;
        const char* address;
        vimStatus expected;
    } cases[] = {
        {VIMSEL_TO, "", "mira", VIMSTS_SUCCESS},
        {VIMSEL_TO, "", "MIRA", VIMSTS_NAME_EXISTS},              // the same user again
        {VIMSEL_TO, "Mira Sand", "", VIMSTS_NAME_EXISTS},         // by display name
        {VIMSEL_CC, "", "mira", VIMSTS_SUCCESS},                  // another class is another list
        {VIMSEL_TO, "", "nobody", VIMSTS_NAME_NOT_FOUND},
        {VIMSEL_TO, "", "bob@example.com at ELSEWHERE", VIMSTS_NAME_NOT_FOUND},
        {VIMSEL_TO, "", "bob@example.com at internet", VIMSTS_SUCCESS},
        {VIMSEL_TO, "", "Bob@Example.com", VIMSTS_NAME_EXISTS},
        {VIMSEL_TO, "", "teo.varga@example.org", VIMSTS_SUCCESS},  // a user's own Internet address
        {VIMSEL_TO, "", "teo", VIMSTS_NAME_EXISTS},
        {VIMSEL_TO, "", "teo.varga@example.org at INTERNET", VIMSTS_NAME_EXISTS},  // local, gateway or not
        {VIMSEL_TO, "", "not an address@", VIMSTS_BAD_PARAM},
        {VIMSEL_TO, "", "", VIMSTS_BAD_PARAM},
        {VIMSEL_FROM, "", "mira", VIMSTS_INVALID_SELECTOR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "/" + c.address);
        EXPECT_EQ(add(msg, c.recipientClass, c.name, c.address), c.expected);
    }
    vim.CloseMessage(msg);
}

TEST_F(SubmitTest, APostOfficeWithoutGatewayRefusesInternetMail) {
    ASSERT_EQ(tool({"create", postOffice, "HARBOUR", ""}), 0);
    vim.CloseSession(session);
    session = logOn("teo", "harbour7");
    vimMsg msg = create("r", "x");
    EXPECT_EQ(add(msg, VIMSEL_TO, "", "bob@example.com"), VIMSTS_NAME_NOT_FOUND);
    EXPECT_EQ(add(msg, VIMSEL_TO, "", "mira"), VIMSTS_SUCCESS);
    vim.CloseMessage(msg);
}

TEST_F(SubmitTest, ClosingAnUnsentMessageFilesItInTheMailbox) {
    vimMsg msg = create("Kept, not sent", "draft text");
    ASSERT_EQ(add(msg, VIMSEL_TO, "", "mira"), VIMSTS_SUCCESS);
    vimWord one = 1, high = VIM_HIGH_PRIORITY;
    ASSERT_EQ(vim.SetMessageHeader(msg, VIMSEL_DRAFT, 2, &one), VIMSTS_SUCCESS);
    ASSERT_EQ(vim.SetMessageHeader(msg, VIMSEL_PRIORITY, 2, &high), VIMSTS_SUCCESS);
    ASSERT_EQ(vim.CloseMessage(msg), VIMSTS_SUCCESS);
    auto filed = inboxOf("teo");
    ASSERT_EQ(filed.size(), 1u);
    EXPECT_EQ(filed[0].subject, "Kept, not sent");
    EXPECT_EQ(filed[0].priority, vesk::store::Priority::High);
    EXPECT_NE(filed[0].info.flags.find('D'), std::string::npos);
    EXPECT_TRUE(inboxOf("mira").empty()) << "filing sends nothing";
}

TEST_F(SubmitTest, AMessageWithoutRecipientsIsNotSubmitted) {
    vimMsg msg = create("nobody", "x");
    EXPECT_EQ(vim.SendMessage(msg, nullptr, nullptr), VIMSTS_NO_RECIPIENTS);
    EXPECT_EQ(vim.CloseMessage(msg), VIMSTS_SUCCESS) << "still the caller's";
    vimMsg other = nullptr;
    EXPECT_EQ(vim.CreateMessage(session, const_cast<char*>("VIM_FAX"), &other), VIMSTS_UNSUP_TYPE);
    EXPECT_EQ(vim.CreateMessage(nullptr, const_cast<char*>(VIM_MAIL), &other), VIMSTS_INVALID_OBJECT);
}

TEST_F(SubmitTest, SubjectsAreCutAt256Characters) {
    std::string subject(300, 's');
    vimMsg msg = create(subject, "x");
    ASSERT_EQ(vim.CloseMessage(msg), VIMSTS_SUCCESS);
    auto filed = inboxOf("teo");
    ASSERT_EQ(filed.size(), 1u);
    EXPECT_EQ(filed[0].subject, std::string(256, 's'));
}

}  // namespace
}  // namespace vimtest
