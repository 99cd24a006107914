#include "window/WindowObject.h"

#include <algorithm>
#include <unordered_map>

#include "win32/Module.h"

namespace vesk::win {
namespace {

struct Table {
    std::unordered_map<uintptr_t, WindowPtr> windows;
    uintptr_t next = 0x100000;
    std::vector<DestroyListener> listeners;
    HWND focus = nullptr;
    int modal = 0;
};

Table& table() {
    static Table instance;
    return instance;
}

}  // namespace

WindowPtr find(HWND hWnd) {
    auto& windows = table().windows;
    auto it = windows.find(reinterpret_cast<uintptr_t>(hWnd));
    return it == windows.end() ? nullptr : it->second;
}

WindowPtr findOrFail(HWND hWnd) {
    WindowPtr window = find(hWnd);
    if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

HWND registerWindow(const WindowPtr& window) {
    Table& t = table();
    // Steps of four keep the low bits clear, as window handles have them.
    t.next += 4;
    window->handle = reinterpret_cast<HWND>(t.next);
    t.windows.emplace(t.next, window);
    if (window->parent != nullptr) {
        if (WindowPtr parent = find(window->parent)) parent->children.push_back(window->handle);
    }
    return window->handle;
}

void unregisterWindow(const WindowPtr& window) {
    Table& t = table();
    if (window->parent != nullptr) {
        if (WindowPtr parent = find(window->parent)) {
            auto& list = parent->children;
            list.erase(std::remove(list.begin(), list.end(), window->handle), list.end());
        }
    }
    t.windows.erase(reinterpret_cast<uintptr_t>(window->handle));
    if (t.focus == window->handle) t.focus = nullptr;
    window->destroyed = true;
}

std::vector<HWND> ownedWindows(HWND owner) {
    std::vector<std::pair<uintptr_t, HWND>> found;
    for (const auto& [key, window] : table().windows) {
        if (window->owner == owner && window->parent == nullptr) found.emplace_back(key, window->handle);
    }
    std::sort(found.begin(), found.end());
    std::vector<HWND> result;
    for (const auto& entry : found) result.push_back(entry.second);
    return result;
}

HWND above(const Window& window) {
    return window.parent != nullptr ? window.parent : window.owner;
}

HWND dialogOf(HWND hWnd) {
    for (WindowPtr window = find(hWnd); window; window = find(window->parent)) {
        if (window->role == Role::Dialog || window->role == Role::Sheet) return window->handle;
        if (window->parent == nullptr) break;
    }
    return nullptr;
}

void addDestroyListener(DestroyListener listener) {
    auto& listeners = table().listeners;
    if (std::find(listeners.begin(), listeners.end(), listener) == listeners.end()) listeners.push_back(listener);
}

void notifyDestroyed(HWND hWnd) {
    for (DestroyListener listener : table().listeners) listener(hWnd);
}

HWND focusWindow() {
    return table().focus;
}

void setFocusWindow(HWND hWnd) {
    table().focus = hWnd;
}

int modalDepth() {
    return table().modal;
}

void enterModal() {
    ++table().modal;
}

void leaveModal() {
    --table().modal;
}

}  // namespace vesk::win
