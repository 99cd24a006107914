// Handles: a destroyed or made-up handle fails every call with the documented result.
#include <gtest/gtest.h>

#include <functional>

#include "WindowTestSupport.h"
#include "win32/Gdi.h"
#include "win32/MessageBox.h"
#include "win32/Window.h"

namespace vesk::test {
namespace {

INT_PTR quietProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

HWND makeDialog(HWND owner = nullptr) {
    return CreateDialogParamA(testModule(), templateName(kFormDialog), owner, quietProc, 0);
}

struct StaleCall {
    const char* name;
    std::function<long long(HWND)> call;
    long long failure;
};

TEST(WindowHandle, EveryCallRefusesAStaleHandle) {
    const HWND stale = makeDialog();
    ASSERT_NE(stale, nullptr);
    ASSERT_TRUE(DestroyWindow(stale));
    char buffer[16] = "marker";
    const std::vector<StaleCall> calls = {
        {"SendMessageA", [](HWND h) { return SendMessageA(h, WM_GETTEXTLENGTH, 0, 0); }, 0},
        {"PostMessageA", [](HWND h) { return PostMessageA(h, WM_APP + 1, 0, 0); }, FALSE},
        {"DestroyWindow", [](HWND h) { return DestroyWindow(h); }, FALSE},
        {"GetDlgItem", [](HWND h) { return reinterpret_cast<intptr_t>(GetDlgItem(h, kIdName)); }, 0},
        {"SetWindowTextA", [](HWND h) { return SetWindowTextA(h, "x"); }, FALSE},
        {"GetWindowTextA", [&](HWND h) { return GetWindowTextA(h, buffer, sizeof buffer); }, 0},
        {"ShowWindow", [](HWND h) { return ShowWindow(h, SW_SHOW); }, FALSE},
        {"EnableWindow", [](HWND h) { return EnableWindow(h, FALSE); }, FALSE},
        {"GetWindowLongPtrA", [](HWND h) { return GetWindowLongPtrA(h, GWL_STYLE); }, 0},
        {"SetWindowLongPtrA", [](HWND h) { return SetWindowLongPtrA(h, GWLP_USERDATA, 5); }, 0},
        {"EndDialog", [](HWND h) { return EndDialog(h, IDOK); }, FALSE},
        {"GetParent", [](HWND h) { return reinterpret_cast<intptr_t>(GetParent(h)); }, 0},
        {"CreateDialogParamA owner",
         [](HWND h) { return reinterpret_cast<intptr_t>(makeDialog(h)); }, 0},
        {"DialogBoxParamA owner",
         [](HWND h) { return DialogBoxParamA(testModule(), templateName(kFormDialog), h, quietProc, 0); }, -1},
        {"MessageBoxA", [](HWND h) { return MessageBoxA(h, "text", "caption", MB_OK); }, 0},
        {"GetDC", [](HWND h) { return reinterpret_cast<intptr_t>(GetDC(h)); }, 0},
    };
    for (const StaleCall& row : calls) {
        SCOPED_TRACE(row.name);
        SetLastError(0);
        EXPECT_EQ(row.call(stale), row.failure);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    }
    // The failed GetWindowTextA still leaves a terminated, empty buffer.
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(IsWindow(stale));
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x12345678))));
}

TEST(WindowHandle, HandlesAreNeverReused) {
    const HWND first = makeDialog();
    ASSERT_NE(first, nullptr);
    DestroyWindow(first);
    for (int i = 0; i < 20; ++i) {
        const HWND next = makeDialog();
        EXPECT_NE(next, first);
        DestroyWindow(next);
    }
}

TEST(WindowHandle, DestroyTakesChildrenAndOwnedWindows) {
    const HWND owner = makeDialog();
    const HWND owned = makeDialog(owner);
    ASSERT_NE(owned, nullptr);
    const HWND child = GetDlgItem(owned, kIdName);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), owned);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
    ASSERT_TRUE(DestroyWindow(owner));
    EXPECT_FALSE(IsWindow(owned));
    EXPECT_FALSE(IsWindow(child));
}

TEST(WindowHandle, MissingControlIdSaysSo) {
    const HWND dialog = makeDialog();
    SetLastError(0);
    EXPECT_EQ(GetDlgItem(dialog, 4242), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND));
    EXPECT_EQ(SendDlgItemMessageA(dialog, 4242, WM_GETTEXTLENGTH, 0, 0), 0);
    DestroyWindow(dialog);
}

TEST(WindowHandle, MissingTemplateFailsCreation) {
    SetLastError(0);
    EXPECT_EQ(CreateDialogParamA(testModule(), templateName(9999), nullptr, quietProc, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(CreateDialogParamA(testModule(), "NAMED", nullptr, quietProc, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(CreateDialogParamA(testModule(), templateName(kFormDialog), nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
}  // namespace vesk::test
