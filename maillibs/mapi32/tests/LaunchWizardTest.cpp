// LAUNCHWIZARD: a profile made through the window system, driven by a scripted person.
#include "MapixFixture.h"
#include "platform/ScriptedPresenter.h"
#include "win32/Window.h"

namespace mapitest {
namespace {

using vesk::ui::ScriptAction;

constexpr int kProfileName = 101;
constexpr int kAccount = 102;
constexpr int kPassword = 103;

class LaunchWizardTest : public MapixTest {
protected:
    void SetUp() override {
        MapixTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        wizard = VeskProcAs<LAUNCHWIZARDENTRY>(GetProcAddress(library, LAUNCHWIZARDENTRYNAME));
        ASSERT_NE(wizard, nullptr);
    }
    void TearDown() override {
        if (window != nullptr) DestroyWindow(window);
        MapixTest::TearDown();
    }
    HRESULT run(std::vector<ScriptAction> actions, char* name, ULONG size) {
        if (window != nullptr) DestroyWindow(window);
        window = vesk::ui::createScriptedPresenterWindow(std::move(actions), &presenter);
        EXPECT_NE(window, nullptr);
        return wizard(window, MAPI_PW_FIRST_PROFILE, nullptr, size, name);
    }
    std::vector<std::string> profiles() {
        Ref<IProfAdmin> admin;
        EXPECT_EQ(MAPIAdminProfiles(0, admin.out()), S_OK);
        Ref<IMAPITable> table;
        EXPECT_EQ(admin->GetProfileTable(0, table.out()), S_OK);
        std::vector<std::string> names;
        for (const auto& row : allRows(table.get(), {PR_DISPLAY_NAME})) names.emplace_back(row[0].Value.lpszA);
        return names;
    }
    LAUNCHWIZARDENTRY wizard = nullptr;
    HWND window = nullptr;
    std::shared_ptr<vesk::ui::ScriptedPresenter> presenter;
};

TEST_F(LaunchWizardTest, TheProfileNamedAndItsAccountAreSavedAndUsable) {
    char name[65] = "junk";
    ASSERT_EQ(run({ScriptAction::type(kProfileName, "Work"), ScriptAction::type(kAccount, "bob"),
                   ScriptAction::press("OK")},
                  name, sizeof name),
              S_OK);
    EXPECT_STREQ(name, "Work");
    EXPECT_EQ(profiles(), (std::vector<std::string>{"Anna", "Bob", "Work"}));
    Ref<IMAPISession> session(logOnEx("Work"));
    Ref<IMsgStore> store(openDefaultStore(session.get()));
    ASSERT_TRUE(store);
    EXPECT_EQ(textOf(store.get(), PR_DISPLAY_NAME), "Mailbox - Bob Hansen");
    EXPECT_NE(presenter->transcript().toText().find("New Mail Profile"), std::string::npos);
}

TEST_F(LaunchWizardTest, CancellingMakesNoProfile) {
    char name[65] = "junk";
    EXPECT_EQ(run({ScriptAction::type(kProfileName, "Never"), ScriptAction::press("Cancel")}, name, sizeof name),
              MAPI_E_USER_CANCEL);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(profiles(), (std::vector<std::string>{"Anna", "Bob"}));
}

TEST_F(LaunchWizardTest, WhatDoesNotCheckOutIsShownAndNothingIsSaved) {
    struct Case {
        const char* profile;
        const char* account;
        const char* password;
        const char* problem;
    };
    const Case cases[] = {
        {"Anna2", "anna", "wrong", "The password is not the account's password."},
        {"Ghost", "nobody", "", "There is no mail account"},
        {"bob", "bob", "", "There is a profile of that name already."},
        {"A;B", "bob", "", "Give the profile a name"},
        // The list of profiles is read with blanks trimmed: such a name could not be found again.
        {"Work ", "bob", "", "Give the profile a name"},
        {" Work", "bob", "", "Give the profile a name"},
        {"Much too long for this", "bob", "", "Give the profile a shorter name: at most 9 characters."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.profile);
        char name[10] = "";
        // The script ends after OK: the person then gives up, which is a cancel.
        EXPECT_EQ(run({ScriptAction::type(kProfileName, c.profile), ScriptAction::type(kAccount, c.account),
                       ScriptAction::type(kPassword, c.password), ScriptAction::press("OK")},
                      name, sizeof name),
                  MAPI_E_USER_CANCEL);
        EXPECT_NE(presenter->transcript().toText().find(c.problem), std::string::npos) << presenter->transcript().toText();
        EXPECT_EQ(profiles(), (std::vector<std::string>{"Anna", "Bob"}));
    }
    char good[10] = "";
    EXPECT_EQ(run({ScriptAction::type(kProfileName, "Anna2"), ScriptAction::type(kAccount, "anna"),
                   ScriptAction::type(kPassword, "s3cret"), ScriptAction::press("OK")},
                  good, sizeof good),
              S_OK);
    EXPECT_STREQ(good, "Anna2");
    EXPECT_EQ(wizard(nullptr, 0, nullptr, 0, good), MAPI_E_INVALID_PARAMETER);
}

}  // namespace
}  // namespace mapitest
