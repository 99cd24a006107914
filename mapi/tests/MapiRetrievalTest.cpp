// GetAllMsgs against the recording fake: batches, the fields of a record, the body through a
// stream, and the failure paths that must never look like an emptied inbox.
#include <algorithm>

#include "MapiFixture.h"
#include "framework/Allocation.h"
#include "framework/MsgArray.h"

namespace mapitest {
namespace {

using namespace fakemapix;
using Names = std::vector<std::string>;
using RetrievalTest = MapiFakeTest;

// The records of one GetAllMsgs, freed when it goes.
struct Listing {
    MailMsg** msgs = nullptr;
    int count = -1;
    int result = -1;
    std::vector<CMsg> records;
    Listing(CDunmereApp& app, int headersOnly) {
        result = app.GetAllMsgs(&msgs, &count, headersOnly);
        for (int i = 0; i < count && msgs != nullptr; ++i) records.emplace_back(*msgs[i]);
    }
    ~Listing() {
        if (msgs != nullptr) FreeMailMsgArray(msgs, count);
    }
};

int countOf(const Names& names, const std::string& name) {
    return static_cast<int>(std::count(names.begin(), names.end(), name));
}

TEST_F(RetrievalTest, RowsComeTenAtATimeAndEveryRowSetIsFreed) {
    for (int i = 0; i < 12; ++i) script().inbox.push_back(storedMessage("M" + std::to_string(i), "S" + std::to_string(i)));
    logOn();
    {
        Listing listing(app, 1);
        ASSERT_EQ(listing.result, MAILHOST_OK);
        ASSERT_EQ(listing.count, 12);
        for (int i = 0; i < 12; ++i) EXPECT_EQ(listing.records[i].m_subject, "S" + std::to_string(i));
    }
    EXPECT_EQ(countOf(details(), "QueryRows=10"), 3);
    // Two full row sets and the last, empty one.
    EXPECT_EQ(countOf(calls(), "FreeProws"), 3);
    // Headers only: no message is opened.
    EXPECT_EQ(countOf(calls(), "Store.OpenEntry"), 0);
    EXPECT_EQ(countOf(calls(), "Table.Release"), 1);
}

TEST_F(RetrievalTest, AnEmptyInboxHandsOutNothing) {
    logOn();
    Listing listing(app, 0);
    EXPECT_EQ(listing.result, MAILHOST_OK);
    EXPECT_EQ(listing.count, 0);
    EXPECT_EQ(listing.msgs, nullptr);
}

// A listing that failed part way must never read to the conduit as an emptied inbox.
TEST_F(RetrievalTest, AFailedListingReportsTheFirstFailureWithCountZero) {
    struct Row {
        const char* failAt;
        int occurrence;
        int expected;
    };
    const Row rows[] = {{"Folder.GetContentsTable", 0, MAILHOST_SERVER_ERROR},
                        {"Table.SetColumns", 0, MAILHOST_SERVER_ERROR},
                        {"Table.QueryRows", 0, MAILHOST_SERVER_ERROR},
                        {"Table.QueryRows", 1, MAILHOST_SERVER_ERROR},  // the second batch
                        {"Message.GetRecipientTable", 0, MAILHOST_SERVER_ERROR},  // first message, later ones fine
                        {"RecipientTable.HrQueryAllRows", 0, MAILHOST_SERVER_ERROR},
                        {"Message.GetAttachmentTable", 0, MAILHOST_SERVER_ERROR}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.failAt) + " #" + std::to_string(row.occurrence));
        reset();
        for (int i = 0; i < 12; ++i) {
            StoredMessage m = storedMessage("M" + std::to_string(i), "S");
            m.props.push_back(number(PR_MESSAGE_FLAGS, MSGFLAG_HASATTACH));
            m.props.erase(m.props.begin() + 1);  // the plain PR_MESSAGE_FLAGS
            m.attachments = {{text(PR_DISPLAY_NAME, "a.txt")}};
            script().inbox.push_back(m);
        }
        logOn();
        script().failAt = row.failAt;
        script().failOccurrence = row.occurrence;
        MailMsg** msgs = reinterpret_cast<MailMsg**>(0x1);
        int count = 7;
        EXPECT_EQ(app.GetAllMsgs(&msgs, &count, 0), row.expected);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(msgs, reinterpret_cast<MailMsg**>(0x1));
        app.Logoff();
        expectNothingLeft();
    }
}

TEST_F(RetrievalTest, TheArrayThatCannotBeMadeIsOutOfMemory) {
    script().inbox = {storedMessage("M1", "one"), storedMessage("M2", "two")};
    logOn();
    MailMsg** msgs = nullptr;
    int count = 7;
    vesk::injectAllocationFailure(0);
    EXPECT_EQ(app.GetAllMsgs(&msgs, &count, 1), MAILHOST_OUT_OF_MEMORY);
    vesk::injectAllocationFailure(-1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(msgs, nullptr);
}

TEST_F(RetrievalTest, SenderTextsFollowTheAddressType) {
    struct Row {
        const char* type;
        const char* address;
        const char* name;
        const char* from;
    };
    const Row rows[] = {{"SMTP", "anna@example.org", "Anna", "anna@example.org (Anna)"},
                        {"smtp", "anna@example.org", "Anna", "anna@example.org (Anna)"},
                        {"EX", "/o=Org/cn=anna", "Anna", "EX:/o=Org/cn=anna (Anna)"},
                        {"SMTP", "Anna", "Anna", "Anna"},
                        {"", "anna@example.org", "", "anna@example.org"},
                        {"EX", "", "Anna", "Anna"}};
    for (const Row& row : rows) {
        StoredMessage m = storedMessage(std::string("M") + row.from, row.from);
        for (Prop& p : m.props) {
            if (p.tag == PR_SENT_REPRESENTING_ADDRTYPE) p.data = row.type;
            if (p.tag == PR_SENT_REPRESENTING_EMAIL_ADDRESS) p.data = row.address;
            if (p.tag == PR_SENT_REPRESENTING_NAME) p.data = row.name;
        }
        script().inbox.push_back(m);
    }
    logOn();
    Listing listing(app, 1);
    ASSERT_EQ(listing.count, static_cast<int>(std::size(rows)));
    for (size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(listing.records[i].m_from, rows[i].from) << i;
}

TEST_F(RetrievalTest, FlagsImportanceAndAddressingGoToTheirBits) {
    struct Row {
        LONG flags;
        LONG importance;
        int toMe;  ///< -1: missing
        int ccMe;
        uint32_t priority;
        uint32_t addressed;  ///< bits 8-9; 3: left at the default
        bool read;
        bool attach;
    };
    const Row rows[] = {{MSGFLAG_READ, IMPORTANCE_HIGH, 1, 0, 0, 0, true, false},
                        {MSGFLAG_HASATTACH, IMPORTANCE_LOW, 0, 1, 2, 1, false, true},
                        {0, IMPORTANCE_NORMAL, 0, 0, 1, 2, false, false},
                        {0, 7, -1, 1, 1, 0, false, false},
                        {0, IMPORTANCE_NORMAL, 0, -1, 1, 0, false, false}};
    for (size_t i = 0; i < std::size(rows); ++i) {
        StoredMessage m = storedMessage("M" + std::to_string(i), "S");
        Props props;
        for (const Prop& p : m.props) {
            if (p.tag != PR_MESSAGE_FLAGS && p.tag != PR_IMPORTANCE && p.tag != PR_MESSAGE_TO_ME && p.tag != PR_MESSAGE_CC_ME) {
                props.push_back(p);
            }
        }
        props.push_back(number(PR_MESSAGE_FLAGS, rows[i].flags));
        props.push_back(number(PR_IMPORTANCE, rows[i].importance));
        if (rows[i].toMe >= 0) props.push_back(number(PR_MESSAGE_TO_ME, rows[i].toMe));
        if (rows[i].ccMe >= 0) props.push_back(number(PR_MESSAGE_CC_ME, rows[i].ccMe));
        m.props = props;
        script().inbox.push_back(m);
    }
    logOn();
    Listing listing(app, 1);
    ASSERT_EQ(listing.count, static_cast<int>(std::size(rows)));
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const CMsg& msg = listing.records[i];
        EXPECT_NE(msg.m_flags & MAILMSG_FLAG_FROM_HOST, 0u);
        EXPECT_EQ((msg.m_flags >> MAILMSG_FLAG_PRIORITY_SHIFT) & 3u, rows[i].priority);
        EXPECT_EQ((msg.m_flags & MAILMSG_FLAG_READ) != 0, rows[i].read);
        EXPECT_EQ((msg.m_flags & MAILMSG_FLAG_HAS_ATTACHMENTS) != 0, rows[i].attach);
        EXPECT_EQ((msg.m_status >> MAILMSG_STATUS_ADDRESSED_SHIFT) & 3u, rows[i].addressed);
        // Headers only: the size is the store's, the content field stays at its default.
        EXPECT_EQ(msg.m_size, 1234u);
        EXPECT_EQ((msg.m_status >> MAILMSG_STATUS_CONTENT_SHIFT) & 3u, 0u);
        EXPECT_TRUE(msg.m_body.empty());
    }
}

// File times are UTC: a winter and a summer message both convert exactly, whatever the
// daylight-saving season of the moment the conversion runs in.
TEST_F(RetrievalTest, TimesAreConvertedFromUtcDirectly) {
    const uint64_t epoch = 116444736000000000ULL;  // 1970-01-01 in file time
    const int32_t winter = 1705314600;             // 2024-01-15 10:30 UTC
    const int32_t summer = 1721039400;             // 2024-07-15 10:30 UTC
    StoredMessage m = storedMessage("M1", "S");
    m.props.push_back(time(PR_CLIENT_SUBMIT_TIME, epoch + uint64_t(winter) * 10000000ULL));
    m.props.push_back(time(PR_MESSAGE_DELIVERY_TIME, epoch + uint64_t(summer) * 10000000ULL));
    script().inbox.push_back(m);
    logOn();
    Listing listing(app, 1);
    ASSERT_EQ(listing.count, 1);
    EXPECT_EQ(listing.records[0].m_timeSent, winter);
    EXPECT_EQ(listing.records[0].m_timeReceived, summer);
}

TEST_F(RetrievalTest, AFullReadTakesBodyRecipientsAndAttachments) {
    StoredMessage m = storedMessage("M1", "S");
    m.props.push_back(number(PR_MESSAGE_FLAGS, MSGFLAG_HASATTACH));
    m.props.erase(m.props.begin() + 1);
    // The last line ends in CR LF: the unwrapping must stop at the text's end.
    m.body = "First line\r\nlast line\r\n";
    m.recipients = {
        {text(PR_DISPLAY_NAME, "Teo"), text(PR_ADDRTYPE, "SMTP"), text(PR_EMAIL_ADDRESS, "teo@example.org"),
         number(PR_RECIPIENT_TYPE, MAPI_TO)},
        {text(PR_DISPLAY_NAME, "Bob"), text(PR_ADDRTYPE, "EX"), text(PR_EMAIL_ADDRESS, "/o=Org/cn=bob"),
         number(PR_RECIPIENT_TYPE, MAPI_TO)},
        {text(PR_DISPLAY_NAME, "Cy"), text(PR_EMAIL_ADDRESS, "cy@example.org"), number(PR_RECIPIENT_TYPE, MAPI_CC)},
        {text(PR_DISPLAY_NAME, "Dee"), text(PR_ADDRTYPE, "SMTP"), text(PR_EMAIL_ADDRESS, "dee@example.org"),
         number(PR_RECIPIENT_TYPE, MAPI_BCC)},
        {text(PR_DISPLAY_NAME, "Eve"), text(PR_ADDRTYPE, "SMTP"), text(PR_EMAIL_ADDRESS, "eve@example.org")}};
    m.attachments = {{text(PR_DISPLAY_NAME, "report.doc")}, {text(PR_ATTACH_FILENAME, "photo.jpg")}, {}};
    script().inbox.push_back(m);
    logOn();
    {
        Listing listing(app, 0);
        ASSERT_EQ(listing.result, MAILHOST_OK);
        ASSERT_EQ(listing.count, 1);
        const CMsg& msg = listing.records[0];
        EXPECT_EQ(msg.m_body, "First line\r\nlast line\r\n");
        EXPECT_EQ(msg.m_size, msg.m_body.size());
        EXPECT_EQ(msg.m_to, "teo@example.org (Teo),EX:/o=Org/cn=bob (Bob),eve@example.org (Eve)");
        // No address type: the address gets a lone colon in front.
        EXPECT_EQ(msg.m_cc, ":cy@example.org (Cy)");
        EXPECT_EQ(msg.m_bcc, "dee@example.org (Dee)");
        EXPECT_EQ(msg.m_attachments, "\treport.doc\n\tphoto.jpg\n\tUnknown Attachment");
        EXPECT_EQ((msg.m_status >> MAILMSG_STATUS_CONTENT_SHIFT) & 3u, 2u);
    }
    app.Logoff();
    expectNothingLeft();
}

TEST_F(RetrievalTest, ABodyTooLargeForGetPropsIsReadThroughAStreamCutTo65535Bytes) {
    StoredMessage m = storedMessage("M1", "S");
    m.body = std::string(100000, 'x');
    script().inbox.push_back(m);
    logOn();
    {
        Listing listing(app, 0);
        ASSERT_EQ(listing.count, 1);
        EXPECT_EQ(listing.records[0].m_body, std::string(65535, 'x'));
        EXPECT_EQ(listing.records[0].m_size, 65535u);
    }
    EXPECT_EQ(countOf(details(), "Stream.Read=65535"), 1);
    app.Logoff();
    expectNothingLeft();
}

TEST_F(RetrievalTest, AFailingStreamLeavesTheBodyEmptyButKeepsTheMessage) {
    for (const char* failAt : {"Message.OpenProperty", "Stream.Stat", "Stream.Read"}) {
        SCOPED_TRACE(failAt);
        reset();
        StoredMessage m = storedMessage("M1", "S");
        m.body = std::string(5000, 'y');
        script().inbox.push_back(m);
        logOn();
        script().failAt = failAt;
        {
            Listing listing(app, 0);
            ASSERT_EQ(listing.result, MAILHOST_OK);
            ASSERT_EQ(listing.count, 1);
            EXPECT_TRUE(listing.records[0].m_body.empty());
        }
        app.Logoff();
        expectNothingLeft();
    }
}

TEST_F(RetrievalTest, AnEntryOfAnotherTypeIsReleasedAndNotRead) {
    StoredMessage m = storedMessage("M1", "S");
    m.objectType = MAPI_FOLDER;
    script().inbox.push_back(m);
    logOn();
    {
        MailMsg** msgs = nullptr;
        int count = 0;
        // The recipients of something that is not a message cannot be read.
        EXPECT_EQ(app.GetAllMsgs(&msgs, &count, 0), MAILHOST_SERVER_ERROR);
        EXPECT_EQ(count, 0);
    }
    app.Logoff();
    expectNothingLeft();
}

TEST_F(RetrievalTest, WithoutASessionNothingIsRead) {
    MailMsg** msgs = nullptr;
    int count = 7;
    EXPECT_EQ(app.GetAllMsgs(&msgs, &count, 0), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(calls().empty());
}

}  // namespace
}  // namespace mapitest
