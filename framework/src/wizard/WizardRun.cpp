#include "framework/WizardRun.h"

#include <string>

#include "framework/ResourceStrings.h"
#include "platform/AfxWnd.h"
#include "win32/ModuleState.h"
#include "win32/Window.h"

namespace {

// The host object whose wizard runs now: where the pages' Help command goes.
thread_local CMailHostApp* t_wizardHost = nullptr;

BOOL routeToWizardHost(void*, UINT id, HWND from) {
    return t_wizardHost != nullptr ? t_wizardHost->OnCommand(id, from) : FALSE;
}

// Sends the commands no window takes (Help) to `host` while the wizard runs. Registered before
// the pages are made: a page offers Help only when its module has a command handler. A handler
// the module registered itself stays in charge.
class HelpRoute {
public:
    explicit HelpRoute(CMailHostApp& host) : m_state(VeskGetModuleState()), m_previousHost(t_wizardHost) {
        t_wizardHost = &host;
        if (AfxGetCommandHandler(m_state) == nullptr) {
            AfxSetCommandHandler(m_state, routeToWizardHost);
            m_registered = true;
        }
    }
    ~HelpRoute() {
        if (m_registered) AfxSetCommandHandler(m_state, nullptr);
        t_wizardHost = m_previousHost;
    }
    HelpRoute(const HelpRoute&) = delete;
    HelpRoute& operator=(const HelpRoute&) = delete;

private:
    VESK_MODULE_STATE* m_state;
    CMailHostApp* m_previousHost;
    bool m_registered = false;
};

// The caller's window as a window object for the run. A window that already has an object
// (the caller's own) is used as it is; otherwise one is attached and detached again, so
// nothing of the run stays attached to the caller's window.
class ParentWindow {
public:
    explicit ParentWindow(HWND parent) {
        if (parent == nullptr) return;
        m_window = CWnd::FromHandlePermanent(parent);
        if (m_window == nullptr && m_attached.Attach(parent)) m_window = &m_attached;
    }
    ~ParentWindow() {
        if (m_attached.m_hWnd != nullptr) m_attached.Detach();
    }
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;

    CWnd* get() const { return m_window; }

private:
    CWnd m_attached;
    CWnd* m_window = nullptr;
};

// The pages of one run. They leave the sheet and are deleted when the run ends, on every path.
class PageSet {
public:
    explicit PageSet(CWizard& wizard) : m_wizard(wizard) {}
    ~PageSet() { release(); }
    PageSet(const PageSet&) = delete;
    PageSet& operator=(const PageSet&) = delete;

    std::vector<CWizardPage*>& pages() { return m_pages; }

    void release() {
        while (m_wizard.GetPageCount() > 0) m_wizard.RemovePage(0);
        for (CWizardPage* page : m_pages) delete page;
        m_pages.clear();
    }

private:
    CWizard& m_wizard;
    std::vector<CWizardPage*> m_pages;
};

HWND boxOwner(HWND parent) {
    return parent != nullptr && IsWindow(parent) ? parent : nullptr;
}

}  // namespace

CWizardBackend::~CWizardBackend() = default;

int CWizardBackend::Prepare(bool*) {
    return MAILHOST_OK;
}

int RunConfigWizard(CMailHostApp& host, CWizardBackend& backend, HWND parent, const char* configFile,
                    const char* hostName, int inMailSetup, int* outcome) {
    const std::string file = configFile != nullptr ? configFile : "";
    const std::string name = hostName != nullptr ? hostName : "";

    bool showError = true;
    int result = backend.Prepare(&showError);
    if (result != MAILHOST_OK) {
        if (showError) backend.ShowError(boxOwner(parent), result);
        return result;
    }

    {
        HelpRoute help(host);
        ParentWindow owner(parent);
        const CWizardTexts texts = backend.Texts();
        CWizard wizard(LoadResString(texts.caption), inMailSetup, owner.get(), 0, texts, backend.ValueCount());

        if (name == backend.HeldHostName()) {
            wizard.SetValues(backend.HeldValues());
        } else if (!file.empty()) {
            wizard.SetValues(backend.LoadValues(file.c_str(), name.c_str()));
        }

        PageSet pages(wizard);
        result = backend.CreatePages(pages.pages());
        if (result == MAILHOST_OK) {
            for (CWizardPage* page : pages.pages()) wizard.AddPage(page);
            wizard.SetWizardMode();
            const INT_PTR ended = wizard.DoModal();
            int reached = MAILHOST_WIZARD_CANCELLED;
            if (ended == ID_WIZBACK) {
                reached = MAILHOST_WIZARD_BACK;
            } else if (ended == ID_WIZFINISH) {
                backend.StoreHeldValues(wizard.GetValues());
                reached = MAILHOST_WIZARD_FINISHED;
            }
            if (outcome != nullptr) *outcome = reached;
        }
        pages.release();
    }

    if (result != MAILHOST_OK) backend.ShowError(boxOwner(parent), result);
    return result;
}
