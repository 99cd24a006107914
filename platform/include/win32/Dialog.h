// Dialog windows built from the dialog templates of a module's resources.
//
// A dialog is a window of class "#32770" with one child window per control of its template,
// in template order, each with the template's id, class, text and style. When the template
// sets a font (DS_SETFONT) the dialog owns a font made from it, gives it to every control
// (WM_SETFONT) and deletes it when the dialog is destroyed.
//
// A dialog procedure sees every message of its dialog first. It returns TRUE when it handled
// the message (putting a result for WM_NOTIFY and the like in DWLP_MSGRESULT), FALSE to leave
// the message to the dialog's default handling. WM_INITDIALOG is sent once all controls exist;
// returning TRUE gives the focus to the first enabled control that has WS_TABSTOP.
#pragma once

#include "win32/Export.h"
#include "win32/Window.h"
#include "win32/WinTypes.h"

typedef INT_PTR (*DLGPROC)(HWND, UINT, WPARAM, LPARAM);

/* Standard dialog command ids (also the answers of message boxes). */
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDCLOSE 8
#define IDHELP 9
#define IDTRYAGAIN 10
#define IDCONTINUE 11
#define IDC_STATIC (-1)

typedef struct tagRECT {
    LONG left, top, right, bottom;
} RECT, *LPRECT;

/// Creates a modeless dialog from template `lpTemplateName` (MAKEINTRESOURCEA(id); named
/// templates are not supported) of module `hInstance` (null: the current module state's
/// resources, see win32/Resources.h). A template with WS_CHILD becomes a child of
/// `hWndParent`, any other is owned by it. `lpDialogFunc` receives WM_INITDIALOG with
/// `dwInitParam`. The dialog shows when its template has WS_VISIBLE.
/// Returns the dialog, or null with ERROR_RESOURCE_NAME_NOT_FOUND (no such template),
/// ERROR_INVALID_WINDOW_HANDLE (`hWndParent` is not null and names no window) or
/// ERROR_INVALID_PARAMETER (no dialog procedure).
WIN32_API HWND CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                                  DLGPROC lpDialogFunc, LPARAM dwInitParam);

/// Creates the dialog as CreateDialogParamA does, shows it and runs it modally: the presenter
/// of `hWndParent` (platform/Presenter.h) shows it and reports what the person does, until the
/// dialog procedure calls EndDialog. Queued messages are delivered before each wait.
/// Returns the value given to EndDialog; -1 when the dialog could not be created or no
/// presenter can show it (last error set as for CreateDialogParamA, or ERROR_CANCELLED).
/// The dialog is destroyed before this returns.
WIN32_API INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                                  DLGPROC lpDialogFunc, LPARAM dwInitParam);

/// Ends a modal dialog (or a property sheet) with `nResult`: its modal run returns once the
/// current message has been handled. A modeless dialog is hidden. FALSE for a bad handle.
WIN32_API BOOL EndDialog(HWND hDlg, INT_PTR nResult);

/// The default handling of dialog messages, for window procedures that subclass a dialog.
WIN32_API LRESULT DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam);

/// Converts a rectangle from the dialog's dialog units to pixels of its font (base units
/// from the font's text metrics). FALSE for a bad handle.
WIN32_API BOOL MapDialogRect(HWND hDlg, LPRECT lpRect);

/// The next (or, with `bPrevious`, previous) enabled visible control with WS_TABSTOP after
/// `hCtl` (null: from the start) in the dialog's tab order, wrapping around; null when there
/// is none.
WIN32_API HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious);

/// The template number a dialog was built from (0 for dialogs of other origin or a bad
/// handle). Presenters and transcripts name pages by it.
WIN32_API int VeskGetDialogTemplateId(HWND hDlg);
