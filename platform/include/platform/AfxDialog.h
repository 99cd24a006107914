// Dialogs in the manner of the application framework: a CDialog is made from the number of
// its template and run with DoModal; a subclass overrides OnInitDialog, OnOK, OnCancel,
// OnCommand and DoDataExchange.
//
//   class CLogonFailedDialog : public CDialog {
//   public:
//       CLogonFailedDialog(CWnd* parent) : CDialog(203, parent) {}
//   };
//   INT_PTR answer = CLogonFailedDialog(this).DoModal();   // IDOK or IDCANCEL
#pragma once

#include "platform/AfxWnd.h"
#include "win32/Export.h"
#include "win32/WinTypes.h"

class VESK_EXPORT CDialog : public CWnd {
public:
    /// A dialog on template `nIDTemplate` of the resources in force now (the module state's
    /// resource handle, e.g. a plug-in's language library), owned by `pParentWnd` (may be null).
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    /// Runs the dialog modally through the presenter of its owner. Returns the value given to
    /// EndDialog (IDOK from OnOK, IDCANCEL from OnCancel), or -1 when it could not be shown.
    virtual INT_PTR DoModal();
    /// Ends the modal run with `nResult`.
    void EndDialog(int nResult);
    /// Moves the focus to control `pWndCtrl` (null does nothing).
    void GotoDlgCtrl(CWnd* pWndCtrl);
    /// Moves the focus to the next (or previous) control of the tab order.
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;

    /// After the controls exist: transfers the members to the controls. TRUE lets the window
    /// system put the focus on the first control; return FALSE after setting it yourself.
    virtual BOOL OnInitDialog();
    /// IDOK: UpdateData(TRUE) and, when that succeeds, EndDialog(IDOK).
    virtual void OnOK();
    /// IDCANCEL: EndDialog(IDCANCEL).
    virtual void OnCancel();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    /// IDOK and IDCANCEL go to OnOK / OnCancel; everything else is routed as CWnd does.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDHelp;            ///< the template number (also the help context)
    HINSTANCE m_hResource;     ///< where the template is taken from

protected:
    CWnd* m_pParentWnd;
};
