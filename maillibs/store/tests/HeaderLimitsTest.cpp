// Where a mended copy breaks header fields that would cost the MIME library far more than
// their size: encoded words that never end, address groups nested deeper than mail uses.
#include <gtest/gtest.h>

#include "HeaderLimits.h"

namespace vesk::store::detail {
namespace {

std::string repeated(const std::string& text, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += text;
    return out;
}

struct Case {
    const char* what;
    std::string text;
    std::vector<std::size_t> expected;
};

TEST(HeaderLimitsTest, UnendedEncodedWords) {
    const std::string word = "=?utf-8?q?a";
    const Case cases[] = {
        {"a plain subject", "Subject: hello\n", {}},
        {"sixteen unended starts are left alone", "Subject: " + repeated(word, 16), {}},
        {"the seventeenth is broken at its '?'", "Subject: " + repeated(word, 17), {9 + 16 * word.size() + 1}},
        {"an end after them all: one long word", "Subject: " + repeated(word, 40) + "?=", {}},
        {"ended words", "Subject: " + repeated("=?utf-8?q?caf=C3=A9?= ", 100), {}},
        {"only the starts after the last end count",
         "Subject: =?a?q?b?=" + repeated(word, 17), {18 + 16 * word.size() + 1}},
    };
    for (const Case& c : cases) EXPECT_EQ(unendedEncodedWords(c.text), c.expected) << c.what;
}

TEST(HeaderLimitsTest, DeepGroupColons) {
    const std::string nine = repeated("g:", 9);
    const Case cases[] = {
        {"an address", " bob@example.org", {}},
        {"one group", " team: a@example.org, b@example.org;", {}},
        {"eight nested groups", repeated("g:", 8) + "a@b" + repeated(";", 8), {}},
        {"the ninth nested group", nine + "a@b", {17}},
        {"groups closed in turn do not nest", repeated("g: a@b; ", 50), {}},
        {"colons in a quoted name", "\"" + nine + "\" <a@b>", {}},
        {"colons in a comment", "a@b (" + nine + ")", {}},
        {"a route in angle brackets", "<@a,@b,@c,@d,@e,@f,@g,@h,@i,@j:u@h>", {}},
        {"a quote that never closes encloses nothing", "\"" + nine, {18}},
        {"nor an angle bracket", "<" + nine, {18}},
        {"a quoted pair is not a quote", "\\\"" + nine, {19}},
    };
    for (const Case& c : cases) EXPECT_EQ(deepGroupColons(c.text), c.expected) << c.what;
}

TEST(HeaderLimitsTest, AddressFields) {
    for (const char* name : {"From", "to", "CC", "Bcc", "Reply-To", "Sender", "Resent-To", "resent-bcc"})
        EXPECT_TRUE(isAddressField(name)) << name;
    for (const char* name : {"Subject", "Tox", "T", "", "Disposition-Notification-To", "X-To"})
        EXPECT_FALSE(isAddressField(name)) << name;
}

}  // namespace
}  // namespace vesk::store::detail
