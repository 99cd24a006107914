#include "TestWizardBackend.h"

#include "framework/ResourceStrings.h"
#include "win32/MessageBox.h"
#include "win32/Profile.h"
#include "wizardtest_ids.h"

namespace wizardtest {
namespace {

int g_livePages = 0;

class TestPage : public CWizardPage {
public:
    TestPage(UINT templateId, int reminderId) : CWizardPage(templateId, reminderId) { ++g_livePages; }
    ~TestPage() override { --g_livePages; }
};

class NamePage : public TestPage {
public:
    NamePage() : TestPage(WIZTEST_IDD_NAME_PAGE, 0) {}
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, WIZTEST_IDC_USER_NAME, m_user); }
    LRESULT OnWizardNext() override {
        if (!UpdateData(TRUE)) return -1;
        GetWizard()->SetValue(kUserName, m_user);
        return 0;
    }

protected:
    void OnLoadValues(const CWizardValues& values) override { m_user = values[kUserName]; }

private:
    std::string m_user;
};

class SummaryPage : public TestPage {
public:
    SummaryPage() : TestPage(WIZTEST_IDD_SUMMARY_PAGE, WIZTEST_IDC_REMINDER) {}
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, WIZTEST_IDC_MAIL_SYSTEM, m_system);
        DDX_Text(pDX, WIZTEST_IDC_SUMMARY_USER, m_user);
    }

protected:
    void OnLoadValues(const CWizardValues& values) override {
        m_system = values[kMailSystem];
        m_user = values[kUserName];
    }

private:
    std::string m_system;
    std::string m_user;
};

}  // namespace

int livePages() { return g_livePages; }

int TestHostApp::DisplayConfigWizardPages(HWND parent, const char* configFile, const char* hostName, int, int,
                                          int inMailSetup, int* outcome) {
    TestBackend backend(*this);
    return RunConfigWizard(*this, backend, parent, configFile, hostName, inMailSetup, outcome);
}

BOOL TestHostApp::OnCommand(UINT id, HWND) {
    commands.push_back(id);
    return id == ID_HELP;
}

CWizardTexts TestBackend::Texts() const {
    return {WIZTEST_IDS_CAPTION, WIZTEST_IDS_CANCEL, WIZTEST_IDS_NEXT};
}

int TestBackend::Prepare(bool* showError) {
    *showError = m_app.prepareShows;
    return m_app.prepareResult;
}

CWizardValues TestBackend::LoadValues(const char* configFile, const char* hostName) const {
    char user[256] = "";
    const std::string section = std::string("TestPlugin ") + hostName;
    GetPrivateProfileStringA(section.c_str(), "UserName", "", user, sizeof user, configFile);
    return {hostName, user};
}

int TestBackend::CreatePages(std::vector<CWizardPage*>& pages) {
    if (m_app.twoPages && !CreateWizardPage<NamePage>(pages)) return MAILHOST_OUT_OF_MEMORY;
    if (!CreateWizardPage<SummaryPage>(pages)) return MAILHOST_OUT_OF_MEMORY;
    return MAILHOST_OK;
}

void TestBackend::ShowError(HWND owner, int code) const {
    m_app.shownErrors.push_back(code);
    const UINT text = code == MAILHOST_OUT_OF_MEMORY ? WIZTEST_IDS_ERROR_MEMORY : WIZTEST_IDS_ERROR_SERVER;
    MessageBoxA(owner, LoadResString(text).c_str(), LoadResString(WIZTEST_IDS_CAPTION).c_str(), MB_ICONHAND | MB_OK);
}

}  // namespace wizardtest
