// Salvith's part of the "Mail Setup" wizard: one closing page, chosen by the mail program the
// person picked. Simple MAPI needs nothing typed in (the mail program must be the system's
// Simple MAPI client), so the page confirms the mail program and, for Eudora and Outlook
// Express, says how to switch Simple MAPI on there.
//
//   CCongratsEudoraPage           dialog 5001  host name in 5100; reminder 206
//   CCongratsOutlookExpressPage   dialog 5002  host name in 5100; reminder 207
//   CCongratsPage                 dialog 2003  host name in 5100, account in 5101; reminder 207
//
// The pages read the wizard's setting texts in the order of Salvith's settings record.
#pragma once

#include <string>

#include "framework/WizardPage.h"
#include "platform/AfxGdi.h"

/// Salvith's setting texts in the wizard, in the order of its settings record.
enum SmapiWizardValue : size_t { kSmapiHostName = 0, kSmapiUserAccount = 1, kSmapiPassword = 2, kSmapiValueCount = 3 };

/// Which closing page a mail program gets.
enum class SmapiPageKind { Eudora, OutlookExpress, Other };

/// The page for `hostName`, by substring as the name is stored: containing "Eudora" (string
/// 4306) wins, then "Outlook Express" (string 4307), else the plain page.
SmapiPageKind ChooseSmapiPage(const std::string& hostName);

/// A closing page with setup instructions under the heading 205, shown in a bold copy of the
/// page's font, which lives as long as the page.
class CSmapiInstructionsPage : public CWizardPage {
public:
    CSmapiInstructionsPage(UINT templateId, int reminderId);
    ~CSmapiInstructionsPage() override;

    void DoDataExchange(CDataExchange* pDX) override;
    /// Gives control 205 a bold copy (weight 700) of the page's font; a page without a font
    /// or a device context keeps the heading as it is. TRUE.
    BOOL OnInitDialog() override;

    std::string m_hostName;  ///< shown in 5100

protected:
    void OnLoadValues(const CWizardValues& values) override;

private:
    CFont m_headingFont;
};

/// Eudora's closing page (dialog 5001): how to switch Simple MAPI on in Eudora.
class CCongratsEudoraPage : public CSmapiInstructionsPage {
public:
    CCongratsEudoraPage();
};

/// Outlook Express's closing page (dialog 5002): how to make it the Simple MAPI client.
class CCongratsOutlookExpressPage : public CSmapiInstructionsPage {
public:
    CCongratsOutlookExpressPage();
};

/// The closing page of every other mail program. `showAccount` FALSE hides the user-name
/// line (label 204 and text 5101); the wizard passes FALSE.
class CCongratsPage : public CWizardPage {
public:
    explicit CCongratsPage(BOOL showAccount);
    ~CCongratsPage() override;

    void DoDataExchange(CDataExchange* pDX) override;
    /// Hides the user-name line unless the page shows the account. TRUE.
    BOOL OnInitDialog() override;

    std::string m_hostName;     ///< shown in 5100
    std::string m_userAccount;  ///< shown in 5101

protected:
    void OnLoadValues(const CWizardValues& values) override;

private:
    BOOL m_showAccount;
};
