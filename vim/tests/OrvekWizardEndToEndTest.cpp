// Orvek's "Mail Setup" wizard end to end: orvek.so loaded as the conduit loads it, over the
// real VIM stand-in and a post office with a default login, its four pages run over a scripted
// presenter window and checked against the English language library's texts.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PostOfficeDesktop.h"
#include "framework/PasswordScramble.h"
#include "kestrav_ids.h"
#include "platform/ScriptedPresenter.h"
#include "platform/RegistryValues.h"
#include "win32/MessageBox.h"
#include "win32/Profile.h"
#include "win32/Window.h"

namespace vimtest {
namespace {

using vesk::ui::ScriptAction;
using vesk::ui::WindowView;

const char kUserRequired[] = "You must enter a user name before continuing.";
const char kBadPassword[] =
    "You did not correctly enter your password.  Without the correct password, Mail will be unable to log onto your "
    "E-Mail application to synchronize your e-mail.  Contact your system administrator if you do not know your "
    "password or need further assistance.";
const char kBadUser[] =
    "You did not correctly enter your user name.  Without the correct user name, Mail will be unable to log onto "
    "your E-Mail application to synchronize your e-mail.  Contact your system administrator if you do not know your "
    "user name or need further assistance.";

struct WizardRun {
    int result = -1;
    int outcome = 77;  // preset: a run that must not write it shows that it did not
    std::shared_ptr<vesk::ui::ScriptedPresenter> presenter;
    const vesk::ui::Transcript& transcript() const { return presenter->transcript(); }
};

struct Saved {
    int result = -1;
    std::string host, user, password, postOffice, gateway;
};

class OrvekWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(desktop.create("orvek-wizard"));
        ASSERT_TRUE(plugin.load(VESK_TEST_MODULE_DIR "/orvek.so"));
        plugin.SetHostConfigInfo("", 0);
    }
    void TearDown() override { desktop.destroy(); }

    WizardRun wizard(std::vector<ScriptAction> actions, int inMailSetup, const std::string* configFile = nullptr) {
        WizardRun r;
        HWND window = vesk::ui::createScriptedPresenterWindow(std::move(actions), &r.presenter);
        EXPECT_NE(window, nullptr);
        const std::string& file = configFile != nullptr ? *configFile : desktop.config;
        r.result = plugin.DisplayConfigWizardPages(window, file.c_str(), kHostName, 0, 0, inMailSetup, &r.outcome);
        DestroyWindow(window);
        EXPECT_TRUE(r.transcript().errors().empty()) << r.transcript().toText();
        return r;
    }
    Saved saveHeld() {
        const std::string file = desktop.home + "/saved-" + std::to_string(++m_saves) + ".ini";
        Saved s;
        s.result = plugin.SetHostConfigInfo(file.c_str(), 1);
        s.host = read(file, "VimPlugin", "MsgHostName");
        const std::string section = "VimPlugin " + s.host;
        s.user = read(file, section, "UserAccount");
        s.password = UnscramblePassword(read(file, section, "UserData"));
        s.postOffice = read(file, section, "PostOfficePath");
        s.gateway = read(file, section, "InternetGateway");
        return s;
    }
    static std::string read(const std::string& file, const std::string& section, const char* key) {
        char value[1024] = "";
        GetPrivateProfileStringA(section.c_str(), key, "", value, sizeof value, file.c_str());
        return value;
    }
    static std::string textOf(const WindowView* page, int control) {
        const auto* c = page != nullptr ? page->control(control) : nullptr;
        return c != nullptr ? c->text : "<none>";
    }

    PostOfficeDesktop desktop;
    Plugin plugin;

private:
    int m_saves = 0;
};

TEST_F(OrvekWizardTest, FourPagesWithTheStoredSettingsAndAFinishThatHoldsThem) {
    WizardRun r = wizard({ScriptAction::press("Next"), ScriptAction::press("Next"),
                          ScriptAction::type(KESTRAV_IDC_GATEWAY, "CCGATE"), ScriptAction::press("Next"),
                          ScriptAction::press("Finish")},
                         0);
    ASSERT_EQ(r.result, MAILHOST_OK);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED);
    const auto pages = r.transcript().pages();
    ASSERT_EQ(pages.size(), 4u) << r.transcript().toText();
    EXPECT_EQ(textOf(pages[0], KESTRAV_IDC_USER_NAME), "Teo");
    EXPECT_EQ(textOf(pages[1], KESTRAV_IDC_POST_OFFICE_PATH), desktop.postOffice) << "the path keeps its case";
    EXPECT_EQ(textOf(pages[2], KESTRAV_IDC_GATEWAY), "Internet");
    EXPECT_EQ(textOf(pages[3], KESTRAV_IDC_SUMMARY_MAIL_SYSTEM), kHostName);
    EXPECT_EQ(textOf(pages[3], KESTRAV_IDC_SUMMARY_GATEWAY), "CCGATE");
    const auto* reminder = pages[3]->control(KESTRAV_IDC_RETURN_HINT);
    EXPECT_TRUE(reminder == nullptr || !reminder->visible) << "hidden when Mail Setup runs on its own";
    EXPECT_TRUE(r.transcript().boxes().empty()) << "the logon test passed silently";
    const Saved s = saveHeld();
    EXPECT_EQ(s.result, 1);
    EXPECT_EQ(s.host, kHostName);
    EXPECT_EQ(s.user, "Teo");
    EXPECT_EQ(s.password, "s3cret");
    EXPECT_EQ(s.postOffice, desktop.postOffice);
    EXPECT_EQ(s.gateway, "CCGATE");
}

TEST_F(OrvekWizardTest, AFirstRunWithoutAFileShowsTheDefaultLoginsPathAndStillSaves) {
    const std::string none;
    WizardRun r = wizard({ScriptAction::type(KESTRAV_IDC_USER_NAME, "Anna"), ScriptAction::type(KESTRAV_IDC_PASSWORD, "annapw"),
                          ScriptAction::press("Next"), ScriptAction::press("Next"), ScriptAction::press("Next"),
                          ScriptAction::press("Finish")},
                         0, &none);
    ASSERT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED);
    const auto pages = r.transcript().pages();
    ASSERT_GE(pages.size(), 2u);
    EXPECT_EQ(textOf(pages[0], KESTRAV_IDC_USER_NAME), "") << "the wizard's (empty) value replaces the default";
    EXPECT_EQ(textOf(pages[1], KESTRAV_IDC_POST_OFFICE_PATH), desktop.postOffice);
    // Nothing preset a host name: the finished wizard holds the one it ran for, so it saves.
    const Saved s = saveHeld();
    EXPECT_EQ(s.host, kHostName);
    EXPECT_EQ(s.user, "Anna");
    EXPECT_EQ(s.postOffice, desktop.postOffice);
}

TEST_F(OrvekWizardTest, EmptyUserNameOrPathKeepsThePage) {
    WizardRun r = wizard({ScriptAction::type(KESTRAV_IDC_USER_NAME, ""), ScriptAction::press("Next"),
                          ScriptAction::answer("OK"), ScriptAction::type(KESTRAV_IDC_USER_NAME, "Teo"),
                          ScriptAction::press("Next"), ScriptAction::type(KESTRAV_IDC_POST_OFFICE_PATH, ""),
                          ScriptAction::press("Next"), ScriptAction::answer("OK"), ScriptAction::press("Cancel")},
                         0);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_CANCELLED);
    const auto boxes = r.transcript().boxes();
    ASSERT_EQ(boxes.size(), 2u) << r.transcript().toText();
    EXPECT_EQ(boxes[0]->box.text, kUserRequired);
    EXPECT_EQ(boxes[0]->box.caption, "User identity");
    EXPECT_EQ(boxes[0]->box.style, static_cast<unsigned>(MB_ICONEXCLAMATION));
    EXPECT_EQ(boxes[1]->box.caption, "cc:Mail Post Office");
    EXPECT_EQ(boxes[1]->box.style, 0u);
    EXPECT_EQ(r.transcript().lastPage()->templateId, KESTRAV_IDD_POST_OFFICE_PAGE);
    EXPECT_EQ(saveHeld().host, "") << "a cancelled wizard holds nothing";
}

TEST_F(OrvekWizardTest, LogonTestFailuresInformAndMoveOn) {
    struct Row {
        const char* what;
        std::string user, password;
        const char* text;
    };
    const Row rows[] = {{"wrong password", "Teo", "nope", kBadPassword}, {"no such user", "Zed", "x", kBadUser}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        WizardRun r = wizard({ScriptAction::type(KESTRAV_IDC_USER_NAME, row.user),
                              ScriptAction::type(KESTRAV_IDC_PASSWORD, row.password), ScriptAction::press("Next"),
                              ScriptAction::press("Next"), ScriptAction::answer("OK"), ScriptAction::press("Cancel")},
                             0);
        const auto boxes = r.transcript().boxes();
        ASSERT_EQ(boxes.size(), 1u) << r.transcript().toText();
        EXPECT_EQ(boxes[0]->box.text, row.text);
        EXPECT_EQ(boxes[0]->box.caption, "Mail Setup");
        EXPECT_EQ(boxes[0]->box.style, static_cast<unsigned>(MB_ICONHAND));
        EXPECT_EQ(r.transcript().lastPage()->templateId, KESTRAV_IDD_GATEWAY_PAGE);
    }
}

TEST_F(OrvekWizardTest, NoPostOfficeOffersToGoBack) {
    for (const char* choice : {"Cancel", "Save"}) {
        SCOPED_TRACE(choice);
        WizardRun r = wizard({ScriptAction::press("Next"),
                              ScriptAction::type(KESTRAV_IDC_POST_OFFICE_PATH, desktop.home + "/nowhere"),
                              ScriptAction::press("Next"), ScriptAction::press(choice), ScriptAction::press("Cancel")},
                             0);
        const auto failed = r.transcript().pagesOf(KESTRAV_IDD_LOGON_FAILED);
        ASSERT_EQ(failed.size(), 1u) << r.transcript().toText();
        const int expected = std::string(choice) == "Cancel" ? KESTRAV_IDD_USER_PAGE : KESTRAV_IDD_GATEWAY_PAGE;
        EXPECT_EQ(r.transcript().lastPage()->templateId, expected) << r.transcript().toText();
    }
}

TEST_F(OrvekWizardTest, ThePasswordFieldTakesNoMoreThanIsStored) {
    const std::string long40(40, 'p');
    WizardRun r = wizard({ScriptAction::type(KESTRAV_IDC_PASSWORD, long40), ScriptAction::press("Next"),
                          ScriptAction::press("Next"), ScriptAction::answer("OK"), ScriptAction::press("Next"),
                          ScriptAction::press("Finish")},
                         0);
    ASSERT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED) << r.transcript().toText();
    EXPECT_EQ(saveHeld().password, std::string(32, 'p'));
}

TEST_F(OrvekWizardTest, BrowseSetsThePathTheChooserGave) {
    WizardRun r = wizard({ScriptAction::press("Next"), ScriptAction::type(KESTRAV_IDC_POST_OFFICE_PATH, "/no/such/dir"),
                          ScriptAction::press(KESTRAV_IDC_BROWSE), ScriptAction::chooseDirectory(desktop.postOffice),
                          ScriptAction::press("Cancel")},
                         0);
    EXPECT_EQ(textOf(r.transcript().lastPage(), KESTRAV_IDC_POST_OFFICE_PATH), desktop.postOffice)
        << r.transcript().toText();
}

TEST_F(OrvekWizardTest, InsideMailSetupTheLastButtonReadsNextAndCancelAsks) {
    WizardRun r = wizard({ScriptAction::press("Next"), ScriptAction::press("Next"), ScriptAction::press("Next"),
                          ScriptAction::press("Cancel"), ScriptAction::answer("No"), ScriptAction::press("Finish")},
                         1);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED);
    EXPECT_NE(r.transcript().toText().find("Finish \"&Next >\""), std::string::npos) << r.transcript().toText();
    ASSERT_EQ(r.transcript().boxes().size(), 1u);
    EXPECT_EQ(r.transcript().boxes()[0]->box.style, static_cast<unsigned>(MB_YESNO | MB_ICONINFORMATION));
}

TEST_F(OrvekWizardTest, BackOutOfTheFirstPageKeepsTheHeldSettings) {
    WizardRun r = wizard({ScriptAction::type(KESTRAV_IDC_USER_NAME, "Changed"), ScriptAction::press("Back")}, 1);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_BACK);
    EXPECT_EQ(saveHeld().host, "");
}

TEST_F(OrvekWizardTest, NoDefaultLoginShowsNoWizard) {
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\VIM", "User", "");
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\VIM", "PostOffice", "");
    WizardRun r = wizard({}, 0);
    EXPECT_EQ(r.result, MAILHOST_SERVER_ERROR);
    EXPECT_EQ(r.outcome, 77);
    EXPECT_TRUE(r.transcript().pages().empty());
    EXPECT_TRUE(r.transcript().boxes().empty());
}

}  // namespace
}  // namespace vimtest
