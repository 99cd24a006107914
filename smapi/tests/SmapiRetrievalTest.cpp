// GetAllMsgs against the recording fake: the walk, the fields, the failures; and the text and
// date conversions it uses.
#include <cstring>
#include <ctime>
#include <filesystem>

#include "SmapiFixture.h"
#include "SmapiMessageText.h"
#include "framework/Allocation.h"

namespace smapitest {
namespace {

using fakemapi::callNames;
using fakemapi::calls;
using fakemapi::script;
using Names = std::vector<std::string>;

std::optional<std::string> text(const char* s) { return std::string(s); }

fakemapi::Recip recip(ULONG recipClass, fakemapi::Text name, fakemapi::Text address) {
    fakemapi::Recip r;
    r.recipClass = recipClass;
    r.name = std::move(name);
    r.address = std::move(address);
    return r;
}

class RetrievalTest : public SmapiFakeTest {
protected:
    void SetUp() override {
        SmapiFakeTest::SetUp();
        if (HasFatalFailure()) return;
        logOn();
    }
    // Runs GetAllMsgs and keeps its output.
    int getAll() { return app.GetAllMsgs(&msgs, &count, 0); }
    void TearDown() override {
        if (msgs != nullptr) {
            EXPECT_EQ(app.FreeMailMsg(msgs, count), MAILHOST_OK);
        }
        SmapiFakeTest::TearDown();
    }
    MailMsg** msgs = nullptr;
    int count = -1;
};

fakemapi::Stored stored(const std::string& id) {
    fakemapi::Stored s;
    s.id = id;
    s.subject = "Subject of " + id;
    s.noteText = text("Body");
    s.date = text("1999/11/24 17:41");
    return s;
}

TEST_F(RetrievalTest, AnEmptyMailboxHandsOutNothing) {
    MailMsg** untouched = reinterpret_cast<MailMsg**>(0x1);
    msgs = untouched;
    EXPECT_EQ(getAll(), MAILHOST_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(msgs, untouched);
    msgs = nullptr;
    ASSERT_EQ(calls().size(), 1u);
    EXPECT_EQ(calls()[0].function, "MAPIFindNext");
    EXPECT_EQ(calls()[0].flags, FLAGS(MAPI_LONG_MSGID));
    EXPECT_EQ(calls()[0].type, std::nullopt) << "NULL message type: interpersonal mail";
    EXPECT_EQ(calls()[0].text, text("")) << "the walk starts from an empty seed";
}

TEST_F(RetrievalTest, WalksWithPeekAndSeedsEachStepWithThePreviousIdentifier) {
    script().inbox = {stored("m1"), stored("m2"), stored("m3")};
    ASSERT_EQ(getAll(), MAILHOST_OK);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(callNames(), (Names{"MAPIFindNext", "MAPIReadMail", "MAPIFreeBuffer", "MAPIFindNext", "MAPIReadMail",
                                  "MAPIFreeBuffer", "MAPIFindNext", "MAPIReadMail", "MAPIFreeBuffer", "MAPIFindNext"}));
    const char* seeds[] = {"", "m1", "m2", "m3"};
    int step = 0;
    for (const fakemapi::Call& c : calls()) {
        EXPECT_EQ(c.session, c.function == "MAPIFreeBuffer" ? 0u : script().sessionHanded);
        if (c.function == "MAPIFindNext") {
            EXPECT_EQ(c.text, text(seeds[step++]));
        } else if (c.function == "MAPIReadMail") {
            EXPECT_EQ(c.flags, FLAGS(MAPI_PEEK));
        }
    }
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        std::string id = "m" + std::to_string(i + 1);
        ASSERT_EQ(msgs[i]->hostMsgIdSize, id.size() + 1) << "the identifier with its NUL";
        EXPECT_EQ(std::string(reinterpret_cast<char*>(msgs[i]->hostMsgId), id.size() + 1), id + std::string(1, '\0'));
        EXPECT_STREQ(msgs[i]->subject, ("Subject of " + id).c_str());
    }
    EXPECT_EQ(fakemapi::outstandingBuffers(), 0);
}

TEST_F(RetrievalTest, FillsTheRecordFromTheMessage) {
    fakemapi::Stored s = stored("full");
    s.flags = MAPI_UNREAD;
    s.noteText = text("First line\nsecond line");
    s.originator = recip(MAPI_ORIG, text("J\xfcrgen"), text("juergen@example.de"));
    s.recips = {recip(MAPI_TO, text("N1"), text("a1@example.com")), recip(MAPI_ORIG, text("N2"), text("a2@example.com")),
                recip(MAPI_CC, text("same@example.com"), text("same@example.com")),
                recip(MAPI_BCC, std::nullopt, text("Bee <bee@example.com>")), recip(MAPI_CC, text(""), std::nullopt)};
    s.attachments = {"a.pdf", "b.txt"};
    script().inbox = {s};
    ASSERT_EQ(getAll(), MAILHOST_OK);
    ASSERT_EQ(count, 1);
    const MailMsg& m = *msgs[0];
    EXPECT_EQ(m.flags & MAILMSG_FLAG_READ, 0u) << "MAPI_UNREAD clears the read bit";
    EXPECT_EQ(m.flags & MAILMSG_FLAG_FROM_HOST, MAILMSG_FLAG_FROM_HOST);
    EXPECT_EQ((m.flags >> MAILMSG_FLAG_PRIORITY_SHIFT) & 3, 1u) << "no priority in Simple MAPI: normal";
    EXPECT_EQ((m.status >> MAILMSG_STATUS_CONTENT_SHIFT) & 3, 2u);
    EXPECT_EQ((m.status >> MAILMSG_STATUS_ATTACH_SHIFT) & 3, 1u);
    EXPECT_EQ((m.status >> MAILMSG_STATUS_PRIORITY_SHIFT) & 3, 1u);
    EXPECT_STREQ(m.body, "First line\r\nsecond line");
    EXPECT_EQ(m.size, std::strlen(m.body));
    EXPECT_STREQ(m.from, "juergen@example.de (J\xfcrgen)");
    EXPECT_STREQ(m.to, "a1@example.com (N1),a2@example.com (N2)");
    EXPECT_STREQ(m.cc, "same@example.com");
    EXPECT_STREQ(m.bcc, "bee@example.com (Bee)");
    EXPECT_EQ(m.attachments, nullptr);
    std::tm local{};
    local.tm_year = 99;
    local.tm_mon = 10;
    local.tm_mday = 24;
    local.tm_hour = 17;
    local.tm_min = 41;
    local.tm_isdst = -1;
    EXPECT_EQ(m.timeSent, static_cast<int32_t>(std::mktime(&local)));
    EXPECT_EQ(m.timeReceived, m.timeSent);
    // The attachment files the library wrote for the read are gone.
    ASSERT_EQ(fakemapi::writtenFiles().size(), 2u);
    for (const std::string& path : fakemapi::writtenFiles()) EXPECT_FALSE(std::filesystem::exists(path)) << path;
}

TEST_F(RetrievalTest, AReadMessageKeepsItsReadBitAndTheThirdArgumentChangesNothing) {
    script().inbox = {stored("r")};
    ASSERT_EQ(app.GetAllMsgs(&msgs, &count, 1), MAILHOST_OK);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(msgs[0]->flags & MAILMSG_FLAG_READ, MAILMSG_FLAG_READ);
    EXPECT_STREQ(msgs[0]->body, "Body") << "bodies are read even when only headers are asked for";
}

TEST_F(RetrievalTest, AFailedReadHandsOutNothing) {
    script().inbox = {stored("a"), stored("b"), stored("c")};
    script().failReadOf = "b";
    MailMsg** untouched = reinterpret_cast<MailMsg**>(0x1);
    msgs = untouched;
    EXPECT_EQ(getAll(), MAILHOST_READ_FAILED);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(msgs, untouched);
    msgs = nullptr;
    EXPECT_EQ(fakemapi::outstandingBuffers(), 0);
}

TEST_F(RetrievalTest, AWalkThatBreaksOffIsAFailureNotAShortMailbox) {
    script().inbox = {stored("a"), stored("b")};
    script().findFailure = MAPI_E_FAILURE;
    EXPECT_EQ(getAll(), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(msgs, nullptr);
}

TEST_F(RetrievalTest, OutOfMemoryHandsOutNothing) {
    script().inbox = {stored("a"), stored("b"), stored("c")};
    for (int skip = 0; skip < 12; ++skip) {
        SCOPED_TRACE(skip);
        vesk::injectAllocationFailure(skip);
        MailMsg** out = nullptr;
        int n = -1;
        int rc = app.GetAllMsgs(&out, &n, 0);
        vesk::injectAllocationFailure(-1);
        if (rc == MAILHOST_OK) {
            EXPECT_EQ(n, 3);
            app.FreeMailMsg(out, n);
            continue;
        }
        EXPECT_EQ(rc, MAILHOST_OUT_OF_MEMORY);
        EXPECT_EQ(n, 0);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(fakemapi::outstandingBuffers(), 0);
}

TEST(SmapiTimeFromDateTest, ReadsAndClampsEachField) {
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    auto local = [](int y, int mo, int d, int h, int mi) {
        std::tm t{};
        t.tm_year = y - 1900;
        t.tm_mon = mo - 1;
        t.tm_mday = d;
        t.tm_hour = h;
        t.tm_min = mi;
        t.tm_isdst = -1;
        return static_cast<int32_t>(std::mktime(&t));
    };
    struct Row {
        const char* text;
        int32_t expected;
    };
    const Row rows[] = {
        {"1999/11/24 17:41", local(1999, 11, 24, 17, 41)},  // the usual form
        {"2003/07/14 09:05", local(2003, 7, 14, 9, 5)},     // summer time
        {"1969/01/01 00:00", local(1970, 1, 1, 0, 0)},      // before 1970: clamped
        {"2040/01/01 00:00", local(2038, 1, 1, 0, 0)},      // after 2038: clamped
        {"1999/13/40 25:61", local(1999, 12, 31, 23, 59)},  // every field too large
        {"1999/00/00 00:00", local(1999, 1, 1, 0, 0)},      // month and day too small
        {"1999/11/24", local(1999, 11, 24, 0, 0)},          // a date alone is midnight
        {"1999/11/24 17:41:33", local(1999, 11, 24, 17, 41)},  // seconds are not read
        {"", 0},                                             // no date
        {"garbage", local(1970, 1, 1, 0, 0)},                // nothing numeric: the earliest
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(SmapiTimeFromDate(row.text), row.expected);
    }
    EXPECT_EQ(SmapiTimeFromDate(nullptr), 0);
}

TEST(SmapiDisplayTextTest, CombinesNameAndAddress) {
    struct Row {
        const char* name;
        const char* address;
        const char* expected;
    };
    const Row rows[] = {
        {"N", "A@x.org", "A@x.org (N)"},                    // both: address first
        {"", "N <A@x.org>", "A@x.org (N)"},                 // the address holds both
        {"N <A@x.org>", nullptr, "A@x.org (N)"},            // the name holds both
        {"same@x.org", "same@x.org", "same@x.org"},         // equal: the name alone
        {nullptr, "A@x.org", "A@x.org"},                    // only an address
        {"Only Name", "", "Only Name"},                     // only a name
        {"A@x.org (N)", nullptr, "A@x.org (N)"},            // the other written form
        {nullptr, nullptr, ""},                             // nothing
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(SmapiDisplayText(row.name, row.address), row.expected);
    }
}

TEST(SmapiBodyFromNoteTextTest, NormalisesLineEndsThenUnwraps) {
    const std::string sixty(60, 'a');
    struct Row {
        const char* what;
        std::string note;
        std::string expected;
    };
    const Row rows[] = {
        {"bare LF becomes CR LF", "one\ntwo", "one\r\ntwo"},
        {"a text with any CR is left as it is", "one\ntwo\r\nthree", "one\ntwo\r\nthree"},
        {"a soft break is joined", sixty + "\nbbb", sixty + " bbb"},
        {"a paragraph end stays", sixty + "\n\nbbb", sixty + "\r\n\r\nbbb"},
        {"a numbered line stays", sixty + "\r\n1. item", sixty + "\r\n1. item"},
        {"empty", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(SmapiBodyFromNoteText(row.note.c_str()), row.expected);
    }
    EXPECT_EQ(SmapiBodyFromNoteText(nullptr), "");
}

}  // namespace
}  // namespace smapitest
