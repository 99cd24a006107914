// The terminal sanitiser over every control character and over escape sequences that real
// terminals obey (clear screen, set the title, move the cursor, a C1 CSI).
#include <gtest/gtest.h>

#include <string>

#include "platform/TerminalText.h"

namespace vesk::text {
namespace {

std::string utf8Of(char32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

// No byte of the result may be a control a terminal would act on (tab and, where allowed,
// line feed excepted), nor start a C1 control in UTF-8 or in 8-bit form.
void expectInert(const std::string& shown, Lines lines) {
    for (std::size_t i = 0; i < shown.size(); ++i) {
        auto b = static_cast<unsigned char>(shown[i]);
        bool allowed = b == '\t' || (b == '\n' && lines == Lines::Many);
        EXPECT_FALSE((b < 0x20 && !allowed) || b == 0x7F) << "byte " << int(b) << " at " << i << " of " << shown;
        if (b == 0xC2 && i + 1 < shown.size()) {
            auto next = static_cast<unsigned char>(shown[i + 1]);
            EXPECT_FALSE(next >= 0x80 && next <= 0x9F) << "C1 control at " << i;
        }
    }
}

TEST(TerminalTextTest, EveryC0ControlAndDelBecomesCaretNotation) {
    for (char32_t c = 0; c < 0x20; ++c) {
        SCOPED_TRACE(static_cast<int>(c));
        std::string in = "a" + utf8Of(c) + "b";
        for (Lines lines : {Lines::One, Lines::Many}) {
            std::string out = forTerminal(in, lines);
            expectInert(out, lines);
            bool kept = c == '\t' || (c == '\n' && lines == Lines::Many);
            std::string middle = kept ? utf8Of(c) : std::string{'^', static_cast<char>(c + 0x40)};
            EXPECT_EQ(out, "a" + middle + "b");
        }
    }
    EXPECT_EQ(forTerminal("a\x7f" "b"), "a^?b");
}

TEST(TerminalTextTest, EveryC1ControlBecomesItsCodePoint) {
    for (char32_t c = 0x80; c <= 0x9F; ++c) {
        SCOPED_TRACE(static_cast<int>(c));
        std::string out = forTerminal("x" + utf8Of(c) + "y");
        expectInert(out, Lines::One);
        char expected[16];
        std::snprintf(expected, sizeof expected, "x<U+%04X>y", static_cast<unsigned>(c));
        EXPECT_EQ(out, expected);
        // Raw 8-bit C1 bytes (not UTF-8) are shown by value.
        std::string raw(1, static_cast<char>(c));
        char expectedRaw[8];
        std::snprintf(expectedRaw, sizeof expectedRaw, "<%02X>", static_cast<unsigned>(c));
        EXPECT_EQ(forTerminal(raw), expectedRaw);
    }
}

TEST(TerminalTextTest, RealEscapeSequencesShowAsText) {
    struct Row {
        const char* what;
        std::string in;
        std::string out;
    } rows[] = {
        {"set the window title (OSC, BEL)", "hello \033]0;TITLE\007", "hello ^[]0;TITLE^G"},
        {"set the title (OSC, ST)", "\033]2;x\033\\", "^[]2;x^[\\"},
        {"clear the screen", "\033[2J\033[H", "^[[2J^[[H"},
        {"colour and cursor up", "\033[31mred\033[1A", "^[[31mred^[[1A"},
        {"a hyperlink", "\033]8;;http://x\033\\y\033]8;;\033\\", "^[]8;;http://x^[\\y^[]8;;^[\\"},
        {"CSI as one C1 character", "\xc2\x9b" "2J", "<U+009B>2J"},
        {"overwrite with a lone CR", "paid\rdue ", "paid^Mdue "},
        {"backspaces", "ok\b\b", "ok^H^H"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(forTerminal(r.in), r.out);
        expectInert(forTerminal(r.in, Lines::Many), Lines::Many);
    }
}

TEST(TerminalTextTest, OrdinaryTextIsUnchanged) {
    for (std::string text : {"plain", "Grüße, € 5 — “quoted”", "tab\there", "日本語"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(isTerminalSafe(text));
    }
    EXPECT_EQ(forTerminal("one\r\ntwo\n", Lines::Many), "one\ntwo\n");
    EXPECT_EQ(forTerminal("one\ntwo", Lines::One), "one^Jtwo");
    // Windows-1252: 0x80 is the euro sign, 0x81 one of the positions that stay a C1 control.
    EXPECT_EQ(forTerminalFromCp1252("\x80 \x81 \x1b[0m"), "€ <U+0081> ^[[0m");
    // A cut UTF-8 sequence is shown by its bytes.
    EXPECT_EQ(forTerminal("a\xe2\x82"), "a<E2><82>");
}

}  // namespace
}  // namespace vesk::text
