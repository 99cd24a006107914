// One run of DisplayConfigWizardPages through the frame: seeding, outcomes and held settings,
// page creation failing, the backend's preparation failing, the caller's window.
#include <gtest/gtest.h>

#include "WizardFixture.h"
#include "framework/Allocation.h"
#include "platform/AfxWnd.h"
#include "win32/MessageBox.h"
#include "win32/Window.h"
#include "wizardtest_ids.h"

namespace wizardtest {
namespace {

using vesk::ui::ScriptAction;

class WizardRunTest : public WizardFixture {};

// Where the pages' values come from: the held settings, the file, or nowhere.
struct SeedRow {
    const char* name;
    CWizardValues held;
    const char* hostName;
    bool withFile;           // pass the configuration file (else an empty name)
    CWizardValues expected;  // what the summary page shows: mail system, user
};

void PrintTo(const SeedRow& row, std::ostream* os) { *os << row.name; }

class WizardSeedTest : public WizardFixture, public ::testing::WithParamInterface<SeedRow> {};

TEST_P(WizardSeedTest, PagesOpenWithTheRightSettings) {
    const SeedRow& row = GetParam();
    app.twoPages = false;
    app.held = row.held;
    storeUser("Alpha", "file-alpha");
    storeUser("Beta", "file-beta");
    const std::string noFile;
    RunResult r = run({ScriptAction::press("Cancel")}, row.hostName, 0, row.withFile ? nullptr : &noFile);
    ASSERT_EQ(r.result, MAILHOST_OK);
    const vesk::ui::WindowView* page = r.transcript().pages().front();
    EXPECT_EQ(page->control(WIZTEST_IDC_MAIL_SYSTEM)->text, row.expected[kMailSystem]);
    EXPECT_EQ(page->control(WIZTEST_IDC_SUMMARY_USER)->text, row.expected[kUserName]);
    EXPECT_EQ(app.held, row.held);  // cancelled: held settings untouched
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WizardSeedTest,
    ::testing::Values(
        // The held mail system wins over what the file says for it.
        SeedRow{"HeldSystem", {"Alpha", "held-user"}, "Alpha", true, {"Alpha", "held-user"}},
        // Another mail system comes from its section of the file.
        SeedRow{"OtherSystemFromFile", {"Alpha", "held-user"}, "Beta", true, {"Beta", "file-beta"}},
        // A mail system the file does not know: its name, nothing else.
        SeedRow{"UnknownSystem", {"Alpha", "held-user"}, "Gamma", true, {"Gamma", ""}},
        // No file and another mail system: nothing at all.
        SeedRow{"NoFile", {"Alpha", "held-user"}, "Beta", false, {"", ""}},
        // Nothing held and no name asked: the empty held settings match.
        SeedRow{"NothingHeld", {"", ""}, "", true, {"", ""}}),
    [](const ::testing::TestParamInfo<SeedRow>& row) { return std::string(row.param.name); });

TEST_F(WizardRunTest, FinishHandsTheWizardsSettingsToTheHostObject) {
    app.held = {"Alpha", "held-user"};
    storeUser("Beta", "file-beta");
    RunResult r = run({ScriptAction::type(WIZTEST_IDC_USER_NAME, "new-user"), ScriptAction::press("Next"),
                       ScriptAction::press("Finish")},
                      "Beta", 1);
    EXPECT_EQ(r.result, MAILHOST_OK);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED);
    EXPECT_EQ(app.held, (CWizardValues{"Beta", "new-user"}));
    // The name page opened with the file's value; the summary showed the typed one.
    EXPECT_EQ(r.transcript().pagesOf(WIZTEST_IDD_NAME_PAGE).front()->control(WIZTEST_IDC_USER_NAME)->text, "file-beta");
    EXPECT_EQ(r.transcript().pagesOf(WIZTEST_IDD_SUMMARY_PAGE).front()->control(WIZTEST_IDC_SUMMARY_USER)->text,
              "new-user");
}

TEST_F(WizardRunTest, ANullOutcomeIsNotWritten) {
    app.twoPages = false;
    HWND window = vesk::ui::createScriptedPresenterWindow({ScriptAction::press("Finish")}, nullptr);
    EXPECT_EQ(app.DisplayConfigWizardPages(window, config.c_str(), "Alpha", 0, 0, 0, nullptr), MAILHOST_OK);
    DestroyWindow(window);
    EXPECT_EQ(app.held[kMailSystem], "Alpha");
}

// A page that cannot be created: the first, or the second after the first was made.
class WizardOutOfMemoryTest : public WizardFixture, public ::testing::WithParamInterface<int> {};

TEST_P(WizardOutOfMemoryTest, ShowsTheErrorBoxAndLeavesTheOutcome) {
    app.held = {"Alpha", "held-user"};
    vesk::injectAllocationFailure(GetParam());
    RunResult r = run({}, "Alpha", 1);
    vesk::injectAllocationFailure(-1);
    EXPECT_EQ(r.result, MAILHOST_OUT_OF_MEMORY);
    EXPECT_EQ(r.outcome, 77);
    EXPECT_EQ(app.held, (CWizardValues{"Alpha", "held-user"}));
    EXPECT_TRUE(r.transcript().pages().empty());  // no wizard shown
    EXPECT_EQ(app.shownErrors, std::vector<int>{MAILHOST_OUT_OF_MEMORY});
    const auto boxes = r.transcript().boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]->box.text, "There is not enough memory to complete this operation.");
    EXPECT_EQ(boxes[0]->box.caption, "Mail Setup");
    EXPECT_EQ(livePages(), 0);  // the page made before the failure is gone too
}

INSTANTIATE_TEST_SUITE_P(FailingPage, WizardOutOfMemoryTest, ::testing::Values(0, 1));

TEST_F(WizardRunTest, FailedPreparationEndsTheRunBeforeAnyWindow) {
    struct Row {
        bool shows;
        size_t boxes;
    } rows[] = {{true, 1}, {false, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shows);
        app.shownErrors.clear();
        app.prepareResult = MAILHOST_SERVER_ERROR;
        app.prepareShows = row.shows;
        RunResult r = run({}, "Alpha", 0);
        EXPECT_EQ(r.result, MAILHOST_SERVER_ERROR);
        EXPECT_EQ(r.outcome, 77);
        EXPECT_TRUE(r.transcript().pages().empty());
        EXPECT_EQ(r.transcript().boxes().size(), row.boxes);
        EXPECT_EQ(app.shownErrors.size(), row.boxes);
    }
}

TEST_F(WizardRunTest, TheCallersOwnWindowObjectStaysAttached) {
    std::shared_ptr<vesk::ui::ScriptedPresenter> presenter;
    HWND window = vesk::ui::createScriptedPresenterWindow({ScriptAction::press("Cancel")}, &presenter);
    CWnd own;
    ASSERT_TRUE(own.Attach(window));
    int outcome = 77;
    EXPECT_EQ(app.DisplayConfigWizardPages(window, config.c_str(), "Alpha", 0, 0, 0, &outcome), MAILHOST_OK);
    EXPECT_EQ(outcome, MAILHOST_WIZARD_CANCELLED);
    EXPECT_EQ(CWnd::FromHandlePermanent(window), &own);
    EXPECT_EQ(presenter->transcript().pages().size(), 1u);
    own.Detach();
    DestroyWindow(window);
}

TEST_F(WizardRunTest, AHandlerTheModuleRegisteredStaysInCharge) {
    static UINT s_seen = 0;
    AFX_COMMAND_HANDLER own = [](void*, UINT id, HWND) -> BOOL {
        s_seen = id;
        return TRUE;
    };
    AfxSetCommandHandler(&state, own);
    RunResult r = run({ScriptAction::press("Help"), ScriptAction::press("Cancel")}, "Alpha", 0);
    EXPECT_EQ(AfxGetCommandHandler(&state), own);
    AfxSetCommandHandler(&state, nullptr);
    EXPECT_EQ(s_seen, static_cast<UINT>(ID_HELP));
    EXPECT_TRUE(app.commands.empty());
}

TEST(WizardValuesTest, SetValuesKeepsTheBackendsCount) {
    CWizard wizard("Mail Setup", 0, nullptr, 0, CWizardTexts{}, 3);
    EXPECT_EQ(wizard.GetValues(), (CWizardValues{"", "", ""}));
    wizard.SetValues({"a", "b"});
    EXPECT_EQ(wizard.GetValues(), (CWizardValues{"a", "b", ""}));
    wizard.SetValues({"x", "y", "z", "surplus"});
    EXPECT_EQ(wizard.GetValues(), (CWizardValues{"x", "y", "z"}));
    wizard.SetValue(1, "changed");
    wizard.SetValue(7, "ignored");
    EXPECT_EQ(wizard.GetValue(1), "changed");
    EXPECT_EQ(wizard.GetValue(7), "");
    EXPECT_EQ(wizard.m_inMailSetup, 0);
}

}  // namespace
}  // namespace wizardtest
