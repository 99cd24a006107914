// Dunmere's DisplayConfigWizardPages: the shared wizard frame with Dunmere's settings record,
// the profile list gathered first, its two pages and its error box.
#include "DunmereApp.h"
#include "MapiErrorBox.h"
#include "MapiPages.h"
#include "framework/WizardRun.h"
#include "morleaf_ids.h"

namespace {

CWizardValues valuesOf(const CMapiSettings& settings) { return {settings.HostName(), settings.Profile()}; }

class CMapiWizardBackend : public CWizardBackend {
public:
    CMapiWizardBackend(CDunmereApp& host, const char* configFile)
        : m_host(host), m_configFile(configFile != nullptr ? configFile : "") {}

    CWizardTexts Texts() const override { return {MORLEAF_IDS_MAIL_SETUP, MORLEAF_IDS_CANCEL_CONFIRM, MORLEAF_IDS_NEXT_BUTTON}; }
    size_t ValueCount() const override { return kMapiValueCount; }
    /// The profiles are listed before the wizard opens; a failure is shown in the error box.
    int Prepare(bool* showError) override {
        *showError = true;
        return m_host.ListProfiles(m_names, &m_defaultIndex);
    }
    std::string HeldHostName() const override { return m_host.Settings().HostName(); }
    CWizardValues HeldValues() const override { return valuesOf(m_host.Settings()); }
    void StoreHeldValues(const CWizardValues& values) override {
        m_host.Settings().Set(values[kMapiHostName], values[kMapiProfile]);
    }
    CWizardValues LoadValues(const char* configFile, const char* hostName) const override {
        CMapiSettings stored;
        stored.Load(configFile, hostName);
        return valuesOf(stored);
    }
    int CreatePages(std::vector<CWizardPage*>& pages) override {
        bool created = CreateWizardPage<CMAPIProfilePage>(pages, m_host, m_names, m_configFile, m_defaultIndex) &&
                       CreateWizardPage<CCongratsPage>(pages);
        return created ? MAILHOST_OK : MAILHOST_OUT_OF_MEMORY;
    }
    void ShowError(HWND owner, int code) const override { ShowMapiError(owner, code); }

private:
    CDunmereApp& m_host;
    std::string m_configFile;
    std::vector<std::string> m_names;
    int m_defaultIndex = -1;
};

}  // namespace

int CDunmereApp::DisplayConfigWizardPages(HWND parent, const char* configFile, const char* hostName, int, int,
                                          int inMailSetup, int* outcome) {
    CMapiWizardBackend backend(*this, configFile);
    return RunConfigWizard(*this, backend, parent, configFile, hostName, inMailSetup, outcome);
}
