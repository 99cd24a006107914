// The scripted presenter: its transcript, and how it ends a script that no longer fits.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "WindowTestSupport.h"
#include "win32/MessageBox.h"

namespace vesk::test {
namespace {

using ui::ScriptAction;

// A form dialog that ends on OK and Cancel, and refuses to close at all when told to.
bool g_refuseClose = false;

INT_PTR formProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            for (const char* item : {"Beta", "Alpha"}) {
                SendDlgItemMessageA(dialog, kIdCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            }
            SendDlgItemMessageA(dialog, kIdList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("only"));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == kIdBrowse) {
                char path[512];
                VESK_CHOOSE_DIRECTORYA request{sizeof request, dialog, nullptr, "/", path, sizeof path};
                if (VeskChooseDirectoryA(&request)) SetDlgItemTextA(dialog, kIdName, path);
                return TRUE;
            }
            if ((LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) && !g_refuseClose) {
                EndDialog(dialog, LOWORD(wParam));
            }
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR runForm(ScriptedWindow& window) {
    return DialogBoxParamA(testModule(), templateName(kFormDialog), window.hwnd(), formProc, 0);
}

TEST(ScriptedPresenter, TranscriptShowsWhatThePersonSawAndDid) {
    g_refuseClose = false;
    ScriptedWindow window({ScriptAction::type(kIdName, "Jane"), ScriptAction::type(kIdPassword, "secret"),
                           ScriptAction::select(kIdCombo, "Beta"), ScriptAction::check(kIdCheck),
                           ScriptAction::press("OK")});
    EXPECT_EQ(runForm(window), IDOK);
    const std::string text = window.transcript().toText();
    // One page (the values the script typed show in its actions), then the actions.
    EXPECT_EQ(window.transcript().pages().size(), 1u);
    const char* expected[] = {
        "dialog \"Form\" dialog 100\n",
        "  static -1 \"&Name:\"\n",
        "  edit 1001 \"\"\n",
        "  combobox 1003 \"\" items [\"Alpha\", \"Beta\"] selected -1\n",
        "  listbox 1004 \"\" items [\"only\"] selected -1\n",
        "  checkbox 1005 \"&Remember\"\n",
        "  button 1", "  button 1 \"OK\" default\n",
        "> type Jane into 1001\n",
        "> select Beta in 1003\n",
        "> check 1005\n",
        "> press OK\n",
        "closed \"Form\"\n",
    };
    for (const char* part : expected) EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    // Hidden controls are not listed; passwords never appear.
    EXPECT_EQ(text.find("Not shown"), std::string::npos);
    EXPECT_EQ(text.find("secret"), std::string::npos);
    EXPECT_NE(text.find("> type ****** into 1002"), std::string::npos);
}

TEST(ScriptedPresenter, PasswordsAreMaskedInPagesRecordedLater) {
    g_refuseClose = false;
    ScriptedWindow window({ScriptAction::type(kIdPassword, "secret"), ScriptAction::press(kIdBrowse),
                           ScriptAction::chooseDirectory("/"), ScriptAction::press("OK")});
    EXPECT_EQ(runForm(window), IDOK);
    const std::string text = window.transcript().toText();
    // The chooser changed the page, so it was recorded again, with the password masked.
    EXPECT_NE(text.find("edit 1002 \"******\" password"), std::string::npos) << text;
    EXPECT_NE(text.find("directory \"Choose Directory\" from \"/\" -> \"/\""), std::string::npos) << text;
    EXPECT_EQ(window.transcript().pages().back()->control(kIdName)->text, "/");
}

INT_PTR reactingProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && LOWORD(wParam) == kIdName && HIWORD(wParam) == EN_CHANGE) {
        // Browsing needs a name first.
        EnableWindow(GetDlgItem(dialog, kIdBrowse), GetWindowTextLengthA(GetDlgItem(dialog, kIdName)) > 0);
        return TRUE;
    }
    return formProc(dialog, msg, wParam, lParam);
}

TEST(ScriptedPresenter, PagesAreRecordedAgainWhenTheApplicationChangesThem) {
    g_refuseClose = false;
    ScriptedWindow window({ScriptAction::type(kIdName, "x"), ScriptAction::type(kIdPassword, "y"),
                           ScriptAction::type(kIdName, ""), ScriptAction::press("OK")});
    EXPECT_EQ(DialogBoxParamA(testModule(), templateName(kFormDialog), window.hwnd(), reactingProc, 0), IDOK);
    // Typing a name changes nothing else; typing the password neither; emptying the name
    // disables Browse, which is worth a new record.
    const std::vector<const ui::WindowView*> pages = window.transcript().pages();
    ASSERT_EQ(pages.size(), 2u) << window.transcript().toText();
    EXPECT_TRUE(pages[0]->control(kIdBrowse)->enabled);
    EXPECT_FALSE(pages[1]->control(kIdBrowse)->enabled);
}

TEST(ScriptedPresenter, RunningOutOfActionsCancelsAndSaysSo) {
    g_refuseClose = false;
    ScriptedWindow window({ScriptAction::type(kIdName, "Jane")});
    EXPECT_EQ(runForm(window), IDCANCEL);
    EXPECT_TRUE(window.transcript().ranOut());
    EXPECT_TRUE(window.transcript().errors().empty());
    EXPECT_NE(window.transcript().toText().find("note: the script ran out of actions; cancelling"), std::string::npos);
}

TEST(ScriptedPresenter, AWindowThatWillNotCloseIsAbortedInsteadOfHanging) {
    g_refuseClose = true;
    ScriptedWindow window;
    EXPECT_EQ(runForm(window), IDCANCEL);
    g_refuseClose = false;
    EXPECT_NE(window.transcript().toText().find("aborting \"Form\""), std::string::npos);
}

TEST(ScriptedPresenter, ActionsThatDoNotFitEndTheScriptAsErrors) {
    struct Row {
        const char* what;
        std::vector<ScriptAction> actions;
        const char* error;
        size_t remaining;  // the window refused a played action; the presenter does not play one that fits nothing
    } rows[] = {
        {"a hidden control", {ScriptAction::type(kIdHidden, "x")}, "control 1007 is hidden", 1},
        {"no such control", {ScriptAction::type(4242, "x")}, "there is no control 4242", 1},
        {"an item the list lacks", {ScriptAction::select(kIdCombo, "Gamma")}, "holds no item \"Gamma\"", 1},
        {"typing into a list", {ScriptAction::type(kIdCombo, "x")}, "takes no typing", 1},
        {"letters into a number field", {ScriptAction::type(kIdNumber, "12a")}, "takes digits only", 1},
        {"a button that is not there", {ScriptAction::press("Launch")}, "no such button", 2},
        {"an answer where no box is", {ScriptAction::answer("Yes")}, "expected an action", 2},
    };
    g_refuseClose = false;
    for (Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.actions.push_back(ScriptAction::press("OK"));  // never reached
        ScriptedWindow window(row.actions);
        EXPECT_EQ(runForm(window), IDCANCEL);
        const std::vector<std::string> errors = window.transcript().errors();
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find(row.error), std::string::npos) << errors[0];
        EXPECT_EQ(window.presenter().remaining(), row.remaining);
    }
}

// The caller learns what went wrong, with the script line, and that a transcript was lost.
TEST(ScriptedPresenter, ScriptErrorNamesItsLineAndALostTranscriptIsTold) {
    g_refuseClose = false;
    std::vector<ScriptAction> actions;
    std::string error;
    ASSERT_TRUE(parseScript("# the form has no such button\npress Launch\npress OK\n", &actions, &error)) << error;
    ScriptedWindow window(actions);
    EXPECT_TRUE(window.presenter().scriptError().empty());
    window.presenter().setTranscriptFile(testing::TempDir() + "/no-such-folder/transcript.txt");
    EXPECT_EQ(runForm(window), IDCANCEL);
    EXPECT_EQ(window.presenter().scriptError().rfind("line 2: press Launch: no such button", 0), 0u)
        << window.presenter().scriptError();
    EXPECT_EQ(window.presenter().firstUnplayedLine(), 2);
    EXPECT_NE(window.transcript().toText().find("the script stopped there; 1 action after it was not played"),
              std::string::npos)
        << window.transcript().toText();
    EXPECT_TRUE(window.presenter().transcriptFailed());
}

TEST(ScriptedPresenter, TranscriptFileFollowsEveryEvent) {
    g_refuseClose = false;
    const std::string path = testing::TempDir() + "/transcript-test.txt";
    std::remove(path.c_str());
    ScriptedWindow window({ScriptAction::press("OK")});
    window.presenter().setTranscriptFile(path);
    EXPECT_EQ(runForm(window), IDOK);
    std::ifstream file(path);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_EQ(content.str(), window.transcript().toText());
    EXPECT_NE(content.str().find("closed \"Form\""), std::string::npos);
    std::remove(path.c_str());
}

TEST(ScriptedPresenter, ScriptFilesArePlayedThroughTheCInterface) {
    const std::string script = testing::TempDir() + "/presenter-script.txt";
    const std::string transcript = testing::TempDir() + "/presenter-transcript.txt";
    std::ofstream(script) << "# answer the question\nanswer No\n";
    VESK_PRESENTER_OPTIONS options{script.c_str(), transcript.c_str(), 0, 0};
    const HWND presenter = VeskCreatePresenterWindow(VESK_PRESENTER_SCRIPTED, &options);
    ASSERT_NE(presenter, nullptr);
    EXPECT_EQ(MessageBoxA(presenter, "Continue?", "Mail Setup", MB_YESNO | MB_ICONQUESTION), IDNO);
    DestroyWindow(presenter);
    std::ifstream file(transcript);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_NE(content.str().find("box \"Mail Setup\" style 0x24 \"Continue?\" -> No"), std::string::npos)
        << content.str();

    std::ofstream(script) << "fly away\n";
    SetLastError(0);
    EXPECT_EQ(VeskCreatePresenterWindow(VESK_PRESENTER_SCRIPTED, &options), nullptr);
    EXPECT_EQ(GetLastError(), 11u);  // ERROR_BAD_FORMAT
    const std::string missing = script + ".missing";
    options.scriptFile = missing.c_str();
    EXPECT_EQ(VeskCreatePresenterWindow(VESK_PRESENTER_SCRIPTED, &options), nullptr);
    EXPECT_EQ(GetLastError(), 2u);  // ERROR_FILE_NOT_FOUND
    EXPECT_EQ(VeskCreatePresenterWindow(42, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    std::remove(script.c_str());
    std::remove(transcript.c_str());
}

}  // namespace
}  // namespace vesk::test
