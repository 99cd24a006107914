// Orvek's wizard inside the test program over the recording fake: what runs before anything
// is shown, pages that cannot be created, and the error box. (OrvekWizardEndToEndTest runs the
// wizard through orvek.so over a real post office.)
#include <gtest/gtest.h>

#include "VimErrorBox.h"
#include "VimFixture.h"
#include "framework/Allocation.h"
#include "platform/ScriptedPresenter.h"
#include "win32/MessageBox.h"
#include "win32/Window.h"

namespace vimtest {
namespace {

using Calls = std::vector<std::string>;
using vesk::ui::ScriptAction;

struct WizardRun {
    int result = -1;
    int outcome = 77;
    std::shared_ptr<vesk::ui::ScriptedPresenter> presenter;
};

class VimWizardTest : public VimFakeTest {
protected:
    WizardRun wizard(std::vector<ScriptAction> actions, int failAllocation = -1) {
        WizardRun r;
        HWND window = vesk::ui::createScriptedPresenterWindow(std::move(actions), &r.presenter);
        if (failAllocation >= 0) vesk::injectAllocationFailure(failAllocation);
        r.result = app.DisplayConfigWizardPages(window, config.c_str(), kHost, 0, 0, 0, &r.outcome);
        vesk::injectAllocationFailure(-1);
        DestroyWindow(window);
        return r;
    }
};

TEST_F(VimWizardTest, TheDefaultLoginIsReadWithTheLibraryStartedAndStoppedAgain) {
    WizardRun r = wizard({ScriptAction::press("Cancel")});
    EXPECT_EQ(r.result, MAILHOST_OK);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_CANCELLED);
    EXPECT_EQ(fakevim::calls(),
              (Calls{"Initialize()", "QueryCapability(106,4)", "GetDefaultSessionInfo(256,256)", "Terminate()"}));
    EXPECT_EQ(fakevim::started(), 0);
}

TEST_F(VimWizardTest, NoLibraryOrNoDefaultLoginShowsNothingAndStopsWhatStarted) {
    struct Row {
        const char* failingOp;
        Calls calls;
    };
    const Row rows[] = {
        {"Initialize", {"Initialize()"}},
        {"GetDefaultSessionInfo",
         {"Initialize()", "QueryCapability(106,4)", "GetDefaultSessionInfo(256,256)", "Terminate()"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.failingOp);
        fakevim::reset();
        fakevim::script().failures[row.failingOp][0] = VIMSTS_NO_DEFAULT;
        WizardRun r = wizard({});
        EXPECT_EQ(r.result, MAILHOST_SERVER_ERROR);
        EXPECT_EQ(r.outcome, 77);
        EXPECT_TRUE(r.presenter->transcript().pages().empty());
        EXPECT_TRUE(r.presenter->transcript().boxes().empty());
        EXPECT_EQ(fakevim::calls(), row.calls);
        EXPECT_EQ(fakevim::started(), 0);
    }
}

TEST_F(VimWizardTest, APageThatCannotBeCreatedShowsTheMemoryErrorAndFreesTheOthers) {
    app.Settings().SetHostName(kHost);
    app.Settings().SetUserAccount("anna");
    for (int failing = 0; failing < 4; ++failing) {
        SCOPED_TRACE(failing);
        WizardRun r = wizard({ScriptAction::answer("OK")}, failing);
        EXPECT_EQ(r.result, MAILHOST_OUT_OF_MEMORY);
        EXPECT_EQ(r.outcome, 77);
        EXPECT_TRUE(r.presenter->transcript().pages().empty());
        const auto boxes = r.presenter->transcript().boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0]->box.text, "There is not enough memory to complete this operation.");
        EXPECT_EQ(boxes[0]->box.style, static_cast<unsigned>(MB_ICONHAND | MB_OK));
        EXPECT_EQ(app.Settings().UserAccount(), "anna");
    }
}

TEST_F(VimWizardTest, ErrorBoxSaysEachCodeInItsOwnWords) {
    struct Row {
        int code;
        const char* text;
    } rows[] = {
        {MAILHOST_SERVER_ERROR,
         "An error occurred while trying to access the mail server.  Please verify you are connected to your mail "
         "system, then try this operation again."},
        {MAILHOST_OUT_OF_MEMORY, "There is not enough memory to complete this operation."},
        {MAILHOST_INIT_FAILED,
         "An error occurred while trying to initialize the ccMail libraries.  Please verify that ccMail is correctly "
         "setup and that you can send and receive mail."},
        {MAILHOST_LOGON_FAILED,
         "Mail was unable to logon to the mail application.  Please verify that the mail application is installed "
         "and setup correctly."},
        {MAILHOST_ERROR, "Mail encountered an error."},
        {4300, "Mail encountered an error."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        std::shared_ptr<vesk::ui::ScriptedPresenter> presenter;
        HWND window = vesk::ui::createScriptedPresenterWindow({ScriptAction::answer("OK")}, &presenter);
        EXPECT_EQ(ShowVimError(window, row.code), IDOK);
        DestroyWindow(window);
        const auto boxes = presenter->transcript().boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0]->box.text, row.text);
        EXPECT_EQ(boxes[0]->box.caption, "Mail Setup");
    }
    EXPECT_EQ(ShowVimError(nullptr, MAILHOST_OK), 0);
}

}  // namespace
}  // namespace vimtest
