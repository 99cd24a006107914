#include "Flags.h"

#include <gtest/gtest.h>

namespace vesk::store::detail {
namespace {

TEST(FlagsTest, ApplyKeepsLettersSortedAndUnique) {
    struct Case {
        const char* current;
        const char* add;
        const char* remove;
        const char* result;
    } cases[] = {
        {"", "S", "", "S"},          // first flag
        {"S", "R", "", "RS"},        // sorted in
        {"RS", "S", "", "RS"},       // adding a present flag changes nothing
        {"FRS", "", "R", "FS"},      // removal
        {"S", "", "T", "S"},         // removing an absent flag changes nothing
        {"S", "T", "T", "S"},        // remove wins over add
        {"SRFSa", "", "", "FRSa"},   // messy input normalised; keywords (lower case) kept
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.current) + "+" + c.add + "-" + c.remove);
        EXPECT_EQ(applyFlags(c.current, c.add, c.remove), c.result);
    }
}

TEST(FlagsTest, OnlyLettersAreFlags) {
    EXPECT_TRUE(validFlagLetters(""));
    EXPECT_TRUE(validFlagLetters("DFPRSTabz"));
    EXPECT_FALSE(validFlagLetters("S,"));
    EXPECT_FALSE(validFlagLetters("/"));
    EXPECT_FALSE(validFlagLetters(":"));
    EXPECT_FALSE(validFlagLetters("1"));
}

}  // namespace
}  // namespace vesk::store::detail
