#include "framework/PasswordScramble.h"

#include <gtest/gtest.h>

#include <cctype>
#include <vector>

namespace {

// The numbers of a scrambled text, which must be nothing but groups "#<digits>"; an empty
// vector when the text has any other shape.
std::vector<int> groups(const std::string& s) {
    std::vector<int> numbers;
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] != '#') return {};
        size_t j = i + 1;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
        if (j == i + 1 || j - i - 1 > 3) return {};
        numbers.push_back(std::stoi(s.substr(i + 1, j - i - 1)));
        i = j;
    }
    return numbers;
}

struct PasswordRow {
    std::string password, expectedBack;
};

class PasswordScrambleTest : public ::testing::TestWithParam<PasswordRow> {};

TEST_P(PasswordScrambleTest, RoundTripsThrough32Groups) {
    const std::string scrambled = ScramblePassword(GetParam().password);
    const std::vector<int> numbers = groups(scrambled);
    ASSERT_EQ(numbers.size(), 32u) << scrambled;
    for (int n : numbers) EXPECT_LE(n, 255);
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
