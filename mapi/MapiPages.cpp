#include "MapiPages.h"

#include "DunmereApp.h"
#include "framework/ResourceStrings.h"
#include "morleaf_ids.h"
#include "win32/MessageBox.h"
#include "win32/Module.h"
#include "win32/PropSheet.h"
#include "win32/Window.h"

namespace {

// Room for the name of a profile the profile wizard creates.
constexpr ULONG kProfileNameSize = 256;

std::string formatName(const std::string& format, const std::string& name) {
    size_t at = format.find("%s");
    if (at == std::string::npos) return format;
    return format.substr(0, at) + name + format.substr(at + 2);
}

}  // namespace

CMAPIProfilePage::CMAPIProfilePage(CDunmereApp& host, const std::vector<std::string>& names,
                                   const std::string& configFile, int initialIndex)
    : CWizardPage(MORLEAF_IDD_PROFILE_PAGE),
      m_names(names),
      m_initialIndex(initialIndex),
      m_configFile(configFile),
      m_host(host) {}

CMAPIProfilePage::~CMAPIProfilePage() = default;

void CMAPIProfilePage::DoDataExchange(CDataExchange* pDX) { DDX_CBString(pDX, MORLEAF_IDC_PROFILE, m_profile); }

BOOL CMAPIProfilePage::OnInitDialog() {
    for (const std::string& name : m_names) {
        SendDlgItemMessage(MORLEAF_IDC_PROFILE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    if (!m_names.empty()) {
        const size_t index =
            m_initialIndex >= 0 && static_cast<size_t>(m_initialIndex) < m_names.size() ? m_initialIndex : 0;
        m_profile = m_names[index];
    }
    return CWizardPage::OnInitDialog();
}

BOOL CMAPIProfilePage::OnSetActive() {
    if (CWizard* wizard = GetWizard()) {
        m_hostName = wizard->GetValue(kMapiHostName);
        // A wizard without a stored profile must not wipe the default picked at set-up.
        const std::string stored = wizard->GetValue(kMapiProfile);
        if (!stored.empty()) m_profile = stored;
        wizard->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    }
    BOOL answer = TRUE;
    if (m_names.empty()) {
        if (!AskYes(MORLEAF_IDS_NO_PROFILE)) {
            PostMessage(kMapiPressBack);
            return TRUE;
        }
        answer = CreateProfile();
    }
    UpdateData(FALSE);
    CPropertyPage::OnSetActive();
    return answer;
}

bool CMAPIProfilePage::AskYes(UINT questionId) {
    const std::string question = formatName(LoadResString(questionId), m_hostName);
    const std::string caption = LoadResString(MORLEAF_IDS_MAIL_SETUP);
    return MessageBox(question.c_str(), caption.c_str(), MB_YESNO | MB_ICONHAND) == IDYES;
}

BOOL CMAPIProfilePage::CreateProfile() {
    const std::string libraryName = LoadResString(MORLEAF_IDS_WIZARD_LIBRARY);
    HMODULE library = libraryName.empty() ? nullptr : LoadLibraryA(libraryName.c_str());
    if (library == nullptr) return TRUE;
    BOOL answer = TRUE;
    for (;;) {
        auto launch = VeskProcAs<LAUNCHWIZARDENTRY>(GetProcAddress(library, LAUNCHWIZARDENTRYNAME));
        char created[kProfileNameSize] = "";
        HRESULT hr = launch != nullptr
                         ? launch(m_hWnd, MAPI_PW_LAUNCHED_BY_CONFIG, nullptr, kProfileNameSize - 1, created)
                         : MAPI_E_CALL_FAILED;
        created[kProfileNameSize - 1] = '\0';
        if (SUCCEEDED(hr) && created[0] != '\0') {
            m_profile = created;
            m_names.push_back(m_profile);
            SendDlgItemMessage(MORLEAF_IDC_PROFILE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_profile.c_str()));
            UpdateData(FALSE);
            OnWizardNext();
            answer = FALSE;
            break;
        }
        // A missing or failing profile wizard is treated as the person's cancel: asked again,
        // never launched again without end.
        if (!AskYes(MORLEAF_IDS_CREATE_PROFILE_AGAIN)) {
            PostMessage(kMapiPressBack);
            break;
        }
    }
    FreeLibrary(library);
    return answer;
}

LRESULT CMAPIProfilePage::OnWizardNext() {
    if (m_busy != 0) return -1;
    m_busy = 1;
    BeginWaitCursor();
    UpdateData(TRUE);
    if (CWizard* wizard = GetWizard()) {
        wizard->SetValue(kMapiHostName, m_hostName);
        wizard->SetValue(kMapiProfile, m_profile);
    }
    m_host.Initialize();
    RestoreWaitCursor();
    LRESULT answer = 0;
    if (m_host.Logon(0, m_configFile.c_str(), m_profile.c_str()) != MAILHOST_OK) {
        CLogonFailedDialog failed(this);
        answer = failed.DoModal() == IDOK ? 0 : -1;
    } else {
        RestoreWaitCursor();
        m_host.Logoff();
    }
    m_host.Uninitialize();
    EndWaitCursor();
    m_busy = 0;
    return answer;
}

LRESULT CMAPIProfilePage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMapiPressBack) {
        PressBack();
        return 0;
    }
    if (message == kMapiPressNext) {
        PressNext();
        return 0;
    }
    return CWizardPage::WindowProc(message, wParam, lParam);
}

void CMAPIProfilePage::PressBack() {
    if (CPropertySheet* sheet = GetSheet()) sheet->PressButton(PSBTN_BACK);
}

void CMAPIProfilePage::PressNext() {
    if (CPropertySheet* sheet = GetSheet()) sheet->PressButton(PSBTN_NEXT);
}

CCongratsPage::CCongratsPage() : CWizardPage(MORLEAF_IDD_CONGRATS_PAGE, MORLEAF_IDC_RETURN_HINT) {}

CCongratsPage::~CCongratsPage() = default;

void CCongratsPage::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, MORLEAF_IDC_SUMMARY_MAIL_SYSTEM, m_hostName);
    DDX_Text(pDX, MORLEAF_IDC_SUMMARY_PROFILE, m_profile);
}

void CCongratsPage::OnLoadValues(const CWizardValues& values) {
    m_hostName = values[kMapiHostName];
    m_profile = values[kMapiProfile];
}

CLogonFailedDialog::CLogonFailedDialog(CWnd* parent) : CDialog(MORLEAF_IDD_LOGON_FAILED, parent) {}
