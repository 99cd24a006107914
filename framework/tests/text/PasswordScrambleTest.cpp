#include "framework/PasswordScramble.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

int groups(const std::string& s) {
    static const std::regex group("#([0-9]+)");
    int n = 0;
    for (auto it = std::sregex_iterator(s.begin(), s.end(), group); it != std::sregex_iterator(); ++it) {
        EXPECT_LE(std::stoi((*it)[1]), 255);
        ++n;
    }
    return n;
}

struct PasswordRow {
    std::string password, expectedBack;
};

class PasswordScrambleTest : public ::testing::TestWithParam<PasswordRow> {};

TEST_P(PasswordScrambleTest, RoundTripsThrough32Groups) {
    const std::string scrambled = ScramblePassword(GetParam().password);
    EXPECT_EQ(groups(scrambled), 32);
    EXPECT_TRUE(std::regex_match(scrambled, std::regex("(#[0-9]{1,3}){32}")));
    EXPECT_EQ(scrambled.find(GetParam().password), std::string::npos);
    EXPECT_EQ(UnscramblePassword(scrambled), GetParam().expectedBack);
}

INSTANTIATE_TEST_SUITE_P(Rows, PasswordScrambleTest, ::testing::Values(
    PasswordRow{"x", "x"},
    PasswordRow{"s3cret pass", "s3cret pass"},
    PasswordRow{std::string(32, 'p'), std::string(32, 'p')},
    PasswordRow{std::string(20, 'a') + std::string(20, 'b'), std::string(20, 'a') + std::string(12, 'b')},
    PasswordRow{"\xE9t\xE9", "\xE9t\xE9"}));

TEST(PasswordScrambleTest, FixedAcrossMachines) {
    // The generator and seed are our own, so this text is the same everywhere; a config file
    // written elsewhere must keep reading back.
    const std::string once = ScramblePassword("portable");
    EXPECT_EQ(ScramblePassword("portable"), once);
    EXPECT_EQ(UnscramblePassword(once), "portable");
    EXPECT_NE(ScramblePassword("portablf"), once);
}

TEST(PasswordScrambleTest, MalformedTextsGiveEmptyOrShortPasswords) {
    EXPECT_EQ(ScramblePassword(""), "");
    EXPECT_EQ(UnscramblePassword(""), "");
    EXPECT_EQ(UnscramblePassword("plain"), "");
    // An empty group stops the reading; the remaining work bytes stay zero and decode to
    // whatever they decode to, but never to more than 32 characters.
    EXPECT_LE(UnscramblePassword("#1##2").size(), 32u);
    EXPECT_LE(UnscramblePassword("#999#-5#abc").size(), 32u);
}

}  // namespace
