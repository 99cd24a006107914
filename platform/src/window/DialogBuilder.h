// Building dialog windows from templates, and the dialog class procedure.
#pragma once

#include "resources/DialogTemplate.h"
#include "window/WindowObject.h"

namespace vesk::win {

/// Builds a dialog window (role Dialog) from `dialog`: the window, its font, one child per
/// control, then WM_INITDIALOG with `param`. A template with WS_CHILD becomes a child of
/// `parentOrOwner`, any other is owned by it. Returns null when the dialog destroyed itself
/// during WM_INITDIALOG.
HWND buildDialog(const res::DialogTemplate& dialog, HINSTANCE instance, int templateId, HWND parentOrOwner,
                 DLGPROC proc, LPARAM param);

/// The template `name` (MAKEINTRESOURCEA(id)) of `instance`, or null with
/// ERROR_RESOURCE_NAME_NOT_FOUND.
const res::DialogTemplate* findTemplate(HINSTANCE instance, LPCSTR name);

/// The class procedure of dialog windows: the dialog procedure first, then DefDlgProcA.
LRESULT dialogClassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

/// Gives the focus to the dialog's first enabled visible control with WS_TABSTOP.
void focusFirstControl(HWND dialog);

}  // namespace vesk::win
