#include "WizardFixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/AfxWnd.h"
#include "win32/Module.h"
#include "win32/Profile.h"
#include "win32/Window.h"

namespace wizardtest {

const char kCancelQuestion[] =
    "If you cancel now, you can return to Mail Setup at any time.\n\n  Are you sure that you want to cancel Mail Setup?";

void WizardFixture::SetUp() {
    char pattern[] = "/tmp/wizard-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
    config = dir + "/conduit.ini";
    ::setenv("VESK_HOME", dir.c_str(), 1);
    ::setenv("VESK_LIBRARY_PATH", WIZARD_TEST_LANGUAGE_DIR ":" VESK_TEST_MODULE_DIR, 1);
    m_language = LoadLibraryA("WIZARDTEST.DLL");
    ASSERT_NE(m_language, nullptr);
    // The state a plug-in selects during a call: its resources and its host object.
    state.hInstance = m_language;
    state.hResource = m_language;
    state.app = &app;
    m_previous = VeskSetModuleState(&state);
}

void WizardFixture::TearDown() {
    // Nothing of a run outlives it: its pages and its route for Help are gone.
    EXPECT_EQ(livePages(), 0);
    EXPECT_EQ(AfxGetCommandHandler(&state), nullptr);
    VeskSetModuleState(m_previous);
    if (m_language != nullptr) FreeLibrary(m_language);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

RunResult WizardFixture::run(std::vector<vesk::ui::ScriptAction> actions, const std::string& hostName,
                             int inMailSetup, const std::string* configFile) {
    RunResult r;
    HWND window = vesk::ui::createScriptedPresenterWindow(std::move(actions), &r.presenter);
    EXPECT_NE(window, nullptr);
    const std::string& file = configFile != nullptr ? *configFile : config;
    r.result = app.DisplayConfigWizardPages(window, file.c_str(), hostName.c_str(), 0, 0, inMailSetup, &r.outcome);
    // The run leaves the caller's window as it found it: no window object stays attached.
    EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
    DestroyWindow(window);
    return r;
}

void WizardFixture::storeUser(const std::string& host, const std::string& user) {
    const std::string section = "TestPlugin " + host;
    WritePrivateProfileStringA(section.c_str(), "UserName", user.c_str(), config.c_str());
}

}  // namespace wizardtest
