#include "framework/AddressText.h"

#include <gtest/gtest.h>

namespace {

struct ListRow {
    const char* what;
    std::string list;
    std::string normalized;
    int count;
};

class NormalizeAddressListTest : public ::testing::TestWithParam<ListRow> {};

TEST_P(NormalizeAddressListTest, Normalizes) {
    const ListRow& row = GetParam();
    SCOPED_TRACE(row.what);
    std::string list = row.list;
    EXPECT_EQ(NormalizeAddressList(list), row.count);
    EXPECT_EQ(list, row.normalized);
}

INSTANTIATE_TEST_SUITE_P(Rows, NormalizeAddressListTest, ::testing::Values(
    ListRow{"empty", "", "", 0},
    ListRow{"leading space and semicolon, comma space comma, CRLF at the end",
            " ;anna@example.org, ,bob@example.org\r\n", "anna@example.org\nbob@example.org", 2},
    ListRow{"delimiters and blanks only", " ;, \r\n ; ", "", 0},
    ListRow{"quotes are not special: a comma in a display name splits",
            "\"Smith, Anna\" <anna@example.org>", "\"Smith\nAnna\" <anna@example.org>", 2},
    ListRow{"all four delimiters, entries trimmed", "a ; b,c\nd\re", "a\nb\nc\nd\ne", 5},
    ListRow{"tabs count as white space", "\ta\t;\tb", "a\nb", 2}));

TEST(GetNextListEntryTest, TakesOneEntryAtATime) {
    std::string list = "  ; first ; second,";
    EXPECT_EQ(GetNextListEntry(list), "first");
    EXPECT_EQ(list, " second,");
    EXPECT_EQ(GetNextListEntry(list), "second");
    EXPECT_EQ(list, "");
    EXPECT_EQ(GetNextListEntry(list), "");
}

TEST(GetNextListEntryTest, DelimitersOnlyGiveEmptyEntryAndEmptyList) {
    std::string list = " ;\r\n , ";
    EXPECT_EQ(GetNextListEntry(list), "");
    EXPECT_EQ(list, "");
}

struct QuoteRow {
    std::string in, out;
};

class StripQuotesTest : public ::testing::TestWithParam<QuoteRow> {};

TEST_P(StripQuotesTest, Strips) { EXPECT_EQ(StripQuotes(GetParam().in), GetParam().out); }

INSTANTIATE_TEST_SUITE_P(Rows, StripQuotesTest, ::testing::Values(
    QuoteRow{"  \"Anna\"  ", "Anna"},
    QuoteRow{"'\"Anna\"'", "Anna"},            // two passes
    QuoteRow{"\"Anna", "\"Anna"},              // no matching closing quote
    QuoteRow{"\"Anna'", "\"Anna'"},            // different quote characters
    QuoteRow{"' \"Anna\" '", " \"Anna\" "},    // not trimmed again between passes
    QuoteRow{"\"", "\""},                      // a lone quote is too short
    QuoteRow{"\"\"", ""}));

struct PartsRow {
    const char* what;
    std::string address, name, addr;
};

class AddressPartsTest : public ::testing::TestWithParam<PartsRow> {};

TEST_P(AddressPartsTest, Splits) {
    const PartsRow& row = GetParam();
    SCOPED_TRACE(row.what);
    EXPECT_EQ(GetDisplayNamePart(row.address), row.name);
    EXPECT_EQ(GetAddressPart(row.address), row.addr);
}

INSTANTIATE_TEST_SUITE_P(Rows, AddressPartsTest, ::testing::Values(
    PartsRow{"name then angle brackets", "Anna Berg <anna@example.org>", "Anna Berg", "anna@example.org"},
    PartsRow{"quoted name", "\"Anna Berg\" <anna@example.org>", "Anna Berg", "anna@example.org"},
    PartsRow{"address then parentheses", "anna@example.org (Anna Berg)", "Anna Berg", "anna@example.org"},
    PartsRow{"plain address", " anna@example.org ", "anna@example.org", "anna@example.org"},
    PartsRow{"brackets the wrong way", "x > y <", "x > y", ""},
    PartsRow{"parentheses the wrong way", "a) b (c", "", "a) b"},
    PartsRow{"nested parentheses use the last one", "a (b (c))", "b (c)", "a"},
    PartsRow{"angle brackets win over parentheses", "N (x) <a@b.c>", "N (x)", "a@b.c"}));

struct InternetRow {
    std::string address;
    int expected;
};

class IsInternetAddressTest : public ::testing::TestWithParam<InternetRow> {};

TEST_P(IsInternetAddressTest, Judges) {
    EXPECT_EQ(IsInternetAddress(GetParam().address), GetParam().expected) << GetParam().address;
}

INSTANTIATE_TEST_SUITE_P(Rows, IsInternetAddressTest, ::testing::Values(
    InternetRow{"SMTP:anna@example.org", 1},   // type prefix in capitals
    InternetRow{"smtp: anna@example.org", 1},  // blanks after the colon
    InternetRow{"X400:anna@example.org", 0},   // any other type
    InternetRow{"a@b.c", 1},                   // the shortest form
    InternetRow{"@bc.de", 0},                  // '@' first
    InternetRow{"abc@", 0},                    // '@' last
    InternetRow{"anna@example.", 0},           // domain ends in '.'
    InternetRow{"anna@ab", 0},                 // domain of 2 characters
    InternetRow{"anna@abc", 0},                // domain without '.'
    InternetRow{"a@.b", 0},                    // 4 characters
    InternetRow{"  a@b.c  ", 1},               // trimmed first
    InternetRow{"Anna Berg", 0}));

}  // namespace
