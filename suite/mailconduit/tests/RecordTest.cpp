#include "sync/Record.h"

#include <gtest/gtest.h>

namespace conduit {
namespace {

TEST(RecordTest, OwnedRecordPointsAtItsFieldsAndLeavesEmptyOnesNull) {
    RecordFields fields;
    fields.hostMsgId = std::string("a\0b", 3);
    fields.subject = "Hello";
    fields.timeSent = 42;
    OwnedRecord record(fields);
    const MailMsg* msg = record.get();
    EXPECT_EQ(msg->version, 1u);
    ASSERT_EQ(msg->hostMsgIdSize, 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(msg->hostMsgId), 3), fields.hostMsgId);
    EXPECT_STREQ(msg->subject, "Hello");
    EXPECT_EQ(msg->body, nullptr);
    EXPECT_EQ(msg->extraId1, nullptr);
    EXPECT_EQ(msg->extraId1Size, 0u);
    EXPECT_EQ(msg->timeSent, 42);
    EXPECT_EQ(fieldsFromRecord(*msg), fields);
}

TEST(RecordTest, SubmissionCarriesTheHandheldsSettingsAndNoHostIdentity) {
    struct Row {
        const char* label;
        int priority;
        bool read, readReceipt, deliveryReport;
        std::uint16_t status;  // expected
        std::uint32_t flags;   // expected
    } rows[] = {
        // Default record with normal priority, nothing asked for.
        {"plain", kPriorityNormal, false, false, false, 0x0400, 0x002A0000},
        // High: status bits 10-11 and flags bits 21-22 both 0.
        {"high, read receipt", kPriorityHigh, false, true, false, 0x2000, 0x000A0000},
        // Low, read on the handheld, delivery report: bit 15, bit 12, bit 25.
        {"low, read, delivery report", kPriorityLow, true, false, true, 0x8000 | 0x1000 | 0x0800, 0x024A0000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        HandheldMessage m;
        m.record.hostMsgId = "stale";  // e.g. a copy of an inbox message
        m.record.flags |= MAILMSG_FLAG_FROM_HOST;
        m.priority = row.priority;
        m.read = row.read;
        m.readReceipt = row.readReceipt;
        m.deliveryReport = row.deliveryReport;
        RecordFields r = recordForSubmission(m);
        EXPECT_TRUE(r.hostMsgId.empty());
        EXPECT_EQ(r.status, row.status);
        EXPECT_EQ(r.flags, row.flags);
    }
}

TEST(RecordTest, ChangeRecordIsTheDesktopRecordWithTheHandheldState) {
    HandheldMessage m;
    m.record.hostMsgId = "id";
    m.record.status = 0x0480;  // content read, normal priority
    m.record.flags = 0x822A0000;
    m.read = true;
    m.priority = kPriorityHigh;
    RecordFields r = recordForChange(m);
    EXPECT_EQ(r.hostMsgId, "id");
    EXPECT_EQ(r.flags, 0x822A0000u) << "the desktop's flags go back as they came";
    EXPECT_EQ(r.status, 0x8080);
    EXPECT_TRUE(cameFromHost(r));
}

TEST(RecordTest, DesktopPriorityThreeCountsAsNormal) {
    RecordFields r;
    r.flags = 3u << MAILMSG_FLAG_PRIORITY_SHIFT;
    EXPECT_EQ(desktopPriorityOf(r), kPriorityNormal);
    r.flags = 2u << MAILMSG_FLAG_PRIORITY_SHIFT;
    EXPECT_EQ(desktopPriorityOf(r), kPriorityLow);
}

}  // namespace
}  // namespace conduit
