// MAPISendMail: queued durably, handed to the sending command, refusals kept for later.
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "MapiFixture.h"
#include "store/ProblemLog.h"

namespace mapitest {
namespace {

namespace fs = std::filesystem;

class SendMailTest : public MailboxTest {
protected:
    void SetUp() override {
        MailboxTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        recips[0] = MapiRecipDesc{0, MAPI_TO, const_cast<char*>("Bob Hansen"), nullptr, 0, nullptr};
        recips[1] = MapiRecipDesc{0, MAPI_CC, const_cast<char*>("Eva"), const_cast<char*>("SMTP:eva@example.com"), 0, nullptr};
        recips[2] = MapiRecipDesc{0, MAPI_BCC, const_cast<char*>("frank@example.net"), nullptr, 0, nullptr};
        msg.lpszSubject = const_cast<char*>("Lunch on Friday?");
        msg.lpszNoteText = const_cast<char*>("Shall we meet at noon?\r\nAnna");
        msg.nRecipCount = 3;
        msg.lpRecips = recips;
    }
    std::vector<vesk::store::MessageInfo> folder(const std::string& name) {
        auto listing = storeOf("anna")->list(name);
        return listing.ok() ? *listing : std::vector<vesk::store::MessageInfo>{};
    }
    std::vector<vesk::store::SendRecord> queueLog() {
        auto log = storeOf("anna")->queueLog();
        return log.ok() ? *log : std::vector<vesk::store::SendRecord>{};
    }
    MapiRecipDesc recips[3];
    MapiMessage msg{};
};

TEST_F(SendMailTest, AConfiguredCommandGetsEnvelopeHeadersAndBody) {
    setAccountValue("anna", "SendCommand", captureScript(0));
    LHANDLE session = logOn("anna", "s3cret");
    ASSERT_EQ(MAPISendMail(session, 0, &msg, 0, 0), SUCCESS_SUCCESS);

    auto calls = captured();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].first, (std::vector<std::string>{"-i", "-f", "anna.berg@example.org", "--", "bob@example.com",
                                                        "eva@example.com", "frank@example.net"}));
    const std::string& text = calls[0].second;
    EXPECT_NE(text.find("From: Anna Berg <anna.berg@example.org>"), std::string::npos) << text;
    EXPECT_NE(text.find("To: Bob Hansen <bob@example.com>"), std::string::npos) << text;
    EXPECT_NE(text.find("Cc: Eva <eva@example.com>"), std::string::npos) << text;
    EXPECT_EQ(text.find("frank@"), std::string::npos) << "Bcc never reaches the message";
    EXPECT_NE(text.find("Subject: Lunch on Friday?"), std::string::npos) << text;
    EXPECT_NE(text.find("Shall we meet at noon?\nAnna"), std::string::npos) << text;

    EXPECT_TRUE(folder("Outbox").empty());
    auto sent = folder("Sent");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(sent[0].seen());
    auto log = queueLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].outcome, vesk::store::SendOutcome::Sent);
    MAPILogoff(session, 0, 0, 0);
}

TEST_F(SendMailTest, WithoutACommandTheMessageStaysQueuedUntilOneIsConfigured) {
    LHANDLE session = logOn("anna", "s3cret");
    ASSERT_EQ(MAPISendMail(session, 0, &msg, 0, 0), SUCCESS_SUCCESS);
    EXPECT_EQ(folder("Outbox").size(), 1u);
    EXPECT_TRUE(folder("Sent").empty());
    MAPILogoff(session, 0, 0, 0);

    setAccountValue("anna", "SendCommand", captureScript(0));
    session = logOn("anna", "s3cret");
    EXPECT_EQ(captured().size(), 1u) << "the logon handed the queue over";
    EXPECT_TRUE(folder("Outbox").empty());
    EXPECT_EQ(folder("Sent").size(), 1u);
    MAPILogoff(session, 0, 0, 0);
}

TEST_F(SendMailTest, ARefusingCommandKeepsTheMessageAndRecordsWhy) {
    setAccountValue("anna", "SendCommand", captureScript(75));
    LHANDLE session = logOn("anna", "s3cret");
    ASSERT_EQ(MAPISendMail(session, 0, &msg, 0, 0), SUCCESS_SUCCESS) << "queued is success";
    EXPECT_EQ(folder("Outbox").size(), 1u);
    auto log = queueLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].outcome, vesk::store::SendOutcome::Failed);
    EXPECT_NE(log[0].detail.find("relay refused"), std::string::npos) << log[0].detail;

    // The next send tries both again; once the command works both leave.
    ASSERT_EQ(MAPISendMail(session, 0, &msg, 0, 0), SUCCESS_SUCCESS);
    EXPECT_EQ(folder("Outbox").size(), 2u);
    EXPECT_EQ(queueLog().size(), 3u);
    MAPILogoff(session, 0, 0, 0);

    setAccountValue("anna", "SendCommand", captureScript(0));
    session = logOn("anna", "s3cret");
    EXPECT_TRUE(folder("Outbox").empty());
    EXPECT_EQ(folder("Sent").size(), 2u);
    EXPECT_EQ(captured().size(), 5u) << "three refused tries, then two sent";
    MAPILogoff(session, 0, 0, 0);
}

TEST_F(SendMailTest, AMessageThatCannotBeQueuedFails) {
    // Something that is not a folder where the outbox belongs: nothing can be queued.
    std::ofstream(maildirOf("anna") + "/.Outbox") << "in the way";
    LHANDLE session = logOn("anna", "s3cret");
    EXPECT_EQ(MAPISendMail(session, 0, &msg, 0, 0), MAPI_E_FAILURE);
    MAPILogoff(session, 0, 0, 0);
}

TEST_F(SendMailTest, RecipientsMustResolve) {
    LHANDLE session = logOn("anna", "s3cret");
    struct Row {
        const char* what;
        MapiRecipDesc recip;
        ULONG expected;
    };
    char entryId[] = "vesk-ab:dora@example.net";
    char badEntryId[] = "something else";
    const Row rows[] = {
        {"a name the book knows", {0, MAPI_TO, const_cast<char*>("Carl"), nullptr, 0, nullptr}, SUCCESS_SUCCESS},
        {"an address typed as the name", {0, MAPI_TO, const_cast<char*>("Gus <gus@example.org>"), nullptr, 0, nullptr}, SUCCESS_SUCCESS},
        {"an entry identifier", {0, MAPI_TO, nullptr, nullptr, sizeof entryId - 1, entryId}, SUCCESS_SUCCESS},
        {"a name nobody knows", {0, MAPI_TO, const_cast<char*>("Zacharias"), nullptr, 0, nullptr}, MAPI_E_UNKNOWN_RECIPIENT},
        {"a name two people share", {0, MAPI_TO, const_cast<char*>("Bob"), nullptr, 0, nullptr}, MAPI_E_AMBIGUOUS_RECIPIENT},
        {"another address type", {0, MAPI_TO, nullptr, const_cast<char*>("FAX:+4930123"), 0, nullptr}, MAPI_E_INVALID_RECIPS},
        {"an address with a second recipient in it", {0, MAPI_TO, nullptr, const_cast<char*>("a@example.com, b@example.com"), 0, nullptr}, MAPI_E_INVALID_RECIPS},
        {"an address with a line break", {0, MAPI_TO, nullptr, const_cast<char*>("a@example.com\r\nBcc: x@example.com"), 0, nullptr}, MAPI_E_INVALID_RECIPS},
        {"a foreign entry identifier", {0, MAPI_TO, const_cast<char*>("Bob"), nullptr, sizeof badEntryId - 1, badEntryId}, MAPI_E_INVALID_RECIPS},
        {"neither name nor address", {0, MAPI_TO, nullptr, nullptr, 0, nullptr}, MAPI_E_INVALID_RECIPS},
        {"the originator class", {0, MAPI_ORIG, nullptr, const_cast<char*>("a@example.com"), 0, nullptr}, MAPI_E_BAD_RECIPTYPE},
    };
    size_t queued = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        MapiRecipDesc recip = row.recip;
        MapiMessage m{};
        m.lpszSubject = const_cast<char*>("x");
        m.nRecipCount = 1;
        m.lpRecips = &recip;
        EXPECT_EQ(MAPISendMail(session, 0, &m, 0, 0), row.expected);
        if (row.expected == SUCCESS_SUCCESS) ++queued;
        EXPECT_EQ(folder("Outbox").size(), queued) << "nothing is queued on failure";
    }
    MapiMessage empty{};
    EXPECT_EQ(MAPISendMail(session, 0, &empty, 0, 0), MAPI_E_INVALID_RECIPS);
    EXPECT_EQ(MAPISendMail(session, 0, nullptr, 0, 0), MAPI_E_FAILURE);
    EXPECT_EQ(MAPISendMail(session, 0, &msg, MAPI_DIALOG, 0), MAPI_E_NOT_SUPPORTED);
    EXPECT_EQ(MAPISendMail(session + 256, 0, &msg, 0, 0), MAPI_E_INVALID_SESSION);
    MAPILogoff(session, 0, 0, 0);
}

TEST_F(SendMailTest, ALineBreakInTheSubjectAddsNoHeader) {
    setAccountValue("anna", "SendCommand", captureScript(0));
    msg.lpszSubject = const_cast<char*>("Hello\r\nBcc: mallory@example.com");
    msg.flFlags = MAPI_RECEIPT_REQUESTED;
    LHANDLE session = logOn("anna", "s3cret");
    ASSERT_EQ(MAPISendMail(session, 0, &msg, 0, 0), SUCCESS_SUCCESS);
    auto calls = captured();
    ASSERT_EQ(calls.size(), 1u);
    for (const std::string& arg : calls[0].first) EXPECT_EQ(arg.find("mallory"), std::string::npos);
    EXPECT_EQ(calls[0].second.find("\nBcc:"), std::string::npos);
    EXPECT_NE(calls[0].second.find("Disposition-Notification-To: anna.berg@example.org"), std::string::npos)
        << calls[0].second;
    MAPILogoff(session, 0, 0, 0);
}

TEST_F(SendMailTest, ATemporarySessionSendsAsTheDefaultAccount) {
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail", "DefaultAccount", "bob");
    recips[0].lpszName = const_cast<char*>("anna.berg@example.org");
    ASSERT_EQ(MAPISendMail(0, 0, &msg, 0, 0), SUCCESS_SUCCESS);
    auto outbox = storeOf("bob")->list("Outbox");
    ASSERT_TRUE(outbox.ok());
    EXPECT_EQ(outbox->size(), 1u);
}

TEST_F(SendMailTest, TheAccountSetsHowLongTheCommandMayTake) {
    std::string hang = home + "/hang";
    {
        std::ofstream script(hang);
        script << "#!/bin/sh\ncat > /dev/null\nsleep 300\n";
    }
    ::chmod(hang.c_str(), 0700);
    setAccountValue("anna", "SendCommand", hang);
    setAccountValue("anna", "SendTimeout", "1");
    LHANDLE session = logOn("anna", "s3cret");
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(MAPISendMail(session, 0, &msg, 0, 0), SUCCESS_SUCCESS) << "queued is success";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_EQ(folder("Outbox").size(), 1u);
    auto log = queueLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].detail, "timed out after 1 s");
    MAPILogoff(session, 0, 0, 0);

    // A value out of range is named in the problem log and the default applies.
    setAccountValue("anna", "SendTimeout", "0");
    setAccountValue("anna", "SendCommand", captureScript(0));
    std::uint64_t mark = vesk::store::problemLogSize();
    session = logOn("anna", "s3cret");
    EXPECT_TRUE(folder("Outbox").empty());
    bool named = false;
    for (const vesk::store::Problem& p : vesk::store::problemsSince(mark)) {
        named = named || p.subject.find("SendTimeout") != std::string::npos;
    }
    EXPECT_TRUE(named);
    MAPILogoff(session, 0, 0, 0);
}

}  // namespace
}  // namespace mapitest
