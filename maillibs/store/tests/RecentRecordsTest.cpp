// The records kept in memory answer only for exactly the key they were kept under, follow
// the store's own renames, and stay a small, bounded set.
#include "RecentRecords.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace vesk::store::detail {
namespace {

FileStamp stamp() {
    FileStamp s;
    s.file = "cur/1700000000.M1P2.host:2,S";
    s.size = 4096;
    s.inode = 77;
    s.mtimeNs = 1700000000123456789;
    s.ctimeNs = 1700000000223456789;
    return s;
}

ParsedRecord record(const std::string& subject) {
    ParsedRecord r;
    r.message.subject = subject;
    r.message.body = "text of " + subject;
    r.hasBody = true;
    return r;
}

constexpr const char* kId = "1700000000.M1P2.host";

struct KeyChange {
    const char* what;
    std::function<void(std::string& folder, std::string& id, FileStamp& s)> apply;
};

void PrintTo(const KeyChange& change, std::ostream* os) { *os << change.what; }

// Each part of the key alone, changed: the entry must not answer.
const KeyChange kKeyChanges[] = {
    {"other_folder", [](std::string& folder, std::string&, FileStamp&) { folder = "Archive"; }},
    {"other_id", [](std::string&, std::string& id, FileStamp&) { id = "1700000000.M1P3.host"; }},
    {"moved_to_new", [](std::string&, std::string&, FileStamp& s) { s.file = "new/1700000000.M1P2.host"; }},
    {"other_flags", [](std::string&, std::string&, FileStamp& s) { s.file = "cur/1700000000.M1P2.host:2,RS"; }},
    {"other_size", [](std::string&, std::string&, FileStamp& s) { s.size += 1; }},
    {"other_inode", [](std::string&, std::string&, FileStamp& s) { s.inode += 1; }},
    {"modified_earlier", [](std::string&, std::string&, FileStamp& s) { s.mtimeNs -= 1; }},
    {"changed_later", [](std::string&, std::string&, FileStamp& s) { s.ctimeNs += 1; }},
};

class KeyChangeTest : public ::testing::TestWithParam<KeyChange> {};

TEST_P(KeyChangeTest, IsNotBelieved) {
    RecentRecords recent;
    recent.put("INBOX", kId, stamp(), record("kept"));
    std::string folder = "INBOX", id = kId;
    FileStamp now = stamp();
    GetParam().apply(folder, id, now);
    EXPECT_EQ(recent.find(folder, id, now), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyChangeTest, ::testing::ValuesIn(kKeyChanges),
                         [](const ::testing::TestParamInfo<KeyChange>& p) { return std::string(p.param.what); });

TEST(RecentRecordsTest, AnswersForTheSameKeyOnly) {
    RecentRecords recent;
    recent.put("INBOX", kId, stamp(), record("kept"));
    const ParsedRecord* found = recent.find("INBOX", kId, stamp());
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->message.subject, "kept");
    EXPECT_EQ(found->message.body, "text of kept");
    // A look-up under a changed stamp drops the entry: the file it came from is gone.
    FileStamp changed = stamp();
    changed.ctimeNs += 1000;
    EXPECT_EQ(recent.find("INBOX", kId, changed), nullptr);
    EXPECT_EQ(recent.find("INBOX", kId, stamp()), nullptr);
    EXPECT_EQ(recent.size(), 0u);
}

TEST(RecentRecordsTest, AKeptRecordReplacesTheOneBefore) {
    RecentRecords recent;
    recent.put("INBOX", kId, stamp(), record("old"));
    FileStamp rewritten = stamp();
    rewritten.inode = 78;
    recent.put("INBOX", kId, rewritten, record("new"));
    EXPECT_EQ(recent.size(), 1u);
    ASSERT_NE(recent.find("INBOX", kId, rewritten), nullptr);
    EXPECT_EQ(recent.find("INBOX", kId, rewritten)->message.subject, "new");
    EXPECT_EQ(recent.find("INBOX", kId, stamp()), nullptr);
}

TEST(RecentRecordsTest, TheLeastRecentlyUsedGoesWhenFull) {
    RecentRecords recent;
    auto idOf = [](std::size_t i) { return "m" + std::to_string(i); };
    for (std::size_t i = 0; i < RecentRecords::kCapacity; ++i) recent.put("INBOX", idOf(i), stamp(), record(idOf(i)));
    ASSERT_NE(recent.find("INBOX", idOf(0), stamp()), nullptr);  // used: now the most recent
    recent.put("INBOX", "extra", stamp(), record("extra"));
    EXPECT_EQ(recent.size(), RecentRecords::kCapacity);
    EXPECT_NE(recent.find("INBOX", idOf(0), stamp()), nullptr);
    EXPECT_EQ(recent.find("INBOX", idOf(1), stamp()), nullptr);
    EXPECT_NE(recent.find("INBOX", "extra", stamp()), nullptr);
    EXPECT_NE(recent.find("INBOX", idOf(RecentRecords::kCapacity - 1), stamp()), nullptr);
}

TEST(RecentRecordsTest, FollowsARenameThatKeptTheContent) {
    RecentRecords recent;
    recent.put("INBOX", kId, stamp(), record("kept"));
    FileStamp after = stamp();
    after.file = "cur/1700000000.M1P2.host:2,RS";
    after.ctimeNs += 5;
    recent.renamed("INBOX", kId, stamp(), "INBOX", after);
    ASSERT_NE(recent.find("INBOX", kId, after), nullptr);
    // ... and a move into another folder.
    FileStamp moved = after;
    moved.ctimeNs += 5;
    recent.renamed("INBOX", kId, after, "Trash", moved);
    ASSERT_NE(recent.find("Trash", kId, moved), nullptr);
    EXPECT_EQ(recent.find("Trash", kId, moved)->message.subject, "kept");
    EXPECT_EQ(recent.find("INBOX", kId, after), nullptr);
    // The old stamp no longer answers at the new place either.
    EXPECT_EQ(recent.find("Trash", kId, after), nullptr);
}

TEST(RecentRecordsTest, DropsWhatARenameCannotVouchFor) {
    FileStamp after = stamp();
    after.file = "cur/1700000000.M1P2.host:2,RS";
    after.ctimeNs += 5;
    {
        // The entry was made from another version of the file than the one renamed.
        RecentRecords recent;
        recent.put("INBOX", kId, stamp(), record("kept"));
        FileStamp other = stamp();
        other.mtimeNs += 1;
        recent.renamed("INBOX", kId, other, "INBOX", after);
        EXPECT_EQ(recent.size(), 0u);
    }
    {
        // The content changed on the way (size, inode or modification time differ).
        RecentRecords recent;
        recent.put("INBOX", kId, stamp(), record("kept"));
        FileStamp grown = after;
        grown.size += 10;
        recent.renamed("INBOX", kId, stamp(), "INBOX", grown);
        EXPECT_EQ(recent.find("INBOX", kId, grown), nullptr);
        EXPECT_EQ(recent.size(), 0u);
    }
}

TEST(RecentRecordsTest, AMoveReplacesAnEntryTheTargetFolderHadForTheIdentifier) {
    RecentRecords recent;
    recent.put("Trash", kId, stamp(), record("older copy"));
    recent.put("INBOX", kId, stamp(), record("moved"));
    FileStamp moved = stamp();
    moved.ctimeNs += 5;
    recent.renamed("INBOX", kId, stamp(), "Trash", moved);
    EXPECT_EQ(recent.size(), 1u);
    ASSERT_NE(recent.find("Trash", kId, moved), nullptr);
    EXPECT_EQ(recent.find("Trash", kId, moved)->message.subject, "moved");
}

TEST(RecentRecordsTest, ForgetDropsOnlyThatMessage) {
    RecentRecords recent;
    recent.put("INBOX", kId, stamp(), record("a"));
    recent.put("INBOX", "other", stamp(), record("b"));
    recent.forget("INBOX", kId);
    EXPECT_EQ(recent.find("INBOX", kId, stamp()), nullptr);
    EXPECT_NE(recent.find("INBOX", "other", stamp()), nullptr);
}

}  // namespace
}  // namespace vesk::store::detail
