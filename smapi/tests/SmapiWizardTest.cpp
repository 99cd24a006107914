// Salvith's wizard inside the test program: the page that cannot be created, the error box,
// and the choice of page. (SalvithWizardEndToEndTest runs the wizard through salvith.so.)
#include <gtest/gtest.h>

#include "SmapiErrorBox.h"
#include "SmapiFixture.h"
#include "SmapiPages.h"
#include "framework/Allocation.h"
#include "platform/ScriptedPresenter.h"
#include "win32/MessageBox.h"
#include "win32/Window.h"

namespace smapitest {
namespace {

using vesk::ui::ScriptAction;

class SmapiWizardTest : public SmapiFakeTest {};

TEST_F(SmapiWizardTest, APageThatCannotBeCreatedShowsTheMemoryErrorAndLeavesTheOutcome) {
    app.Settings().Set("Eudora 3.0.1 or higher", "anna", "s3cret");
    std::shared_ptr<vesk::ui::ScriptedPresenter> presenter;
    HWND window = vesk::ui::createScriptedPresenterWindow({ScriptAction::answer("OK")}, &presenter);
    int outcome = 77;
    vesk::injectAllocationFailure(0);
    const int result =
        app.DisplayConfigWizardPages(window, config.c_str(), "Eudora 3.0.1 or higher", 0, 0, 1, &outcome);
    vesk::injectAllocationFailure(-1);
    DestroyWindow(window);
    EXPECT_EQ(result, MAILHOST_OUT_OF_MEMORY);
    EXPECT_EQ(outcome, 77);
    EXPECT_TRUE(presenter->transcript().pages().empty());
    const auto boxes = presenter->transcript().boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]->box.text, "There is not enough memory to complete this operation.");
    EXPECT_EQ(boxes[0]->box.caption, "Mail Setup");
    EXPECT_EQ(boxes[0]->box.style, static_cast<unsigned>(MB_ICONHAND | MB_OK));
    EXPECT_EQ(app.Settings().UserAccount(), "anna");
}

TEST_F(SmapiWizardTest, ErrorBoxSaysEachCodeInItsOwnWords) {
    struct Row {
        int code;
        const char* text;
    } rows[] = {
        {MAILHOST_SERVER_ERROR,
         "An error occurred while trying to access the mail server.  Please verify you are connected to your mail "
         "system, then try this operation again."},
        {MAILHOST_ERROR, "Mail encountered an error."},
        {MAILHOST_OUT_OF_MEMORY, "There is not enough memory to complete this operation."},
        {MAILHOST_LOGON_FAILED,
         "Mail was unable to logon to the mail application.  Please verify that the mail application is installed "
         "and setup correctly."},
        // Any other code is a string number of its own.
        {4300, "Not Configured"},
        // ... and without such a string the general words stand in.
        {MAILHOST_ENTRY_POINT_MISSING, "Mail encountered an error."},
        {-7, "Mail encountered an error."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        std::shared_ptr<vesk::ui::ScriptedPresenter> presenter;
        HWND window = vesk::ui::createScriptedPresenterWindow({ScriptAction::answer("OK")}, &presenter);
        EXPECT_EQ(ShowSmapiError(window, row.code), IDOK);
        DestroyWindow(window);
        const auto boxes = presenter->transcript().boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0]->box.text, row.text);
        EXPECT_EQ(boxes[0]->box.caption, "Mail Setup");
        EXPECT_EQ(boxes[0]->box.style, static_cast<unsigned>(MB_ICONHAND | MB_OK));
    }
    std::shared_ptr<vesk::ui::ScriptedPresenter> presenter;
    HWND window = vesk::ui::createScriptedPresenterWindow({}, &presenter);
    EXPECT_EQ(ShowSmapiError(window, MAILHOST_OK), 0);
    DestroyWindow(window);
    EXPECT_TRUE(presenter->transcript().boxes().empty());
}

TEST_F(SmapiWizardTest, PageIsChosenBySubstringEudoraFirst) {
    struct Row {
        const char* host;
        SmapiPageKind kind;
    } rows[] = {
        {"Eudora 3.0.1 or higher", SmapiPageKind::Eudora},
        {"Microsoft Outlook Express", SmapiPageKind::OutlookExpress},
        {"Outlook Express and Eudora", SmapiPageKind::Eudora},  // Eudora wins wherever it stands
        {"Netscape Communicator 4.5 or higher", SmapiPageKind::Other},
        {"outlook express", SmapiPageKind::Other},  // matched as stored
        {"", SmapiPageKind::Other},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.host);
        EXPECT_EQ(ChooseSmapiPage(row.host), row.kind);
    }
}

}  // namespace
}  // namespace smapitest
