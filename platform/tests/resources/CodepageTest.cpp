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
