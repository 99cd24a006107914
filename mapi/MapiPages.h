// Dunmere's part of the "Mail Setup" wizard: the profile page, on which the person picks the
// MAPI profile to synchronise with (and may create one through the mail system's own profile
// wizard), and the closing page that shows the result.
//
//   CMAPIProfilePage   dialog 3000  profile in combo box 3010; Next tests a logon
//   CCongratsPage      dialog 3001  mail system in 3011, profile in 3012; reminder 204
//   CLogonFailedDialog dialog 203   "&Save" goes on although the test logon failed
//
// The pages read the wizard's setting texts in the order of Dunmere's settings record.
#pragma once

#include <string>
#include <vector>

#include "framework/WizardPage.h"
#include "platform/AfxDialog.h"

class CDunmereApp;

/// Dunmere's setting texts in the wizard, in the order of its settings record.
enum MapiWizardValue : size_t { kMapiHostName = 0, kMapiProfile = 1, kMapiValueCount = 2 };

/// Posted to the profile page to press Back (WM_APP + 1) or Next (WM_APP + 2) once the sheet
/// has finished activating it.
constexpr UINT kMapiPressBack = 0x8001;
constexpr UINT kMapiPressNext = 0x8002;

class CMAPIProfilePage : public CWizardPage {
public:
    /// The page over `names` (profile-table order) with the default at `initialIndex` (-1:
    /// none); `host` runs the test logon, `configFile` is the conduit's file.
    CMAPIProfilePage(CDunmereApp& host, const std::vector<std::string>& names, const std::string& configFile,
                     int initialIndex);
    ~CMAPIProfilePage() override;

    void DoDataExchange(CDataExchange* pDX) override;
    /// Lists the profiles; the default (else the first) becomes the page's profile. TRUE.
    BOOL OnInitDialog() override;
    /// Takes the wizard's settings (a stored profile replaces the default, an empty one does
    /// not), enables Back and Next, and without any profile offers to create one. 1 to show
    /// the page, 0 when a profile was just created and the wizard moves on.
    BOOL OnSetActive() override;
    /// Tests a logon with the chosen profile; -1 keeps the page (also while a test runs).
    LRESULT OnWizardNext() override;
    /// WM_APP + 1 presses Back, WM_APP + 2 presses Next.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    /// Presses the sheet's Back (Next) button.
    virtual void PressBack();
    virtual void PressNext();

    std::string m_profile;              ///< exchanged with combo box 3010
    std::vector<std::string> m_names;   ///< the profiles, in profile-table order
    int m_initialIndex;
    std::string m_hostName;
    std::string m_configFile;
    int m_busy = 0;                     ///< set while a Next press is handled

private:
    /// Runs the mail system's profile wizard until a profile exists or the person gives up.
    /// 0 when a profile was created (the wizard moves on), else 1.
    BOOL CreateProfile();
    /// Asks `questionId` (formatted with the mail-system name) with Yes and No.
    bool AskYes(UINT questionId);

    CDunmereApp& m_host;
};

class CCongratsPage : public CWizardPage {
public:
    CCongratsPage();
    ~CCongratsPage() override;

    void DoDataExchange(CDataExchange* pDX) override;

    std::string m_hostName;  ///< shown in 3011
    std::string m_profile;   ///< shown in 3012

protected:
    void OnLoadValues(const CWizardValues& values) override;
};

/// Dialog 203: the test logon failed. IDOK ("&Save") or IDCANCEL.
class CLogonFailedDialog : public CDialog {
public:
    explicit CLogonFailedDialog(CWnd* parent);
};
