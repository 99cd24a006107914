// The behaviour every wizard page shares: buttons by position, the last page's finish text or
// hidden reminder, the cancel question, Back out of the first page, Help.
#include <gtest/gtest.h>

#include "WizardFixture.h"
#include "win32/MessageBox.h"
#include "wizardtest_ids.h"

namespace wizardtest {
namespace {

using vesk::ui::ScriptAction;

class WizardPageTest : public WizardFixture {};

TEST_F(WizardPageTest, PagesBeforeTheLastOfferNextAndTheLastOffersFinish) {
    for (int inMailSetup : {0, 1}) {
        SCOPED_TRACE(inMailSetup);
        RunResult r = run({ScriptAction::press("Next"), ScriptAction::press("Finish")}, "Alpha", inMailSetup);
        ASSERT_EQ(r.result, MAILHOST_OK);
        EXPECT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED);
        EXPECT_TRUE(r.transcript().errors().empty()) << r.transcript().toText();

        const vesk::ui::WindowView* first = r.transcript().pagesOf(WIZTEST_IDD_NAME_PAGE).front();
        EXPECT_TRUE(first->wizard);
        EXPECT_EQ(first->caption, "Mail Setup");
        EXPECT_TRUE(first->button(ID_WIZBACK)->visible);  // the first page offers Back too
        EXPECT_TRUE(first->button(ID_WIZBACK)->enabled);
        EXPECT_TRUE(first->button(ID_WIZNEXT)->visible);
        EXPECT_TRUE(first->button(ID_WIZNEXT)->enabled);
        EXPECT_FALSE(first->button(ID_WIZFINISH)->visible);

        const vesk::ui::WindowView* last = r.transcript().pagesOf(WIZTEST_IDD_SUMMARY_PAGE).front();
        EXPECT_TRUE(last->button(ID_WIZFINISH)->visible);
        EXPECT_TRUE(last->button(ID_WIZFINISH)->enabled);
        EXPECT_FALSE(last->button(ID_WIZNEXT)->visible);
        EXPECT_TRUE(last->button(ID_WIZBACK)->visible);
        if (inMailSetup != 0) {
            // One stage of a longer sequence: "&Next >" and the reminder stays.
            EXPECT_EQ(last->button(ID_WIZFINISH)->text, "&Next >");
            EXPECT_TRUE(last->control(WIZTEST_IDC_REMINDER)->visible);
        } else {
            EXPECT_EQ(last->button(ID_WIZFINISH)->text, "Finish");
            EXPECT_FALSE(last->control(WIZTEST_IDC_REMINDER)->visible);
        }
    }
}

// Cancel with and without the continuation flag, on either page.
struct CancelRow {
    const char* name;
    int inMailSetup;
    std::vector<ScriptAction> script;
    std::vector<int> answers;  // the boxes shown, by their answers
    int outcome;
    int lastTemplate;          // the page shown last
};

void PrintTo(const CancelRow& row, std::ostream* os) { *os << row.name; }

class WizardCancelTest : public WizardFixture, public ::testing::WithParamInterface<CancelRow> {};

TEST_P(WizardCancelTest, OnlyTheContinuationFlagAsksAndOnlyNoKeepsTheWizard) {
    const CancelRow& row = GetParam();
    app.held = {"Alpha", "held-user"};
    RunResult r = run(row.script, "Alpha", row.inMailSetup);
    EXPECT_EQ(r.result, MAILHOST_OK);
    EXPECT_EQ(r.outcome, row.outcome);
    EXPECT_TRUE(r.transcript().errors().empty()) << r.transcript().toText();
    EXPECT_FALSE(r.transcript().ranOut()) << r.transcript().toText();
    const auto boxes = r.transcript().boxes();
    ASSERT_EQ(boxes.size(), row.answers.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i]->box.text, kCancelQuestion);
        EXPECT_EQ(boxes[i]->box.caption, "Mail Setup");
        EXPECT_EQ(boxes[i]->box.style, static_cast<unsigned>(MB_YESNO | MB_ICONINFORMATION));
        EXPECT_EQ(boxes[i]->answer, row.answers[i]);
    }
    EXPECT_EQ(r.transcript().lastPage()->templateId, row.lastTemplate);
    if (row.outcome == MAILHOST_WIZARD_CANCELLED) {
        EXPECT_EQ(app.held, (CWizardValues{"Alpha", "held-user"}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WizardCancelTest,
    ::testing::Values(
        // Run on its own: Cancel closes at once, nothing asked.
        CancelRow{"OwnRunFirstPage", 0, {ScriptAction::press("Cancel")}, {}, MAILHOST_WIZARD_CANCELLED,
                  WIZTEST_IDD_NAME_PAGE},
        CancelRow{"OwnRunLastPage", 0, {ScriptAction::press("Next"), ScriptAction::press("Cancel")}, {},
                  MAILHOST_WIZARD_CANCELLED, WIZTEST_IDD_SUMMARY_PAGE},
        // Inside Mail Setup: Yes closes.
        CancelRow{"SequenceYes", 1, {ScriptAction::press("Cancel"), ScriptAction::answer("Yes")}, {IDYES},
                  MAILHOST_WIZARD_CANCELLED, WIZTEST_IDD_NAME_PAGE},
        // No keeps the same page; a second Cancel with Yes closes.
        CancelRow{"SequenceNoThenYes", 1,
                  {ScriptAction::press("Cancel"), ScriptAction::answer("No"), ScriptAction::press("Cancel"),
                   ScriptAction::answer("Yes")},
                  {IDNO, IDYES}, MAILHOST_WIZARD_CANCELLED, WIZTEST_IDD_NAME_PAGE},
        // No on the last page, then the person finishes after all.
        CancelRow{"SequenceNoThenFinish", 1,
                  {ScriptAction::press("Next"), ScriptAction::press("Cancel"), ScriptAction::answer("No"),
                   ScriptAction::press("Finish")},
                  {IDNO}, MAILHOST_WIZARD_FINISHED, WIZTEST_IDD_SUMMARY_PAGE}),
    [](const ::testing::TestParamInfo<CancelRow>& row) { return std::string(row.param.name); });

TEST_F(WizardPageTest, BackOnTheFirstPageEndsTheWizardWithHeldSettingsUnchanged) {
    for (int inMailSetup : {0, 1}) {
        SCOPED_TRACE(inMailSetup);
        app.held = {"Alpha", "held-user"};
        RunResult r = run({ScriptAction::type(WIZTEST_IDC_USER_NAME, "typed"), ScriptAction::press("Back")}, "Alpha",
                          inMailSetup);
        EXPECT_EQ(r.result, MAILHOST_OK);
        EXPECT_EQ(r.outcome, MAILHOST_WIZARD_BACK);
        EXPECT_EQ(app.held, (CWizardValues{"Alpha", "held-user"}));
        EXPECT_EQ(r.transcript().pages().size(), 1u);
        EXPECT_TRUE(r.transcript().boxes().empty());
        EXPECT_FALSE(r.transcript().ranOut());
    }
}

TEST_F(WizardPageTest, BackOnALaterPageMovesBackInsideTheWizard) {
    RunResult r = run({ScriptAction::press("Next"), ScriptAction::press("Back"), ScriptAction::press("Cancel")}, "Alpha",
                      0);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_CANCELLED);
    const auto pages = r.transcript().pages();
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[2]->templateId, WIZTEST_IDD_NAME_PAGE);
}

TEST_F(WizardPageTest, HelpFromAnyPageReachesTheHostObject) {
    RunResult r = run({ScriptAction::press("Help"), ScriptAction::press("Next"), ScriptAction::press("Help"),
                       ScriptAction::press("Cancel")},
                      "Alpha", 0);
    EXPECT_TRUE(r.transcript().errors().empty()) << r.transcript().toText();
    EXPECT_TRUE(r.transcript().pages().front()->button(IDHELP)->visible);
    EXPECT_EQ(app.commands, (std::vector<UINT>{ID_HELP, ID_HELP}));
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_CANCELLED);
}

}  // namespace
}  // namespace wizardtest
