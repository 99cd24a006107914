// The predefined control classes: Button, Edit, Static, ComboBox and ListBox, each a window
// procedure over the Window object's fields.
#pragma once

#include <string>

#include "window/WindowObject.h"

namespace vesk::win {

/// The procedure of class `className` (compared without case); DefWindowProcA for classes
/// the window system does not know.
WNDPROC controlProc(const std::string& className);

/// The class name as GetClassNameA reports it ("Button", "Edit", ...); unknown names as given.
std::string canonicalClassName(const std::string& className);

/// WM_COMMAND with `code` from control `control` to the window it sits in.
void notifyParent(const Window& control, WORD code);

/// Clicks a button as a person would: an automatic check box or radio button changes its
/// state first, then the parent receives BN_CLICKED.
void clickButton(HWND button);

/// The button style type (BS_TYPEMASK bits) of a Button window.
inline DWORD buttonType(const Window& window) {
    return window.style & BS_TYPEMASK;
}
inline bool isCheckType(DWORD type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE ||
           type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

/// Case-insensitive comparison of Windows-1252 texts, as list sorting and searching use.
int compareNoCase(const std::string& a, const std::string& b);

}  // namespace vesk::win
