// Wizard pages written the framework's way (CPropertyPage subclasses with data exchange and
// the page callbacks), run in a CPropertySheet by the scripted presenter.
#include <gtest/gtest.h>

#include <string>

#include "WindowTestSupport.h"
#include "platform/AfxGdi.h"
#include "platform/AfxPropertySheet.h"
#include "win32/MessageBox.h"
#include "win32/Resources.h"

namespace vesk::test {
namespace {

using ui::ScriptAction;

const char kCancelQuestion[] = "Are you sure that you want to cancel Mail Setup?";

// A sheet holding what the pages share, as a wizard frame does.
class TestWizard : public CPropertySheet {
public:
    TestWizard(CWnd* parent, bool continuing) : CPropertySheet(kCaptionString, parent), m_continuing(continuing) {}
    bool m_continuing;
    std::string m_name;
    std::string m_profile;
};

class TestPage : public CPropertyPage {
public:
    using CPropertyPage::CPropertyPage;
    TestWizard* Wizard() const { return static_cast<TestWizard*>(GetParent()); }
    BOOL OnQueryCancel() override {
        if (!Wizard()->m_continuing) return TRUE;
        return MessageBox(kCancelQuestion, "Mail Setup", MB_YESNO | MB_ICONINFORMATION) != IDNO;
    }
};

class NamePage : public TestPage {
public:
    NamePage() : TestPage(kPageName) {}
    std::string m_name;
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, kIdPageName, m_name);
        DDV_MaxChars(pDX, m_name, 20);
    }
    BOOL OnSetActive() override {
        m_name = Wizard()->m_name;
        UpdateData(FALSE);
        Wizard()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
        return CPropertyPage::OnSetActive();
    }
    LRESULT OnWizardNext() override {
        if (!UpdateData(TRUE)) return -1;
        if (m_name.empty()) {
            MessageBox("You must enter a user name before continuing.", "User identity", MB_ICONEXCLAMATION);
            GetDlgItem(kIdPageName)->SetFocus();
            return -1;
        }
        Wizard()->m_name = m_name;
        return 0;
    }
    LRESULT OnWizardBack() override {
        Wizard()->EndDialog(ID_WIZBACK);
        return -1;
    }
};

class ProfilePage : public TestPage {
public:
    ProfilePage() : TestPage(kPageProfile) {}
    std::string m_profile;
    void DoDataExchange(CDataExchange* pDX) override { DDX_CBString(pDX, kIdProfile, m_profile); }
    BOOL OnInitDialog() override {
        for (const char* name : {"Work", "Default", "Archive"}) SendDlgItemMessage(kIdProfile, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        m_profile = "Default";
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override {
        Wizard()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
        return CPropertyPage::OnSetActive();
    }
    LRESULT OnWizardNext() override {
        UpdateData(TRUE);
        Wizard()->m_profile = m_profile;
        return 0;
    }
};

class SummaryPage : public TestPage {
public:
    SummaryPage() : TestPage(kPageSummary) {}
    std::string m_name;
    CWnd m_reminder;
    CFont m_bold;
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kIdReminder, m_reminder);
        DDX_Text(pDX, kIdSummaryName, m_name);
    }
    BOOL OnInitDialog() override {
        CPropertyPage::OnInitDialog();
        // The heading in a bold copy of the page's own font.
        CClientDC dc(m_hWnd);
        const HFONT font = GetFont();
        if (dc.GetSafeHdc() != nullptr && font != nullptr) {
            const HFONT previous = dc.SelectObject(font);
            char face[128];
            dc.GetTextFace(sizeof face, face);
            TEXTMETRICA tm{};
            dc.GetTextMetrics(&tm);
            dc.SelectObject(previous);
            face[31] = '\0';
            m_bold.CreateFont(tm.tmHeight, 0, 0, 0, FW_BOLD, 0, 0, 0, tm.tmCharSet, 0, 0, PROOF_QUALITY,
                              VARIABLE_PITCH, face);
            GetDlgItem(kIdHeading)->SetFont(m_bold, TRUE);
        }
        return TRUE;
    }
    BOOL OnSetActive() override {
        m_name = Wizard()->m_name + " / " + Wizard()->m_profile;
        UpdateData(FALSE);
        Wizard()->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
        if (Wizard()->m_continuing) {
            char text[32];
            LoadStringA(nullptr, kFinishString, text, sizeof text);
            Wizard()->SetFinishText(text);
            Wizard()->GetDlgItem(ID_WIZBACK)->ShowWindow(SW_SHOW);
        } else {
            m_reminder.ShowWindow(SW_HIDE);
        }
        return CPropertyPage::OnSetActive();
    }
};

// Runs the three pages with the test resources selected, as a plug-in's call would.
class AfxWizard : public ::testing::Test {
protected:
    void SetUp() override {
        state_.hInstance = testModule();
        state_.hResource = testModule();
        previous_ = VeskSetModuleState(&state_);
    }
    void TearDown() override {
        AfxSetCommandHandler(&state_, nullptr);
        VeskSetModuleState(previous_);
    }

    INT_PTR run(ScriptedWindow& window, bool continuing, std::string* name = nullptr, std::string* profile = nullptr) {
        CWnd parent;
        parent.Attach(window.hwnd());
        TestWizard wizard(&parent, continuing);
        wizard.m_name = "seeded";
        auto* names = new NamePage;
        auto* profiles = new ProfilePage;
        auto* summary = new SummaryPage;
        wizard.AddPage(names);
        wizard.AddPage(profiles);
        wizard.AddPage(summary);
        wizard.SetWizardMode();
        const INT_PTR result = wizard.DoModal();
        while (wizard.GetPageCount() > 0) {
            CPropertyPage* page = wizard.GetPage(0);
            wizard.RemovePage(0);
            delete page;
        }
        if (name != nullptr) *name = wizard.m_name;
        if (profile != nullptr) *profile = wizard.m_profile;
        parent.Detach();
        return result;
    }

    VESK_MODULE_STATE state_{};
    VESK_MODULE_STATE* previous_ = nullptr;
};

TEST_F(AfxWizard, DataExchangeCarriesTypedValuesThroughThePages) {
    ScriptedWindow window({ScriptAction::type(kIdPageName, "John Smith"), ScriptAction::press("Next"),
                           ScriptAction::select(kIdProfile, "Work"), ScriptAction::press("Next"),
                           ScriptAction::press("Finish")});
    std::string name, profile;
    EXPECT_EQ(run(window, false, &name, &profile), ID_WIZFINISH);
    EXPECT_EQ(name, "John Smith");
    EXPECT_EQ(profile, "Work");
    const ui::Transcript& t = window.transcript();
    EXPECT_TRUE(t.errors().empty());
    // The first page opened with the seeded value; the combo box listed its items sorted.
    const ui::WindowView* first = t.pagesOf(kPageName).front();
    EXPECT_EQ(first->control(kIdPageName)->text, "seeded");
    const ui::WindowView* profiles = t.pagesOf(kPageProfile).front();
    EXPECT_EQ(profiles->control(kIdProfile)->items, (std::vector<std::string>{"Archive", "Default", "Work"}));
    EXPECT_EQ(profiles->control(kIdProfile)->text, "Default");
    const ui::WindowView* summary = t.pagesOf(kPageSummary).back();
    EXPECT_EQ(summary->control(kIdSummaryName)->text, "John Smith / Work");
    // Without the continuation flag the reminder is hidden and Finish keeps its text.
    EXPECT_FALSE(summary->control(kIdReminder)->visible);
    EXPECT_EQ(summary->button(ID_WIZFINISH)->text, "Finish");
    EXPECT_TRUE(summary->button(ID_WIZBACK)->visible);
    EXPECT_FALSE(summary->button(ID_WIZNEXT)->visible);
}

TEST_F(AfxWizard, SummaryHeadingIsBoldAndTheFontIsReleasedWithThePage) {
    const int before = VeskGdiObjectCount();
    ScriptedWindow window({ScriptAction::press("Next"), ScriptAction::press("Next"), ScriptAction::press("Cancel")});
    EXPECT_EQ(run(window, false), IDCANCEL);
    const ui::WindowView* summary = window.transcript().pagesOf(kPageSummary).front();
    const ui::ControlView* heading = summary->control(kIdHeading);
    EXPECT_EQ(heading->font.weight, FW_BOLD);
    EXPECT_EQ(heading->font.face, "MS Sans Serif");
    EXPECT_EQ(heading->font.height, 13);  // the page font's line height
    EXPECT_EQ(summary->control(kIdSummaryName)->font.weight, FW_NORMAL);
    EXPECT_NE(window.transcript().toText().find("static 205 \"Setup Instructions:\" bold"), std::string::npos);
    EXPECT_EQ(VeskGdiObjectCount(), before);
}

TEST_F(AfxWizard, ContinuationFlagTurnsFinishIntoNextAndAsksBeforeCancelling) {
    ScriptedWindow window({ScriptAction::press("Next"), ScriptAction::press("Next"), ScriptAction::press("Cancel"),
                           ScriptAction::answer("No"), ScriptAction::press("Cancel"), ScriptAction::answer("Yes")});
    EXPECT_EQ(run(window, true), IDCANCEL);
    const ui::Transcript& t = window.transcript();
    EXPECT_TRUE(t.errors().empty());
    const ui::WindowView* summary = t.pagesOf(kPageSummary).front();
    EXPECT_EQ(summary->button(ID_WIZFINISH)->text, "&Next >");
    EXPECT_TRUE(summary->button(ID_WIZBACK)->visible);
    EXPECT_TRUE(summary->control(kIdReminder)->visible);
    ASSERT_EQ(t.boxes().size(), 2u);
    EXPECT_EQ(t.boxes()[0]->box.style, static_cast<unsigned>(MB_YESNO | MB_ICONINFORMATION));
    EXPECT_EQ(t.boxes()[0]->answer, IDNO);
    EXPECT_EQ(t.boxes()[1]->answer, IDYES);
    // No kept the same page open.
    EXPECT_EQ(t.lastPage()->templateId, kPageSummary);
}

TEST_F(AfxWizard, WithoutTheFlagCancelClosesAtOnce) {
    ScriptedWindow window({ScriptAction::press("Cancel")});
    EXPECT_EQ(run(window, false), IDCANCEL);
    EXPECT_TRUE(window.transcript().boxes().empty());
}

TEST_F(AfxWizard, BackOnTheFirstPageEndsTheWizard) {
    ScriptedWindow window({ScriptAction::press("Back")});
    std::string name;
    EXPECT_EQ(run(window, true, &name), ID_WIZBACK);
    EXPECT_EQ(name, "seeded");
}

TEST_F(AfxWizard, FailedCheckKeepsThePageAndTheLimitCutsTyping) {
    ScriptedWindow window({ScriptAction::type(kIdPageName, ""), ScriptAction::press("Next"), ScriptAction::answer("OK"),
                           ScriptAction::type(kIdPageName, "this name is far longer than twenty"),
                           ScriptAction::press("Next"), ScriptAction::press("Cancel")});
    std::string name;
    EXPECT_EQ(run(window, false, &name), IDCANCEL);
    const ui::Transcript& t = window.transcript();
    EXPECT_TRUE(t.errors().empty()) << t.toText();
    ASSERT_EQ(t.boxes().size(), 1u);
    EXPECT_EQ(t.boxes()[0]->box.caption, "User identity");
    EXPECT_EQ(t.boxes()[0]->box.text, "You must enter a user name before continuing.");
    EXPECT_EQ(t.boxes()[0]->box.style, static_cast<unsigned>(MB_ICONEXCLAMATION));
    // DDV_MaxChars limited the field, so a person's typing stops at 20 characters.
    EXPECT_EQ(name, "this name is far lon");
    EXPECT_EQ(t.lastPage()->templateId, kPageProfile);
}

BOOL g_helpAsked = FALSE;
void* g_helpApp = nullptr;

BOOL helpHandler(void* app, UINT id, HWND) {
    if (id != ID_HELP) return FALSE;
    g_helpAsked = TRUE;
    g_helpApp = app;
    return TRUE;
}

TEST_F(AfxWizard, HelpReachesTheApplicationsCommandHandler) {
    {
        // Without a handler there is no Help button.
        ScriptedWindow window({ScriptAction::press("Cancel")});
        run(window, false);
        EXPECT_FALSE(window.transcript().pages().front()->button(IDHELP)->visible);
    }
    int app = 0;
    state_.app = &app;
    AfxSetCommandHandler(&state_, helpHandler);
    g_helpAsked = FALSE;
    ScriptedWindow window({ScriptAction::press("Help"), ScriptAction::press("Cancel")});
    run(window, false);
    EXPECT_TRUE(window.transcript().pages().front()->button(IDHELP)->visible);
    EXPECT_TRUE(g_helpAsked);
    EXPECT_EQ(g_helpApp, &app);
}

TEST_F(AfxWizard, PlainDialogEndsWithTheButtonsCommand) {
    struct Row {
        const char* press;
        INT_PTR result;
    } rows[] = {{"Save", IDOK}, {"Cancel", IDCANCEL}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.press);
        ScriptedWindow window({ScriptAction::press(row.press)});
        CWnd parent;
        parent.Attach(window.hwnd());
        CDialog dialog(kConfirmDialog, &parent);
        EXPECT_EQ(dialog.DoModal(), row.result);
        EXPECT_EQ(dialog.m_hWnd, nullptr);
        parent.Detach();
        EXPECT_TRUE(window.transcript().errors().empty());
    }
}

}  // namespace
}  // namespace vesk::test
