// Fonts and device contexts: what a dialog reads of its font, and that handles are checked.
#include <gtest/gtest.h>

#include <cstring>

#include "WindowTestSupport.h"
#include "win32/Gdi.h"

namespace vesk::test {
namespace {

TEST(Gdi, MetricsFollowTheFontHeight) {
    struct Row {
        const char* what;
        LONG height;
        LONG weight;
        LONG tmHeight;
        LONG tmWeight;
    } rows[] = {
        {"8 points as a dialog asks for it", -11, 0, 13, FW_NORMAL},
        {"a cell height taken from metrics", 13, FW_BOLD, 13, FW_BOLD},
        {"no height at all", 0, FW_LIGHT, 16, FW_LIGHT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const HFONT font = CreateFontA(row.height, 0, 0, 0, row.weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                                       VARIABLE_PITCH, "MS Sans Serif");
        const HDC dc = GetDC(nullptr);
        const HGDIOBJ previous = SelectObject(dc, font);
        EXPECT_EQ(previous, GetStockObject(SYSTEM_FONT));
        TEXTMETRICA tm{};
        ASSERT_TRUE(GetTextMetricsA(dc, &tm));
        EXPECT_EQ(tm.tmHeight, row.tmHeight);
        EXPECT_EQ(tm.tmWeight, row.tmWeight);
        EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
        EXPECT_EQ(tm.tmCharSet, DEFAULT_CHARSET);
        EXPECT_EQ(tm.tmPitchAndFamily & 1, 1);  // variable pitch has the low bit set in metrics
        EXPECT_EQ(SelectObject(dc, previous), font);
        ReleaseDC(nullptr, dc);
        DeleteObject(font);
    }
}

TEST(Gdi, TextFaceReportsSizesWithTheTerminatingNul) {
    const HFONT font = CreateFontA(-11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
    const HDC dc = GetDC(nullptr);
    SelectObject(dc, font);
    EXPECT_EQ(GetTextFaceA(dc, 0, nullptr), 14);
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetTextFaceA(dc, sizeof buffer, buffer), 8);
    EXPECT_STREQ(buffer, "MS Sans");
    char full[64];
    EXPECT_EQ(GetTextFaceA(dc, sizeof full, full), 14);
    EXPECT_STREQ(full, "MS Sans Serif");
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
}

TEST(Gdi, LongFaceNamesAreCutToTheFaceSize) {
    LOGFONTA description{};
    std::memset(description.lfFaceName, 'A', sizeof description.lfFaceName);  // no NUL at all
    const HFONT font = CreateFontIndirectA(&description);
    LOGFONTA back{};
    ASSERT_EQ(GetObjectA(font, sizeof back, &back), static_cast<int>(sizeof back));
    EXPECT_EQ(std::strlen(back.lfFaceName), static_cast<size_t>(LF_FACESIZE - 1));
    EXPECT_EQ(GetObjectA(font, 4, &back), 0);  // too small
    EXPECT_EQ(GetObjectA(font, 0, nullptr), static_cast<int>(sizeof back));
    DeleteObject(font);
}

TEST(Gdi, DeletedAndForeignHandlesAreRefused) {
    const int before = VeskGdiObjectCount();
    const HFONT font = CreateFontA(-11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "X");
    const HDC dc = GetDC(nullptr);
    EXPECT_EQ(VeskGdiObjectCount(), before + 2);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_FALSE(DeleteObject(font));
    EXPECT_EQ(SelectObject(dc, font), nullptr);
    EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(font), GetStockObject(SYSTEM_FONT)), nullptr);
    // A device context is no font, and a font is no device context.
    EXPECT_FALSE(DeleteObject(dc));
    TEXTMETRICA tm{};
    EXPECT_FALSE(GetTextMetricsA(reinterpret_cast<HDC>(GetStockObject(SYSTEM_FONT)), &tm));
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0);
    // Stock objects survive deleting.
    EXPECT_TRUE(DeleteObject(GetStockObject(DEFAULT_GUI_FONT)));
    EXPECT_GT(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), 0, nullptr), 0);
    EXPECT_EQ(VeskGdiObjectCount(), before);
}

TEST(Gdi, DialogFontGoesWithItsDialogAndMapsDialogUnits) {
    const int before = VeskGdiObjectCount();
    const HWND dialog = CreateDialogParamA(testModule(), templateName(kFormDialog), nullptr,
                                           [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    EXPECT_EQ(VeskGdiObjectCount(), before + 1);
    // 8-point MS Sans Serif: base units 6 x 13, so 4 x 8 dialog units are 6 x 13 pixels.
    RECT rect{0, 0, 276, 140};
    ASSERT_TRUE(MapDialogRect(dialog, &rect));
    EXPECT_EQ(rect.right, 414);
    EXPECT_EQ(rect.bottom, 228);
    DestroyWindow(dialog);
    EXPECT_EQ(VeskGdiObjectCount(), before);
}

TEST(Gdi, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(8, 96, 72), 11);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(5, 1, 0), -1);
}

}  // namespace
}  // namespace vesk::test
