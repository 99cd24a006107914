#include "framework/Msg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/Allocation.h"

namespace {

const size_t H = MAILMSG_HEADER_SIZE;

size_t offsetIn(const MailMsg* rec, const void* p) {
    return static_cast<size_t>(static_cast<const unsigned char*>(p) - reinterpret_cast<const unsigned char*>(rec));
}

// The block ends right after the last thing packed into it; with the field order fixed, that is
// the end of the last non-empty text, else of the last identifier, else the header.
size_t usedSize(const MailMsg* rec) {
    size_t end = H;
    const unsigned char* ids[] = {rec->extraId1, rec->hostMsgId, rec->extraId2};
    const uint32_t sizes[] = {rec->extraId1Size, rec->hostMsgIdSize, rec->extraId2Size};
    for (int i = 0; i < 3; ++i) {
        if (ids[i] != nullptr) end = std::max(end, offsetIn(rec, ids[i]) + sizes[i]);
    }
    const char* texts[] = {rec->from, rec->to, rec->cc, rec->bcc, rec->extraText1,
                           rec->extraText2, rec->subject, rec->body, rec->attachments};
    for (const char* t : texts) {
        if (t != nullptr) end = std::max(end, offsetIn(rec, t) + std::strlen(t) + 1);
    }
    return end;
}

struct Record {
    MailMsg* p = nullptr;
    ~Record() { ReleaseMailMsg(p); }
};

TEST(MsgTest, DefaultsAreNormalPriorityOnBothSides) {
    CMsg m;
    EXPECT_EQ(m.m_status, 0x0400);
    EXPECT_EQ(m.m_flags, 0x002A0000u);
    EXPECT_TRUE(m.m_hostMsgId.IsEmpty());
    EXPECT_EQ(m.m_timeSent, 0);
    EXPECT_TRUE(m.m_subject.empty());
}

TEST(MsgTest, EmptyMessageIsJustTheHeader) {
    CMsg m;
    Record r;
    ASSERT_EQ(m.ToMailMsg(&r.p), MAILHOST_OK);
    EXPECT_EQ(r.p->version, 1u);
    EXPECT_EQ(r.p->reserved, 0u);
    EXPECT_EQ(r.p->status, 0x0400);
    EXPECT_EQ(r.p->flags, 0x002A0000u);
    EXPECT_EQ(r.p->padding1, 0);
    EXPECT_EQ(r.p->padding2, 0);
    EXPECT_EQ(r.p->hostMsgId, nullptr);
    EXPECT_EQ(r.p->from, nullptr);
    EXPECT_EQ(r.p->attachments, nullptr);
    EXPECT_EQ(usedSize(r.p), H);
}

// Where each identifier and text lands in the data area, and how big the block is.
struct PackingRow {
    const char* what;
    std::string hostId;     // identifier bytes
    std::string subject;
    std::string body;
    std::string from;
    size_t expectedSize;    // beyond the header
    long hostIdAt, fromAt, subjectAt, bodyAt;  // offsets beyond the header, -1 = null
};

class MsgPacking : public ::testing::TestWithParam<PackingRow> {};

TEST_P(MsgPacking, PacksInFieldOrderWithoutGaps) {
    const PackingRow& row = GetParam();
    SCOPED_TRACE(row.what);
    CMsg m;
    m.m_hostMsgId.Set(row.hostId.data(), static_cast<uint32_t>(row.hostId.size()));
    m.m_subject = row.subject;
    m.m_body = row.body;
    m.m_from = row.from;
    Record r;
    ASSERT_EQ(m.ToMailMsg(&r.p), MAILHOST_OK);
    EXPECT_EQ(usedSize(r.p), H + row.expectedSize);
    auto check = [&](const void* p, long at, const char* field) {
        SCOPED_TRACE(field);
        if (at < 0) {
            EXPECT_EQ(p, nullptr);
        } else {
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(offsetIn(r.p, p), H + static_cast<size_t>(at));
        }
    };
    check(r.p->hostMsgId, row.hostIdAt, "hostMsgId");
    check(r.p->from, row.fromAt, "from");
    check(r.p->subject, row.subjectAt, "subject");
    check(r.p->body, row.bodyAt, "body");
    EXPECT_EQ(r.p->hostMsgIdSize, row.hostId.size());
    if (r.p->subject) {
        EXPECT_STREQ(r.p->subject, row.subject.c_str());
    }
    if (r.p->body) {
        EXPECT_STREQ(r.p->body, row.body.c_str());
    }
    if (r.p->hostMsgId) {
        EXPECT_EQ(std::memcmp(r.p->hostMsgId, row.hostId.data(), row.hostId.size()), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, MsgPacking, ::testing::Values(
    // A three-letter subject alone: 4 bytes behind the header, at its start.
    PackingRow{"subject abc", "", "abc", "", "", 4, -1, -1, 0, -1},
    // An 8-byte identifier then a 10-character body: 8 + 11 bytes, body at 8.
    PackingRow{"id and body", std::string("\x01\x02\x00\x04\x05\x06\x07\x08", 8), "", "0123456789", "",
               19, 0, -1, -1, 8},
    // Texts follow the identifiers in field order (from before subject before body).
    PackingRow{"order", "ID", "S", "B", "F", 2 + 2 + 2 + 2, 0, 2, 4, 6}));

TEST(MsgTest, RecordToMsgAndBackKeepsEveryField) {
    // A caller-built record need not be one block.
    unsigned char id1[] = {9, 8, 7};
    unsigned char host[] = {'4', '2', 0};
    unsigned char id2[] = {1};
    MailMsg in{};
    in.version = 77;
    in.reserved = 99;
    in.extraId1Size = 3; in.extraId1 = id1;
    in.hostMsgIdSize = 3; in.hostMsgId = host;
    in.extraId2Size = 1; in.extraId2 = id2;
    in.extraWord = 0xBEEF;
    in.timeSent = 1000; in.timeReceived = 2000; in.size = 3000; in.extraLong = 0xDEADBEEF;
    in.status = 0x9ABC; in.flags = 0x80000001u;
    char from[] = "a@b.c (A)", to[] = "t", cc[] = "c", bcc[] = "b", x1[] = "x1", x2[] = "x2",
         subject[] = "s", body[] = "body\r\ntext", att[] = "\tfile.txt";
    in.from = from; in.to = to; in.cc = cc; in.bcc = bcc; in.extraText1 = x1; in.extraText2 = x2;
    in.subject = subject; in.body = body; in.attachments = att;

    CMsg m(in);
    EXPECT_EQ(m.m_status, 0x9ABC);   // taken as it stands, not the default
    EXPECT_EQ(m.m_flags, 0x80000001u);
    Record r;
    ASSERT_EQ(m.ToMailMsg(&r.p), MAILHOST_OK);
    EXPECT_EQ(r.p->version, 1u);
    EXPECT_EQ(r.p->reserved, 0u);
    EXPECT_EQ(r.p->extraWord, 0xBEEF);
    EXPECT_EQ(r.p->timeSent, 1000);
    EXPECT_EQ(r.p->timeReceived, 2000);
    EXPECT_EQ(r.p->size, 3000u);
    EXPECT_EQ(r.p->extraLong, 0xDEADBEEFu);
    EXPECT_EQ(r.p->status, 0x9ABC);
    EXPECT_EQ(r.p->flags, 0x80000001u);
    EXPECT_EQ(std::memcmp(r.p->extraId1, id1, 3), 0);
    EXPECT_EQ(std::memcmp(r.p->hostMsgId, host, 3), 0);
    EXPECT_EQ(std::memcmp(r.p->extraId2, id2, 1), 0);
    const char* expected[] = {from, to, cc, bcc, x1, x2, subject, body, att};
    const char* got[] = {r.p->from, r.p->to, r.p->cc, r.p->bcc, r.p->extraText1,
                         r.p->extraText2, r.p->subject, r.p->body, r.p->attachments};
    for (int i = 0; i < 9; ++i) EXPECT_STREQ(got[i], expected[i]) << "text " << i;
    // Canonical packing: identifiers first, then texts, nothing in between.
    EXPECT_EQ(offsetIn(r.p, r.p->extraId1), H);
    EXPECT_EQ(offsetIn(r.p, r.p->from), H + 7);
    // The record handed in was only read.
    EXPECT_EQ(in.version, 77u);
    EXPECT_EQ(in.hostMsgId, host);

    // And a second trip yields the same record.
    CMsg again(*r.p);
    Record r2;
    ASSERT_EQ(again.ToMailMsg(&r2.p), MAILHOST_OK);
    EXPECT_EQ(std::memcmp(r.p, r2.p, offsetof(MailMsg, extraId1)), 0);
    EXPECT_STREQ(r2.p->body, body);
}

TEST(MsgTest, NullTextPointersLeaveTextsEmpty) {
    MailMsg in{};
    CMsg m(in);
    EXPECT_TRUE(m.m_subject.empty());
    EXPECT_TRUE(m.m_hostMsgId.IsEmpty());
    EXPECT_EQ(m.m_status, 0);  // numbers are copied even when zero
    EXPECT_EQ(m.m_flags, 0u);
}

TEST(MsgTest, ConversionFailures) {
    CMsg m;
    m.m_subject = "x";
    EXPECT_EQ(m.ToMailMsg(nullptr), MAILHOST_NULL_ARGUMENT);
    MailMsg* out = reinterpret_cast<MailMsg*>(0x1);
    vesk::injectAllocationFailure(0);
    EXPECT_EQ(m.ToMailMsg(&out), MAILHOST_OUT_OF_MEMORY);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(ReleaseMailMsg(nullptr), MAILHOST_NULL_ARGUMENT);
}

TEST(IdTest, SetCopiesAndFailedAllocationLeavesItEmpty) {
    const char bytes[] = "abcdef";
    CId id(bytes, 6);
    ASSERT_EQ(id.Size(), 6u);
    EXPECT_NE(id.Data(), reinterpret_cast<const unsigned char*>(bytes));
    id.Set(id.Data() + 1, 3);  // from its own buffer
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(id.Data()), id.Size()), "bcd");
    id.Set(bytes, 0);
    EXPECT_TRUE(id.IsEmpty());
    EXPECT_EQ(id.Data(), nullptr);
    vesk::injectAllocationFailure(0);
    id.Set(bytes, 6);
    EXPECT_TRUE(id.IsEmpty());
    EXPECT_EQ(id.Data(), nullptr);
    CId copy(CId(bytes, 2));
    EXPECT_EQ(copy.Size(), 2u);
}

}  // namespace
