// The window table: every live window of the process as an object, found by handle.
//
// Objects are shared: code that sends messages keeps its own reference, so a window that a
// handler destroys stays readable (marked destroyed) until that code lets go. Handles are
// never reused.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "win32/Dialog.h"
#include "win32/Window.h"

namespace vesk::ui {
class Presenter;
}

namespace vesk::win {

enum class Role { Presenter, Dialog, Sheet, Control };

struct SheetState;

struct Window {
    HWND handle = nullptr;
    Role role = Role::Control;
    std::string className;
    int id = 0;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;           // child windows: the window they sit in
    HWND owner = nullptr;            // other windows: the window that owns them
    std::vector<HWND> children;      // creation order, which is the tab order
    HFONT font = nullptr;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    LONG_PTR userData = 0;
    std::map<std::string, HANDLE> props;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    bool destroyed = false;

    // Dialogs and sheets.
    DLGPROC dlgProc = nullptr;
    LONG_PTR msgResult = 0;
    LONG_PTR dlgUser = 0;
    int templateId = 0;
    HFONT ownedFont = nullptr;       // made from the template; deleted with the dialog
    int defId = 0;                   // DM_SETDEFID
    HWND focus = nullptr;            // the control that has (or last had) the focus
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;

    // Controls.
    std::vector<std::string> items;
    std::vector<LONG_PTR> itemData;
    int selection = -1;
    int check = BST_UNCHECKED;
    int limit = 0;                   // 0: the default limit
    char passwordChar = 0;
    unsigned picture = 0;

    // Presenter windows.
    std::shared_ptr<ui::Presenter> presenter;
    // Sheets.
    std::shared_ptr<SheetState> sheet;
};

using WindowPtr = std::shared_ptr<Window>;

/// The live window `hWnd`, or null.
WindowPtr find(HWND hWnd);
/// As find, setting ERROR_INVALID_WINDOW_HANDLE when there is none.
WindowPtr findOrFail(HWND hWnd);
/// Gives `window` a new handle, enters it in the table and, for a child, in its parent's
/// list of children. Returns the handle.
HWND registerWindow(const WindowPtr& window);
/// Takes a destroyed window out of the table and out of its parent's children.
void unregisterWindow(const WindowPtr& window);
/// The live windows owned by `owner`, oldest first.
std::vector<HWND> ownedWindows(HWND owner);
/// The window above `window`: its parent, else its owner.
HWND above(const Window& window);
/// The dialog (or sheet) a control sits in: `hWnd` itself when it is one.
HWND dialogOf(HWND hWnd);

/// Called for every window as it is destroyed (after WM_NCDESTROY).
using DestroyListener = void (*)(HWND);
void addDestroyListener(DestroyListener listener);
void notifyDestroyed(HWND hWnd);

/// The window that has the keyboard focus.
HWND focusWindow();
void setFocusWindow(HWND hWnd);

/// How many modal loops run now (nested dialogs, sheets and boxes).
int modalDepth();
void enterModal();
void leaveModal();

}  // namespace vesk::win
