#include "Names.h"

#include <gtest/gtest.h>

#include <set>

#include "store/Store.h"

namespace vesk::store::detail {
namespace {

TEST(NamesTest, SplitFileName) {
    struct Case {
        const char* name;
        const char* id;
        const char* info;
        const char* flags;
    } cases[] = {
        {"1700000000.M1P2Q3.host", "1700000000.M1P2Q3.host", "", ""},          // new/: no info
        {"1700000000.M1P2Q3.host:2,RS", "1700000000.M1P2Q3.host", "2,RS", "RS"}, // cur/ with flags
        {"1700000000.M1P2Q3.host:2,", "1700000000.M1P2Q3.host", "2,", ""},       // cur/ without flags
        {"x,S=1234:2,S", "x,S=1234", "2,S", "S"},                                // size in the name stays in the id
        {"x:1,experimental", "x", "1,experimental", ""},                         // other info: no flags
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SplitName s = splitFileName(c.name);
        EXPECT_EQ(s.id, c.id);
        EXPECT_EQ(s.info, c.info);
        EXPECT_EQ(s.flags, c.flags);
    }
    EXPECT_EQ(curName("abc", "FS"), "abc:2,FS");
}

TEST(NamesTest, ValidIdentifiers) {
    struct Case {
        std::string id;
        bool valid;
    } cases[] = {
        {"1700000000.M1P2Q3.host", true},
        {"plain", true},
        {"", false},                          // empty
        {"../cur/x", false},                  // a path
        {"a/b", false},                       // a slash
        {"..", false},                        // parent
        {".hidden", false},                   // hidden files are not messages
        {"x:2,S", false},                     // a file name with info is not an identifier
        {std::string("a\0b", 3), false},      // NUL
        {std::string(255, 'a'), true},        // longest
        {std::string(256, 'a'), false},       // too long
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(isValidId(c.id), c.valid);
    }
}

TEST(NamesTest, UniqueIdsAreValidDistinctAndCarryTheirTime) {
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        std::string id = uniqueId(1700000000, 42);
        ASSERT_TRUE(isValidId(id)) << id;
        ASSERT_TRUE(seen.insert(id).second) << "repeated " << id;
        std::time_t sec = 0;
        long usec = -1;
        ASSERT_TRUE(deliveryTimeOf(id, sec, usec));
        EXPECT_EQ(sec, 1700000000);
        EXPECT_EQ(usec, 42);
    }
}

TEST(NamesTest, DeliveryTime) {
    struct Case {
        const char* id;
        bool ok;
        std::time_t sec;
        long usec;
    } cases[] = {
        {"1700000000.M123456P1.host", true, 1700000000, 123456},
        {"1700000000.P1.host", true, 1700000000, 0},   // old style without microseconds
        {"1700000000", true, 1700000000, 0},
        {"host.1700000000", false, 0, 0},              // not at the start
        {"17000x.M1.host", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::time_t sec = 0;
        long usec = 0;
        EXPECT_EQ(deliveryTimeOf(c.id, sec, usec), c.ok);
        if (c.ok) {
            EXPECT_EQ(sec, c.sec);
            EXPECT_EQ(usec, c.usec);
        }
    }
}

TEST(NamesTest, KeysAreStableAndNonZero) {
    // The key is kept by callers across processes: pin the hash so it can never drift.
    EXPECT_EQ(keyOfId(""), 0xcbf29ce484222325ull);
    EXPECT_EQ(keyOfId("a"), 0xaf63dc4c8601ec8cull);
    EXPECT_NE(keyOfId("1700000000.M1P2Q3.host"), keyOfId("1700000000.M1P2Q4.host"));
}

}  // namespace
}  // namespace vesk::store::detail
