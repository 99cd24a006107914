#include "Cp1252.h"

#include <gtest/gtest.h>

namespace vesk::store::detail {
namespace {

struct Case {
    const char* utf8;
    const char* cp1252;
};

TEST(Cp1252Test, Utf8ToCp1252) {
    const Case cases[] = {
        {"plain ASCII", "plain ASCII"},                                       // unchanged
        {"\xE2\x82\xAC \xE2\x80\x93 \xE2\x80\x94", "\x80 \x96 \x97"},         // euro, en and em dash
        {"\xE2\x80\x9C" "q" "\xE2\x80\x9D \xE2\x80\x98" "s" "\xE2\x80\x99", "\x93q\x94 \x91s\x92"},  // curly quotes
        {"\xC3\xA9\xC3\xBF\xC2\xA0", "\xE9\xFF\xA0"},                         // Latin-1 range maps 1:1
        {"\xC5\x92\xC5\xB8\xE2\x84\xA2", "\x8C\x9F\x99"},                     // OE, Y-diaeresis, trade mark
        {"\xCE\x93\xCE\xB5", "??"},                                           // Greek: one '?' a character
        {"\xF0\x9F\x98\x80!", "?!"},                                          // an emoji (4 bytes) is one '?'
        {"\xC2\x81", "\x81"},                                                 // undefined 0x81 round-trips
        {"a\xFF" "b", "a?b"},                                                 // a malformed byte is one '?'
        {"\xE2\x82", "??"},                                                   // a cut sequence: '?' per byte
        {"\xC0\xAF", "??"},                                                   // overlong '/': refused
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(utf8ToCp1252(c.utf8), c.cp1252);
    }
}

TEST(Cp1252Test, EveryByteRoundTrips) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    std::string utf8 = cp1252ToUtf8(all);
    EXPECT_TRUE(isValidUtf8(utf8));
    EXPECT_EQ(utf8ToCp1252(utf8), all);
}

TEST(Cp1252Test, ValidUtf8) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9 \xF0\x9F\x98\x80"));
    EXPECT_FALSE(isValidUtf8("caf\xE9"));               // Latin-1 byte
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));          // a surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));      // above U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));          // overlong
}

TEST(Cp1252Test, LineEnds) {
    EXPECT_EQ(toCrlf("a\nb\r\nc\rd\n\n"), "a\r\nb\r\nc\r\nd\r\n\r\n");
    EXPECT_EQ(toLf("a\r\nb\rc\n"), "a\nb\nc\n");
    EXPECT_EQ(toCrlf("\r\r\n"), "\r\n\r\n");  // a lone CR, then a CR LF pair
}

}  // namespace
}  // namespace vesk::store::detail
