// Every dialog of the three language libraries, as the resource compiler wrote them, becomes
// a dialog window whose view lists each control of its template with id, class, text and
// visibility.
#include <gtest/gtest.h>

#include <string>

#include "WindowTestSupport.h"
#include "resources/ResourceLookup.h"

namespace vesk::test {
namespace {

INT_PTR closingProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return msg == WM_INITDIALOG;
}

class LanguageLibraryDialogs : public ::testing::TestWithParam<const char*> {};

TEST_P(LanguageLibraryDialogs, EveryTemplateControlIsInTheView) {
    const std::string path = std::string(VESK_TEST_MODULE_DIR) + "/" + GetParam();
    const HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) GTEST_SKIP() << path << " is not built";
    const res::ResourceTable* table = res::resourcesFor(module);
    ASSERT_NE(table, nullptr);
    ASSERT_FALSE(table->dialogIds().empty());
    for (unsigned id : table->dialogIds()) {
        SCOPED_TRACE(id);
        const res::DialogTemplate* dialog = table->dialog(id);
        ScriptedWindow window;  // no actions: the dialog is closed at once
        EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(id), window.hwnd(), closingProc, 0), IDCANCEL);
        ASSERT_EQ(window.transcript().pages().size(), 1u);
        const ui::WindowView& view = *window.transcript().pages().front();
        EXPECT_EQ(view.templateId, static_cast<int>(id));
        EXPECT_EQ(view.caption, dialog->caption);
        ASSERT_EQ(view.controls.size(), dialog->controls.size());
        for (size_t i = 0; i < view.controls.size(); ++i) {
            const res::DialogControl& expected = dialog->controls[i];
            const ui::ControlView& shown = view.controls[i];
            SCOPED_TRACE(expected.text);
            EXPECT_EQ(shown.id, expected.id);
            EXPECT_EQ(shown.visible, (expected.style & WS_VISIBLE) != 0);
            EXPECT_EQ(shown.font.face, dialog->font ? dialog->font->face : std::string());
            if (shown.kind == ui::ControlKind::Picture) {
                EXPECT_EQ(shown.picture, expected.textOrdinal.value_or(0));
            } else if (shown.kind != ui::ControlKind::ComboBox) {
                EXPECT_EQ(shown.text, expected.text);
            }
        }
    }
    FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(Libraries, LanguageLibraryDialogs, ::testing::Values("KESTRAV.DLL", "MORLEAF.DLL", "SAVIDNE.DLL"));

}  // namespace
}  // namespace vesk::test
