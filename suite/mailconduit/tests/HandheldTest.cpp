#include "handheld/Handheld.h"

#include <gtest/gtest.h>

#include "sync/Record.h"

namespace conduit {
namespace {

// A handheld with one desktop message (#1) in the inbox.
Handheld withInboxMessage() {
    Handheld h;
    HandheldMessage m;
    m.id = h.nextId++;
    m.record.hostMsgId = std::string("id\0one", 6);
    m.record.flags |= MAILMSG_FLAG_FROM_HOST;
    m.record.subject = "Agenda";
    h.inbox.push_back(m);
    return h;
}

TEST(HandheldTest, ComposeNeedsARecipientUnlessFiled) {
    Handheld h;
    std::uint64_t id = 0;
    Draft draft;
    draft.to = " ;, ";
    draft.subject = "No one";
    EXPECT_TRUE(compose(h, draft, id).has_value());
    EXPECT_TRUE(h.outbox.empty());
    draft.fileOnly = true;  // a note filed into the desktop store needs no recipient
    ASSERT_FALSE(compose(h, draft, id).has_value());
    ASSERT_EQ(h.filed.size(), 1u);
    EXPECT_EQ(h.filed[0].id, id);
    EXPECT_FALSE(h.filed[0].hasPendingChange());
}

TEST(HandheldTest, NumbersAreNeverReused) {
    Handheld h = withInboxMessage();
    std::uint64_t a = 0, b = 0;
    Draft draft;
    draft.to = "a@example.org";
    ASSERT_FALSE(compose(h, draft, a));
    ASSERT_FALSE(deleteMessage(h, a));  // outbox: gone at once
    EXPECT_EQ(h.find(a), nullptr);
    ASSERT_FALSE(compose(h, draft, b));
    EXPECT_GT(b, a);
}

TEST(HandheldTest, InboxChangesArePendingUntilCarried) {
    Handheld h = withInboxMessage();
    ASSERT_FALSE(markRead(h, 1, true));
    ASSERT_FALSE(setPriority(h, 1, kPriorityHigh));
    HandheldMessage& m = h.inbox[0];
    EXPECT_TRUE(m.readChanged());
    EXPECT_TRUE(m.priorityChanged());
    // Changing it back is no change at all: nothing to carry.
    ASSERT_FALSE(markRead(h, 1, false));
    ASSERT_FALSE(setPriority(h, 1, kPriorityNormal));
    EXPECT_FALSE(m.hasPendingChange());
    ASSERT_FALSE(deleteMessage(h, 1));
    EXPECT_TRUE(m.deleted);
    EXPECT_EQ(h.inbox.size(), 1u) << "an inbox deletion waits for the desktop";
    ASSERT_FALSE(undeleteMessage(h, 1));
    EXPECT_FALSE(m.hasPendingChange());
}

TEST(HandheldTest, EditsRefusedWhereTheyMeanNothing) {
    Handheld h = withInboxMessage();
    Draft draft;
    draft.to = "a@example.org";
    std::uint64_t out = 0, filed = 0;
    ASSERT_FALSE(compose(h, draft, out));
    struct Row {
        const char* label;
        std::optional<std::string> error;
    } rows[] = {
        {"read state of an outbox message", markRead(h, out, true)},
        {"unknown number", markRead(h, 99, true)},
        {"priority out of range", setPriority(h, 1, 3)},
        {"undelete of a message not deleted", undeleteMessage(h, 1)},
        {"retry of a message not held", retryMessage(h, out)},
        {"filing a queued message again", (fileMessage(h, out, filed), fileMessage(h, out, filed))},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        EXPECT_TRUE(row.error.has_value());
    }
}

TEST(HandheldTest, FilingAnInboxMessageQueuesACopyWithoutHostIdentity) {
    Handheld h = withInboxMessage();
    std::uint64_t copy = 0;
    ASSERT_FALSE(fileMessage(h, 1, copy));
    ASSERT_EQ(h.filed.size(), 1u);
    EXPECT_NE(copy, 1u);
    EXPECT_EQ(h.filed[0].record.subject, "Agenda");
    EXPECT_TRUE(h.filed[0].record.hostMsgId.empty());
    EXPECT_FALSE(cameFromHost(h.filed[0].record));
    EXPECT_EQ(h.inbox.size(), 1u) << "the original stays in the inbox";
}

TEST(HandheldTest, FilingAnOutboxMessageMovesIt) {
    Handheld h;
    Draft draft;
    draft.to = "a@example.org";
    std::uint64_t id = 0, queued = 0;
    ASSERT_FALSE(compose(h, draft, id));
    h.outbox[0].unsure = true;
    EXPECT_TRUE(fileMessage(h, id, queued).has_value()) << "a held message may already be sent";
    ASSERT_FALSE(retryMessage(h, id));
    ASSERT_FALSE(fileMessage(h, id, queued));
    EXPECT_EQ(queued, id);
    EXPECT_TRUE(h.outbox.empty());
    ASSERT_EQ(h.filed.size(), 1u);
}

}  // namespace
}  // namespace conduit
