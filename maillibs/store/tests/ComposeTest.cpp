// Composing drafts, checked by reading the result back with the parser and by its bytes.
#include "Compose.h"

#include <gtest/gtest.h>

#include "Parse.h"

namespace vesk::store::detail {
namespace {

Draft sampleDraft() {
    Draft d;
    d.from = {"Tom Keller", "tom.keller@example.org"};
    d.to = {{"Anna Berger", "anna.berger@example.com"}, {"", "sam.lee@example.org"}};
    d.cc = {{"J\xfcrgen M\xfcller", "juergen@example.de"}};
    d.bcc = {{"", "secret@example.org"}};
    d.subject = "Caf\xe9 \x96 \x80" "5";
    d.body = "Line one \x93quoted\x94\r\nLine two\r\n";
    d.date = 1702469593;
    d.messageId = "draft-1@example.org";
    return d;
}

Message readBack(const std::string& bytes) {
    std::time_t received = 0;
    Result<Message> m = parseMessage(bytes, ReadMode::Full, received);
    EXPECT_TRUE(m.ok());
    return m.ok() ? *m : Message{};
}

TEST(ComposeTest, EveryFieldSurvivesTheRoundTrip) {
    Draft d = sampleDraft();
    Result<std::string> bytes = composeMessage(d);
    ASSERT_TRUE(bytes.ok());
    Message m = readBack(*bytes);
    EXPECT_EQ(m.from, d.from);
    EXPECT_EQ(m.to, d.to);
    EXPECT_EQ(m.cc, d.cc);
    EXPECT_EQ(m.bcc, d.bcc);
    EXPECT_EQ(m.subject, d.subject);
    EXPECT_EQ(m.body, d.body);
    EXPECT_EQ(m.sent, d.date);
    EXPECT_EQ(m.messageId, d.messageId);
    EXPECT_EQ(m.priority, Priority::Normal);
    EXPECT_FALSE(m.readReceipt);
    EXPECT_FALSE(m.deliveryReport);
}

TEST(ComposeTest, OnDiskItIsSevenBitUtf8WithLfLines) {
    Result<std::string> bytes = composeMessage(sampleDraft());
    ASSERT_TRUE(bytes.ok());
    for (char c : *bytes) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "8-bit byte in the composed message";
    EXPECT_EQ(bytes->find('\r'), std::string::npos);
    EXPECT_NE(bytes->find("charset=utf-8"), std::string::npos);
    EXPECT_NE(bytes->find("Content-Transfer-Encoding: quoted-printable"), std::string::npos);
    EXPECT_NE(bytes->find("Subject: =?"), std::string::npos);  // RFC 2047
}

TEST(ComposeTest, AsciiBodyIsLabelledAscii) {
    Draft d;
    d.from = {"", "a@example.org"};
    d.to = {{"", "b@example.org"}};
    d.body = "hello\n";
    Result<std::string> bytes = composeMessage(d);
    ASSERT_TRUE(bytes.ok());
    EXPECT_NE(bytes->find("charset=us-ascii"), std::string::npos);
    EXPECT_EQ(bytes->find("quoted-printable"), std::string::npos);
}

TEST(ComposeTest, PriorityAndReceipts) {
    struct Case {
        Priority priority;
        bool readReceipt, deliveryReport;
        const char* mustHave;
        const char* mustLack;
    } cases[] = {
        {Priority::High, false, false, "X-Priority: 1 (Highest)", "Disposition-Notification-To"},
        {Priority::Low, false, false, "Importance: low", "Return-Receipt-To"},
        {Priority::Normal, true, false, "Disposition-Notification-To: tom.keller@example.org", "X-Priority"},
        {Priority::Normal, false, true, "Return-Receipt-To: <tom.keller@example.org>", "Importance"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mustHave);
        Draft d = sampleDraft();
        d.priority = c.priority;
        d.readReceipt = c.readReceipt;
        d.deliveryReport = c.deliveryReport;
        Result<std::string> bytes = composeMessage(d);
        ASSERT_TRUE(bytes.ok());
        EXPECT_NE(bytes->find(c.mustHave), std::string::npos);
        EXPECT_EQ(bytes->find(c.mustLack), std::string::npos);
        Message m = readBack(*bytes);
        EXPECT_EQ(m.priority, c.priority);
        EXPECT_EQ(m.readReceipt, c.readReceipt);
        EXPECT_EQ(m.deliveryReport, c.deliveryReport);
    }
}

TEST(ComposeTest, ARecipientWithoutAddressKeepsItsName) {
    Draft d = sampleDraft();
    d.to = {{"Anna", ""}, {"", "b@example.org"}, {"", ""}};
    Result<std::string> bytes = composeMessage(d);
    ASSERT_TRUE(bytes.ok());
    Message m = readBack(*bytes);
    std::vector<Address> expected = {{"Anna", ""}, {"", "b@example.org"}};  // the empty one is dropped
    EXPECT_EQ(m.to, expected);
}

TEST(ComposeTest, GeneratedIdentityAndDate) {
    Draft d;
    d.from = {"", "a@example.org"};
    std::time_t before = std::time(nullptr);
    Result<std::string> one = composeMessage(d);
    Result<std::string> two = composeMessage(d);
    ASSERT_TRUE(one.ok() && two.ok());
    Message a = readBack(*one), b = readBack(*two);
    EXPECT_FALSE(a.messageId.empty());
    EXPECT_NE(a.messageId, b.messageId);
    EXPECT_GE(a.sent, before);
    EXPECT_LE(a.sent, std::time(nullptr));
}

TEST(ComposeTest, LineBreaksInHeaderTextsCannotInjectFields) {
    Draft d = sampleDraft();
    d.subject = "hi\r\nBcc: victim@example.org";
    Result<std::string> bytes = composeMessage(d);
    ASSERT_TRUE(bytes.ok());
    Message m = readBack(*bytes);
    EXPECT_EQ(m.subject, "hi  Bcc: victim@example.org");
    ASSERT_EQ(m.bcc.size(), 1u);
    EXPECT_EQ(m.bcc[0].address, "secret@example.org");
}

TEST(ComposeTest, ReceiptWithoutSenderIsRefused) {
    Draft d;
    d.to = {{"", "b@example.org"}};
    d.readReceipt = true;
    EXPECT_EQ(composeMessage(d).status(), Status::InvalidArgument);
}

}  // namespace
}  // namespace vesk::store::detail
