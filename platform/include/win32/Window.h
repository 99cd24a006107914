// Windows and the messages between them (the user32 window calls).
//
// A window is an object of the platform's window system: dialog windows built from dialog
// templates, the controls inside them, property sheets, and the presenter windows that a
// caller creates to choose who shows them (platform/Presenter.h). Nothing is drawn here; a
// presenter shows the windows and turns what a person does into messages.
//
// Handles are never reused. A handle that was destroyed, or that never named a window, makes
// every call fail (FALSE, 0 or null, with the last error ERROR_INVALID_WINDOW_HANDLE) instead
// of touching memory. The window system is used from one thread, the one that runs the
// dialogs; texts are Windows-1252.
#pragma once

#include "win32/Export.h"
#include "win32/WinTypes.h"

typedef intptr_t INT_PTR;
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

#ifndef ERROR_INVALID_WINDOW_HANDLE
#define ERROR_INVALID_WINDOW_HANDLE 1400
#endif
#ifndef ERROR_CONTROL_ID_NOT_FOUND
#define ERROR_CONTROL_ID_NOT_FOUND 1421
#endif
#ifndef ERROR_RESOURCE_NAME_NOT_FOUND
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814
#endif
#ifndef ERROR_CANCELLED
#define ERROR_CANCELLED 1223
#endif
#ifndef ERROR_NOT_ENOUGH_MEMORY
#define ERROR_NOT_ENOUGH_MEMORY 8
#endif

#define LOWORD(l) ((WORD)(((ULONG_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((ULONG_PTR)(l)) >> 16) & 0xffff))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)(((WORD)(l)) | ((DWORD)((WORD)(h))) << 16))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)(((WORD)(l)) | ((DWORD)((WORD)(h))) << 16))

/* Window messages */
#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_SHOWWINDOW 0x0018
#define WM_NEXTDLGCTL 0x0028
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_NOTIFY 0x004E
#define WM_HELP 0x0053
#define WM_NCDESTROY 0x0082
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_USER 0x0400
#define WM_APP 0x8000

/* Dialog messages */
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

/* Window styles */
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_VSCROLL 0x00200000L
#define WS_SYSMENU 0x00080000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L

/* Dialog styles */
#define DS_SETFONT 0x0040L
#define DS_MODALFRAME 0x0080L
#define DS_CENTER 0x0800L

/* Static styles */
#define SS_LEFT 0x0000L
#define SS_CENTER 0x0001L
#define SS_RIGHT 0x0002L
#define SS_ICON 0x0003L
#define SS_BLACKRECT 0x0004L
#define SS_ETCHEDHORZ 0x0010L
#define SS_BITMAP 0x000EL
#define SS_ETCHEDFRAME 0x0012L
#define SS_TYPEMASK 0x001FL
#define SS_NOPREFIX 0x0080L
#define SS_SUNKEN 0x1000L

/* Button styles, messages, notifications and states */
#define BS_PUSHBUTTON 0x0000L
#define BS_DEFPUSHBUTTON 0x0001L
#define BS_CHECKBOX 0x0002L
#define BS_AUTOCHECKBOX 0x0003L
#define BS_RADIOBUTTON 0x0004L
#define BS_3STATE 0x0005L
#define BS_AUTO3STATE 0x0006L
#define BS_GROUPBOX 0x0007L
#define BS_AUTORADIOBUTTON 0x0009L
#define BS_TYPEMASK 0x000FL
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_SETSTYLE 0x00F4
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_INDETERMINATE 0x0002
#define BN_CLICKED 0

/* Edit styles, messages and notifications */
#define ES_LEFT 0x0000L
#define ES_MULTILINE 0x0004L
#define ES_UPPERCASE 0x0008L
#define ES_LOWERCASE 0x0010L
#define ES_PASSWORD 0x0020L
#define ES_AUTOHSCROLL 0x0080L
#define ES_READONLY 0x0800L
#define ES_NUMBER 0x2000L
#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_LIMITTEXT 0x00C5
#define EM_SETLIMITTEXT EM_LIMITTEXT
#define EM_SETPASSWORDCHAR 0x00CC
#define EM_SETREADONLY 0x00CF
#define EM_GETPASSWORDCHAR 0x00D2
#define EM_GETLIMITTEXT 0x00D5
#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300

/* Combo box styles, messages and notifications */
#define CBS_SIMPLE 0x0001L
#define CBS_DROPDOWN 0x0002L
#define CBS_DROPDOWNLIST 0x0003L
#define CBS_SORT 0x0100L
#define CB_ERR (-1)
#define CB_ERRSPACE (-2)
#define CB_LIMITTEXT 0x0141
#define CB_ADDSTRING 0x0143
#define CB_DELETESTRING 0x0144
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_FINDSTRING 0x014C
#define CB_SELECTSTRING 0x014D
#define CB_SETCURSEL 0x014E
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CB_FINDSTRINGEXACT 0x0158
#define CBN_SELCHANGE 1
#define CBN_EDITCHANGE 5

/* List box styles, messages and notifications */
#define LBS_NOTIFY 0x0001L
#define LBS_SORT 0x0002L
#define LB_ERR (-1)
#define LB_ERRSPACE (-2)
#define LB_ADDSTRING 0x0180
#define LB_INSERTSTRING 0x0181
#define LB_DELETESTRING 0x0182
#define LB_RESETCONTENT 0x0184
#define LB_SETCURSEL 0x0186
#define LB_GETCURSEL 0x0188
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B
#define LB_SELECTSTRING 0x018C
#define LB_FINDSTRING 0x018F
#define LB_GETITEMDATA 0x0199
#define LB_SETITEMDATA 0x019A
#define LB_FINDSTRINGEXACT 0x01A2
#define LBN_SELCHANGE 1
#define LBN_DBLCLK 2

/* ShowWindow commands */
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_SHOWNA 8

/* Window data indexes */
#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWLP_USERDATA (-21)
/* Dialog windows: the message result, the dialog procedure and a caller's value. */
#define DWLP_MSGRESULT 0
#define DWLP_DLGPROC ((LONG_PTR)sizeof(LRESULT))
#define DWLP_USER (DWLP_DLGPROC + (LONG_PTR)sizeof(void*))

/* GetWindow relations */
#define GW_OWNER 4
#define GW_CHILD 5
#define GW_HWNDNEXT 2

/* PeekMessage options */
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

/// A message as the queue holds it.
typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    struct {
        LONG x, y;
    } pt;
} MSG, *LPMSG;

/// The header of a WM_NOTIFY message.
typedef struct tagNMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
} NMHDR, *LPNMHDR;

/// Sends `Msg` to `hWnd` and returns once its window procedure has handled it, with the
/// procedure's result. 0 with ERROR_INVALID_WINDOW_HANDLE when `hWnd` names no window.
WIN32_API LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

/// Queues `Msg` for `hWnd` and returns at once. Queued messages are delivered in order when
/// the code that runs now has returned to a message loop: a modal dialog or property sheet
/// delivers every queued message before it waits for the person again, and
/// PeekMessageA/DispatchMessageA deliver them outside one. A message whose window is gone by
/// then is dropped. FALSE with ERROR_INVALID_WINDOW_HANDLE when `hWnd` names no window.
WIN32_API BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

/// Looks at the first queued message for `hWnd` (null: any window) whose number lies in
/// [wMsgFilterMin, wMsgFilterMax] (both 0: any) and copies it to `*lpMsg`; PM_REMOVE takes it
/// off the queue. FALSE when there is none.
WIN32_API BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);

/// Delivers a message taken from the queue to its window; the window procedure's result, or
/// 0 when the window is gone.
WIN32_API LRESULT DispatchMessageA(const MSG* lpMsg);

/// The default handling of a window message: texts, fonts, showing and enabling. Window
/// procedures pass on what they do not handle.
WIN32_API LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

/// Calls `lpPrevWndFunc` as a window procedure (for procedures that subclass a window).
WIN32_API LRESULT CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

/// TRUE when `hWnd` names a window that has not been destroyed.
WIN32_API BOOL IsWindow(HWND hWnd);

/// Destroys `hWnd`, its child windows and the windows it owns (WM_DESTROY to each, then
/// WM_NCDESTROY); the handles become invalid. FALSE with ERROR_INVALID_WINDOW_HANDLE.
WIN32_API BOOL DestroyWindow(HWND hWnd);

/// The control `nIDDlgItem` of dialog `hDlg` (the first one with that id), or null with
/// ERROR_CONTROL_ID_NOT_FOUND (no such control) or ERROR_INVALID_WINDOW_HANDLE.
WIN32_API HWND GetDlgItem(HWND hDlg, int nIDDlgItem);

/// The id of control `hWnd`; 0 with ERROR_INVALID_WINDOW_HANDLE.
WIN32_API int GetDlgCtrlID(HWND hWnd);

/// The parent of a child window or the owner of a dialog; null for neither (or a bad handle).
WIN32_API HWND GetParent(HWND hWnd);

/// The window related to `hWnd` as `uCmd` says: GW_OWNER, GW_CHILD (the first child),
/// GW_HWNDNEXT (the next sibling). Null when there is none.
WIN32_API HWND GetWindow(HWND hWnd, UINT uCmd);

/// Sets the text of a window (WM_SETTEXT). FALSE for a bad handle.
WIN32_API BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString);

/// Copies at most `nMaxCount` - 1 characters of the window's text and a NUL to `lpString`
/// (WM_GETTEXT); returns the characters copied. 0 with an empty buffer for a bad handle.
WIN32_API int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);

/// The length of the window's text without the NUL; 0 for a bad handle.
WIN32_API int GetWindowTextLengthA(HWND hWnd);

/// SetWindowTextA / GetWindowTextA on control `nIDDlgItem` of `hDlg`.
WIN32_API BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString);
WIN32_API UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax);

/// Writes `uValue` (as signed when `bSigned`) as text into control `nIDDlgItem`.
WIN32_API BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned);

/// Reads control `nIDDlgItem` as a decimal number; `*lpTranslated` (may be null) tells whether
/// the whole text (blanks around it allowed) was a number in range. 0 when it was not.
WIN32_API UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned);

/// SendMessageA to control `nIDDlgItem` of `hDlg`; 0 when there is no such control.
WIN32_API LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam);

/// BM_SETCHECK / BM_GETCHECK on button `nIDButton`.
WIN32_API BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck);
WIN32_API UINT IsDlgButtonChecked(HWND hDlg, int nIDButton);

/// Shows (SW_SHOW, SW_SHOWNORMAL, ...) or hides (SW_HIDE) a window. Returns TRUE when it was
/// visible before, FALSE when it was hidden (or the handle is bad).
WIN32_API BOOL ShowWindow(HWND hWnd, int nCmdShow);

/// Enables or disables a window. Returns TRUE when it was disabled before, FALSE when it was
/// enabled (or the handle is bad).
WIN32_API BOOL EnableWindow(HWND hWnd, BOOL bEnable);

/// TRUE when the window has WS_VISIBLE and so has every parent it sits in.
WIN32_API BOOL IsWindowVisible(HWND hWnd);
/// TRUE when the window is not disabled.
WIN32_API BOOL IsWindowEnabled(HWND hWnd);

/// Gives the keyboard focus to `hWnd` (null: nobody) and returns the window that had it.
WIN32_API HWND SetFocus(HWND hWnd);
/// The window that has the keyboard focus, or null.
WIN32_API HWND GetFocus(void);

/// Reads or writes a value of the window: GWL_STYLE, GWL_EXSTYLE, GWLP_ID, GWLP_USERDATA,
/// GWLP_WNDPROC, GWLP_HINSTANCE; on dialog windows also DWLP_MSGRESULT, DWLP_DLGPROC and
/// DWLP_USER. Set returns the previous value. 0 with ERROR_INVALID_WINDOW_HANDLE for a bad
/// handle, 0 with ERROR_INVALID_PARAMETER for an index the window does not have.
WIN32_API LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex);
WIN32_API LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong);

/// Copies the window's class name ("#32770" for dialogs, "Button", "Edit", "Static",
/// "ComboBox", "ListBox", ...) into `lpClassName`; returns its length, 0 for a bad handle.
WIN32_API int GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount);

/// Named values attached to a window. SetPropA returns FALSE for a bad handle;
/// GetPropA returns null when the value is absent; RemovePropA returns and removes it.
WIN32_API BOOL SetPropA(HWND hWnd, LPCSTR lpString, HANDLE hData);
WIN32_API HANDLE GetPropA(HWND hWnd, LPCSTR lpString);
WIN32_API HANDLE RemovePropA(HWND hWnd, LPCSTR lpString);

/// nNumber * nNumerator / nDenominator rounded to the nearest integer (halves away from zero);
/// -1 when nDenominator is 0.
WIN32_API int MulDiv(int nNumber, int nNumerator, int nDenominator);
