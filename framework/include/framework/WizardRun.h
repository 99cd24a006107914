// One run of DisplayConfigWizardPages: the skeleton the three backends share. A backend
// describes its part in a CWizardBackend and hands it to RunConfigWizard, which
//
//   1. lets the backend prepare (CWizardBackend::Prepare); a failure ends the run before any
//      window is shown, in the error box or silently as the backend says;
//   2. loads the caption and attaches the caller's window `parent` for the run;
//   3. builds the CWizard with the caption, the continuation flag, `parent` and page 0;
//   4. seeds the wizard's settings: the host object's held settings when `hostName` names
//      their mail system, else those stored in `configFile` for `hostName`, else none;
//   5. has the backend create its pages in order; a page that cannot be created ends the run
//      with MAILHOST_OUT_OF_MEMORY without showing the wizard;
//   6. runs the wizard modally;
//   7. maps the result: ID_WIZBACK -> outcome 2; ID_WIZFINISH -> the wizard's settings become
//      the host object's held settings, outcome 1; anything else (cancel) -> outcome 0;
//   8. removes and deletes every page;
//   9. detaches `parent`, shows a failure code in the backend's error box and returns it.
//
// While the wizard runs, the Help command of its pages reaches the host object's OnCommand
// (ID_HELP), which opens the help file.
#pragma once

#include <string>
#include <vector>

#include "framework/HostApp.h"
#include "framework/Wizard.h"
#include "framework/WizardPage.h"
#include "win32/WinTypes.h"

/// A backend's part of a wizard run. A backend makes one for each DisplayConfigWizardPages
/// call, with whatever the call's arguments give its pages.
class CWizardBackend {
public:
    virtual ~CWizardBackend();

    /// Resource numbers of the caption, the cancel question and the "&Next >" text.
    virtual CWizardTexts Texts() const = 0;
    /// How many setting texts the backend's settings class holds.
    virtual size_t ValueCount() const = 0;

    /// Gathers what the pages need before anything is shown. MAILHOST_OK to go on; any other
    /// code ends the run with that code, shown in the error box when `*showError` is set on
    /// return (it starts set). The default gathers nothing.
    virtual int Prepare(bool* showError);

    /// The mail-system name of the settings the host object holds (empty when none).
    virtual std::string HeldHostName() const = 0;
    /// The host object's held settings as texts, in order.
    virtual CWizardValues HeldValues() const = 0;
    /// Replaces the host object's held settings with `values` (a finished wizard).
    virtual void StoreHeldValues(const CWizardValues& values) = 0;
    /// The settings stored in `configFile` (never empty here) for mail system `hostName`.
    virtual CWizardValues LoadValues(const char* configFile, const char* hostName) const = 0;

    /// Creates the pages in their order, each with CreateWizardPage into `pages`.
    /// MAILHOST_OK, or MAILHOST_OUT_OF_MEMORY as soon as one cannot be created (the pages
    /// already in `pages` are deleted by the run).
    virtual int CreatePages(std::vector<CWizardPage*>& pages) = 0;

    /// Shows `code` (never MAILHOST_OK) in the backend's error box over `owner` (may be null).
    virtual void ShowError(HWND owner, int code) const = 0;
};

/// Runs the wizard of `backend` for host object `host` (see above). `parent` is the caller's
/// window (its presenter shows the wizard), `configFile` and `hostName` the arguments of
/// DisplayConfigWizardPages (null reads as empty), `inMailSetup` the continuation flag.
/// On a run that showed the wizard, `*outcome` (when `outcome` is not null) is
/// MAILHOST_WIZARD_FINISHED, MAILHOST_WIZARD_BACK or MAILHOST_WIZARD_CANCELLED; on a failure
/// it is left as it was. Returns MAILHOST_OK (cancelling is no failure), the code of the
/// backend's preparation, or MAILHOST_OUT_OF_MEMORY.
int RunConfigWizard(CMailHostApp& host, CWizardBackend& backend, HWND parent, const char* configFile,
                    const char* hostName, int inMailSetup, int* outcome);
