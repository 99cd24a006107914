// Window objects in the manner of the application framework: a C++ object attached to a
// window handle, whose virtual WindowProc sees the window's messages, with command routing,
// data exchange between members and controls, and the framework's wait cursor.
//
// Objects attached to a window are "permanent": FromHandlePermanent finds them, GetParent
// and GetDlgItem return them. For windows without an object, FromHandle/GetDlgItem/GetParent
// return a temporary object that the window system deletes when the window is destroyed;
// never keep or delete one.
//
// Strings are std::string (Windows-1252), the framework's CString.
#pragma once

#include <string>

#include "win32/Dialog.h"
#include "win32/Export.h"
#include "win32/ModuleState.h"
#include "win32/Window.h"
#include "win32/WinTypes.h"

class CDataExchange;

/// The application's handler of commands that no window handled, such as ID_HELP: `app` is
/// the module state's `app`, `from` the window where the command started. Returns TRUE when
/// it handled the command.
typedef BOOL (*AFX_COMMAND_HANDLER)(void* app, UINT nID, HWND from);

/// Registers `handler` (null: none) for the windows made while module state `state` was in
/// force; the framework registers its host object's command handler at module start-up, so
/// the Help button of a wizard reaches the application that owns the wizard. A module
/// registers null again before it unloads: the platform outlives it. The handler runs with
/// `state` selected.
VESK_EXPORT void AfxSetCommandHandler(VESK_MODULE_STATE* state, AFX_COMMAND_HANDLER handler);
/// The handler registered for `state`, or null.
VESK_EXPORT AFX_COMMAND_HANDLER AfxGetCommandHandler(VESK_MODULE_STATE* state);

class VESK_EXPORT CWnd {
public:
    HWND m_hWnd = nullptr;

    CWnd();
    /// Detaches (does not destroy) the window.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    /// Attaches a window made elsewhere (e.g. the conduit's window given to a plug-in); FALSE
    /// when this object already has one or the handle is bad or already attached.
    BOOL Attach(HWND hWnd);
    /// Detaches the window and returns it.
    HWND Detach();
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    /// The permanent object of `hWnd`, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);
    /// The permanent object of `hWnd`, else a temporary one; null for a null or bad handle.
    static CWnd* FromHandle(HWND hWnd);

    /// The control `nID` (see above about temporary objects); null when there is none.
    CWnd* GetDlgItem(int nID) const;
    /// The parent (or owner) window's object; null when there is none.
    CWnd* GetParent() const;
    int GetDlgCtrlID() const;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SetWindowText(const std::string& text);
    void GetWindowText(std::string& text) const;
    std::string GetWindowText() const;
    int GetWindowTextLength() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowVisible() const;
    BOOL IsWindowEnabled() const;
    /// WM_SETFONT / WM_GETFONT.
    void SetFont(HFONT font, BOOL bRedraw = TRUE);
    HFONT GetFont() const;
    CWnd* SetFocus();
    BOOL DestroyWindow();

    void SetDlgItemText(int nID, const std::string& text);
    int GetDlgItemText(int nID, std::string& text) const;
    void CheckDlgButton(int nID, UINT nCheck);
    UINT IsDlgButtonChecked(int nID) const;
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    /// MessageBoxA over this window; the answer.
    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = 0) const;

    /// The wait cursor (VeskDoWaitCursor 1 / -1 / 0).
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    /// Moves data between controls and members: with `bSaveAndValidate` from the controls into
    /// the members (a failed check shows its message, puts the focus on the control and
    /// returns FALSE), else from the members into the controls.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    /// Sees every message of an attached dialog first. The default dispatches WM_INITDIALOG,
    /// WM_COMMAND and WM_NOTIFY to the handlers below and leaves the rest to the default
    /// handling (DefWindowProc).
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    /// Says that the message was not handled: the dialog's default handling takes it.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    /// WM_COMMAND. The default routes the command: OnCmdMsg of this object, then of each
    /// window above it that has an object, then the application's command handler.
    /// TRUE when someone handled it.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    /// Handles command `nID` with notification `nCode` for this object; FALSE by default.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);
    /// WM_NOTIFY; `*pResult` is the answer. FALSE (not handled) by default.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    /// Transfers between controls and members; nothing by default.
    virtual void DoDataExchange(CDataExchange* pDX);

    /// The module state in force when the object was made (its application's).
    VESK_MODULE_STATE* GetModuleState() const { return m_pModuleState; }

protected:
    /// The dialog procedure of framework dialogs: finds the object (attaching it at
    /// WM_INITDIALOG from `lParam`, see CDialog / CPropertyPage) and calls WindowProc.
    static INT_PTR DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    /// Attaches `hWnd` to `wnd` from a dialog procedure.
    static void AttachFromProc(CWnd* wnd, HWND hWnd);

    VESK_MODULE_STATE* m_pModuleState;

private:
    bool* m_pUnhandled = nullptr;  // set while DialogProc runs: DefWindowProc marks it
};

/// The context of one data exchange.
class VESK_EXPORT CDataExchange {
public:
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);
    /// The control `nIDC`; an exchange with a missing control fails (Fail).
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    /// Ends the exchange as failed: the focus goes to the last prepared control and
    /// UpdateData returns FALSE. Does not return.
    [[noreturn]] void Fail();
    /// The control prepared last (the one a DDV_ check refers to), or null.
    HWND LastControl() const { return m_hWndLastControl; }

private:
    HWND m_hWndLastControl = nullptr;
};

/// Text of control `nIDC` <-> `value`.
VESK_EXPORT void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
/// Text of control `nIDC` <-> a decimal integer; a text that is no integer shows
/// "Please enter an integer." and fails.
VESK_EXPORT void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
/// Check state of button `nIDC` <-> `value` (BST_*).
VESK_EXPORT void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
/// Combo box `nIDC`: saving reads its selected text (or, without a selection, its text);
/// loading selects the first item that starts with `value` (CB_SELECTSTRING), or with no
/// such item sets the text.
VESK_EXPORT void DDX_CBString(CDataExchange* pDX, int nIDC, std::string& value);
/// As DDX_CBString, but loading selects only an item equal to `value` (case-insensitive).
VESK_EXPORT void DDX_CBStringExact(CDataExchange* pDX, int nIDC, std::string& value);
/// Combo box `nIDC`'s selected index <-> `index`.
VESK_EXPORT void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
/// List box `nIDC`'s selected text <-> `value` (empty when nothing is selected).
VESK_EXPORT void DDX_LBString(CDataExchange* pDX, int nIDC, std::string& value);
/// List box `nIDC`'s selected index <-> `index`.
VESK_EXPORT void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
/// Attaches control `nIDC` to `control` (once; later exchanges do nothing).
VESK_EXPORT void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);
/// Loading limits edit `nIDC` to `nChars` characters (EM_LIMITTEXT); saving fails with
/// "Please enter no more than N characters." when `value` is longer.
VESK_EXPORT void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int nChars);
