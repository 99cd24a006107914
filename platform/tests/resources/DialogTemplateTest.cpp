#include "resources/DialogTemplate.h"

#include <gtest/gtest.h>

#include "resources/ResBuilder.h"

namespace vesk::res {
namespace {

using test::Bytes;

// Starts a DLGITEMTEMPLATEEX: help id, extended style, style, rectangle, 32-bit id.
Bytes& exItem(Bytes& b, uint32_t help, uint32_t exStyle, uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy,
              uint32_t id) {
    return b.align4().u32(help).u32(exStyle).u32(style).i16(x).i16(y).i16(cx).i16(cy).u32(id);
}

// A DIALOGEX with a font and four controls: an edit by class number, a bitmap static with a
// numbered text, a button named by its class name in lower case, and a private class.
std::vector<unsigned char> extendedDialog() {
    Bytes b;
    b.u16(1).u16(0xFFFF).u32(77).u32(0x100).u32(0x80C80040).u16(4);
    b.i16(0).i16(0).i16(400).i16(202);
    b.u16(0).u16(0).sz(u"Mail Setup");
    b.u16(8).u16(700).u8(1).u8(1).sz(u"MS Sans Serif");
    exItem(b, 5, 0x4, 0x50810080, 185, 78, 160, 12, 2102).ord(0x81).sz(u"").u16(0);
    exItem(b, 0, 0, 0x5000000E, 7, 7, 105, 189, 0xFFFFFFFF).ord(0x82).ord(2201).u16(0);
    exItem(b, 0, 0, 0x50010001, 246, 89, 50, 14, 1).sz(u"button").sz(u"&Save").u16(2).u8(0xAB).u8(0xCD);
    exItem(b, 0, 0, 0x50000000, -5, 1000, 20, 20, 42).sz(u"SysListView32").sz(u"caf\u00E9 \u20AC").u16(0);
    return b.vec();
}

// The same idea in the classic DIALOG form: no help ids, 16-bit control ids, font size and
// face only.
std::vector<unsigned char> classicDialog() {
    Bytes b;
    b.u32(0x80C00040).u32(0x8).u16(2).i16(10).i16(20).i16(191).i16(163);
    b.ord(5).sz(u"MyDlgClass").sz(u"Old style");
    b.u16(10).sz(u"Courier");
    b.align4().u32(0x50000000).u32(0).i16(1).i16(2).i16(3).i16(4).u16(0xFFFF).ord(0x82).sz(u"Label").u16(0);
    b.align4().u32(0x50010001).u32(0).i16(5).i16(6).i16(7).i16(8).u16(1).ord(0x80).sz(u"OK").u16(0);
    return b.vec();
}

std::optional<DialogTemplate> decode(const std::vector<unsigned char>& bytes, std::string* error = nullptr) {
    return decodeDialogTemplate(bytes.data(), bytes.size(), error);
}

TEST(DialogTemplateTest, DecodesTheExtendedHeaderAndFont) {
    const auto dialog = decode(extendedDialog());
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->extended);
    EXPECT_EQ(dialog->helpId, 77u);
    EXPECT_EQ(dialog->exStyle, 0x100u);
    EXPECT_EQ(dialog->style, 0x80C80040u);
    EXPECT_EQ(dialog->cx, 400);
    EXPECT_EQ(dialog->cy, 202);
    EXPECT_TRUE(dialog->menu.empty());
    EXPECT_TRUE(dialog->windowClass.empty());
    EXPECT_EQ(dialog->caption, "Mail Setup");
    ASSERT_TRUE(dialog->font);
    EXPECT_EQ(dialog->font->pointSize, 8);
    EXPECT_EQ(dialog->font->weight, 700);
    EXPECT_TRUE(dialog->font->italic);
    EXPECT_EQ(dialog->font->charset, 1);
    EXPECT_EQ(dialog->font->face, "MS Sans Serif");
    ASSERT_EQ(dialog->controls.size(), 4u);
}

TEST(DialogTemplateTest, DecodesEachExtendedControl) {
    const auto dialog = decode(extendedDialog());
    ASSERT_TRUE(dialog);

    const DialogControl& edit = dialog->controls[0];
    EXPECT_EQ(edit.id, 2102);
    EXPECT_EQ(edit.kind, ControlClass::Edit);
    EXPECT_EQ(edit.className, "EDIT");
    EXPECT_EQ(edit.text, "");
    EXPECT_FALSE(edit.textOrdinal);
    EXPECT_EQ(edit.helpId, 5u);
    EXPECT_EQ(edit.exStyle, 0x4u);
    EXPECT_EQ(edit.style, 0x50810080u);
    EXPECT_EQ(edit.x, 185);
    EXPECT_EQ(edit.y, 78);
    EXPECT_EQ(edit.cx, 160);
    EXPECT_EQ(edit.cy, 12);

    const DialogControl& picture = dialog->controls[1];
    EXPECT_EQ(picture.id, -1) << "IDC_STATIC";
    EXPECT_EQ(picture.kind, ControlClass::Static);
    ASSERT_TRUE(picture.textOrdinal);
    EXPECT_EQ(*picture.textOrdinal, 2201u);
    EXPECT_EQ(picture.text, "");

    const DialogControl& button = dialog->controls[2];
    EXPECT_EQ(button.kind, ControlClass::Button) << "class names match without regard to case";
    EXPECT_EQ(button.className, "BUTTON");
    EXPECT_EQ(button.text, "&Save");
    EXPECT_EQ(button.creationData, (std::vector<unsigned char>{0xAB, 0xCD}));

    const DialogControl& custom = dialog->controls[3];
    EXPECT_EQ(custom.kind, ControlClass::Custom);
    EXPECT_EQ(custom.className, "SysListView32");
    EXPECT_EQ(custom.text, "caf\xE9 \x80") << "texts are converted to Windows-1252";
    EXPECT_EQ(custom.x, -5);
    EXPECT_EQ(custom.y, 1000);

    EXPECT_EQ(dialog->control(2102), &dialog->controls[0]);
    EXPECT_EQ(dialog->control(42), &dialog->controls[3]);
    EXPECT_EQ(dialog->control(9999), nullptr);
}

TEST(DialogTemplateTest, DecodesTheClassicForm) {
    const auto dialog = decode(classicDialog());
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->extended);
    EXPECT_EQ(dialog->style, 0x80C00040u);
    EXPECT_EQ(dialog->exStyle, 0x8u);
    EXPECT_EQ(dialog->x, 10);
    EXPECT_EQ(dialog->y, 20);
    EXPECT_TRUE(dialog->menu.is(5));
    EXPECT_EQ(dialog->windowClass.name, "MyDlgClass");
    EXPECT_EQ(dialog->caption, "Old style");
    ASSERT_TRUE(dialog->font);
    EXPECT_EQ(dialog->font->pointSize, 10);
    EXPECT_EQ(dialog->font->weight, 0);
    EXPECT_EQ(dialog->font->face, "Courier");
    ASSERT_EQ(dialog->controls.size(), 2u);
    EXPECT_EQ(dialog->controls[0].id, -1);
    EXPECT_EQ(dialog->controls[0].kind, ControlClass::Static);
    EXPECT_EQ(dialog->controls[0].text, "Label");
    EXPECT_EQ(dialog->controls[0].helpId, 0u);
    EXPECT_EQ(dialog->controls[1].id, 1);
    EXPECT_EQ(dialog->controls[1].kind, ControlClass::Button);
    EXPECT_EQ(dialog->controls[1].cy, 8);
}

TEST(DialogTemplateTest, WithoutTheFontStyleNoFontIsRead) {
    Bytes b;
    b.u16(1).u16(0xFFFF).u32(0).u32(0).u32(0x80000000).u16(0).i16(0).i16(0).i16(10).i16(10);
    b.u16(0).u16(0).sz(u"");
    const auto dialog = decode(b.vec());
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->font);
    EXPECT_TRUE(dialog->controls.empty());
}

TEST(DialogTemplateTest, EveryTruncationFailsCleanly) {
    for (const auto& bytes : {extendedDialog(), classicDialog()}) {
        for (size_t length = 0; length < bytes.size(); ++length) {
            SCOPED_TRACE(length);
            // A copy of exactly `length` bytes, so the sanitizer sees any read past it.
            const std::vector<unsigned char> prefix(bytes.begin(), bytes.begin() + length);
            std::string error;
            EXPECT_FALSE(decode(prefix, &error));
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(DialogTemplateTest, RejectsControlsWithoutAWindowClass) {
    struct Case {
        const char* name;
        Bytes cls;
    };
    const Case cases[] = {
        {"unknown class number", Bytes().ord(0x99)},
        {"no class at all", Bytes().u16(0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b;
        b.u16(1).u16(0xFFFF).u32(0).u32(0).u32(0).u16(1).i16(0).i16(0).i16(10).i16(10).u16(0).u16(0).sz(u"");
        exItem(b, 0, 0, 0, 0, 0, 1, 1, 3).raw(c.cls.vec()).sz(u"x").u16(0);
        std::string error;
        EXPECT_FALSE(decode(b.vec(), &error));
        EXPECT_NE(error.find("names no window class"), std::string::npos) << error;
    }
}

TEST(DialogTemplateTest, ALyingControlCountFailsAtTheEndOfTheBytes) {
    auto bytes = extendedDialog();
    bytes[16] = 0xFF;  // count: 0xFFFF controls, four present
    bytes[17] = 0xFF;
    std::string error;
    EXPECT_FALSE(decode(bytes, &error));
    EXPECT_NE(error.find("control 5 of 65535"), std::string::npos) << error;
}

}  // namespace
}  // namespace vesk::res
