#include "sync/Merge.h"

#include <gtest/gtest.h>

#include <map>

#include "sync/Record.h"
#include "framework/MailHost.h"

namespace conduit {
namespace {

constexpr std::uint16_t kFullStatus = 0x0400 | (2u << MAILMSG_STATUS_CONTENT_SHIFT);

RecordFields desktopRecord(const std::string& id, bool read, int priority = kPriorityNormal) {
    RecordFields r;
    r.hostMsgId = id;
    r.status = kFullStatus;
    r.flags = (1u << 17) | (1u << 19) | (static_cast<std::uint32_t>(priority) << MAILMSG_FLAG_PRIORITY_SHIFT) |
              MAILMSG_FLAG_FROM_HOST | (read ? MAILMSG_FLAG_READ : 0u);
    r.subject = "Subject " + id;
    r.body = "Body of " + id;
    r.to = "me@example.org";
    return r;
}

TEST(MergeTest, LearnsNewForgetsGoneKeepsOrderOfTheDesktop) {
    Handheld h;
    mergeDesktop(h, {desktopRecord("a", false), desktopRecord("b", true, kPriorityHigh)}, false);
    ASSERT_EQ(h.inbox.size(), 2u);
    EXPECT_FALSE(h.inbox[0].read);
    EXPECT_TRUE(h.inbox[1].read);
    EXPECT_EQ(h.inbox[1].priority, kPriorityHigh);
    EXPECT_FALSE(h.inbox[1].hasPendingChange());
    std::uint64_t idOfB = h.inbox[1].id;

    MergeResult result = mergeDesktop(h, {desktopRecord("c", false), desktopRecord("b", true)}, false);
    EXPECT_EQ(result.received, 1);
    EXPECT_EQ(result.updated, 1);
    EXPECT_EQ(result.forgotten, 1);
    ASSERT_EQ(h.inbox.size(), 2u);
    EXPECT_EQ(h.inbox[0].record.hostMsgId, "c");
    EXPECT_EQ(h.inbox[1].id, idOfB) << "a known message keeps its number";
    EXPECT_EQ(h.inbox[1].priority, kPriorityNormal) << "the desktop's new priority reaches the handheld";
}

TEST(MergeTest, EveryKnownMessageKeepsItsNumberWhateverOrderTheDesktopListsThemIn) {
    Handheld h;
    std::vector<RecordFields> listing;
    for (int i = 0; i < 2000; ++i) listing.push_back(desktopRecord("1700000000.M" + std::to_string(i) + ".desk", false));
    mergeDesktop(h, listing, false);
    std::map<std::string, std::uint64_t> numbers;
    for (const HandheldMessage& m : h.inbox) numbers[m.record.hostMsgId] = m.id;
    ASSERT_EQ(numbers.size(), 2000u);

    // A new one first (every later message then moves through the places aside), then the
    // rest reversed, every third one gone and as many new ones between the others.
    std::vector<RecordFields> next = {desktopRecord("1900000000.M0.desk", false)};
    for (int i = 1999; i >= 0; --i) {
        if (i % 3 == 0) continue;
        next.push_back(desktopRecord("1700000000.M" + std::to_string(i) + ".desk", true));
        if (i % 3 == 1) next.push_back(desktopRecord("1800000000.M" + std::to_string(i) + ".desk", false));
    }
    MergeResult result = mergeDesktop(h, next, false);
    EXPECT_EQ(result.updated, 1333);
    EXPECT_EQ(result.received, 668);
    EXPECT_EQ(result.forgotten, 667);
    ASSERT_EQ(h.inbox.size(), next.size());
    for (std::size_t i = 0; i < next.size(); ++i) {
        const HandheldMessage& m = h.inbox[i];
        ASSERT_EQ(m.record.hostMsgId, next[i].hostMsgId) << "the desktop's order";
        auto known = numbers.find(m.record.hostMsgId);
        if (known != numbers.end()) {
            EXPECT_EQ(m.id, known->second) << m.record.hostMsgId;
            EXPECT_TRUE(m.read) << "and its new state";
        } else {
            EXPECT_GT(m.id, 2000u) << "a new message gets a new number";
        }
    }
}

TEST(MergeTest, AnIdentifierListedTwiceIsOneKnownMessageAndOneNew) {
    Handheld h;
    mergeDesktop(h, {desktopRecord("a", false), desktopRecord("b", false)}, false);
    const std::uint64_t idOfA = h.inbox[0].id;
    // The desktop lists "a" twice: the first is the message the handheld knows, the second
    // is a message of its own and never takes the same number.
    MergeResult result = mergeDesktop(h, {desktopRecord("a", true), desktopRecord("a", false), desktopRecord("b", false)}, false);
    EXPECT_EQ(result.updated, 2);
    EXPECT_EQ(result.received, 1);
    ASSERT_EQ(h.inbox.size(), 3u);
    EXPECT_EQ(h.inbox[0].id, idOfA);
    EXPECT_NE(h.inbox[1].id, idOfA);
    EXPECT_EQ(h.inbox[1].record.hostMsgId, "a");

    // Now the handheld holds "a" twice: the next listing of one "a" keeps the first of them.
    result = mergeDesktop(h, {desktopRecord("a", false)}, false);
    EXPECT_EQ(result.updated, 1);
    EXPECT_EQ(result.forgotten, 2);
    ASSERT_EQ(h.inbox.size(), 1u);
    EXPECT_EQ(h.inbox[0].id, idOfA);
}

TEST(MergeTest, HandheldChangesNotYetCarriedSurviveTheDesktopState) {
    Handheld h;
    mergeDesktop(h, {desktopRecord("a", false), desktopRecord("b", false)}, false);
    h.inbox[0].read = true;                   // read on the handheld, not yet carried
    h.inbox[1].priority = kPriorityLow;       // lowered on the handheld
    MergeResult result = mergeDesktop(h, {desktopRecord("a", false), desktopRecord("b", true, kPriorityHigh)}, false);
    EXPECT_EQ(result.changesDropped, 0);
    EXPECT_TRUE(h.inbox[0].read);
    EXPECT_TRUE(h.inbox[0].readChanged());
    EXPECT_EQ(h.inbox[1].priority, kPriorityLow);
    EXPECT_EQ(h.inbox[1].desktopPriority, kPriorityHigh);
    EXPECT_TRUE(h.inbox[1].read) << "the read state had no change of its own and follows the desktop";
    // The desktop catching up settles the change by itself.
    mergeDesktop(h, {desktopRecord("a", true), desktopRecord("b", true, kPriorityLow)}, false);
    EXPECT_FALSE(h.inbox[0].hasPendingChange());
    EXPECT_FALSE(h.inbox[1].hasPendingChange());
}

TEST(MergeTest, HeadersOnlyKeepsTheBodyTheHandheldHas) {
    Handheld h;
    mergeDesktop(h, {desktopRecord("a", false)}, false);
    RecordFields headers = desktopRecord("a", true);
    headers.status = 0x0400;  // content not read
    headers.body.clear();
    headers.to.clear();
    headers.subject = "Changed subject";
    mergeDesktop(h, {headers}, false);
    EXPECT_EQ(h.inbox[0].record.body, "Body of a");
    EXPECT_EQ(h.inbox[0].record.to, "me@example.org");
    EXPECT_EQ(h.inbox[0].record.subject, "Changed subject");
    EXPECT_TRUE(h.inbox[0].read);
}

TEST(MergeTest, AnotherPluginsMailboxReplacesTheInbox) {
    Handheld h;
    mergeDesktop(h, {desktopRecord("same-id", false)}, false);
    h.inbox[0].deleted = true;
    std::uint64_t oldId = h.inbox[0].id;
    MergeResult result = mergeDesktop(h, {desktopRecord("same-id", false)}, true);
    EXPECT_EQ(result.forgotten, 1);
    EXPECT_EQ(result.changesDropped, 1);
    EXPECT_EQ(result.received, 1);
    ASSERT_EQ(h.inbox.size(), 1u);
    EXPECT_NE(h.inbox[0].id, oldId) << "an identifier of another mailbox is not the same message";
    EXPECT_FALSE(h.inbox[0].deleted);
}

}  // namespace
}  // namespace conduit

namespace conduit {
namespace {

// What the sink of a merge saw: each message as it was handed over, and where it goes.
struct Seen {
    std::uint64_t id;
    std::string hostId;
    std::int64_t position;
};

TEST(InboxMergeTest, HandsEachMessageOverAsItIsMergedInTheDesktopsOrder) {
    Handheld h;
    mergeDesktop(h, {desktopRecord("a", false), desktopRecord("b", false), desktopRecord("c", false)}, false);
    const std::uint64_t idOfC = h.inbox[2].id;
    std::vector<Seen> seen;
    InboxMerge merge(h, false, [&](HandheldMessage& m, std::int64_t position) -> std::optional<std::string> {
        seen.push_back({m.id, m.record.hostMsgId, position});
        m.record.body.clear();  // the sink may take the texts away (a store releases them)
        return std::nullopt;
    });
    for (const char* id : {"c", "d", "a"}) ASSERT_FALSE(merge.put(desktopRecord(id, true)));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].id, idOfC);
    EXPECT_EQ(seen[1].hostId, "d");
    EXPECT_EQ(seen[1].id, 4u) << "a new message is numbered when it is merged";
    EXPECT_EQ(seen[2].hostId, "a");
    EXPECT_EQ((std::vector<std::int64_t>{seen[0].position, seen[1].position, seen[2].position}),
              (std::vector<std::int64_t>{0, 1, 2}));
    MergeResult result = merge.finish();
    EXPECT_EQ(result.received, 1);
    EXPECT_EQ(result.updated, 2);
    EXPECT_EQ(result.forgotten, 1);
    ASSERT_EQ(h.inbox.size(), 3u);
    EXPECT_EQ(h.inbox[1].record.hostMsgId, "d");
    EXPECT_EQ(h.inbox[1].record.body, "") << "the inbox holds what the sink left";
    EXPECT_TRUE(h.inbox[2].read);
}

TEST(InboxMergeTest, MessagesWaitingAsideAreFoundAndThoseNeverListedCountWithTheirChanges) {
    // The merged inbox is built in the old one's places: "d" goes where "a" stood, so "a"
    // must wait aside until its record comes; "c" is never listed and its handheld change is
    // dropped with it.
    Handheld h;
    mergeDesktop(h, {desktopRecord("a", false), desktopRecord("b", false), desktopRecord("c", false),
                     desktopRecord("d", false)},
                 false);
    std::map<std::string, std::uint64_t> numbers;
    for (const HandheldMessage& m : h.inbox) numbers[m.record.hostMsgId] = m.id;
    h.inbox[2].read = true;  // "c", read on the handheld
    h.inbox[0].priority = kPriorityHigh;  // "a", raised on the handheld: carried over
    std::vector<Seen> seen;
    InboxMerge merge(h, false, [&](HandheldMessage& m, std::int64_t position) -> std::optional<std::string> {
        seen.push_back({m.id, m.record.hostMsgId, position});
        return std::nullopt;
    }, 5);
    for (const char* id : {"d", "a", "e", "b", "f"}) ASSERT_FALSE(merge.put(desktopRecord(id, false)));
    MergeResult result = merge.finish();
    EXPECT_EQ(result.updated, 3);
    EXPECT_EQ(result.received, 2);
    EXPECT_EQ(result.forgotten, 1);
    EXPECT_EQ(result.changesDropped, 1);
    ASSERT_EQ(h.inbox.size(), 5u);
    const std::vector<std::string> order = {"d", "a", "e", "b", "f"};
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(h.inbox[i].record.hostMsgId, order[i]);
        EXPECT_EQ(h.inbox[i].record.subject, "Subject " + order[i]) << "each place holds its own message whole";
        ASSERT_EQ(seen[i].hostId, order[i]);
        EXPECT_EQ(seen[i].position, static_cast<std::int64_t>(i));
        EXPECT_EQ(seen[i].id, h.inbox[i].id);
        if (numbers.count(order[i])) {
            EXPECT_EQ(h.inbox[i].id, numbers[order[i]]) << order[i];
        }
    }
    EXPECT_EQ(h.inbox[1].priority, kPriorityHigh);
    EXPECT_TRUE(h.inbox[1].priorityChanged());
}

TEST(InboxMergeTest, ASinkThatFailsStopsTheMergeWithItsReason) {
    Handheld h;
    int calls = 0;
    InboxMerge merge(h, false, [&](HandheldMessage&, std::int64_t) -> std::optional<std::string> {
        return ++calls == 2 ? std::optional<std::string>("cannot write handheld.db: disk full") : std::nullopt;
    });
    EXPECT_FALSE(merge.put(desktopRecord("a", false)));
    std::optional<std::string> error = merge.put(desktopRecord("b", false));
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, "cannot write handheld.db: disk full");
}

}  // namespace
}  // namespace conduit
