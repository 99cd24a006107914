// Orvek's DisplayConfigWizardPages: the shared wizard frame with Orvek's settings record, its
// four pages and its error box. Before anything is shown the VIM library is started once to
// read the default login, which presets the user and post office pages.
#include "OrvekApp.h"
#include "VimErrorBox.h"
#include "VimPages.h"
#include "framework/WizardRun.h"
#include "kestrav_ids.h"

namespace {

CWizardValues valuesOf(const CVimSettings& settings) {
    return {settings.HostName(), settings.UserAccount(), settings.Password(), settings.PostOfficePath(),
            settings.InternetGateway()};
}

class CVimWizardBackend : public CWizardBackend {
public:
    CVimWizardBackend(COrvekApp& host, const char* configFile, const char* hostName)
        : m_host(host), m_configFile(configFile != nullptr ? configFile : ""),
          m_hostName(hostName != nullptr ? hostName : "") {}

    CWizardTexts Texts() const override {
        return {KESTRAV_IDS_MAIL_SETUP, KESTRAV_IDS_CANCEL_CONFIRM, KESTRAV_IDS_NEXT_BUTTON};
    }
    size_t ValueCount() const override { return kVimValueCount; }

    int Prepare(bool* showError) override {
        // These failures end the run quietly: the caller reports them.
        *showError = false;
        if (m_host.Initialize() != MAILHOST_OK) return MAILHOST_SERVER_ERROR;
        const bool gotDefault = m_host.QueryDefaultLogin(m_defaultPath, m_defaultUser);
        // Stopped again in both cases: the library is not left running behind the wizard.
        m_host.Uninitialize();
        return gotDefault ? MAILHOST_OK : MAILHOST_SERVER_ERROR;
    }

    std::string HeldHostName() const override { return m_host.Settings().HostName(); }
    CWizardValues HeldValues() const override { return valuesOf(m_host.Settings()); }
    void StoreHeldValues(const CWizardValues& values) override {
        CVimSettings& held = m_host.Settings();
        // A wizard run for a mail system holds that system's settings, even when nothing was
        // preset (no configuration file yet): an empty host name would save nothing.
        held.SetHostName(values[kVimHostName].empty() ? m_hostName : values[kVimHostName]);
        held.SetUserAccount(values[kVimUserAccount]);
        held.SetPassword(values[kVimPassword]);
        held.SetPostOfficePath(values[kVimPostOfficePath]);
        held.SetInternetGateway(values[kVimInternetGateway]);
    }
    CWizardValues LoadValues(const char* configFile, const char* hostName) const override {
        CVimSettings stored;
        stored.Load(configFile, hostName);
        return valuesOf(stored);
    }
    int CreatePages(std::vector<CWizardPage*>& pages) override {
        const bool created = CreateWizardPage<CUserPage>(pages, m_defaultUser, m_hostName) &&
                             CreateWizardPage<CPostOfficePage>(pages, m_defaultPath, m_configFile, &m_host) &&
                             CreateWizardPage<CGatewayPage>(pages) && CreateWizardPage<CCongratsPage>(pages);
        return created ? MAILHOST_OK : MAILHOST_OUT_OF_MEMORY;
    }
    void ShowError(HWND owner, int code) const override { ShowVimError(owner, code); }

private:
    COrvekApp& m_host;
    std::string m_configFile;
    std::string m_hostName;
    std::string m_defaultPath;
    std::string m_defaultUser;
};

}  // namespace

int COrvekApp::DisplayConfigWizardPages(HWND parent, const char* configFile, const char* hostName, int, int,
                                        int inMailSetup, int* outcome) {
    CVimWizardBackend backend(*this, configFile, hostName);
    return RunConfigWizard(*this, backend, parent, configFile, hostName, inMailSetup, outcome);
}
