// Salvith's DisplayConfigWizardPages: the shared wizard frame with Salvith's settings record,
// its one closing page and its error box.
#include "SalvithApp.h"
#include "SmapiErrorBox.h"
#include "SmapiPages.h"
#include "framework/WizardRun.h"
#include "savidne_ids.h"

namespace {

CWizardValues valuesOf(const CSmapiSettings& settings) {
    return {settings.HostName(), settings.UserAccount(), settings.Password()};
}

class CSmapiWizardBackend : public CWizardBackend {
public:
    CSmapiWizardBackend(CSmapiSettings& held, const char* hostName)
        : m_held(held), m_hostName(hostName != nullptr ? hostName : "") {}

    CWizardTexts Texts() const override {
        return {SAVIDNE_IDS_MAIL_SETUP, SAVIDNE_IDS_CANCEL_CONFIRM, SAVIDNE_IDS_NEXT_BUTTON};
    }
    size_t ValueCount() const override { return kSmapiValueCount; }
    std::string HeldHostName() const override { return m_held.HostName(); }
    CWizardValues HeldValues() const override { return valuesOf(m_held); }
    void StoreHeldValues(const CWizardValues& values) override {
        m_held.Set(values[kSmapiHostName], values[kSmapiUserAccount], values[kSmapiPassword]);
    }
    CWizardValues LoadValues(const char* configFile, const char* hostName) const override {
        CSmapiSettings stored;
        stored.Load(configFile, hostName);
        return valuesOf(stored);
    }
    int CreatePages(std::vector<CWizardPage*>& pages) override {
        bool created = false;
        switch (ChooseSmapiPage(m_hostName)) {
            case SmapiPageKind::Eudora: created = CreateWizardPage<CCongratsEudoraPage>(pages); break;
            case SmapiPageKind::OutlookExpress: created = CreateWizardPage<CCongratsOutlookExpressPage>(pages); break;
            case SmapiPageKind::Other: created = CreateWizardPage<CCongratsPage>(pages, FALSE); break;
        }
        return created ? MAILHOST_OK : MAILHOST_OUT_OF_MEMORY;
    }
    void ShowError(HWND owner, int code) const override { ShowSmapiError(owner, code); }

private:
    CSmapiSettings& m_held;
    std::string m_hostName;
};

}  // namespace

int CSalvithApp::DisplayConfigWizardPages(HWND parent, const char* configFile, const char* hostName, int, int,
                                          int inMailSetup, int* outcome) {
    CSmapiWizardBackend backend(m_settings, hostName);
    return RunConfigWizard(*this, backend, parent, configFile, hostName, inMailSetup, outcome);
}
