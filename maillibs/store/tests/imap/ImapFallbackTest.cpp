// A server that lacks MOVE, CONDSTORE or UIDPLUS (or all three): the store falls back to
// COPY + \Deleted, to fetching every flag, to finding the new UID itself, and never to a
// plain EXPUNGE that would take other clients' deleted messages with it.
#include "ImapTestFixture.h"

namespace vesk::store::test {
namespace {

// What the server announces after login, each row without one extension or more.
struct Fallback {
    const char* name;
    const char* capabilities;
    bool uidplus;
};
const Fallback kFallbacks[] = {
    {"NoMove", "IMAP4rev1 LITERAL+ IDLE UIDPLUS CONDSTORE", true},
    {"NoCondstore", "IMAP4rev1 LITERAL+ IDLE UIDPLUS MOVE", true},
    {"NoUidplus", "IMAP4rev1 LITERAL+ IDLE MOVE CONDSTORE", false},
    {"NoneOfThem", "IMAP4rev1 LITERAL+", false},
};

class ImapFallbackTest : public ImapTest, public ::testing::WithParamInterface<Fallback> {
protected:
    testing::DovecotOptions serverOptions() const override {
        testing::DovecotOptions o;
        o.capabilities = GetParam().capabilities;
        return o;
    }
};

TEST_P(ImapFallbackTest, EveryOperationStillWorks) {
    auto p = peer();
    std::uint32_t keep = p->append("INBOX", message("keep"));
    std::uint32_t moved = p->append("INBOX", message("moved"), "\\Seen");
    std::uint32_t removed = p->append("INBOX", message("removed"));
    std::uint32_t theirs = p->append("INBOX", message("theirs"));
    std::uint32_t rewritten = p->append("INBOX", message("rewritten"), "\\Flagged");
    std::string keepId = idOf("INBOX", keep), movedId = idOf("INBOX", moved), removedId = idOf("INBOX", removed),
                rewrittenId = idOf("INBOX", rewritten);
    auto store = open();
    ASSERT_EQ(store->list(kInbox)->size(), 5u);
    p->select("INBOX");
    p->storeFlags(theirs, "\\Deleted", true);  // another client's, not to be expunged by us

    ASSERT_EQ(store->createFolder("Trash"), Status::Ok);
    ASSERT_EQ(store->move(kInbox, movedId, "Trash"), Status::Ok) << problems();
    ASSERT_EQ(store->remove(kInbox, removedId), Status::Ok) << problems();
    ASSERT_EQ(store->setPriority(kInbox, rewrittenId, Priority::Low), Status::Ok) << problems();
    auto delivered = store->deliverRaw(kInbox, message("delivered"), "S");
    ASSERT_TRUE(delivered.ok()) << problems();

    // The store's view: identifiers kept, what went is gone.
    auto listed = store->list(kInbox);
    ASSERT_TRUE(listed.ok());
    std::vector<std::string> subjects;
    for (const MessageInfo& i : *listed) subjects.push_back(store->read(kInbox, i.id)->subject);
    EXPECT_EQ(subjects, (std::vector<std::string>{"keep", "theirs", "rewritten", "delivered"}));
    EXPECT_EQ(store->read(kInbox, rewrittenId)->priority, Priority::Low);
    EXPECT_EQ(store->find(kInbox, rewrittenId)->flags, "F");
    EXPECT_EQ(store->read("Trash", movedId)->subject, "moved");
    EXPECT_EQ(store->find("Trash", movedId)->flags, "S");
    EXPECT_EQ(store->find(kInbox, removedId).status(), Status::NotFound);

    // The peer's view: the other client's deleted message is still there.
    p->select("INBOX");
    std::vector<std::uint32_t> left = p->uids();
    EXPECT_NE(std::find(left.begin(), left.end(), theirs), left.end());
    EXPECT_NE(std::find(left.begin(), left.end(), keep), left.end());
    for (std::uint32_t gone : {moved, removed}) {
        bool there = std::find(left.begin(), left.end(), gone) != left.end();
        // Without UID EXPUNGE (nor MOVE) the message waits, marked deleted, for a client's
        // expunge; with it, it is gone.
        if (GetParam().uidplus) {
            EXPECT_FALSE(there) << gone;
        } else if (there) {
            EXPECT_NE(p->flags(gone).find("\\Deleted"), std::string::npos) << gone;
        }
    }
    p->select("Trash");
    EXPECT_EQ(p->uids().size(), 1u);

    // A change by the peer shows in the next listing, with or without CONDSTORE.
    p->select("INBOX");
    p->storeFlags(keep, "\\Answered", true);
    EXPECT_EQ(store->find(kInbox, keepId)->flags, "");
    auto relisted = store->list(kInbox);
    ASSERT_TRUE(relisted.ok());
    EXPECT_EQ(store->find(kInbox, keepId)->flags, "R");

    // The next store sees the same: what was removed stays removed, even where it could not
    // be expunged.
    store.reset();
    auto next = open();
    auto again = next->list(kInbox);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again->size(), relisted->size());
    EXPECT_EQ(next->find(kInbox, removedId).status(), Status::NotFound);
    EXPECT_EQ(next->read("Trash", movedId)->subject, "moved");
}

INSTANTIATE_TEST_SUITE_P(Capabilities, ImapFallbackTest, ::testing::ValuesIn(kFallbacks),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace vesk::store::test
