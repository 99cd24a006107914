// The predefined controls of a dialog built from a template: what each message does.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "win32/Gdi.h"
#include "win32/Window.h"

namespace vesk::test {
namespace {

struct Notification {
    int id;
    int code;
};

std::vector<Notification> g_notifications;

INT_PTR recordingProc(HWND, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_COMMAND) g_notifications.push_back({LOWORD(wParam), HIWORD(wParam)});
    return FALSE;
}

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        g_notifications.clear();
        dialog_ = CreateDialogParamA(testModule(), templateName(kFormDialog), nullptr, recordingProc, 0);
        ASSERT_NE(dialog_, nullptr);
        g_notifications.clear();
    }
    void TearDown() override { DestroyWindow(dialog_); }

    HWND item(int id) const { return GetDlgItem(dialog_, id); }
    std::string text(int id) const {
        char buffer[256];
        GetDlgItemTextA(dialog_, id, buffer, sizeof buffer);
        return buffer;
    }

    HWND dialog_ = nullptr;
};

TEST_F(Controls, TemplateGivesEveryControlItsIdClassTextAndStyle) {
    struct Row {
        int id;
        const char* className;
        const char* text;
        bool visible;
    } rows[] = {
        {kIdName, "Edit", "", true},
        {kIdCombo, "ComboBox", "", true},
        {kIdList, "ListBox", "", true},
        {kIdCheck, "Button", "&Remember", true},
        {kIdBrowse, "Button", "B&rowse...", true},
        {kIdHidden, "Static", "Not shown", false},  // no WS_VISIBLE in the template
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        char cls[32];
        ASSERT_GT(GetClassNameA(item(row.id), cls, sizeof cls), 0);
        EXPECT_STREQ(cls, row.className);
        EXPECT_EQ(text(row.id), row.text);
        EXPECT_EQ((GetWindowLongPtrA(item(row.id), GWL_STYLE) & WS_VISIBLE) != 0, row.visible);
        EXPECT_EQ(GetDlgCtrlID(item(row.id)), row.id);
    }
    // A control shows only while its dialog does.
    EXPECT_FALSE(IsWindowVisible(item(kIdName)));
    ShowWindow(dialog_, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(item(kIdName)));
    EXPECT_FALSE(IsWindowVisible(item(kIdHidden)));
    char caption[32];
    GetWindowTextA(dialog_, caption, sizeof caption);
    EXPECT_STREQ(caption, "Form");
    GetClassNameA(dialog_, caption, sizeof caption);
    EXPECT_STREQ(caption, "#32770");
    EXPECT_EQ(VeskGetDialogTemplateId(dialog_), kFormDialog);
}

TEST_F(Controls, EditTextIsCutToTheCallersBufferAndNotifiesItsParent) {
    ASSERT_TRUE(SetDlgItemTextA(dialog_, kIdName, "John Smith"));
    ASSERT_EQ(g_notifications.size(), 1u);
    EXPECT_EQ(g_notifications[0].id, kIdName);
    EXPECT_EQ(g_notifications[0].code, EN_CHANGE);
    char small[5];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(GetWindowTextA(item(kIdName), small, sizeof small), 4);
    EXPECT_STREQ(small, "John");
    EXPECT_EQ(GetWindowTextLengthA(item(kIdName)), 10);
    EXPECT_EQ(SendDlgItemMessageA(dialog_, kIdName, EM_GETLIMITTEXT, 0, 0), 30000);
    SendDlgItemMessageA(dialog_, kIdName, EM_LIMITTEXT, 8, 0);
    EXPECT_EQ(SendDlgItemMessageA(dialog_, kIdName, EM_GETLIMITTEXT, 0, 0), 8);
}

TEST_F(Controls, PasswordEditHasAPasswordCharacter) {
    EXPECT_EQ(SendDlgItemMessageA(dialog_, kIdPassword, EM_GETPASSWORDCHAR, 0, 0), '*');
    EXPECT_EQ(SendDlgItemMessageA(dialog_, kIdName, EM_GETPASSWORDCHAR, 0, 0), 0);
    SendDlgItemMessageA(dialog_, kIdPassword, EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_EQ(GetWindowLongPtrA(item(kIdPassword), GWL_STYLE) & ES_PASSWORD, 0);
}

TEST_F(Controls, SortedComboBoxKeepsItemsInOrderAndFindsThem) {
    const HWND combo = item(kIdCombo);
    for (const char* name : {"Work", "default", "Archive"}) {
        EXPECT_GE(SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name)), 0);
    }
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
    char buffer[32];
    const char* expected[] = {"Archive", "default", "Work"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer)),
                  static_cast<LRESULT>(std::strlen(expected[i])));
        EXPECT_STREQ(buffer, expected[i]);
    }
    struct Find {
        UINT message;
        const char* text;
        LRESULT index;
    } finds[] = {
        {CB_FINDSTRINGEXACT, "DEFAULT", 1},  // exact search ignores case
        {CB_FINDSTRINGEXACT, "Def", CB_ERR}, // but not a prefix
        {CB_FINDSTRING, "wo", 2},            // prefix search
        {CB_FINDSTRING, "x", CB_ERR},
    };
    for (const Find& f : finds) {
        SCOPED_TRACE(f.text);
        EXPECT_EQ(SendMessageA(combo, f.message, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(f.text)), f.index);
    }
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(text(kIdCombo), "Work");
    // Out of range clears the selection and reports CB_ERR.
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 7, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(text(kIdCombo), "");
    // A drop-down list takes a text only when it is one of its items.
    EXPECT_TRUE(SetWindowTextA(combo, "archive"));
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("nothing")), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageA(combo, CB_RESETCONTENT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(buffer)), CB_ERR);
    // Programmatic changes do not notify; only a person's do.
    EXPECT_TRUE(g_notifications.empty());
}

TEST_F(Controls, ListBoxSelectionFollowsInsertsAndDeletes) {
    const HWND list = item(kIdList);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("b"));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("c"));
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageA(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("a")), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);  // still "c"
    EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 2, 0), 2);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 5, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 1, 0), 1);
    EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 9, 0), LB_ERR);
}

TEST_F(Controls, ButtonsKeepCheckStatesByType) {
    // A push button has no check state; a check box keeps one; a click toggles an automatic one.
    SendDlgItemMessageA(dialog_, kIdBrowse, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(IsDlgButtonChecked(dialog_, kIdBrowse), static_cast<UINT>(BST_UNCHECKED));
    CheckDlgButton(dialog_, kIdCheck, BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog_, kIdCheck), static_cast<UINT>(BST_CHECKED));
    SendDlgItemMessageA(dialog_, kIdCheck, BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(dialog_, kIdCheck), static_cast<UINT>(BST_UNCHECKED));
    ASSERT_EQ(g_notifications.size(), 1u);
    EXPECT_EQ(g_notifications[0].id, kIdCheck);
    EXPECT_EQ(g_notifications[0].code, BN_CLICKED);
    // Clicking an automatic radio button clears the others of its group.
    SendDlgItemMessageA(dialog_, kIdRadio1, BM_CLICK, 0, 0);
    SendDlgItemMessageA(dialog_, kIdRadio2, BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(dialog_, kIdRadio1), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(dialog_, kIdRadio2), static_cast<UINT>(BST_CHECKED));
}

TEST_F(Controls, DefaultButtonMovesWithDmSetDefId) {
    EXPECT_EQ(LOWORD(SendMessageA(dialog_, DM_GETDEFID, 0, 0)), IDOK);
    EXPECT_EQ(HIWORD(SendMessageA(dialog_, DM_GETDEFID, 0, 0)), DC_HASDEFID);
    SendMessageA(dialog_, DM_SETDEFID, IDCANCEL, 0);
    EXPECT_EQ(LOWORD(SendMessageA(dialog_, DM_GETDEFID, 0, 0)), IDCANCEL);
    EXPECT_EQ(GetWindowLongPtrA(item(IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(GetWindowLongPtrA(item(IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

TEST_F(Controls, ShowAndEnableReportThePreviousState) {
    const HWND hidden = item(kIdHidden);
    EXPECT_FALSE(ShowWindow(hidden, SW_SHOW));
    EXPECT_TRUE(ShowWindow(hidden, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(hidden));
    const HWND name = item(kIdName);
    EXPECT_FALSE(EnableWindow(name, FALSE));
    EXPECT_FALSE(IsWindowEnabled(name));
    EXPECT_TRUE(EnableWindow(name, TRUE));
    EXPECT_TRUE(IsWindowEnabled(name));
}

TEST_F(Controls, IntegersReadBackOnlyWhenTheWholeTextIsANumber) {
    struct Row {
        const char* text;
        BOOL translated;
        UINT value;
    } rows[] = {{"42", TRUE, 42}, {"  7 ", TRUE, 7}, {"-3", TRUE, static_cast<UINT>(-3)}, {"4x", FALSE, 0}, {"", FALSE, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        SetDlgItemTextA(dialog_, kIdName, row.text);
        BOOL translated = 2;
        EXPECT_EQ(GetDlgItemInt(dialog_, kIdName, &translated, TRUE), row.value);
        EXPECT_EQ(translated, row.translated);
    }
    SetDlgItemInt(dialog_, kIdName, 123, FALSE);
    EXPECT_EQ(text(kIdName), "123");
}

TEST_F(Controls, EveryControlGetsTheDialogFont) {
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog_, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    for (int id : std::initializer_list<int>{kIdName, kIdCombo, IDOK}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog_, id, WM_GETFONT, 0, 0)), font);
    }
    LOGFONTA description{};
    ASSERT_EQ(GetObjectA(font, sizeof description, &description), static_cast<int>(sizeof description));
    EXPECT_STREQ(description.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(description.lfHeight, -11);  // 8 points at 96 dots per inch
}

TEST_F(Controls, TabOrderSkipsHiddenAndDisabledControls) {
    EnableWindow(item(kIdPassword), FALSE);
    EXPECT_EQ(GetNextDlgTabItem(dialog_, item(kIdName), FALSE), item(kIdCombo));
    EXPECT_EQ(GetNextDlgTabItem(dialog_, item(kIdCombo), TRUE), item(kIdName));
    EXPECT_EQ(GetNextDlgTabItem(dialog_, item(IDCANCEL), FALSE), item(kIdName));  // wraps
}

}  // namespace
}  // namespace vesk::test
