#include "Charset.h"

#include <gtest/gtest.h>

#include "GMimeSetup.h"

namespace vesk::store::detail {
namespace {

struct Case {
    const char* label;
    const char* bytes;
    const char* utf8;
};

TEST(CharsetTest, DecodesWhateverTheLabelSays) {
    ensureGMime();
    const Case cases[] = {
        {"utf-8", "caf\xC3\xA9", "caf\xC3\xA9"},                       // correct label
        {"UTF-8", "caf\xE9 \x80", "caf\xC3\xA9 \xE2\x82\xAC"},        // mislabelled: Windows-1252
        {"", "caf\xC3\xA9", "caf\xC3\xA9"},                            // no label, valid UTF-8
        {"", "caf\xE9", "caf\xC3\xA9"},                                // no label, 8-bit
        {"us-ascii", "\x93q\x94", "\xE2\x80\x9Cq\xE2\x80\x9D"},       // "ASCII" with 8-bit bytes
        {"iso-8859-1", "\x80 5", "\xE2\x82\xAC 5"},                   // Latin-1 label, C1 byte read as 1252
        {"ISO-8859-1", "\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},     // UTF-8 sent as Latin-1
        {"iso-8859-15", "\xA4", "\xE2\x82\xAC"},                       // iconv: euro at 0xA4
        {"koi8-r", "\xF0\xD2\xC9\xD7\xC5\xD4", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},  // Cyrillic
        {"x-no-such-charset", "caf\xE9", "caf\xC3\xA9"},               // unknown label: fallback
        {"shift_jis", "\x82\xA0\xFF\xFF", "\xE2\x80\x9A\xC2\xA0\xC3\xBF\xC3\xBF"},  // unconvertible: 1252
    };
    // Twice: the second round runs on converters the first one opened.
    for (int round = 0; round < 2; ++round) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.label) + ": " + c.bytes);
            EXPECT_EQ(decodeToUtf8(c.bytes, c.label), c.utf8);
        }
    }
}

TEST(CharsetTest, AReusedConverterStartsEachTextInItsInitialState) {
    ensureGMime();
    // The first text ends still shifted into JIS X 0208; the second has no escape, so it is
    // ASCII, and must not be read as the kanji pair it would be in the shifted state.
    EXPECT_EQ(decodeToUtf8("\x1B$B$\"", "iso-2022-jp"), "\xE3\x81\x82");
    EXPECT_EQ(decodeToUtf8("$\"", "iso-2022-jp"), "$\"");
    // A text cut off inside a character falls back to its bytes, leaving the converter
    // shifted; the next text still starts from the initial state.
    EXPECT_EQ(decodeToUtf8("\x1B$B$", "iso-2022-jp"), "\x1B$B$");
    EXPECT_EQ(decodeToUtf8("$\"", "iso-2022-jp"), "$\"");
}

TEST(CharsetTest, SevenBitCharsetsAreStillConverted) {
    ensureGMime();
    // ISO-2022-JP is all 7-bit bytes; passing it through as ASCII would show escape codes.
    EXPECT_EQ(decodeToUtf8("\x1B$B$\"\x1B(B", "iso-2022-jp"), "\xE3\x81\x82");
}

}  // namespace
}  // namespace vesk::store::detail
