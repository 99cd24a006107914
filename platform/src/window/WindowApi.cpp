// The window calls that read and change one window: texts, visibility, enabled state,
// focus, window values, properties, and destroying.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "window/MessageQueue.h"
#include "window/WindowObject.h"
#include "win32/Gdi.h"
#include "win32/Module.h"

using namespace vesk::win;

namespace {

void copyOut(const std::string& text, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return;
    const size_t length = std::min<size_t>(text.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

}  // namespace

BOOL IsWindow(HWND hWnd) {
    return find(hWnd) ? TRUE : FALSE;
}

BOOL DestroyWindow(HWND hWnd) {
    WindowPtr window = findOrFail(hWnd);
    if (!window) return FALSE;
    // Owned windows go first, as they would on Windows: a dialog's boxes and sheets die with it.
    for (HWND owned : ownedWindows(hWnd)) DestroyWindow(owned);
    SendMessageA(hWnd, WM_DESTROY, 0, 0);
    const std::vector<HWND> children = window->children;
    for (HWND child : children) DestroyWindow(child);
    SendMessageA(hWnd, WM_NCDESTROY, 0, 0);
    notifyDestroyed(hWnd);
    dropPosted(hWnd);
    if (window->ownedFont != nullptr) {
        DeleteObject(window->ownedFont);
        window->ownedFont = nullptr;
    }
    unregisterWindow(window);
    return TRUE;
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    WindowPtr dialog = findOrFail(hDlg);
    if (!dialog) return nullptr;
    for (HWND child : dialog->children) {
        WindowPtr control = find(child);
        if (control && control->id == nIDDlgItem) return child;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int GetDlgCtrlID(HWND hWnd) {
    WindowPtr window = findOrFail(hWnd);
    return window ? window->id : 0;
}

HWND GetParent(HWND hWnd) {
    WindowPtr window = findOrFail(hWnd);
    return window ? above(*window) : nullptr;
}

HWND GetWindow(HWND hWnd, UINT uCmd) {
    WindowPtr window = findOrFail(hWnd);
    if (!window) return nullptr;
    switch (uCmd) {
        case GW_OWNER:
            return window->parent == nullptr ? window->owner : nullptr;
        case GW_CHILD:
            return window->children.empty() ? nullptr : window->children.front();
        case GW_HWNDNEXT: {
            WindowPtr parent = find(window->parent);
            if (!parent) return nullptr;
            auto& list = parent->children;
            auto it = std::find(list.begin(), list.end(), hWnd);
            return (it == list.end() || it + 1 == list.end()) ? nullptr : *(it + 1);
        }
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (!findOrFail(hWnd)) return FALSE;
    return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString != nullptr ? lpString : "")) >= 0
               ? TRUE
               : FALSE;
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    if (!findOrFail(hWnd)) {
        copyOut("", lpString, nMaxCount);
        return 0;
    }
    if (lpString == nullptr || nMaxCount <= 0) return 0;
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLengthA(HWND hWnd) {
    if (!findOrFail(hWnd)) return 0;
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    return control != nullptr ? SetWindowTextA(control, lpString) : FALSE;
}

UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    if (control == nullptr) {
        copyOut("", lpString, cchMax);
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(control, lpString, cchMax));
}

BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned) {
    const std::string text = bSigned ? std::to_string(static_cast<int>(uValue)) : std::to_string(uValue);
    return SetDlgItemTextA(hDlg, nIDDlgItem, text.c_str());
}

UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned) {
    if (lpTranslated != nullptr) *lpTranslated = FALSE;
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    if (control == nullptr) return 0;
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    const size_t first = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(' ');
    if (first == std::string::npos) return 0;
    text = text.substr(first, last - first + 1);
    if (!bSigned && text[0] == '-') return 0;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0') return 0;
    if (bSigned ? (value < INT_MIN || value > INT_MAX) : (value > static_cast<long long>(UINT_MAX))) return 0;
    if (lpTranslated != nullptr) *lpTranslated = TRUE;
    return static_cast<UINT>(value);
}

LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    return control != nullptr ? SendMessageA(control, Msg, wParam, lParam) : 0;
}

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
    HWND control = GetDlgItem(hDlg, nIDButton);
    if (control == nullptr) return FALSE;
    SendMessageA(control, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND hDlg, int nIDButton) {
    return static_cast<UINT>(SendDlgItemMessageA(hDlg, nIDButton, BM_GETCHECK, 0, 0));
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    WindowPtr window = findOrFail(hWnd);
    if (!window) return FALSE;
    const bool wasVisible = (window->style & WS_VISIBLE) != 0;
    const bool show = nCmdShow != SW_HIDE;
    if (show != wasVisible) {
        window->style = show ? (window->style | WS_VISIBLE) : (window->style & ~static_cast<DWORD>(WS_VISIBLE));
        SendMessageA(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
    WindowPtr window = findOrFail(hWnd);
    if (!window) return FALSE;
    const bool wasDisabled = (window->style & WS_DISABLED) != 0;
    if (wasDisabled == (bEnable != FALSE)) {
        window->style = bEnable ? (window->style & ~static_cast<DWORD>(WS_DISABLED)) : (window->style | WS_DISABLED);
        // A disabled window cannot keep the focus.
        if (!bEnable && focusWindow() == hWnd) setFocusWindow(nullptr);
        SendMessageA(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hWnd) {
    WindowPtr window = find(hWnd);
    if (!window) return FALSE;
    for (; window; window = find(window->parent)) {
        if ((window->style & WS_VISIBLE) == 0) return FALSE;
        if (window->parent == nullptr) break;
    }
    return TRUE;
}

BOOL IsWindowEnabled(HWND hWnd) {
    WindowPtr window = find(hWnd);
    return window && (window->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

HWND SetFocus(HWND hWnd) {
    const HWND previous = focusWindow();
    if (hWnd != nullptr && !findOrFail(hWnd)) return nullptr;
    if (hWnd == previous) return previous;
    if (previous != nullptr && find(previous)) SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    setFocusWindow(hWnd);
    if (hWnd != nullptr) {
        // The dialog remembers its focused control, so a page shown again gets it back.
        if (WindowPtr dialog = find(dialogOf(hWnd)); dialog && dialog->handle != hWnd) dialog->focus = hWnd;
        SendMessageA(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

HWND GetFocus(void) {
    const HWND focus = focusWindow();
    return find(focus) ? focus : nullptr;
}

LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex) {
    WindowPtr window = findOrFail(hWnd);
    if (!window) return 0;
    const bool dialog = window->role == Role::Dialog || window->role == Role::Sheet;
    switch (nIndex) {
        case GWL_STYLE: return static_cast<LONG_PTR>(window->style);
        case GWL_EXSTYLE: return static_cast<LONG_PTR>(window->exStyle);
        case GWLP_ID: return window->id;
        case GWLP_USERDATA: return window->userData;
        case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(window->proc);
        case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(window->instance);
        default: break;
    }
    if (dialog && nIndex == DWLP_MSGRESULT) return window->msgResult;
    if (dialog && nIndex == DWLP_DLGPROC) return reinterpret_cast<LONG_PTR>(window->dlgProc);
    if (dialog && nIndex == DWLP_USER) return window->dlgUser;
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    WindowPtr window = findOrFail(hWnd);
    if (!window) return 0;
    const bool dialog = window->role == Role::Dialog || window->role == Role::Sheet;
    LONG_PTR previous = 0;
    switch (nIndex) {
        case GWL_STYLE:
            previous = static_cast<LONG_PTR>(window->style);
            window->style = static_cast<DWORD>(dwNewLong);
            return previous;
        case GWL_EXSTYLE:
            previous = static_cast<LONG_PTR>(window->exStyle);
            window->exStyle = static_cast<DWORD>(dwNewLong);
            return previous;
        case GWLP_ID:
            previous = window->id;
            window->id = static_cast<int>(dwNewLong);
            return previous;
        case GWLP_USERDATA:
            previous = window->userData;
            window->userData = dwNewLong;
            return previous;
        case GWLP_WNDPROC:
            previous = reinterpret_cast<LONG_PTR>(window->proc);
            window->proc = reinterpret_cast<WNDPROC>(dwNewLong);
            return previous;
        default:
            break;
    }
    if (dialog && nIndex == DWLP_MSGRESULT) {
        previous = window->msgResult;
        window->msgResult = dwNewLong;
        return previous;
    }
    if (dialog && nIndex == DWLP_DLGPROC) {
        previous = reinterpret_cast<LONG_PTR>(window->dlgProc);
        window->dlgProc = reinterpret_cast<DLGPROC>(dwNewLong);
        return previous;
    }
    if (dialog && nIndex == DWLP_USER) {
        previous = window->dlgUser;
        window->dlgUser = dwNewLong;
        return previous;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

int GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
    WindowPtr window = findOrFail(hWnd);
    if (!window || lpClassName == nullptr || nMaxCount <= 0) return 0;
    copyOut(window->className, lpClassName, nMaxCount);
    return static_cast<int>(std::strlen(lpClassName));
}

BOOL SetPropA(HWND hWnd, LPCSTR lpString, HANDLE hData) {
    WindowPtr window = findOrFail(hWnd);
    if (!window || lpString == nullptr) return FALSE;
    window->props[lpString] = hData;
    return TRUE;
}

HANDLE GetPropA(HWND hWnd, LPCSTR lpString) {
    WindowPtr window = find(hWnd);
    if (!window || lpString == nullptr) return nullptr;
    auto it = window->props.find(lpString);
    return it == window->props.end() ? nullptr : it->second;
}

HANDLE RemovePropA(HWND hWnd, LPCSTR lpString) {
    WindowPtr window = find(hWnd);
    if (!window || lpString == nullptr) return nullptr;
    auto it = window->props.find(lpString);
    if (it == window->props.end()) return nullptr;
    HANDLE value = it->second;
    window->props.erase(it);
    return value;
}

int MulDiv(int nNumber, int nNumerator, int nDenominator) {
    if (nDenominator == 0) return -1;
    const long long product = static_cast<long long>(nNumber) * nNumerator;
    long long half = nDenominator / 2;
    if (half < 0) half = -half;
    const bool negative = (product < 0) != (nDenominator < 0);
    const long long magnitude = (product < 0 ? -product : product) + half;
    const long long quotient = magnitude / (nDenominator < 0 ? -static_cast<long long>(nDenominator) : nDenominator);
    const long long result = negative ? -quotient : quotient;
    if (result > INT_MAX || result < INT_MIN) return -1;
    return static_cast<int>(result);
}
