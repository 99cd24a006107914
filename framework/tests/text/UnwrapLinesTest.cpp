#include "framework/UnwrapLines.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const std::string L60(60, 'a');
const std::string L40(40, 'b');

struct UnwrapRow {
    const char* what;
    std::string in, out;
};

class UnwrapLinesTest : public ::testing::TestWithParam<UnwrapRow> {};

TEST_P(UnwrapLinesTest, Unwraps) {
    const UnwrapRow& row = GetParam();
    SCOPED_TRACE(row.what);
    EXPECT_EQ(UnwrapLines(row.in), row.out);
    // The buffer form never writes more than the source length plus the NUL.
    std::string buffer(row.in.size() + 8, '\x7F');
    UnwrapLines(buffer.data(), row.in.data(), row.in.size());
    const size_t written = std::strlen(buffer.c_str());
    EXPECT_LE(written, row.in.size());
    EXPECT_EQ(buffer[row.in.size() + 1], '\x7F');
}

INSTANTIATE_TEST_SUITE_P(Rows, UnwrapLinesTest, ::testing::Values(
    UnwrapRow{"long line joined with one space", L60 + "\r\nmore words", L60 + " more words"},
    UnwrapRow{"trailing blanks before the break collapse", L60 + "  \r\nmore", L60 + " more"},
    UnwrapRow{"short first line keeps its break", L40 + "\r\nmore", L40 + "\r\nmore"},
    UnwrapRow{"42 characters is still short", std::string(42, 'c') + "\r\nxy", std::string(42, 'c') + "\r\nxy"},
    UnwrapRow{"43 characters joins", std::string(43, 'c') + "\r\nxy", std::string(43, 'c') + " xy"},
    UnwrapRow{"numbered list keeps the break", L60 + "\r\n1. item", L60 + "\r\n1. item"},
    UnwrapRow{"empty line ends the paragraph", L60 + "\r\n\r\nnext", L60 + "\r\n\r\nnext"},
    UnwrapRow{"punctuation after the first character keeps it", L60 + "\r\nx) item", L60 + "\r\nx) item"},
    UnwrapRow{"a one-letter first word is kept whole", L60 + "\r\nI went home", L60 + " I went home"},
    UnwrapRow{"blanks in front of the next line are dropped", L60 + "\r\n   more", L60 + " more"},
    UnwrapRow{"first character itself is not judged", L60 + "\r\n-dash", L60 + " -dash"},
    UnwrapRow{"fewer than three characters left", L60 + "\r\n", L60 + "\r\n"},
    UnwrapRow{"break at the very end with one char", L60 + "\r\nx", L60 + "\r\nx"},
    UnwrapRow{"bare CR counts as a break", L60 + "\rmore", L60 + " more"},
    UnwrapRow{"a join makes the next line short again", L60 + "\r\n" + L40 + "\r\nend", L60 + " " + L40 + "\r\nend"},
    UnwrapRow{"no line breaks at all", "plain text", "plain text"}));

TEST(UnwrapLinesBuffer, LengthIncludingTheNulStopsAtIt) {
    const std::string text = L60 + "\r\nnext";
    std::string buffer(text.size() + 2, '\0');
    UnwrapLines(buffer.data(), text.c_str(), text.size() + 1);
    EXPECT_STREQ(buffer.c_str(), (L60 + " next").c_str());
}

}  // namespace
