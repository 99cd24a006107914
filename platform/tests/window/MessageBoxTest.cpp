// Message boxes, the wait cursor, the directory chooser and help, through the scripted presenter.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "WindowTestSupport.h"
#include "win32/Help.h"
#include "win32/MessageBox.h"

namespace vesk::test {
namespace {

using ui::ScriptAction;

struct ButtonSet {
    UINT style;
    std::vector<const char*> answers;  // what each button is called, in order
    std::vector<int> ids;
    int escape;                        // the answer of a box closed without choosing, 0: none
};

class BoxAnswers : public ::testing::TestWithParam<ButtonSet> {};

TEST_P(BoxAnswers, EveryOfferedAnswerComesBackAndOthersAreRefused) {
    const ButtonSet& set = GetParam();
    for (size_t i = 0; i < set.answers.size(); ++i) {
        SCOPED_TRACE(set.answers[i]);
        ScriptedWindow window({ScriptAction::answer(set.answers[i])});
        EXPECT_EQ(MessageBoxA(window.hwnd(), "text", "caption", set.style), set.ids[i]);
        EXPECT_TRUE(window.transcript().errors().empty());
        ASSERT_EQ(window.transcript().boxes().size(), 1u);
        EXPECT_EQ(window.transcript().boxes()[0]->box.style, set.style);
    }
    // An answer the box does not offer ends the script; the box closes as Esc would close it,
    // or with No, or with its last button.
    ScriptedWindow wrong({ScriptAction::answer("Continue" == std::string(set.answers.back()) ? "Yes" : "Continue")});
    const int closing = set.escape != 0 ? set.escape
                        : std::find(set.ids.begin(), set.ids.end(), IDNO) != set.ids.end() ? IDNO
                                                                                             : set.ids.back();
    EXPECT_EQ(MessageBoxA(wrong.hwnd(), "text", "caption", set.style), closing);
    EXPECT_EQ(wrong.transcript().errors().size(), 1u);
    EXPECT_EQ(ui::boxEscapeAnswer(set.style), set.escape);
    EXPECT_EQ(ui::boxButtons(set.style), set.ids);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, BoxAnswers,
    ::testing::Values(
        ButtonSet{MB_OK | MB_ICONSTOP, {"OK"}, {IDOK}, IDOK},
        ButtonSet{MB_OKCANCEL, {"OK", "Cancel"}, {IDOK, IDCANCEL}, IDCANCEL},
        ButtonSet{MB_ABORTRETRYIGNORE, {"Abort", "Retry", "Ignore"}, {IDABORT, IDRETRY, IDIGNORE}, 0},
        ButtonSet{MB_YESNOCANCEL, {"Yes", "No", "Cancel"}, {IDYES, IDNO, IDCANCEL}, IDCANCEL},
        ButtonSet{MB_YESNO | MB_ICONINFORMATION, {"yes", "NO"}, {IDYES, IDNO}, 0},
        ButtonSet{MB_RETRYCANCEL | MB_DEFBUTTON2, {"Retry", "Cancel"}, {IDRETRY, IDCANCEL}, IDCANCEL},
        ButtonSet{MB_CANCELTRYCONTINUE, {"Cancel", "Try Again", "Continue"}, {IDCANCEL, IDTRYAGAIN, IDCONTINUE},
                  IDCANCEL}));

TEST(MessageBox, RefusesWhatItCannotShow) {
    ScriptedWindow window;
    SetLastError(0);
    EXPECT_EQ(MessageBoxA(window.hwnd(), "text", "caption", 7), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(window.transcript().boxes().empty());
}

TEST(MessageBox, UnownedBoxesGoToTheActivePresenterAndWithoutOneFail) {
    {
        ScriptedWindow older({ScriptAction::answer("OK")});
        ScriptedWindow newer({ScriptAction::answer("OK")});
        EXPECT_EQ(MessageBoxA(nullptr, "to the newest", nullptr, MB_OK), IDOK);
        EXPECT_EQ(newer.transcript().boxes().size(), 1u);
        EXPECT_EQ(newer.transcript().boxes()[0]->box.caption, "Error");  // no caption given
        EXPECT_TRUE(older.transcript().boxes().empty());
    }
    SetLastError(0);
    EXPECT_EQ(MessageBoxA(nullptr, "nobody", "caption", MB_OK), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANCELLED));
}

TEST(MessageBox, HelpButtonKeepsTheBoxOpenAndTellsTheOwner) {
    static int helps = 0;
    helps = 0;
    ScriptedWindow window({ScriptAction::answer("Help"), ScriptAction::answer("OK")});
    const HWND owner = CreateDialogParamA(testModule(), templateName(kFormDialog), window.hwnd(),
                                          [](HWND, UINT msg, WPARAM, LPARAM) -> INT_PTR {
                                              if (msg == WM_HELP) ++helps;
                                              return FALSE;
                                          },
                                          0);
    EXPECT_EQ(MessageBoxA(owner, "text", "caption", MB_OK | MB_HELP), IDOK);
    EXPECT_EQ(helps, 1);
    DestroyWindow(owner);
}

TEST(WaitCursor, CountsAndTellsThePresenter) {
    ScriptedWindow window;
    EXPECT_EQ(VeskWaitCursorCount(), 0);
    EXPECT_EQ(VeskDoWaitCursor(1), 1);
    EXPECT_EQ(VeskDoWaitCursor(1), 2);
    EXPECT_EQ(VeskDoWaitCursor(0), 2);   // restore: no change
    EXPECT_EQ(VeskDoWaitCursor(-1), 1);
    EXPECT_EQ(VeskDoWaitCursor(-1), 0);
    EXPECT_EQ(VeskDoWaitCursor(-1), 0);  // never below zero
    EXPECT_NE(window.transcript().toText().find("wait cursor 2\nwait cursor 2\nwait cursor 1\n"), std::string::npos);
}

class DirectoryChooser : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::path(testing::TempDir()) / ("chooser-" + std::to_string(getpid()));
        std::filesystem::create_directories(root_ / "post office");
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    BOOL choose(ScriptedWindow& window, const std::string& initial, char* out, DWORD size) {
        VESK_CHOOSE_DIRECTORYA request{sizeof request, window.hwnd(), "Pick", initial.c_str(), out, size};
        return VeskChooseDirectoryA(&request);
    }

    std::filesystem::path root_;
};

TEST_F(DirectoryChooser, ReturnsTheCanonicalDirectoryWithoutATrailingSlash) {
    const std::string chosen = (root_ / "post office").string() + "/./";
    ScriptedWindow window({ScriptAction::chooseDirectory(chosen)});
    char out[1024];
    ASSERT_TRUE(choose(window, root_.string(), out, sizeof out));
    EXPECT_EQ(std::string(out), std::filesystem::canonical(root_ / "post office").string());
    const ui::TranscriptEntry& entry = window.transcript().entries().back();
    EXPECT_EQ(entry.request.title, "Pick");
    EXPECT_EQ(entry.request.initialDir, std::filesystem::canonical(root_).string());
}

TEST_F(DirectoryChooser, FailuresSayWhy) {
    char out[1024] = "untouched";
    struct Row {
        const char* what;
        std::vector<ScriptAction> actions;
        std::string initial;
        DWORD size;
        DWORD error;
    } rows[] = {
        {"cancelled", {ScriptAction::answer("Cancel")}, root_.string(), sizeof out, ERROR_CANCELLED},
        {"no such directory", {ScriptAction::chooseDirectory((root_ / "nothing").string())}, root_.string(),
         sizeof out, 3 /* ERROR_PATH_NOT_FOUND */},
        {"buffer too small", {ScriptAction::chooseDirectory(root_.string())}, root_.string(), 4,
         ERROR_INSUFFICIENT_BUFFER},
        {"the script had ended", {}, root_.string(), sizeof out, ERROR_CANCELLED},
    };
    for (Row& row : rows) {
        SCOPED_TRACE(row.what);
        ScriptedWindow window(row.actions);
        SetLastError(0);
        EXPECT_FALSE(choose(window, row.initial, out, row.size));
        EXPECT_EQ(GetLastError(), row.error);
        EXPECT_STREQ(out, "untouched");
    }
}

TEST_F(DirectoryChooser, AMissingStartFolderStartsInTheCurrentDirectory) {
    ScriptedWindow window({ScriptAction::answer("Cancel")});
    char out[64];
    EXPECT_FALSE(choose(window, (root_ / "not there").string(), out, sizeof out));
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(window.transcript().entries().back().request.initialDir, std::filesystem::canonical(cwd).string());
}

TEST(HelpDisplay, WinHelpShowsTheFileThroughThePresenter) {
    const std::string path = testing::TempDir() + "/window-help.hlp";
    std::ofstream(path) << "Mail Setup help.\n";
    ScriptedWindow window;
    EXPECT_TRUE(WinHelpA(window.hwnd(), path.c_str(), HELP_CONTENTS, 0));
    const ui::TranscriptEntry& entry = window.transcript().entries().back();
    ASSERT_EQ(entry.kind, ui::TranscriptEntry::Kind::Help);
    EXPECT_EQ(entry.help.text, "Mail Setup help.\n");
    EXPECT_EQ(entry.help.command, static_cast<unsigned>(HELP_CONTENTS));
    EXPECT_NE(window.transcript().toText().find("help \"" + path + "\" command 0x3"), std::string::npos);
    std::remove(path.c_str());
}

}  // namespace
}  // namespace vesk::test
