#include "window/Controls.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>

#include "win32/Module.h"

namespace vesk::win {
namespace {

// A single-line edit's limit when none was set.
constexpr int kDefaultEditLimit = 30000;

unsigned char lowerByte(unsigned char c) {
    // Windows-1252 letters: ASCII, then the Latin-1 range where lower case is upper + 0x20.
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
    return c;
}

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
    if (prefix.size() > text.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (lowerByte(static_cast<unsigned char>(text[i])) != lowerByte(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

std::string textArg(LPARAM lParam) {
    return lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
}

LRESULT copyItem(const Window& window, WPARAM index, LPARAM buffer, LRESULT error) {
    if (index >= window.items.size() || buffer == 0) return error;
    const std::string& item = window.items[index];
    std::memcpy(reinterpret_cast<char*>(buffer), item.c_str(), item.size() + 1);
    return static_cast<LRESULT>(item.size());
}

// Finds an item after `start` (-1: from the top), wrapping around, as list boxes search.
int findItem(const Window& window, WPARAM start, const std::string& text, bool exact) {
    const int count = static_cast<int>(window.items.size());
    if (count == 0) return -1;
    const int first = (static_cast<int>(start) < 0 || static_cast<int>(start) >= count) ? 0 : static_cast<int>(start) + 1;
    for (int n = 0; n < count; ++n) {
        const int i = (first + n) % count;
        const std::string& item = window.items[static_cast<size_t>(i)];
        if (exact ? compareNoCase(item, text) == 0 : startsWithNoCase(item, text)) return i;
    }
    return -1;
}

// Adds or inserts an item; -2 (ERRSPACE) when memory runs out.
LRESULT insertItem(Window& window, int index, std::string text, bool sorted) {
    try {
        size_t at = window.items.size();
        if (sorted) {
            at = static_cast<size_t>(std::upper_bound(window.items.begin(), window.items.end(), text,
                                                      [](const std::string& a, const std::string& b) {
                                                          return compareNoCase(a, b) < 0;
                                                      }) -
                                     window.items.begin());
        } else if (index >= 0) {
            if (static_cast<size_t>(index) > window.items.size()) return -1;
            at = static_cast<size_t>(index);
        }
        window.items.insert(window.items.begin() + static_cast<long>(at), std::move(text));
        window.itemData.insert(window.itemData.begin() + static_cast<long>(at), 0);
        if (window.selection >= static_cast<int>(at)) ++window.selection;
        return static_cast<LRESULT>(at);
    } catch (const std::bad_alloc&) {
        return -2;
    }
}

LRESULT deleteItem(Window& window, WPARAM index) {
    if (index >= window.items.size()) return -1;
    window.items.erase(window.items.begin() + static_cast<long>(index));
    window.itemData.erase(window.itemData.begin() + static_cast<long>(index));
    const int at = static_cast<int>(index);
    if (window.selection == at) window.selection = -1;
    else if (window.selection > at) --window.selection;
    return static_cast<LRESULT>(window.items.size());
}

bool isDropList(const Window& window) {
    return (window.style & 0x3) == CBS_DROPDOWNLIST;
}

LRESULT editProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowPtr window = findOrFail(hWnd);
    if (!window) return 0;
    switch (msg) {
        case WM_SETTEXT: {
            std::string text = textArg(lParam);
            for (char& c : text) {
                const unsigned char byte = static_cast<unsigned char>(c);
                if ((window->style & ES_UPPERCASE) && byte < 0x80) c = static_cast<char>(std::toupper(byte));
                if ((window->style & ES_LOWERCASE) && byte < 0x80) c = static_cast<char>(std::tolower(byte));
            }
            window->text = std::move(text);
            if ((window->style & ES_MULTILINE) == 0) notifyParent(*window, EN_CHANGE);
            return TRUE;
        }
        case EM_LIMITTEXT:
            window->limit = static_cast<int>(wParam);
            return 0;
        case EM_GETLIMITTEXT:
            return window->limit > 0 ? window->limit : kDefaultEditLimit;
        case EM_SETPASSWORDCHAR:
            window->passwordChar = static_cast<char>(wParam);
            window->style = wParam != 0 ? (window->style | ES_PASSWORD) : (window->style & ~static_cast<DWORD>(ES_PASSWORD));
            return 0;
        case EM_GETPASSWORDCHAR:
            if ((window->style & ES_PASSWORD) == 0) return 0;
            return static_cast<unsigned char>(window->passwordChar != 0 ? window->passwordChar : '*');
        case EM_SETREADONLY:
            window->style = wParam ? (window->style | ES_READONLY) : (window->style & ~static_cast<DWORD>(ES_READONLY));
            return TRUE;
        case EM_SETSEL:
        case EM_GETSEL:
            return 0;
        case WM_SETFOCUS:
            notifyParent(*window, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            notifyParent(*window, EN_KILLFOCUS);
            return 0;
        default:
            return DefWindowProcA(hWnd, msg, wParam, lParam);
    }
}

void setCheck(Window& window, int state) {
    const DWORD type = buttonType(window);
    if (!isCheckType(type)) return;
    // Two-state buttons take "indeterminate" as checked, as Windows does.
    if (state == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE) state = BST_CHECKED;
    window.check = state;
}

LRESULT buttonProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowPtr window = findOrFail(hWnd);
    if (!window) return 0;
    switch (msg) {
        case BM_SETCHECK:
            setCheck(*window, static_cast<int>(wParam));
            return 0;
        case BM_GETCHECK:
            return isCheckType(buttonType(*window)) ? window->check : BST_UNCHECKED;
        case BM_GETSTATE:
            return (isCheckType(buttonType(*window)) ? window->check : 0) | (focusWindow() == hWnd ? 0x8 : 0);
        case BM_SETSTATE:
            return 0;
        case BM_SETSTYLE:
            window->style = (window->style & ~static_cast<DWORD>(0xFFFF)) | (static_cast<DWORD>(wParam) & 0xFFFF);
            return 0;
        case BM_CLICK:
            clickButton(hWnd);
            return 0;
        default:
            return DefWindowProcA(hWnd, msg, wParam, lParam);
    }
}

LRESULT staticProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

void selectComboItem(Window& window, int index) {
    window.selection = index;
    window.text = index >= 0 ? window.items[static_cast<size_t>(index)] : std::string();
}

LRESULT comboProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowPtr window = findOrFail(hWnd);
    if (!window) return 0;
    Window& w = *window;
    switch (msg) {
        case CB_ADDSTRING:
            if (lParam == 0) return CB_ERR;
            return insertItem(w, -1, textArg(lParam), (w.style & CBS_SORT) != 0);
        case CB_INSERTSTRING:
            if (lParam == 0) return CB_ERR;
            return insertItem(w, static_cast<int>(wParam), textArg(lParam), false);
        case CB_DELETESTRING: {
            const bool wasSelected = static_cast<int>(wParam) == w.selection;
            const LRESULT result = deleteItem(w, wParam);
            if (wasSelected && isDropList(w)) w.text.clear();
            return result;
        }
        case CB_GETCOUNT:
            return static_cast<LRESULT>(w.items.size());
        case CB_GETCURSEL:
            return w.selection;
        case CB_SETCURSEL: {
            const int index = static_cast<int>(wParam);
            if (index < 0 || static_cast<size_t>(index) >= w.items.size()) {
                selectComboItem(w, -1);
                return CB_ERR;
            }
            selectComboItem(w, index);
            return index;
        }
        case CB_GETLBTEXT:
            return copyItem(w, wParam, lParam, CB_ERR);
        case CB_GETLBTEXTLEN:
            return wParam < w.items.size() ? static_cast<LRESULT>(w.items[wParam].size()) : CB_ERR;
        case CB_RESETCONTENT:
            w.items.clear();
            w.itemData.clear();
            selectComboItem(w, -1);
            return 0;
        case CB_FINDSTRING:
            return lParam == 0 ? CB_ERR : findItem(w, wParam, textArg(lParam), false);
        case CB_FINDSTRINGEXACT:
            return lParam == 0 ? CB_ERR : findItem(w, wParam, textArg(lParam), true);
        case CB_SELECTSTRING: {
            const int index = lParam == 0 ? -1 : findItem(w, wParam, textArg(lParam), false);
            if (index < 0) return CB_ERR;
            selectComboItem(w, index);
            return index;
        }
        case CB_GETITEMDATA:
            return wParam < w.itemData.size() ? w.itemData[wParam] : CB_ERR;
        case CB_SETITEMDATA:
            if (wParam >= w.itemData.size()) return CB_ERR;
            w.itemData[wParam] = lParam;
            return TRUE;
        case CB_LIMITTEXT:
            w.limit = static_cast<int>(wParam);
            return TRUE;
        case WM_SETTEXT: {
            const std::string text = textArg(lParam);
            if (isDropList(w)) {
                // A drop-down list shows only its items: the text selects one or is refused.
                const int index = findItem(w, static_cast<WPARAM>(-1), text, true);
                if (index < 0) return CB_ERR;
                selectComboItem(w, index);
                return TRUE;
            }
            w.text = text;
            return TRUE;
        }
        default:
            return DefWindowProcA(hWnd, msg, wParam, lParam);
    }
}

LRESULT listProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowPtr window = findOrFail(hWnd);
    if (!window) return 0;
    Window& w = *window;
    switch (msg) {
        case LB_ADDSTRING:
            if (lParam == 0) return LB_ERR;
            return insertItem(w, -1, textArg(lParam), (w.style & LBS_SORT) != 0);
        case LB_INSERTSTRING:
            if (lParam == 0) return LB_ERR;
            return insertItem(w, static_cast<int>(wParam), textArg(lParam), false);
        case LB_DELETESTRING:
            return deleteItem(w, wParam);
        case LB_RESETCONTENT:
            w.items.clear();
            w.itemData.clear();
            w.selection = -1;
            return 0;
        case LB_GETCOUNT:
            return static_cast<LRESULT>(w.items.size());
        case LB_GETCURSEL:
            return w.selection;
        case LB_SETCURSEL: {
            const int index = static_cast<int>(wParam);
            if (index < 0 || static_cast<size_t>(index) >= w.items.size()) {
                w.selection = -1;
                return index == -1 ? 0 : LB_ERR;
            }
            w.selection = index;
            return index;
        }
        case LB_GETTEXT:
            return copyItem(w, wParam, lParam, LB_ERR);
        case LB_GETTEXTLEN:
            return wParam < w.items.size() ? static_cast<LRESULT>(w.items[wParam].size()) : LB_ERR;
        case LB_FINDSTRING:
            return lParam == 0 ? LB_ERR : findItem(w, wParam, textArg(lParam), false);
        case LB_FINDSTRINGEXACT:
            return lParam == 0 ? LB_ERR : findItem(w, wParam, textArg(lParam), true);
        case LB_SELECTSTRING: {
            const int index = lParam == 0 ? -1 : findItem(w, wParam, textArg(lParam), false);
            if (index < 0) return LB_ERR;
            w.selection = index;
            return index;
        }
        case LB_GETITEMDATA:
            return wParam < w.itemData.size() ? w.itemData[wParam] : LB_ERR;
        case LB_SETITEMDATA:
            if (wParam >= w.itemData.size()) return LB_ERR;
            w.itemData[wParam] = lParam;
            return TRUE;
        default:
            return DefWindowProcA(hWnd, msg, wParam, lParam);
    }
}

}  // namespace

int compareNoCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int x = lowerByte(static_cast<unsigned char>(a[i]));
        const int y = lowerByte(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

WNDPROC controlProc(const std::string& className) {
    const std::string name = canonicalClassName(className);
    if (name == "Button") return buttonProc;
    if (name == "Edit") return editProc;
    if (name == "Static") return staticProc;
    if (name == "ComboBox") return comboProc;
    if (name == "ListBox") return listProc;
    return DefWindowProcA;
}

std::string canonicalClassName(const std::string& className) {
    static const char* const known[] = {"Button", "Edit", "Static", "ComboBox", "ListBox", "ScrollBar"};
    for (const char* name : known) {
        if (compareNoCase(className, name) == 0) return name;
    }
    return className;
}

void notifyParent(const Window& control, WORD code) {
    if (control.parent == nullptr || !find(control.parent)) return;
    SendMessageA(control.parent, WM_COMMAND, MAKEWPARAM(control.id, code), reinterpret_cast<LPARAM>(control.handle));
}

void clickButton(HWND button) {
    WindowPtr window = find(button);
    if (!window) return;
    switch (buttonType(*window)) {
        case BS_AUTOCHECKBOX:
            window->check = window->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
            break;
        case BS_AUTO3STATE:
            window->check = (window->check + 1) % 3;
            break;
        case BS_AUTORADIOBUTTON: {
            // Checks this one and clears the other automatic radio buttons of its group: the
            // run of controls between WS_GROUP marks.
            window->check = BST_CHECKED;
            WindowPtr parent = find(window->parent);
            if (!parent) break;
            const auto& list = parent->children;
            const auto self = std::find(list.begin(), list.end(), button);
            if (self == list.end()) break;
            auto begin = self;
            while (begin != list.begin()) {
                WindowPtr w = find(*begin);
                if (w && (w->style & WS_GROUP)) break;
                --begin;
            }
            for (auto it = begin; it != list.end(); ++it) {
                WindowPtr w = find(*it);
                if (!w) continue;
                if (it != begin && (w->style & WS_GROUP)) break;
                if (*it != button && w->className == "Button" && buttonType(*w) == BS_AUTORADIOBUTTON) {
                    w->check = BST_UNCHECKED;
                }
            }
            break;
        }
        default:
            break;
    }
    notifyParent(*window, BN_CLICKED);
}

}  // namespace vesk::win
