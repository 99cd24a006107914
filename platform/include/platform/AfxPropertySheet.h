// Property sheets and pages in the manner of the application framework, over
// win32/PropSheet.h. A wizard is a CPropertySheet in wizard mode holding CPropertyPage
// objects that the caller makes and deletes (a sheet never deletes its pages):
//
//   class CUserPage : public CPropertyPage {
//   public:
//       CUserPage() : CPropertyPage(2001) {}
//       std::string m_userName;
//       void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 2102, m_userName); }
//       BOOL OnSetActive() override {
//           static_cast<CPropertySheet*>(GetParent())->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
//           return CPropertyPage::OnSetActive();
//       }
//       LRESULT OnWizardNext() override {
//           UpdateData(TRUE);
//           if (m_userName.empty()) { MessageBox("...", "User identity", MB_ICONEXCLAMATION); return -1; }
//           return 0;
//       }
//   };
//
//   CPropertySheet sheet("Mail Setup", &parentWnd);
//   CUserPage user; sheet.AddPage(&user);
//   sheet.SetWizardMode();
//   INT_PTR result = sheet.DoModal();   // ID_WIZFINISH, ID_WIZBACK (via EndDialog), IDCANCEL
//
// Page callbacks and what their results mean:
//   OnSetActive      TRUE shows the page, FALSE skips it. The first activation comes right
//                    after OnInitDialog (which transferred the members to the controls);
//                    later ones transfer them again first.
//   OnKillActive     UpdateData(TRUE): FALSE keeps the page (a failed check).
//   OnWizardBack /   0 moves to the previous / next page, -1 stays, a template number moves
//   OnWizardNext     to that page. Default 0.
//   OnWizardFinish   TRUE lets the sheet finish. Default TRUE.
//   OnQueryCancel    TRUE lets the sheet close on Cancel, FALSE keeps it open. Default TRUE.
//   OnReset          the sheet was cancelled (calls OnCancel, which does nothing for pages).
// Help: the Help button sends the page the command ID_HELP, routed as CWnd::OnCommand routes
// it, so the application's command handler (AfxSetCommandHandler) opens help. The Help button
// shows when that handler exists.
#pragma once

#include <string>
#include <vector>

#include "platform/AfxDialog.h"
#include "win32/Export.h"
#include "win32/PropSheet.h"
#include "win32/WinTypes.h"

class CPropertySheet;

class VESK_EXPORT CPropertyPage : public CDialog {
public:
    /// A page on template `nIDTemplate` of the resources in force now; `nIDCaption` (0: the
    /// template's caption) names a string for the page caption.
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    ~CPropertyPage() override;

    /// The page as the sheet is given it; a subclass may adjust flags before the run.
    PROPSHEETPAGEA m_psp;

    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();
    virtual LRESULT OnWizardBack();
    virtual LRESULT OnWizardNext();
    virtual BOOL OnWizardFinish();
    virtual BOOL OnQueryCancel();
    /// The sheet was cancelled (PSN_RESET): calls OnCancel.
    virtual void OnReset();
    /// Nothing by default: a page does not end its sheet.
    void OnCancel() override;
    /// The sheet applied its pages (PSN_APPLY): nothing by default.
    void OnOK() override;

    /// The sheet this page is in while it runs (null before).
    CPropertySheet* GetSheet() const;
    /// PSM_CHANGED to the sheet.
    void SetModified(BOOL bChanged = TRUE);
    /// PSM_CANCELTOCLOSE to the sheet.
    void CancelToClose();

    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    friend class CPropertySheet;
    static INT_PTR PageProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool m_bFirstSetActive = true;
    CPropertySheet* m_pSheet = nullptr;
    std::string m_strCaption;
};

class VESK_EXPORT CPropertySheet : public CWnd {
public:
    /// A sheet captioned with string `nIDCaption` of the resources in force now.
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    /// A sheet captioned `pszCaption`.
    explicit CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    /// The header given to PropertySheetA; a subclass or caller may add flags (PSH_WIZARD, ...).
    PROPSHEETHEADERA m_psh;

    /// Adds a page at the end (also while the sheet runs). The caller keeps ownership.
    void AddPage(CPropertyPage* pPage);
    /// Removes a page (also while the sheet runs); the caller still owns it.
    void RemovePage(CPropertyPage* pPage);
    void RemovePage(int nPage);
    int GetPageCount() const;
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);
    void SetTitle(LPCSTR lpszText);
    std::string GetTitle() const { return m_strCaption; }

    /// Adds PSH_WIZARD.
    void SetWizardMode();
    /// Runs the sheet modally through the presenter of its parent. Returns ID_WIZFINISH,
    /// IDOK, IDCANCEL, the value given to EndDialog, or -1 when it could not be shown.
    virtual INT_PTR DoModal();
    /// Posts PSM_SETWIZBUTTONS (it takes effect when the current message is done).
    void SetWizardButtons(DWORD dwFlags);
    /// Sends PSM_SETFINISHTEXT: Finish shows `lpszText`, Back and Next hide.
    void SetFinishText(LPCSTR lpszText);
    /// Sends PSM_PRESSBUTTON.
    void PressButton(int nButton);
    /// Ends the sheet's modal run with `nEndID`.
    void EndDialog(int nEndID);

protected:
    std::vector<CPropertyPage*> m_pages;
    std::string m_strCaption;
    CWnd* m_pParentWnd;
    UINT m_nStartPage;

private:
    static int SheetCallback(HWND hWnd, UINT message, LPARAM lParam);
    void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
};
