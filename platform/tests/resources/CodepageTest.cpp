#include "platform/Codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace vesk::cp {
namespace {

struct HighCharacter {
    unsigned char byte;
    char32_t codePoint;
};

// The positions 0x80-0x9F where Windows-1252 differs from ISO 8859-1.
constexpr HighCharacter kDefined[] = {
    {0x80, 0x20AC},  // euro sign
    {0x82, 0x201A},  // single low-9 quotation mark
    {0x83, 0x0192},  // f with hook
    {0x84, 0x201E},  // double low-9 quotation mark
    {0x85, 0x2026},  // horizontal ellipsis
    {0x86, 0x2020},  // dagger
    {0x87, 0x2021},  // double dagger
    {0x88, 0x02C6},  // modifier circumflex
    {0x89, 0x2030},  // per mille
    {0x8A, 0x0160},  // S caron
    {0x8B, 0x2039},  // single left angle quotation mark
    {0x8C, 0x0152},  // OE ligature
    {0x8E, 0x017D},  // Z caron
    {0x91, 0x2018},  // left single quotation mark
    {0x92, 0x2019},  // right single quotation mark
    {0x93, 0x201C},  // left double quotation mark
    {0x94, 0x201D},  // right double quotation mark
    {0x95, 0x2022},  // bullet
    {0x96, 0x2013},  // en dash
    {0x97, 0x2014},  // em dash
    {0x98, 0x02DC},  // small tilde
    {0x99, 0x2122},  // trade mark
    {0x9A, 0x0161},  // s caron
    {0x9B, 0x203A},  // single right angle quotation mark
    {0x9C, 0x0153},  // oe ligature
    {0x9E, 0x017E},  // z caron
    {0x9F, 0x0178},  // Y diaeresis
};

TEST(CodepageTest, TwentySevenTypographicCharactersMapBothWays) {
    static_assert(std::size(kDefined) == 27);
    for (const HighCharacter& row : kDefined) {
        SCOPED_TRACE(testing::Message() << "byte 0x" << std::hex << int{row.byte});
        EXPECT_EQ(cp1252ToUnicode(row.byte), row.codePoint);
        EXPECT_EQ(static_cast<unsigned char>(unicodeToCp1252(row.codePoint)), row.byte);
    }
    // The C1 code points behind those bytes are not in the code page themselves.
    EXPECT_EQ(unicodeToCp1252(0x80), '?');
    EXPECT_EQ(unicodeToCp1252(0x9F), '?');
}

TEST(CodepageTest, UndefinedPositionsKeepTheirControlValue) {
    for (const unsigned char byte : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        SCOPED_TRACE(int{byte});
        EXPECT_EQ(cp1252ToUnicode(byte), char32_t{byte});
        EXPECT_EQ(static_cast<unsigned char>(unicodeToCp1252(byte)), byte);
    }
}

TEST(CodepageTest, EveryByteSurvivesRoundTripsThroughUtf16AndUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(utf16ToCp1252(cp1252ToUtf16(all)), all);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(CodepageTest, Utf8OfLatinAndTypographicText) {
    EXPECT_EQ(cp1252ToUtf8("caf\xE9 \x80 \x93q\x94"), "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D");
    EXPECT_EQ(utf8ToCp1252("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xE9 \x80");
}

struct UnicodeCase {
    const char* name;
    std::u16string utf16;
    std::string expected;
};

TEST(CodepageTest, Utf16CharactersOutsideTheCodePageBecomeOneQuestionMarkEach) {
    const UnicodeCase cases[] = {
        {"Latin Extended-A", u"\u0100b", "?b"},
        {"CJK, one mark per character", u"\u65E5\u672C", "??"},
        {"surrogate pair is one character", u"a\U0001F600b", "a?b"},
        {"unpaired high surrogate", std::u16string{u'a', char16_t(0xD83D), u'b'}, "a?b"},
        {"unpaired low surrogate", std::u16string{char16_t(0xDE00)}, "?"},
        {"high surrogate at the end", std::u16string{u'x', char16_t(0xD83D)}, "x?"},
        {"embedded NUL is a character", std::u16string{u'a', u'\0', u'b'}, std::string("a\0b", 3)},
    };
    for (const UnicodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(utf16ToCp1252(c.utf16), c.expected);
    }
}

struct Utf8Case {
    const char* name;
    std::string utf8;
    std::string expected;
};

TEST(CodepageTest, IllFormedUtf8BecomesOneQuestionMarkPerMaximalPart) {
    const Utf8Case cases[] = {
        {"stray continuation byte", "a\x80z", "a?z"},
        {"overlong two-byte NUL", "\xC0\x80", "??"},
        {"truncated three-byte sequence at the end", "a\xE2\x82", "a?"},
        {"truncated sequence before ASCII", "\xE2\x82q", "?q"},
        {"encoded surrogate", "\xED\xA0\x80", "???"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "????"},
        {"byte that never starts a sequence", "\xFF", "?"},
        {"four-byte character outside the code page", "\xF0\x9F\x98\x80!", "?!"},
        {"three-byte character outside the code page", "\xE6\x97\xA5", "?"},
    };
    for (const Utf8Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(utf8ToCp1252(c.utf8), c.expected);
    }
}

// A piece of UTF-8 placed among ASCII at every offset around the eight-byte steps in which
// ASCII runs are crossed, with tails that end the text before, on and after a step.
struct Piece {
    const char* name;
    std::string utf8;
    std::string cp1252;  // what utf8ToCp1252 makes of it
    bool valid;          // what isValidUtf8 says of it
};

const Piece kPieces[] = {
    {"two-byte letter", "\xC3\xA9", "\xE9", true},
    {"three-byte euro sign", "\xE2\x82\xAC", "\x80", true},
    {"four-byte character outside the code page", "\xF0\x9F\x98\x80", "?", true},
    {"Windows-1252 byte, not UTF-8", "\xE9", "?", false},
    {"stray continuation byte", "\x80", "?", false},
    {"sequence cut short by ASCII", "\xE2\x82q", "?q", false},
    {"lead byte then ASCII", "\xC3" "A", "?A", false},
    {"overlong slash", "\xC0\xAF", "??", false},
    {"encoded surrogate", "\xED\xA0\x80", "???", false},
    {"DEL, the last ASCII byte", "\x7F", "\x7F", true},
};

TEST(CodepageTest, NonAsciiIsFoundAtEveryOffsetAroundTheWordSteps) {
    for (const Piece& piece : kPieces) {
        for (std::size_t at = 0; at <= 17; ++at) {
            for (std::size_t tail : {0, 1, 6, 7, 8, 9, 16}) {
                SCOPED_TRACE(testing::Message() << piece.name << " at " << at << ", " << tail << " bytes after");
                std::string head(at, 'a');
                std::string after(tail, 'z');
                if (!after.empty()) after[0] = '\n';
                EXPECT_EQ(utf8ToCp1252(head + piece.utf8 + after), head + piece.cp1252 + after);
                EXPECT_EQ(isValidUtf8(head + piece.utf8 + after), piece.valid);
            }
        }
    }
}

TEST(CodepageTest, ASequenceCutOffByTheEndOfTheTextAfterALongAsciiRun) {
    for (std::size_t at = 0; at <= 17; ++at) {
        SCOPED_TRACE(at);
        std::string head(at, 'x');
        EXPECT_EQ(utf8ToCp1252(head + "\xE2\x82"), head + "?");
        EXPECT_FALSE(isValidUtf8(head + "\xF0\x9F\x98"));
        EXPECT_TRUE(isValidUtf8(head));
        EXPECT_EQ(utf8ToCp1252(head), head);
    }
}

TEST(CodepageTest, TwoNonAsciiCharactersAStepApartAndSideBySide) {
    // Every pair of offsets in the first two steps: a run between them of every length.
    for (std::size_t first = 0; first < 16; ++first) {
        for (std::size_t second = first; second < 16; ++second) {
            SCOPED_TRACE(testing::Message() << first << ", " << second);
            std::string utf8 = std::string(first, 'a') + "\xC3\xA9" + std::string(second - first, 'b') +
                               "\xE2\x80\x9C" + std::string(9, 'c');
            std::string cp = std::string(first, 'a') + "\xE9" + std::string(second - first, 'b') + "\x93" +
                             std::string(9, 'c');
            EXPECT_EQ(utf8ToCp1252(utf8), cp);
            EXPECT_TRUE(isValidUtf8(utf8));
            EXPECT_EQ(cp1252ToUtf8(cp), utf8);
        }
    }
}

TEST(CodepageTest, NulsAndControlsAreAsciiToo) {
    std::string text("a\0b\x01\x1F\0\0\0\0\0\0\0\0\x7Fz", 16);
    EXPECT_EQ(utf8ToCp1252(text), text);
    EXPECT_EQ(cp1252ToUtf8(text), text);
    EXPECT_TRUE(isValidUtf8(text));
}

}  // namespace
TEST(CodepageTest, ValidUtf8) {
    EXPECT_TRUE(vesk::cp::isValidUtf8(""));
    EXPECT_TRUE(vesk::cp::isValidUtf8("caf\xC3\xA9 \xF0\x9F\x98\x80"));
    EXPECT_FALSE(vesk::cp::isValidUtf8("caf\xE9"));           // a Windows-1252 byte
    EXPECT_FALSE(vesk::cp::isValidUtf8("\xED\xA0\x80"));      // a surrogate
    EXPECT_FALSE(vesk::cp::isValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(vesk::cp::isValidUtf8("\xE0\x80\xAF"));      // overlong
    EXPECT_FALSE(vesk::cp::isValidUtf8("\xE2\x82"));          // cut short
}

}  // namespace vesk::cp
