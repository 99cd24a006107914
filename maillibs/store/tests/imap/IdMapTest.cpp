// The names kept for messages whose UID changed, and the listing kept between stores: both
// live in the state folder, and neither may outlive the UIDVALIDITY they belong to.
#include "imap/IdMap.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "imap/ListingFile.h"

namespace vesk::store::detail {
namespace {

using vesk::store::test::TempDir;
using vesk::store::test::spit;

TEST(IdMapTest, NativeIdentifiersParseOnlyInTheirOwnForm) {
    struct Row {
        const char* id;
        bool valid;
    };
    const Row rows[] = {
        {"17.4", true},     {"0.1", true},   {"4294967295.4294967295", true},
        {"17.0", false},    // UID 0 names no message
        {"17", false},      {".4", false},   {"17.", false}, {"17.4x", false}, {"a.4", false},
        {"4294967296.1", false},  // out of range
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.id);
        EXPECT_EQ(parseNativeId(r.id).has_value(), r.valid);
    }
    EXPECT_EQ(nativeId(17, 4), "17.4");
}

TEST(IdMapTest, KeptNamesSurviveAndDieWithTheirUidValidity) {
    TempDir state;
    {
        IdMap ids(state.path());
        EXPECT_EQ(ids.idOf("Trash", 50, 7), "50.7");
        ids.name("Trash", 50, 7, "40.3");  // moved in from another mailbox
        EXPECT_EQ(ids.idOf("Trash", 50, 7), "40.3");
        EXPECT_EQ(ids.uidOf("Trash", 50, "40.3"), 7u);
        // Its native name no longer names it: another message may never take it either.
        EXPECT_FALSE(ids.uidOf("Trash", 50, "50.7").has_value());
        EXPECT_EQ(ids.uidOf("Trash", 50, "50.8"), 8u);
        EXPECT_FALSE(ids.uidOf("Trash", 51, "50.8").has_value());  // another UIDVALIDITY
    }
    IdMap again(state.path());
    EXPECT_EQ(again.uidOf("Trash", 50, "40.3"), 7u);
    again.validity("Trash", 60);  // the mailbox was recreated
    EXPECT_FALSE(again.uidOf("Trash", 60, "40.3").has_value());
    IdMap after(state.path());
    EXPECT_EQ(after.idOf("Trash", 50, 7), "50.7");
}

TEST(IdMapTest, RenamingAgainReplacesTheOldName) {
    TempDir state;
    IdMap ids(state.path());
    ids.name("INBOX", 9, 3, "9.1");  // rewritten once: 1 -> 3
    ids.name("INBOX", 9, 5, "9.1");  // and again: 3 -> 5
    EXPECT_EQ(ids.uidOf("INBOX", 9, "9.1"), 5u);
    EXPECT_EQ(ids.idOf("INBOX", 9, 3), "9.3");
    ids.forget("INBOX", 5);
    EXPECT_EQ(ids.idOf("INBOX", 9, 5), "9.5");
}

TEST(ListingFileTest, KeepsAListingAndRefusesADamagedOne) {
    TempDir state;
    Listing l;
    l.validity = 77;
    l.highestModSeq = 1234567890123ull;
    l.uidNext = 9;
    l.messages = {{3, "RS", 1700000000, 512}, {8, "", 1700000100, 1024}};
    saveListing(state.path(), "Deleted Items", l);
    Listing back;
    ASSERT_TRUE(loadListing(state.path(), "Deleted Items", back));
    EXPECT_EQ(back.validity, 77u);
    EXPECT_EQ(back.highestModSeq, l.highestModSeq);
    ASSERT_EQ(back.messages.size(), 2u);
    EXPECT_EQ(back.messages[0].flags, "RS");
    EXPECT_EQ(back.messages[1].flags, "");
    EXPECT_EQ(back.messages[1].size, 1024u);
    EXPECT_FALSE(loadListing(state.path(), "Other", back));
    // Cut short or garbled, it is no listing at all.
    std::string path = state.path() + "/vesk-imap-list-44656c65746564204974656d73";  // hex of the name
    for (const char* damaged : {"77 1 9\n3 RS 1700000000\n", "77 x 9\n", "0 1 9\n", "77 1 9\n3 R! 1 2\n"}) {
        SCOPED_TRACE(damaged);
        spit(path, damaged);
        EXPECT_FALSE(loadListing(state.path(), "Deleted Items", back));
    }
}

}  // namespace
}  // namespace vesk::store::detail
