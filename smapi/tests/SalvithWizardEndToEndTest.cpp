// Salvith's "Mail Setup" wizard end to end: salvith.so loaded through the module loader as the
// conduit loads it, in a temporary desktop, its wizard run over a scripted presenter window.
// The transcripts are checked against the exact texts of the English language library.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SmapiFixture.h"
#include "framework/MailHostExports.h"
#include "framework/PasswordScramble.h"
#include "platform/ScriptedPresenter.h"
#include "savidne_ids.h"
#include "win32/Gdi.h"
#include "win32/Help.h"
#include "win32/MessageBox.h"
#include "win32/Module.h"
#include "win32/Profile.h"
#include "win32/PropSheet.h"
#include "win32/Window.h"

namespace smapitest {
namespace {

namespace fs = std::filesystem;
using vesk::ui::ScriptAction;
using vesk::ui::WindowView;

const char kEudora[] = "Eudora 3.0.1 or higher";
const char kOutlookExpress[] = "Microsoft Outlook Express";
const char kNetscape[] = "Netscape Communicator 4.5 or higher";

const char kCongratulations[] =
    "Congratulations!  Your Mail is now set up and ready for use with the following configuration:";
const char kCancelQuestion[] =
    "If you cancel now, you can return to Mail Setup at any time by choosing the Mail Setup icon in the Vesk Desktop "
    "program group.  Click Start on your Windows desktop, choose Programs, Vesk Desktop program group, and Mail "
    "Setup.\n\n  Are you sure that you want to cancel Mail Setup?";
const char kReminderIcon[] =
    "You can return to Mail Setup at any time by choosing the Mail Setup icon in the Vesk Desktop program group. "
    "Click Start on your Windows desktop, choose Programs, Vesk Desktop program group, and Mail Setup.";
const char kReminderPlain[] =
    "You can return to Mail Setup at any time by choosing the Mail Setup Icon in the Vesk Desktop program group.  "
    "Click Start on your Windows desktop, choose Programs, Vesk Desktop program group, and Mail Setup.";

/// The texts of a visible control with that exact text, as shown on `page`.
bool shows(const WindowView& page, const std::string& text) {
    for (const auto& control : page.controls) {
        if (control.visible && control.text == text) return true;
    }
    return false;
}

struct WizardRun {
    int result = -1;
    int outcome = 77;  // preset: a failed run must leave it
    std::shared_ptr<vesk::ui::ScriptedPresenter> presenter;
    const vesk::ui::Transcript& transcript() const { return presenter->transcript(); }
};

/// A settings record as SetHostConfigInfo writes it into a file.
struct Saved {
    int result = -1;
    std::string host, account, password;
};

class SalvithWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/salvith-wizard-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        home = pattern;
        config = home + "/conduit.ini";
        ::setenv("VESK_HOME", home.c_str(), 1);
        ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR, 1);
        module = LoadLibraryA(VESK_TEST_MODULE_DIR "/salvith.so");
        ASSERT_NE(module, nullptr);
        ASSERT_EQ(BindMailHostExports(module, plugin), nullptr);
        // Start from a host object that holds nothing, whoever loaded the library before.
        plugin.SetHostConfigInfo("", 0);
    }
    void TearDown() override {
        if (module != nullptr) FreeLibrary(module);
        std::error_code ignored;
        fs::remove_all(home, ignored);
    }

    WizardRun wizard(std::vector<ScriptAction> actions, const std::string& host, int inMailSetup,
                     const std::string* configFile = nullptr) {
        WizardRun r;
        HWND window = vesk::ui::createScriptedPresenterWindow(std::move(actions), &r.presenter);
        EXPECT_NE(window, nullptr);
        const std::string& file = configFile != nullptr ? *configFile : config;
        r.result = plugin.DisplayConfigWizardPages(window, file.c_str(), host.c_str(), 0, 0, inMailSetup, &r.outcome);
        DestroyWindow(window);
        EXPECT_TRUE(r.transcript().errors().empty()) << r.transcript().toText();
        return r;
    }

    /// Hands the held settings to SetHostConfigInfo for a fresh file and reads that file (the
    /// host object forgets them, as it does for the conduit).
    Saved saveHeld() {
        const std::string file = home + "/saved-" + std::to_string(++m_saves) + ".ini";
        Saved saved;
        saved.result = plugin.SetHostConfigInfo(file.c_str(), 1);
        saved.host = read(file, "SmapiPlugin", "MsgHostName");
        const std::string section = "SmapiPlugin " + saved.host;
        saved.account = read(file, section, "UserAccount");
        saved.password = UnscramblePassword(read(file, section, "UserData"));
        return saved;
    }
    static std::string read(const std::string& file, const std::string& section, const char* key) {
        char value[1024] = "";
        GetPrivateProfileStringA(section.c_str(), key, "", value, sizeof value, file.c_str());
        return value;
    }

    std::string home;
    std::string config;
    HMODULE module = nullptr;
    MailHostExports plugin;

private:
    int m_saves = 0;
};

// The closing page each mail program gets, with its own texts.
struct PageRow {
    const char* name;
    const char* host;
    int templateId;
    int reminderId;
    const char* reminder;
    std::vector<std::string> texts;  // further exact texts the page shows
};

void PrintTo(const PageRow& row, std::ostream* os) { *os << row.name; }

class SalvithPageTest : public SalvithWizardTest, public ::testing::WithParamInterface<PageRow> {};

TEST_P(SalvithPageTest, HostNameChoosesThePageAndTheFlagShapesItsEnd) {
    const PageRow& row = GetParam();
    writeConfig(config, row.host, "anna", "s3cret");
    for (int inMailSetup : {1, 0}) {
        SCOPED_TRACE(inMailSetup);
        const int gdiBefore = VeskGdiObjectCount();
        WizardRun r = wizard({ScriptAction::press("Finish")}, row.host, inMailSetup);
        ASSERT_EQ(r.result, MAILHOST_OK);
        EXPECT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED);
        ASSERT_EQ(r.transcript().pages().size(), 1u);
        const WindowView& page = *r.transcript().pages().front();
        EXPECT_EQ(page.templateId, row.templateId);
        EXPECT_EQ(page.caption, "Mail Setup");
        EXPECT_TRUE(page.wizard);
        EXPECT_TRUE(shows(page, kCongratulations));
        EXPECT_TRUE(shows(page, "Mail System:"));
        EXPECT_EQ(page.control(SAVIDNE_IDC_HOST_NAME)->text, row.host);
        for (const std::string& text : row.texts) EXPECT_TRUE(shows(page, text)) << text;
        // Back stays offered on the only page, Finish ends it.
        EXPECT_TRUE(page.button(ID_WIZBACK)->visible);
        EXPECT_FALSE(page.button(ID_WIZNEXT)->visible);
        EXPECT_TRUE(page.button(ID_WIZFINISH)->visible);
        const vesk::ui::ControlView* reminder = page.control(row.reminderId);
        ASSERT_NE(reminder, nullptr);
        EXPECT_EQ(reminder->text, row.reminder);
        if (inMailSetup != 0) {
            EXPECT_EQ(page.button(ID_WIZFINISH)->text, "&Next >");
            EXPECT_TRUE(reminder->visible);
        } else {
            EXPECT_EQ(page.button(ID_WIZFINISH)->text, "Finish");
            EXPECT_FALSE(reminder->visible);
        }
        if (row.templateId == SAVIDNE_IDD_CONGRATS_PAGE) {
            // The user-name line is not shown.
            EXPECT_FALSE(page.control(SAVIDNE_IDC_USER_NAME_LABEL)->visible);
            EXPECT_FALSE(page.control(SAVIDNE_IDC_USER_ACCOUNT)->visible);
        } else {
            const vesk::ui::ControlView* heading = page.control(SAVIDNE_IDC_INSTRUCTIONS_HEADING);
            EXPECT_EQ(heading->text, "Setup Instructions:");
            EXPECT_EQ(heading->font.weight, FW_BOLD);
            EXPECT_EQ(heading->font.face, "MS Sans Serif");
            EXPECT_EQ(heading->font.height, 13);  // the line height of the page's 8-point font
            EXPECT_NE(r.transcript().toText().find("static 205 \"Setup Instructions:\" bold"), std::string::npos);
        }
        // The bold font went with its page.
        EXPECT_EQ(VeskGdiObjectCount(), gdiBefore);
        EXPECT_EQ(saveHeld().host, row.host);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, SalvithPageTest,
    ::testing::Values(
        PageRow{"Eudora", kEudora, SAVIDNE_IDD_EUDORA_PAGE, SAVIDNE_IDC_RETURN_HINT_EUDORA, kReminderIcon,
                {"In order to synchronize with Eudora, you must first properly set up MAPI in Eudora.  The MAPI "
                 "setting can be found in the Eudora menu bar under Tools/Options. If Eudora is the only mail client "
                 "that you use, select",
                 "\"Always\" as the MAPI setting.  This will allow you to synchronize even if Eudora is not open.",
                 "If you use more than one E-Mail program, select \"When Eudora is running\" as the MAPI setting.  "
                 "You will then be able to synchronize only when Eudora is launched."}},
        PageRow{"OutlookExpress", kOutlookExpress, SAVIDNE_IDD_OUTLOOK_EXPRESS_PAGE, SAVIDNE_IDC_RETURN_HINT,
                kReminderIcon,
                {"In order to synchronize with Outlook Express, you must first properly set up MAPI in Outlook "
                 "Express.  The MAPI setting can be found under Options in the Outlook Express Tools menu.",
                 "To configure Outlook Express version 4 or earlier:",
                 "Check the box \"Make Outlook Express my default e-mail program,\" and then check the box \"Make "
                 "Outlook Express my default Simple MAPI client\".",
                 "To configure Outlook Express version 5 or later:",
                 "Under the heading \"Default Messaging Programs\", if Outlook Express is not the default Mail "
                 "handler, click the \"Make Default\" button."}},
        // Any other mail program gets the plain page.
        PageRow{"Netscape", kNetscape, SAVIDNE_IDD_CONGRATS_PAGE, SAVIDNE_IDC_RETURN_HINT, kReminderPlain, {}},
        // Both names in one: the Eudora page wins.
        PageRow{"BothNames", "Eudora and Outlook Express", SAVIDNE_IDD_EUDORA_PAGE, SAVIDNE_IDC_RETURN_HINT_EUDORA,
                kReminderIcon, {}}),
    [](const ::testing::TestParamInfo<PageRow>& row) { return std::string(row.param.name); });

TEST_F(SalvithWizardTest, CancelAsksOnlyInsideMailSetupAndOnlyNoKeepsTheWizard) {
    struct Row {
        const char* name;
        int inMailSetup;
        std::vector<ScriptAction> script;
        std::vector<int> answers;
        int outcome;
    } rows[] = {
        {"own run", 0, {ScriptAction::press("Cancel")}, {}, MAILHOST_WIZARD_CANCELLED},
        {"no, then yes", 1,
         {ScriptAction::press("Cancel"), ScriptAction::answer("No"), ScriptAction::press("Cancel"),
          ScriptAction::answer("Yes")},
         {IDNO, IDYES}, MAILHOST_WIZARD_CANCELLED},
        {"no, then next", 1, {ScriptAction::press("Cancel"), ScriptAction::answer("No"), ScriptAction::press("Finish")},
         {IDNO}, MAILHOST_WIZARD_FINISHED},
    };
    writeConfig(config, kEudora, "anna", "s3cret");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        WizardRun r = wizard(row.script, kEudora, row.inMailSetup);
        EXPECT_EQ(r.result, MAILHOST_OK);
        EXPECT_EQ(r.outcome, row.outcome);
        EXPECT_FALSE(r.transcript().ranOut());
        const auto boxes = r.transcript().boxes();
        ASSERT_EQ(boxes.size(), row.answers.size());
        for (size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_EQ(boxes[i]->box.text, kCancelQuestion);
            EXPECT_EQ(boxes[i]->box.caption, "Mail Setup");
            EXPECT_EQ(boxes[i]->box.style, static_cast<unsigned>(MB_YESNO | MB_ICONINFORMATION));
            EXPECT_EQ(boxes[i]->answer, row.answers[i]);
        }
        // A cancelled wizard hands nothing over.
        const Saved saved = saveHeld();
        EXPECT_EQ(saved.host, row.outcome == MAILHOST_WIZARD_FINISHED ? kEudora : "");
    }
}

TEST_F(SalvithWizardTest, BackEndsTheWizardAndKeepsTheHeldSettings) {
    writeConfig(config, kEudora, "anna", "s3cret");
    writeConfig(config, kOutlookExpress, "bob", "other");
    ASSERT_EQ(wizard({ScriptAction::press("Finish")}, kEudora, 1).outcome, MAILHOST_WIZARD_FINISHED);
    for (int inMailSetup : {1, 0}) {
        SCOPED_TRACE(inMailSetup);
        WizardRun r = wizard({ScriptAction::press("Back")}, kOutlookExpress, inMailSetup);
        EXPECT_EQ(r.result, MAILHOST_OK);
        EXPECT_EQ(r.outcome, MAILHOST_WIZARD_BACK);
        EXPECT_TRUE(r.transcript().boxes().empty());
        EXPECT_EQ(r.transcript().pages().size(), 1u);
    }
    const Saved saved = saveHeld();
    EXPECT_EQ(saved.result, 1);
    EXPECT_EQ(saved.host, kEudora);
    EXPECT_EQ(saved.account, "anna");
    EXPECT_EQ(saved.password, "s3cret");
}

TEST_F(SalvithWizardTest, FinishTakesTheStoredAccountAndItsPassword) {
    writeConfig(config, kOutlookExpress, "anna", "s3cret");
    writeConfig(config, kEudora, "bob", "b0b-pass");  // the file's current host is now Eudora
    WizardRun r = wizard({ScriptAction::press("Finish")}, kOutlookExpress, 0);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED);
    const Saved saved = saveHeld();
    EXPECT_EQ(saved.host, kOutlookExpress);
    EXPECT_EQ(saved.account, "anna");
    EXPECT_EQ(saved.password, "s3cret");
}

TEST_F(SalvithWizardTest, TheHeldMailProgramKeepsItsAccountOverTheFiles) {
    writeConfig(config, kNetscape, "anna", "s3cret");
    ASSERT_EQ(wizard({ScriptAction::press("Finish")}, kNetscape, 0).outcome, MAILHOST_WIZARD_FINISHED);
    // The file changes behind the held settings; a wizard for the held program still shows
    // and keeps what is held.
    writeConfig(config, kNetscape, "changed", "changed-pass");
    WizardRun r = wizard({ScriptAction::press("Finish")}, kNetscape, 0);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED);
    EXPECT_EQ(r.transcript().pages().front()->control(SAVIDNE_IDC_USER_ACCOUNT)->text, "anna");
    const Saved saved = saveHeld();
    EXPECT_EQ(saved.account, "anna");
    EXPECT_EQ(saved.password, "s3cret");
}

TEST_F(SalvithWizardTest, FinishWithoutAFileLeavesTheHeldSettingsEmpty) {
    writeConfig(config, kEudora, "anna", "s3cret");
    ASSERT_EQ(wizard({ScriptAction::press("Finish")}, kEudora, 0).outcome, MAILHOST_WIZARD_FINISHED);
    const std::string noFile;
    WizardRun r = wizard({ScriptAction::press("Finish")}, kOutlookExpress, 0, &noFile);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED);
    // The page names no mail system, and the held record is empty afterwards.
    EXPECT_EQ(r.transcript().pages().front()->control(SAVIDNE_IDC_HOST_NAME)->text, "");
    char text[64];
    int size = sizeof text;
    ASSERT_EQ(plugin.GetHostConfigInfo("", text, &size), MAILHOST_OK);
    EXPECT_STREQ(text, "Not Configured");
    const Saved saved = saveHeld();
    EXPECT_EQ(saved.result, 1);
    EXPECT_EQ(saved.host, "");
}

TEST_F(SalvithWizardTest, AMissingFileStillNamesThePickedProgram) {
    const std::string missing = home + "/no-such.ini";
    WizardRun r = wizard({ScriptAction::press("Finish")}, kEudora, 0, &missing);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED);
    EXPECT_EQ(r.transcript().pages().front()->control(SAVIDNE_IDC_HOST_NAME)->text, kEudora);
    const Saved saved = saveHeld();
    EXPECT_EQ(saved.host, kEudora);
    EXPECT_EQ(saved.account, "");
    EXPECT_FALSE(fs::exists(missing));  // the wizard only reads
}

TEST_F(SalvithWizardTest, HelpOpensTheHelpFileContents) {
    WizardRun r = wizard({ScriptAction::press("Help"), ScriptAction::press("Cancel")}, kEudora, 0);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_CANCELLED);
    EXPECT_TRUE(r.transcript().pages().front()->button(IDHELP)->visible);
    const vesk::ui::TranscriptEntry* help = nullptr;
    for (const auto& entry : r.transcript().entries()) {
        if (entry.kind == vesk::ui::TranscriptEntry::Kind::Help) help = &entry;
    }
    ASSERT_NE(help, nullptr) << r.transcript().toText();
    EXPECT_EQ(fs::path(help->help.path).filename(), "Helvor.hlp");
    EXPECT_EQ(help->help.command, static_cast<unsigned>(HELP_CONTENTS));
    EXPECT_FALSE(help->help.text.empty());
}

}  // namespace
}  // namespace smapitest
