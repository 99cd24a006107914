// A tiny backend for the frame's tests: a host object holding two setting texts (mail system,
// user name), a name page and a summary page on the test language library, settings in the
// configuration file as [TestPlugin <mail system>] UserName=..., and an error box.
#pragma once

#include <string>
#include <vector>

#include "framework/HostApp.h"
#include "framework/WizardRun.h"

namespace wizardtest {

enum : size_t { kMailSystem = 0, kUserName = 1, kValueCount = 2 };

/// Pages of the test backend alive now (made and not yet deleted).
int livePages();

/// The host object: only DisplayConfigWizardPages does anything; it records commands.
class TestHostApp : public CMailHostApp {
public:
    int Initialize() override { return MAILHOST_NOT_SUPPORTED; }
    int Uninitialize() override { return MAILHOST_NOT_SUPPORTED; }
    int Logon(int, const char*) override { return MAILHOST_NOT_SUPPORTED; }
    int Logoff() override { return MAILHOST_NOT_SUPPORTED; }
    int GetHostConfigInfo(const char*, char*, int*) override { return MAILHOST_NOT_SUPPORTED; }
    int SetHostConfigInfo(const char*, int) override { return 0; }
    int GetSupportedHosts(char*, int*) override { return MAILHOST_NOT_SUPPORTED; }
    int DisplayConfigWizardPages(HWND parent, const char* configFile, const char* hostName, int, int,
                                 int inMailSetup, int* outcome) override;
    int GetAllMsgs(MailMsg***, int*, int) override { return MAILHOST_NOT_SUPPORTED; }
    int SetMsg(const MailMsg*) override { return MAILHOST_NOT_SUPPORTED; }
    int SendMsg(const MailMsg*) override { return MAILHOST_NOT_SUPPORTED; }
    int DeleteMsg(const MailMsg*) override { return MAILHOST_NOT_SUPPORTED; }
    int SetMsgReadStatus(const MailMsg*, int) override { return MAILHOST_NOT_SUPPORTED; }
    int SetMsgPriority(const MailMsg*, int) override { return MAILHOST_NOT_SUPPORTED; }
    int FreeMailMsg(MailMsg**, int) override { return MAILHOST_NOT_SUPPORTED; }
    const char* GetLanguageLibraryName() const override { return "WIZARDTEST.DLL"; }

    /// Records the command and handles ID_HELP only.
    BOOL OnCommand(UINT id, HWND owner) override;

    CWizardValues held{kValueCount};  ///< the held settings
    std::vector<UINT> commands;       ///< commands that reached the host object
    bool twoPages = true;             ///< name page + summary page, or the summary page alone
    int prepareResult = MAILHOST_OK;  ///< what the backend's preparation answers
    bool prepareShows = true;         ///< ... and whether that failure is shown
    std::vector<int> shownErrors;     ///< codes shown in the error box
};

/// The backend of one TestHostApp run.
class TestBackend : public CWizardBackend {
public:
    explicit TestBackend(TestHostApp& app) : m_app(app) {}
    CWizardTexts Texts() const override;
    size_t ValueCount() const override { return kValueCount; }
    int Prepare(bool* showError) override;
    std::string HeldHostName() const override { return m_app.held[kMailSystem]; }
    CWizardValues HeldValues() const override { return m_app.held; }
    void StoreHeldValues(const CWizardValues& values) override { m_app.held = values; }
    CWizardValues LoadValues(const char* configFile, const char* hostName) const override;
    int CreatePages(std::vector<CWizardPage*>& pages) override;
    void ShowError(HWND owner, int code) const override;

private:
    TestHostApp& m_app;
};

}  // namespace wizardtest
