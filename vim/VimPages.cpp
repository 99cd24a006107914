#include "VimPages.h"

#include <unistd.h>

#include "OrvekApp.h"
#include "VimDirectoryChooser.h"
#include "framework/ResourceStrings.h"
#include "kestrav_ids.h"
#include "platform/AfxDialog.h"
#include "win32/MessageBox.h"
#include "win32/PropSheet.h"

namespace {

// The message-box styles of the pages' prompts.
constexpr UINT kUserPrompt = MB_ICONEXCLAMATION;  // 0x30
constexpr UINT kPostOfficePrompt = MB_OK;         // 0
constexpr UINT kLogonPrompt = MB_ICONHAND;        // 0x10

int showPrompt(const CWnd& page, UINT textId, UINT captionId, UINT style) {
    const std::string text = LoadResString(textId);
    const std::string caption = LoadResString(captionId);
    return page.MessageBox(text.c_str(), caption.c_str(), style);
}

void focusOn(CWnd& page, int controlId) {
    if (CWnd* control = page.GetDlgItem(controlId)) control->SetFocus();
}

}  // namespace

// ---- user page ---------------------------------------------------------------------------

CUserPage::CUserPage(const std::string& defaultUser, const std::string& wizardHostName)
    : CWizardPage(KESTRAV_IDD_USER_PAGE), m_userName(defaultUser), m_wizardHostName(wizardHostName) {}

void CUserPage::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, KESTRAV_IDC_USER_NAME, m_userName);
    DDX_Text(pDX, KESTRAV_IDC_PASSWORD, m_password);
    // Only 32 characters are stored: a longer password would pass the logon test and fail
    // every sync after.
    DDV_MaxChars(pDX, m_password, kVimPasswordLimit);
}

BOOL CUserPage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    return TRUE;
}

void CUserPage::OnLoadValues(const CWizardValues& values) {
    m_hostName = values[kVimHostName];
    m_userName = values[kVimUserAccount];
    m_password = values[kVimPassword];
}

LRESULT CUserPage::OnWizardNext() {
    if (!UpdateData(TRUE)) return -1;
    if (m_userName.empty()) {
        showPrompt(*this, KESTRAV_IDS_USER_NAME_REQUIRED, KESTRAV_IDS_USER_IDENTITY, kUserPrompt);
        focusOn(*this, KESTRAV_IDC_USER_NAME);
        return -1;
    }
    CWizard* wizard = GetWizard();
    if (wizard != nullptr) {
        // Without a preset the host name would stay empty, and the finished wizard would then
        // save nothing while saying it did.
        if (m_hostName.empty()) wizard->SetValue(kVimHostName, m_wizardHostName);
        wizard->SetValue(kVimUserAccount, m_userName);
        wizard->SetValue(kVimPassword, m_password);
    }
    return 0;
}

// ---- post office page --------------------------------------------------------------------

CPostOfficePage::CPostOfficePage(const std::string& defaultPath, const std::string& configFile, COrvekApp* host)
    : CWizardPage(KESTRAV_IDD_POST_OFFICE_PAGE),
      m_postOfficePath(defaultPath),
      m_configFile(configFile),
      m_host(host) {}

void CPostOfficePage::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, KESTRAV_IDC_POST_OFFICE_PATH, m_postOfficePath);
}

void CPostOfficePage::OnLoadValues(const CWizardValues& values) {
    // The default login's path stays until the wizard holds one of its own.
    if (!values[kVimPostOfficePath].empty()) m_postOfficePath = values[kVimPostOfficePath];
}

BOOL CPostOfficePage::OnCmdMsg(UINT nID, int nCode) {
    if (nID == KESTRAV_IDC_BROWSE && nCode == BN_CLICKED) {
        Browse();
        return TRUE;
    }
    return CWizardPage::OnCmdMsg(nID, nCode);
}

void CPostOfficePage::Browse() {
    std::string typed;
    GetDlgItemText(KESTRAV_IDC_POST_OFFICE_PATH, typed);
    // Browsing starts where the typed path points; a path that does not exist leaves the
    // current directory as it was and the chooser still opens.
    if (!typed.empty()) {
        const int changed = ::chdir(typed.c_str());
        static_cast<void>(changed);
    }
    CDirDlg chooser(m_hWnd);
    if (chooser.DoModal()) SetDlgItemText(KESTRAV_IDC_POST_OFFICE_PATH, chooser.Path());
}

LRESULT CPostOfficePage::OnWizardNext() {
    if (!UpdateData(TRUE)) return -1;
    if (m_postOfficePath.empty()) {
        showPrompt(*this, KESTRAV_IDS_POST_OFFICE_REQUIRED, KESTRAV_IDS_POST_OFFICE_CAPTION, kPostOfficePrompt);
        focusOn(*this, KESTRAV_IDC_POST_OFFICE_PATH);
        return -1;
    }
    CWizard* wizard = GetWizard();
    if (wizard == nullptr) return 0;
    wizard->SetValue(kVimPostOfficePath, m_postOfficePath);
    if (m_host == nullptr) return 0;
    const bool goBack = [&] {
        BeginWaitCursor();
        m_host->Initialize();
        const int logon = m_host->Logon(0, m_configFile.c_str(), m_postOfficePath.c_str(),
                                        wizard->GetValue(kVimUserAccount).c_str(),
                                        wizard->GetValue(kVimPassword).c_str());
        bool back = false;
        switch (logon) {
            case MAILHOST_OK: m_host->Logoff(); break;
            case MAILHOST_LOGON_FAILED:
                showPrompt(*this, KESTRAV_IDS_BAD_USER_NAME, KESTRAV_IDS_MAIL_SETUP, kLogonPrompt);
                break;
            case MAILHOST_LOGON_BAD_PASSWORD:
                showPrompt(*this, KESTRAV_IDS_BAD_PASSWORD, KESTRAV_IDS_MAIL_SETUP, kLogonPrompt);
                break;
            case MAILHOST_LOGON_BAD_POST_OFFICE: {
                CDialog failed(KESTRAV_IDD_LOGON_FAILED, this);
                back = failed.DoModal() == IDCANCEL;
                break;
            }
            default: break;
        }
        m_host->Uninitialize();
        EndWaitCursor();
        return back;
    }();
    if (goBack) {
        // Cancel in the logon-failure box: back to the user page rather than on to the next.
        wizard->PressButton(PSBTN_BACK);
        return -1;
    }
    return 0;
}

// ---- gateway page ------------------------------------------------------------------------

CGatewayPage::CGatewayPage() : CWizardPage(KESTRAV_IDD_GATEWAY_PAGE) {}

void CGatewayPage::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, KESTRAV_IDC_GATEWAY, m_gateway);
}

BOOL CGatewayPage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    return TRUE;
}

void CGatewayPage::OnLoadValues(const CWizardValues& values) {
    m_gateway = values[kVimInternetGateway];
}

LRESULT CGatewayPage::OnWizardNext() {
    if (!UpdateData(TRUE)) return -1;
    // An empty gateway is allowed: Internet mail then goes out without one.
    if (CWizard* wizard = GetWizard()) wizard->SetValue(kVimInternetGateway, m_gateway);
    return 0;
}

// ---- summary page ------------------------------------------------------------------------

CCongratsPage::CCongratsPage() : CWizardPage(KESTRAV_IDD_CONGRATS_PAGE, KESTRAV_IDC_RETURN_HINT) {}

void CCongratsPage::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, KESTRAV_IDC_SUMMARY_MAIL_SYSTEM, m_mailSystem);
    DDX_Text(pDX, KESTRAV_IDC_SUMMARY_USER_NAME, m_userName);
    DDX_Text(pDX, KESTRAV_IDC_SUMMARY_POST_OFFICE, m_postOffice);
    DDX_Text(pDX, KESTRAV_IDC_SUMMARY_GATEWAY, m_gateway);
}

void CCongratsPage::OnLoadValues(const CWizardValues& values) {
    m_mailSystem = values[kVimHostName];
    m_userName = values[kVimUserAccount];
    m_postOffice = values[kVimPostOfficePath];
    m_gateway = values[kVimInternetGateway];
}
