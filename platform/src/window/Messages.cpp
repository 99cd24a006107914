// Sending, posting and the default handling of window messages.
#include <algorithm>
#include <cstring>
#include <deque>

#include "window/MessageQueue.h"
#include "window/WindowObject.h"
#include "win32/Module.h"

namespace vesk::win {
namespace {

std::deque<MSG>& queue() {
    static std::deque<MSG> instance;
    return instance;
}

bool matches(const MSG& msg, HWND hWnd, UINT first, UINT last) {
    if (hWnd != nullptr && msg.hwnd != hWnd) return false;
    if (first == 0 && last == 0) return true;
    return msg.message >= first && msg.message <= last;
}

// Enough for any real cascade of posted messages; only a handler that re-posts itself on
// every delivery reaches it.
constexpr int kMaxDeliveriesPerRound = 100000;

}  // namespace

void deliverPosted() {
    auto& q = queue();
    for (int delivered = 0; !q.empty() && delivered < kMaxDeliveriesPerRound; ++delivered) {
        MSG msg = q.front();
        q.pop_front();
        DispatchMessageA(&msg);
    }
}

void dropPosted(HWND hWnd) {
    auto& q = queue();
    for (auto it = q.begin(); it != q.end();) {
        it = it->hwnd == hWnd ? q.erase(it) : it + 1;
    }
}

}  // namespace vesk::win

using namespace vesk::win;

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WindowPtr window = findOrFail(hWnd);
    if (!window) return 0;
    WNDPROC proc = window->proc != nullptr ? window->proc : DefWindowProcA;
    return proc(hWnd, Msg, wParam, lParam);
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!findOrFail(hWnd)) return FALSE;
    MSG msg{};
    msg.hwnd = hWnd;
    msg.message = Msg;
    msg.wParam = wParam;
    msg.lParam = lParam;
    queue().push_back(msg);
    return TRUE;
}

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    if (lpMsg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto& q = queue();
    for (auto it = q.begin(); it != q.end(); ++it) {
        if (!matches(*it, hWnd, wMsgFilterMin, wMsgFilterMax)) continue;
        *lpMsg = *it;
        if (wRemoveMsg & PM_REMOVE) q.erase(it);
        return TRUE;
    }
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* lpMsg) {
    if (lpMsg == nullptr || !find(lpMsg->hwnd)) return 0;
    return SendMessageA(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

LRESULT CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (lpPrevWndFunc == nullptr) return 0;
    return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WindowPtr window = findOrFail(hWnd);
    if (!window) return 0;
    switch (Msg) {
        case WM_SETTEXT:
            window->text = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
            return TRUE;
        case WM_GETTEXT: {
            char* buffer = reinterpret_cast<char*>(lParam);
            if (buffer == nullptr || wParam == 0) return 0;
            const size_t length = std::min<size_t>(window->text.size(), wParam - 1);
            std::memcpy(buffer, window->text.data(), length);
            buffer[length] = '\0';
            return static_cast<LRESULT>(length);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(window->text.size());
        case WM_SETFONT:
            window->font = reinterpret_cast<HFONT>(wParam);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(window->font);
        case WM_CLOSE:
            DestroyWindow(hWnd);
            return 0;
        default:
            return 0;
    }
}
