// The terminal presenter as a person meets it: a dialog in tmux, keys sent, the screen read.
// The test runs this test program a second time inside tmux, where the child test below
// shows the dialog; without tmux it is skipped.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "WindowTestSupport.h"
#include "win32/MessageBox.h"

namespace vesk::test {
namespace {

const char kChildVariable[] = "VESK_TERMINAL_CHILD";

INT_PTR terminalFormProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            for (const char* item : {"Work", "Default"}) {
                SendDlgItemMessageA(dialog, kIdCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            }
            SetDlgItemTextA(dialog, kIdHidden, "Caf\xE9 costs \x80 5");
            ShowWindow(GetDlgItem(dialog, kIdHidden), SW_SHOW);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                if (MessageBoxA(dialog, "Save these settings?", "Form", MB_YESNO | MB_ICONQUESTION) == IDYES) {
                    EndDialog(dialog, IDOK);
                }
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR g_result = 0;
std::string g_name, g_password, g_combo;

INT_PTR recordingProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) {
        char buffer[128];
        GetDlgItemTextA(dialog, kIdName, buffer, sizeof buffer);
        g_name = buffer;
        GetDlgItemTextA(dialog, kIdPassword, buffer, sizeof buffer);
        g_password = buffer;
        GetDlgItemTextA(dialog, kIdCombo, buffer, sizeof buffer);
        g_combo = buffer;
    }
    return terminalFormProc(dialog, msg, wParam, lParam);
}

// Runs only inside tmux, started by ShowsADialogAndTakesKeys.
TEST(TerminalPresenter, ChildShowsTheFormDialog) {
    const char* resultFile = std::getenv(kChildVariable);
    if (resultFile == nullptr) GTEST_SKIP() << "the terminal half of TerminalPresenter.ShowsADialogAndTakesKeys";
    const HWND presenter = VeskCreatePresenterWindow(VESK_PRESENTER_TERMINAL, nullptr);
    ASSERT_NE(presenter, nullptr);
    g_result = DialogBoxParamA(testModule(), templateName(kFormDialog), presenter, recordingProc, 0);
    DestroyWindow(presenter);
    std::ofstream(resultFile) << "result=" << g_result << "\nname=" << g_name << "\npassword=" << g_password
                              << "\ncombo=" << g_combo << "\n";
}

std::string run(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n = 0;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

class Tmux {
public:
    Tmux() : socket_("vesk-window-test-" + std::to_string(getpid())) {}
    ~Tmux() { run(tmux("kill-server") + " 2>/dev/null"); }

    std::string tmux(const std::string& arguments) const { return "tmux -L " + socket_ + " -f /dev/null " + arguments; }
    void start(const std::string& command) const {
        run(tmux("new-session -d -x 100 -y 34 '" + command + "'"));
    }
    void keys(const std::string& arguments) const { run(tmux("send-keys -t 0 " + arguments)); }
    std::string screen() const { return run(tmux("capture-pane -p -t 0")); }

    // Waits until the screen shows `text`; a generous bound only keeps a broken run from
    // hanging the test, it measures nothing.
    bool waitFor(const std::string& text, std::string* last) const {
        for (int i = 0; i < 200; ++i) {
            *last = screen();
            if (last->find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

private:
    std::string socket_;
};

TEST(TerminalPresenter, ShowsADialogAndTakesKeys) {
    if (std::getenv(kChildVariable) != nullptr) GTEST_SKIP() << "already the child";
    if (std::system("command -v tmux >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(length, 0);
    self[length] = '\0';
    const std::string resultFile = testing::TempDir() + "/terminal-result-" + std::to_string(getpid());
    std::remove(resultFile.c_str());

    Tmux tmux;
    tmux.start(std::string("env ") + kChildVariable + "=" + resultFile + " TERM=screen " + self +
               " --gtest_filter=TerminalPresenter.ChildShowsTheFormDialog");
    std::string screen;
    ASSERT_TRUE(tmux.waitFor("Name:", &screen)) << screen;
    EXPECT_NE(screen.find(" Form"), std::string::npos) << screen;
    EXPECT_NE(screen.find("Password:"), std::string::npos) << screen;
    EXPECT_NE(screen.find("[ OK ]"), std::string::npos) << screen;
    // Windows-1252 shows as UTF-8 with the wide-character curses library; a build linked
    // with the narrow one can show ASCII only and says so with '?'.
    const bool wide = dlsym(RTLD_DEFAULT, "wadd_wch") != nullptr;
    EXPECT_NE(screen.find(wide ? "Caf\xC3\xA9 costs \xE2\x82\xAC 5" : "Caf? costs ? 5"), std::string::npos) << screen;
    if (!wide) std::cerr << "note: the platform is linked with the narrow curses library\n";

    tmux.keys("-l Jane");
    tmux.keys("Tab");
    tmux.keys("-l pw");
    ASSERT_TRUE(tmux.waitFor("[**_", &screen)) << screen;   // the password shows masked
    tmux.keys("Tab");
    tmux.keys("Down");                                    // first item of the sorted list
    tmux.keys("Down");
    ASSERT_TRUE(tmux.waitFor("[Work", &screen)) << screen;
    tmux.keys("Enter");                                   // the default button: OK
    ASSERT_TRUE(tmux.waitFor("Save these settings?", &screen)) << screen;
    EXPECT_NE(screen.find("[ Yes ]"), std::string::npos) << screen;
    tmux.keys("y");

    std::string result;
    for (int i = 0; i < 200 && result.find("combo=") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::ifstream file(resultFile);
        std::stringstream text;
        text << file.rdbuf();
        result = text.str();
    }
    EXPECT_EQ(result, "result=1\nname=Jane\npassword=pw\ncombo=Work\n") << tmux.screen();
    std::remove(resultFile.c_str());
}

}  // namespace
}  // namespace vesk::test
