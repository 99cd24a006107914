// CPropertyPage and CPropertySheet.
#include "platform/AfxPropertySheet.h"

#include <algorithm>

#include "win32/Resources.h"

namespace {

// The sheet whose PropertySheetA call is under way, for the callback that attaches its window.
thread_local CPropertySheet* t_creating = nullptr;

std::string loadString(UINT id) {
    char buffer[1024];
    LoadStringA(nullptr, id, buffer, sizeof buffer);
    return buffer;
}

}  // namespace

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate, nullptr), m_psp{} {
    m_psp.dwSize = sizeof(PROPSHEETPAGEA);
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.hInstance = m_hResource;
    m_psp.pszTemplate = MAKEINTRESOURCEA(nIDTemplate);
    m_psp.pfnDlgProc = PageProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    if (nIDCaption != 0) {
        m_strCaption = loadString(nIDCaption);
        m_psp.pszTitle = m_strCaption.c_str();
        m_psp.dwFlags |= PSP_USETITLE;
    }
    if (AfxGetCommandHandler(m_pModuleState) != nullptr) m_psp.dwFlags |= PSP_HASHELP;
}

CPropertyPage::~CPropertyPage() {
    if (m_pSheet != nullptr) m_pSheet->RemovePage(this);
}

INT_PTR CPropertyPage::PageProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        auto* page = psp != nullptr ? reinterpret_cast<CPropertyPage*>(psp->lParam) : nullptr;
        if (page != nullptr) {
            // A page shown in a new run starts over.
            page->m_bFirstSetActive = true;
            AttachFromProc(page, hWnd);
        }
    }
    return DialogProc(hWnd, message, wParam, lParam);
}

BOOL CPropertyPage::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr) return FALSE;
    switch (header->code) {
        case PSN_SETACTIVE: *pResult = OnSetActive() ? 0 : -1; return TRUE;
        case PSN_KILLACTIVE: *pResult = OnKillActive() ? FALSE : TRUE; return TRUE;
        case PSN_WIZBACK: *pResult = OnWizardBack(); return TRUE;
        case PSN_WIZNEXT: *pResult = OnWizardNext(); return TRUE;
        case PSN_WIZFINISH: *pResult = OnWizardFinish() ? FALSE : TRUE; return TRUE;
        case PSN_QUERYCANCEL: *pResult = OnQueryCancel() ? FALSE : TRUE; return TRUE;
        case PSN_RESET: OnReset(); *pResult = 0; return TRUE;
        case PSN_APPLY: OnOK(); *pResult = PSNRET_NOERROR; return TRUE;
        case PSN_HELP:
            SendMessage(WM_COMMAND, ID_HELP, 0);
            *pResult = 0;
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL CPropertyPage::OnSetActive() {
    // The first activation follows OnInitDialog, which has just filled the controls.
    if (m_bFirstSetActive) m_bFirstSetActive = false;
    else UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() {
    return UpdateData(TRUE);
}

LRESULT CPropertyPage::OnWizardBack() {
    return 0;
}

LRESULT CPropertyPage::OnWizardNext() {
    return 0;
}

BOOL CPropertyPage::OnWizardFinish() {
    return TRUE;
}

BOOL CPropertyPage::OnQueryCancel() {
    return TRUE;
}

void CPropertyPage::OnReset() {
    OnCancel();
}

void CPropertyPage::OnCancel() {}

void CPropertyPage::OnOK() {}

CPropertySheet* CPropertyPage::GetSheet() const {
    if (m_pSheet != nullptr) return m_pSheet;
    return dynamic_cast<CPropertySheet*>(FromHandlePermanent(::GetParent(m_hWnd)));
}

void CPropertyPage::SetModified(BOOL bChanged) {
    if (CPropertySheet* sheet = GetSheet(); sheet != nullptr && bChanged) {
        sheet->SendMessage(PSM_CHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
    }
}

void CPropertyPage::CancelToClose() {
    if (CPropertySheet* sheet = GetSheet()) sheet->SendMessage(PSM_CANCELTOCLOSE, 0, 0);
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) : m_psh{} {
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption = loadString(nIDCaption);
}

CPropertySheet::CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage) : m_psh{} {
    CommonConstruct(pParentWnd, iSelectPage);
    m_strCaption = pszCaption != nullptr ? pszCaption : "";
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage) {
    m_psh.dwSize = sizeof(PROPSHEETHEADERA);
    m_psh.dwFlags = PSH_DEFAULT;
    m_pParentWnd = pParentWnd;
    m_nStartPage = iSelectPage;
}

CPropertySheet::~CPropertySheet() {
    for (CPropertyPage* page : m_pages) page->m_pSheet = nullptr;
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    if (pPage == nullptr) return;
    m_pages.push_back(pPage);
    pPage->m_pSheet = this;
    if (m_hWnd != nullptr) {
        HPROPSHEETPAGE handle = CreatePropertySheetPageA(&pPage->m_psp);
        if (handle != nullptr && !SendMessage(PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(handle))) {
            DestroyPropertySheetPage(handle);
        }
    }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) {
    const int index = GetPageIndex(pPage);
    if (index >= 0) RemovePage(index);
}

void CPropertySheet::RemovePage(int nPage) {
    if (nPage < 0 || static_cast<size_t>(nPage) >= m_pages.size()) return;
    CPropertyPage* page = m_pages[static_cast<size_t>(nPage)];
    if (m_hWnd != nullptr) SendMessage(PSM_REMOVEPAGE, static_cast<WPARAM>(nPage), 0);
    m_pages.erase(std::find(m_pages.begin(), m_pages.end(), page));
    page->m_pSheet = nullptr;
}

int CPropertySheet::GetPageCount() const {
    return static_cast<int>(m_pages.size());
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
    if (nPage < 0 || static_cast<size_t>(nPage) >= m_pages.size()) return nullptr;
    return m_pages[static_cast<size_t>(nPage)];
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const {
    auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
    return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

int CPropertySheet::GetActiveIndex() const {
    if (m_hWnd == nullptr) return static_cast<int>(m_nStartPage);
    const LRESULT page = SendMessage(PSM_GETCURRENTPAGEHWND, 0, 0);
    return static_cast<int>(SendMessage(VESK_PSM_PAGETOINDEX, static_cast<WPARAM>(page), 0));
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    return GetPage(GetActiveIndex());
}

BOOL CPropertySheet::SetActivePage(int nPage) {
    if (nPage < 0 || static_cast<size_t>(nPage) >= m_pages.size()) return FALSE;
    if (m_hWnd == nullptr) {
        m_nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    return static_cast<BOOL>(SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(nPage), 0));
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) {
    return SetActivePage(GetPageIndex(pPage));
}

void CPropertySheet::SetTitle(LPCSTR lpszText) {
    m_strCaption = lpszText != nullptr ? lpszText : "";
    if (m_hWnd != nullptr) SendMessage(PSM_SETTITLEA, 0, reinterpret_cast<LPARAM>(m_strCaption.c_str()));
}

void CPropertySheet::SetWizardMode() {
    m_psh.dwFlags |= PSH_WIZARD;
}

int CPropertySheet::SheetCallback(HWND hWnd, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED && t_creating != nullptr) t_creating->Attach(hWnd);
    return 0;
}

INT_PTR CPropertySheet::DoModal() {
    if (m_pages.empty() || m_hWnd != nullptr) return -1;
    std::vector<PROPSHEETPAGEA> pages;
    for (CPropertyPage* page : m_pages) {
        page->m_psp.lParam = reinterpret_cast<LPARAM>(page);
        page->m_psp.pfnDlgProc = CPropertyPage::PageProc;
        pages.push_back(page->m_psp);
    }
    PROPSHEETHEADERA header = m_psh;
    header.dwSize = sizeof header;
    header.dwFlags |= PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    if (AfxGetCommandHandler(m_pModuleState) != nullptr) header.dwFlags |= PSH_HASHELP;
    if (m_pParentWnd != nullptr) header.hwndParent = m_pParentWnd->m_hWnd;
    header.pszCaption = m_strCaption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = std::min<UINT>(m_nStartPage, header.nPages - 1);
    header.ppsp = pages.data();
    header.pfnCallback = SheetCallback;
    CPropertySheet* outer = t_creating;
    t_creating = this;
    const INT_PTR result = PropertySheetA(&header);
    t_creating = outer;
    // The sheet window is gone; so are the pages' windows.
    if (m_hWnd != nullptr) Detach();
    return result;
}

void CPropertySheet::SetWizardButtons(DWORD dwFlags) {
    PostMessage(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(dwFlags));
}

void CPropertySheet::SetFinishText(LPCSTR lpszText) {
    SendMessage(PSM_SETFINISHTEXTA, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CPropertySheet::PressButton(int nButton) {
    SendMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(nButton), 0);
}

void CPropertySheet::EndDialog(int nEndID) {
    ::EndDialog(m_hWnd, nEndID);
}
