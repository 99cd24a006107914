// Sending and posting: a posted message arrives after the message being handled, in order,
// before the person is asked anything, and never at a destroyed window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "win32/Window.h"

namespace vesk::test {
namespace {

std::vector<std::string> g_log;

INT_PTR postingProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            g_log.push_back("init");
            PostMessageA(dialog, WM_APP + 1, 1, 0);
            PostMessageA(dialog, WM_APP + 1, 2, 0);
            g_log.push_back("init done");
            return TRUE;
        case WM_APP + 1:
            g_log.push_back("app " + std::to_string(wParam));
            if (wParam == 1) {
                // Posted while delivering: still before the person is asked.
                PostMessageA(dialog, WM_APP + 2, 0, 0);
                SetDlgItemTextA(dialog, kIdName, "from the posted message");
            }
            return TRUE;
        case WM_APP + 2:
            g_log.push_back("app2");
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

TEST(Messages, PostedMessagesArriveAfterTheCurrentOneAndBeforeThePersonActs) {
    g_log.clear();
    ScriptedWindow window({ui::ScriptAction::press("OK")});
    const INT_PTR result = DialogBoxParamA(testModule(), templateName(kFormDialog), window.hwnd(), postingProc, 0);
    EXPECT_EQ(result, IDOK);
    const std::vector<std::string> expected = {"init", "init done", "app 1", "app 2", "app2"};
    EXPECT_EQ(g_log, expected);
    const ui::WindowView* shown = window.transcript().pages().front();
    ASSERT_NE(shown->control(kIdName), nullptr);
    EXPECT_EQ(shown->control(kIdName)->text, "from the posted message");
}

INT_PTR silentProc(HWND, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_APP + 7) g_log.push_back("delivered");
    return msg == WM_APP + 7;
}

TEST(Messages, PeekFiltersByWindowAndRangeAndDispatchDelivers) {
    g_log.clear();
    const HWND a = CreateDialogParamA(testModule(), templateName(kFormDialog), nullptr, silentProc, 0);
    const HWND b = CreateDialogParamA(testModule(), templateName(kFormDialog), nullptr, silentProc, 0);
    PostMessageA(a, WM_APP + 7, 1, 0);
    PostMessageA(b, WM_APP + 8, 2, 0);
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, b, WM_APP + 7, WM_APP + 7, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_APP + 8, WM_APP + 9, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, b);
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_TRUE(PeekMessageA(&msg, a, 0, 0, PM_NOREMOVE));  // still queued
    ASSERT_TRUE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessageA(&msg), 0);  // a handled message answers with DWLP_MSGRESULT
    EXPECT_EQ(g_log, std::vector<std::string>{"delivered"});
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST(Messages, MessagesForADestroyedWindowAreDropped) {
    g_log.clear();
    const HWND dialog = CreateDialogParamA(testModule(), templateName(kFormDialog), nullptr, silentProc, 0);
    PostMessageA(dialog, WM_APP + 7, 0, 0);
    DestroyWindow(dialog);
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, dialog, 0, 0, PM_NOREMOVE));
    EXPECT_TRUE(g_log.empty());
}

}  // namespace
}  // namespace vesk::test
