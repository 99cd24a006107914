// GetAllMsgs over the recording fake: batches of ten, the seven attributes, bodies read in
// 8191-byte pieces, attachments, recipients per class, and listings that fail part way.
#include <cstring>

#include "VimFixture.h"
#include "VimRecords.h"
#include "framework/MsgArray.h"

namespace vimtest {
namespace {

using Calls = std::vector<std::string>;

vimDate dateOf(unsigned year, unsigned month, unsigned day, unsigned hour = 0, unsigned minute = 0,
               unsigned second = 0) {
    return vimDate{VIMSEL_LOCAL, (year << 16) | (month << 8) | day, (hour << 24) | (minute << 16) | (second << 8)};
}

fakevim::Message message(uint32_t ref, const std::string& subject) {
    fakevim::Message m;
    m.ref = ref;
    m.subject = subject;
    m.from = {"Teo Varga", "teo"};
    m.size = 1000 + ref;
    m.date = dateOf(2024, 3, 4, 9, 30, 15);
    return m;
}

// The records of one GetAllMsgs call, freed when it goes.
struct Listing {
    MailMsg** msgs = nullptr;
    int count = -1;
    int result = -1;
    ~Listing() {
        if (msgs != nullptr) FreeMailMsgArray(msgs, count);
    }
    std::string body(int i) const { return msgs[i]->body ? msgs[i]->body : ""; }
    std::string text(char* MailMsg::*field, int i) const { return msgs[i]->*field ? msgs[i]->*field : ""; }
};

class VimRetrievalTest : public VimFakeTest {
protected:
    void list(Listing& out, int headersOnly = 0) { out.result = app.GetAllMsgs(&out.msgs, &out.count, headersOnly); }
};

TEST_F(VimRetrievalTest, TwentyFiveMessagesComeInBatchesOfTenTenAndFive) {
    for (uint32_t i = 1; i <= 25; ++i) fakevim::script().mailbox.push_back(message(i, "m" + std::to_string(i)));
    logOn();
    Listing l;
    list(l, 1);
    ASSERT_EQ(l.result, MAILHOST_OK);
    ASSERT_EQ(l.count, 25);
    const std::string attrs = "[76:8,103:2,34:2316,71:2,91:256,19:12,266:4]";
    EXPECT_EQ(callsOf("EnumerateMessages"),
              (Calls{"EnumerateMessages(c1,pos=0,1,7," + attrs + ",count=10,58,null,0)",
                     "EnumerateMessages(c1,pos=10,1,7," + attrs + ",count=10,58,null,0)",
                     "EnumerateMessages(c1,pos=20,1,7," + attrs + ",count=10,58,null,0)"}));
    for (int i = 0; i < 25; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(l.text(&MailMsg::subject, i), "m" + std::to_string(i + 1));
        ASSERT_EQ(l.msgs[i]->hostMsgIdSize, 8u);
        const vimRef expected = fakevim::refOf(static_cast<uint32_t>(i + 1));
        EXPECT_EQ(std::memcmp(l.msgs[i]->hostMsgId, &expected, 8), 0);
        EXPECT_NE(l.msgs[i]->flags & MAILMSG_FLAG_FROM_HOST, 0u);
    }
}

TEST_F(VimRetrievalTest, AnEmptyMailboxHandsOutNothing) {
    logOn();
    MailMsg** untouched = reinterpret_cast<MailMsg**>(0x1);
    int count = 7;
    EXPECT_EQ(app.GetAllMsgs(&untouched, &count, 0), MAILHOST_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(untouched, reinterpret_cast<MailMsg**>(0x1));
}

TEST_F(VimRetrievalTest, WithoutAMailboxNothingIsCalled) {
    MailMsg** msgs = nullptr;
    int count = 7;
    EXPECT_EQ(app.GetAllMsgs(&msgs, &count, 0), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(count, 0);  // a failure never reads as messages handed out
    EXPECT_TRUE(fakevim::calls().empty());
}

TEST_F(VimRetrievalTest, HeadersOnlyOpensNoMessage) {
    fakevim::Message m = message(1, "s");
    m.items.push_back({VIMSEL_NOTE_PART, "", "text"});
    fakevim::script().mailbox.push_back(m);
    logOn();
    Listing l;
    list(l, 1);
    ASSERT_EQ(l.count, 1);
    EXPECT_TRUE(callsOf("OpenMessage").empty());
    EXPECT_EQ(l.msgs[0]->body, nullptr);
    EXPECT_EQ(l.msgs[0]->size, 1001u);
    EXPECT_EQ(l.msgs[0]->status, CMsg::kDefaultStatus);
}

TEST_F(VimRetrievalTest, ListedFieldsBecomeTheRecord) {
    struct Row {
        const char* what;
        fakevim::Person from;
        vimWord priority;
        vimBool unread;
        const char* expectedFrom;
        uint32_t priorityBits;
    };
    const Row rows[] = {
        {"name and address, high", {"Teo Varga", "teo"}, 2, 0, "teo (Teo Varga)", 0},
        {"address only, low", {"", "teo@example.org"}, 0, 1, "teo@example.org", 2},
        {"name only, normal", {"Teo", ""}, 1, 1, " (Teo)", 1},
        {"unknown priority is normal", {"", "x"}, 7, 0, "x", 1},
    };
    uint32_t ref = 1;
    for (const Row& row : rows) {
        fakevim::Message m = message(ref++, row.what);
        m.from = row.from;
        m.priority = row.priority;
        m.unread = row.unread;
        fakevim::script().mailbox.push_back(m);
    }
    logOn();
    Listing l;
    list(l, 1);
    ASSERT_EQ(l.count, 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(rows[i].what);
        EXPECT_EQ(l.text(&MailMsg::from, i), rows[i].expectedFrom);
        EXPECT_EQ((l.msgs[i]->flags >> MAILMSG_FLAG_PRIORITY_SHIFT) & 3u, rows[i].priorityBits);
        EXPECT_EQ((l.msgs[i]->flags & MAILMSG_FLAG_READ) != 0, rows[i].unread == 0);
    }
}

TEST_F(VimRetrievalTest, TextIsReadInPiecesOf8191Bytes) {
    struct Row {
        size_t length;
        size_t reads;
    };
    // Exactly one full piece needs a second read that delivers nothing; one byte more needs a
    // second read that delivers that byte.
    const Row rows[] = {{10, 1}, {8191, 2}, {8192, 2}, {8191 * 2, 3}};
    uint32_t ref = 1;
    for (const Row& row : rows) {
        fakevim::Message m = message(ref++, "t");
        std::string text(row.length, 'a');
        text.back() = 'z';
        m.items.push_back({VIMSEL_NOTE_PART, "", text});
        fakevim::script().mailbox.push_back(m);
    }
    logOn();
    Listing l;
    list(l);
    ASSERT_EQ(l.count, 4);
    const Calls reads = callsOf("ReadMessageItem");
    size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(rows[i].length);
        EXPECT_EQ(l.body(i).size(), rows[i].length);
        EXPECT_EQ(l.body(i).back(), 'z');
        EXPECT_EQ(l.msgs[i]->size, rows[i].length);
        for (size_t r = 0; r < rows[i].reads; ++r, ++at) {
            ASSERT_LT(at, reads.size());
            EXPECT_NE(reads[at].find(",8191)"), std::string::npos) << reads[at];
        }
    }
    EXPECT_EQ(at, reads.size());
    EXPECT_TRUE(fakevim::openHandles().size() == 2u) << "only session and container stay open";
}

TEST_F(VimRetrievalTest, PartsJoinAndAttachmentsSkipRfc822Text) {
    fakevim::Message m = message(1, "parts");
    m.items = {{VIMSEL_NOTE_PART, "", "first"},
               {VIMSEL_ATTACH, "RFC822.TXT", ""},
               {VIMSEL_ATTACH, "plan.pdf", ""},
               {VIMSEL_NOTE_PART, "", "second"},
               {VIMSEL_ATTACH, "Rfc822.Txt", ""},
               {4, "app-defined", ""}};
    fakevim::script().mailbox.push_back(m);
    logOn();
    Listing l;
    list(l);
    ASSERT_EQ(l.count, 1);
    EXPECT_EQ(l.body(0), "firstsecond");
    EXPECT_EQ(l.text(&MailMsg::attachments, 0), "\tplan.pdf");
    EXPECT_EQ(callsOf("OpenMessageItem"),
              (Calls{"OpenMessageItem(100,item=0,VIM_TEXT,0)", "OpenMessageItem(100,item=3,VIM_TEXT,0)"}));
    EXPECT_EQ((l.msgs[0]->status >> MAILMSG_STATUS_CONTENT_SHIFT) & 3u, 2u);
}

TEST_F(VimRetrievalTest, AFailedTextPartDoesNotDropTheLaterOnes) {
    fakevim::Message m = message(1, "many");
    for (int i = 0; i < 9; ++i) m.items.push_back({VIMSEL_ATTACH, "f" + std::to_string(i), ""});
    m.items.push_back({VIMSEL_NOTE_PART, "", "lost"});  // the last item of the first batch
    m.items.push_back({VIMSEL_NOTE_PART, "", "kept"});  // in the second batch
    fakevim::script().mailbox.push_back(m);
    // The failed open is the last call before the listing goes on: the listing's own status
    // decides, not that of the failed part.
    fakevim::script().failures["OpenMessageItem"][0] = VIMSTS_READ_FAILURE;
    logOn();
    Listing l;
    list(l);
    ASSERT_EQ(l.result, MAILHOST_OK);
    ASSERT_EQ(l.count, 1);
    EXPECT_EQ(callsOf("EnumerateMessageItems").size(), 2u);
    EXPECT_EQ(l.body(0), "kept");
    EXPECT_EQ(l.text(&MailMsg::attachments, 0), "\tf0\n\tf1\n\tf2\n\tf3\n\tf4\n\tf5\n\tf6\n\tf7\n\tf8");
    EXPECT_EQ(fakevim::openHandles().size(), 2u);
}

TEST_F(VimRetrievalTest, AReadFailureKeepsWhatCameBeforeAndGoesOn) {
    fakevim::Message m = message(1, "read");
    m.items = {{VIMSEL_NOTE_PART, "", std::string(8191, 'a') + "b"}, {VIMSEL_NOTE_PART, "", "next"}};
    fakevim::script().mailbox.push_back(m);
    fakevim::script().failures["ReadMessageItem"][1] = VIMSTS_READ_FAILURE;
    logOn();
    Listing l;
    list(l);
    ASSERT_EQ(l.count, 1);
    EXPECT_EQ(l.body(0), std::string(8191, 'a') + "next");
    EXPECT_EQ(fakevim::openHandles().size(), 2u);
}

TEST_F(VimRetrievalTest, EachRecipientClassIsListedFromItsOwnStart) {
    fakevim::Message m = message(1, "r");
    m.recipients[VIMSEL_TO] = {{"Anna Berg", "anna"}, {"", "bo@example.org"}};
    m.recipients[VIMSEL_CC] = {{"Cy", "cy"}};
    m.recipients[VIMSEL_BCC] = {{"", "dee"}};
    fakevim::script().mailbox.push_back(m);
    logOn();
    Listing l;
    list(l);
    ASSERT_EQ(l.count, 1);
    EXPECT_EQ(l.text(&MailMsg::to, 0), "anna (Anna Berg)\nbo@example.org");
    EXPECT_EQ(l.text(&MailMsg::cc, 0), "cy (Cy)");
    EXPECT_EQ(l.text(&MailMsg::bcc, 0), "dee");
    EXPECT_EQ(callsOf("EnumerateMessageRecipients"),
              (Calls{"EnumerateMessageRecipients(101,97,pos=0,1,1,[75:2316],count=10)",
                     "EnumerateMessageRecipients(101,10,pos=0,1,1,[75:2316],count=10)",
                     "EnumerateMessageRecipients(101,9,pos=0,1,1,[75:2316],count=10)"}));
}

TEST_F(VimRetrievalTest, ACutShortListingHandsOutNothing) {
    struct Row {
        vimStatus status;
        int result;
    };
    const Row rows[] = {{VIMSTS_READ_FAILURE, MAILHOST_SERVER_ERROR}, {VIMSTS_INSUFFICIENT_MEMORY, MAILHOST_OUT_OF_MEMORY}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.status);
        fakevim::reset();
        app.Binding().UseFunctions(fakevim::functions());
        for (uint32_t i = 1; i <= 15; ++i) fakevim::script().mailbox.push_back(message(i, "m"));
        logOn();
        fakevim::script().failures["EnumerateMessages"][1] = row.status;
        MailMsg** msgs = nullptr;
        int count = 99;
        EXPECT_EQ(app.GetAllMsgs(&msgs, &count, 0), row.result);
        EXPECT_EQ(msgs, nullptr);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(fakevim::openHandles().size(), 2u) << "every message opened was closed";
        app.Logoff();
    }
}

TEST_F(VimRetrievalTest, CountsAreCappedAtTenAndAnEmptyBatchEndsTheListing) {
    for (uint32_t i = 1; i <= 3; ++i) fakevim::script().mailbox.push_back(message(i, "m"));
    logOn();
    fakevim::script().forcedCount = 0;
    fakevim::script().forcedMore = 1;
    {
        Listing l;
        list(l, 1);
        EXPECT_EQ(l.result, MAILHOST_OK);
        EXPECT_EQ(l.count, 0);
        EXPECT_EQ(callsOf("EnumerateMessages").size(), 1u);
    }
    fakevim::script().forcedCount = 4000;
    fakevim::script().forcedMore = 0;
    Listing l;
    list(l, 1);
    EXPECT_EQ(l.count, 10) << "never more than the ten elements of the buffers";
}

TEST_F(VimRetrievalTest, AMessageThatCannotBeOpenedIsStillDelivered) {
    fakevim::script().mailbox.push_back(message(1, "closed"));
    fakevim::script().failures["OpenMessage"][0] = VIMSTS_READ_FAILURE;
    fakevim::script().failures["CloseMessage"][0] = VIMSTS_FAILURE;
    logOn();
    Listing l;
    list(l);
    ASSERT_EQ(l.result, MAILHOST_OK);
    ASSERT_EQ(l.count, 1);
    EXPECT_EQ(l.text(&MailMsg::subject, 0), "closed");
    EXPECT_EQ(callsOf("OpenMessage").size(), 2u);
    EXPECT_EQ(callsOf("CloseMessage").size(), 1u);
}

TEST(VimDateTest, DatesConvertAsLocalTimeWithinTheBounds) {
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    struct Row {
        const char* what;
        vimDate date;
        int32_t expected;
    };
    const Row rows[] = {
        {"no date", {45, VIM_UNKNOWN_DATE, 0}, 0},
        {"winter", dateOf(2024, 3, 4, 9, 30, 15), 1709541015},
        {"summer time", dateOf(2024, 7, 1, 12, 0, 0), 1719828000},
        {"no time is midnight", {45, (2024u << 16) | (3u << 8) | 4u, VIM_UNKNOWN_TIME}, 1709506800},
        {"month 0 is January", dateOf(2024, 0, 10), 1704841200},
        {"day 40 is the 31st", dateOf(2024, 1, 40), 1706655600},
        // 1965 is read as 1970; its first hour in CET is before 1970 UTC: the lower bound.
        {"year 1965", dateOf(1965, 1, 1), 0},
        {"year 2050 is past 2038-01-19", dateOf(2050, 6, 1), 2147483647},
        {"2038 before the end", dateOf(2038, 1, 1), 2145913200},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(VimDateToTime(row.date), row.expected);
    }
}

}  // namespace
}  // namespace vimtest
