#include "SmapiPages.h"

#include "framework/ResourceStrings.h"
#include "savidne_ids.h"

namespace {

bool contains(const std::string& text, UINT needleId) {
    const std::string needle = LoadResString(needleId);
    // A translation without the word must not make every name match.
    return !needle.empty() && text.find(needle) != std::string::npos;
}

}  // namespace

SmapiPageKind ChooseSmapiPage(const std::string& hostName) {
    if (contains(hostName, SAVIDNE_IDS_EUDORA)) return SmapiPageKind::Eudora;
    if (contains(hostName, SAVIDNE_IDS_OUTLOOK_EXPRESS)) return SmapiPageKind::OutlookExpress;
    return SmapiPageKind::Other;
}

CSmapiInstructionsPage::CSmapiInstructionsPage(UINT templateId, int reminderId) : CWizardPage(templateId, reminderId) {}

CSmapiInstructionsPage::~CSmapiInstructionsPage() = default;

void CSmapiInstructionsPage::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, SAVIDNE_IDC_HOST_NAME, m_hostName);
}

BOOL CSmapiInstructionsPage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    const HFONT pageFont = GetFont();
    CClientDC dc(m_hWnd);
    if (pageFont == nullptr || dc.GetSafeHdc() == nullptr) return TRUE;

    const HFONT previous = dc.SelectObject(pageFont);
    char face[128] = "";
    dc.GetTextFace(sizeof face, face);
    TEXTMETRICA metrics{};
    dc.GetTextMetrics(&metrics);
    dc.SelectObject(previous);
    // A face name holds LF_FACESIZE bytes with its NUL: cut the face read to fit.
    face[LF_FACESIZE - 1] = '\0';

    m_headingFont.DeleteObject();  // a page shown in a second run makes its font again
    if (m_headingFont.CreateFont(metrics.tmHeight, 0, 0, 0, FW_BOLD, 0, 0, 0, metrics.tmCharSet, 0, 0, PROOF_QUALITY,
                                 VARIABLE_PITCH, face)) {
        if (CWnd* heading = GetDlgItem(SAVIDNE_IDC_INSTRUCTIONS_HEADING)) heading->SetFont(m_headingFont, TRUE);
    }
    return TRUE;
}

void CSmapiInstructionsPage::OnLoadValues(const CWizardValues& values) {
    m_hostName = values[kSmapiHostName];
}

CCongratsEudoraPage::CCongratsEudoraPage()
    : CSmapiInstructionsPage(SAVIDNE_IDD_EUDORA_PAGE, SAVIDNE_IDC_RETURN_HINT_EUDORA) {}

CCongratsOutlookExpressPage::CCongratsOutlookExpressPage()
    : CSmapiInstructionsPage(SAVIDNE_IDD_OUTLOOK_EXPRESS_PAGE, SAVIDNE_IDC_RETURN_HINT) {}

CCongratsPage::CCongratsPage(BOOL showAccount)
    : CWizardPage(SAVIDNE_IDD_CONGRATS_PAGE, SAVIDNE_IDC_RETURN_HINT), m_showAccount(showAccount) {}

CCongratsPage::~CCongratsPage() = default;

void CCongratsPage::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, SAVIDNE_IDC_HOST_NAME, m_hostName);
    DDX_Text(pDX, SAVIDNE_IDC_USER_ACCOUNT, m_userAccount);
}

BOOL CCongratsPage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    if (!m_showAccount) {
        if (CWnd* label = GetDlgItem(SAVIDNE_IDC_USER_NAME_LABEL)) label->ShowWindow(SW_HIDE);
        if (CWnd* account = GetDlgItem(SAVIDNE_IDC_USER_ACCOUNT)) account->ShowWindow(SW_HIDE);
    }
    return TRUE;
}

void CCongratsPage::OnLoadValues(const CWizardValues& values) {
    m_hostName = values[kSmapiHostName];
    m_userAccount = values[kSmapiUserAccount];
}
