// The line presenter over pipes: pages printed as lines, fields asked one by one, buttons by
// name, and the end of input cancelling.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "WindowTestSupport.h"
#include "win32/MessageBox.h"

namespace vesk::test {
namespace {

// Feeds `answers` on a pipe and collects what the presenter writes in a file.
class LineSession {
public:
    explicit LineSession(const std::string& answers) {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        EXPECT_EQ(write(fds[1], answers.data(), answers.size()), static_cast<ssize_t>(answers.size()));
        close(fds[1]);
        in_ = fds[0];
        outPath_ = testing::TempDir() + "/line-presenter-" + std::to_string(getpid()) + ".txt";
        out_ = open(outPath_.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
        VESK_PRESENTER_OPTIONS options{nullptr, nullptr, in_, out_};
        hwnd_ = VeskCreatePresenterWindow(VESK_PRESENTER_LINE, &options);
    }
    ~LineSession() {
        DestroyWindow(hwnd_);
        close(in_);
        close(out_);
        std::remove(outPath_.c_str());
    }
    HWND hwnd() const { return hwnd_; }
    std::string output() const {
        std::ifstream file(outPath_);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

private:
    int in_ = -1, out_ = -1;
    std::string outPath_;
    HWND hwnd_ = nullptr;
};

struct FormResult {
    INT_PTR result = 0;
    std::string name, password, combo;
    UINT check = 0;
};
FormResult g_form;
const char* g_initialName = "caf\xE9";  // the name field's text when the form opens

INT_PTR formProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        for (const char* item : {"Beta", "Alpha"}) {
            SendDlgItemMessageA(dialog, kIdCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
        SetDlgItemTextA(dialog, kIdName, g_initialName);
        return TRUE;
    }
    if (msg != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)) return FALSE;
    char buffer[128];
    GetDlgItemTextA(dialog, kIdName, buffer, sizeof buffer);
    g_form.name = buffer;
    GetDlgItemTextA(dialog, kIdPassword, buffer, sizeof buffer);
    g_form.password = buffer;
    GetDlgItemTextA(dialog, kIdCombo, buffer, sizeof buffer);
    g_form.combo = buffer;
    g_form.check = IsDlgButtonChecked(dialog, kIdCheck);
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
}

FormResult runForm(HWND presenter) {
    g_form = FormResult{};
    g_form.result = DialogBoxParamA(testModule(), templateName(kFormDialog), presenter, formProc, 0);
    return g_form;
}

TEST(LinePresenter, AsksEveryFieldThenTheButton) {
    // Name, password, combo box, check box, two radio buttons, number; then the button. The
    // list box holds nothing, so it is not asked.
    LineSession session("Jane\nsecret\n2\ny\n\n\n\nok\n");
    const FormResult form = runForm(session.hwnd());
    EXPECT_EQ(form.result, IDOK);
    EXPECT_EQ(form.name, "Jane");
    EXPECT_EQ(form.password, "secret");
    EXPECT_EQ(form.combo, "Beta");
    EXPECT_EQ(form.check, static_cast<UINT>(BST_CHECKED));
    const std::string out = session.output();
    const char* expected[] = {
        "== Form ==\n",
        "Name: caf\xC3\xA9\n",          // Windows-1252 shown as UTF-8
        "Name [caf\xC3\xA9]: ",
        "Password []: ",
        "  1) Alpha\n  2) Beta\n",
        "Remember [n] (y/n): ",
        "Choose: Browse..., OK, Cancel > ",
    };
    for (const char* part : expected) EXPECT_NE(out.find(part), std::string::npos) << part << "\n" << out;
    EXPECT_EQ(out.find("secret"), std::string::npos);
}

TEST(LinePresenter, ControlCharactersInFieldsAreShownNotObeyed) {
    // A value from the mail store or a settings file holding a title-setting sequence, a
    // clear-screen sequence and a C1 control (0x81 stays one in Windows-1252).
    g_initialName = "x\x1b]0;TITLE\x07\x1b[2J\x81\x7f";
    LineSession session("\n\n\n\n\n\n\nok\n");
    runForm(session.hwnd());
    g_initialName = "caf\xE9";
    const std::string out = session.output();
    EXPECT_NE(out.find("Name: x^[]0;TITLE^G^[[2J<U+0081>^?\n"), std::string::npos) << out;
    EXPECT_EQ(out.find('\x1b'), std::string::npos);
    EXPECT_EQ(out.find('\x07'), std::string::npos);
    EXPECT_EQ(out.find("\xc2\x81"), std::string::npos);
}

TEST(LinePresenter, EmptyAnswersKeepValuesAndADashEmptiesThem) {
    LineSession session("-\n\n\n\n\n\n\nOK\n");
    const FormResult form = runForm(session.hwnd());
    EXPECT_EQ(form.result, IDOK);
    EXPECT_EQ(form.name, "");
    EXPECT_EQ(form.combo, "");
    EXPECT_EQ(form.check, static_cast<UINT>(BST_UNCHECKED));
}

TEST(LinePresenter, WrongAnswersAreAskedAgain) {
    LineSession session("\n\n9\nBeta\n\nmaybe\nn\n\n\n\nfly\nCan\n");
    const FormResult form = runForm(session.hwnd());
    EXPECT_EQ(form.result, IDCANCEL);
    EXPECT_EQ(form.combo, "Beta");
    const std::string out = session.output();
    EXPECT_NE(out.find("There is no such item.\n"), std::string::npos);
    EXPECT_NE(out.find("Please answer with one of: Browse..., OK, Cancel\n"), std::string::npos);
}

TEST(LinePresenter, EndOfInputCancels) {
    LineSession session("Jane\n");
    const FormResult form = runForm(session.hwnd());
    EXPECT_EQ(form.result, IDCANCEL);
}

TEST(LinePresenter, BoxesTakeNamesOrLetters) {
    struct Row {
        const char* input;
        UINT style;
        int answer;
    } rows[] = {
        {"yes\n", MB_YESNO, IDYES},
        {"n\n", MB_YESNO, IDNO},
        {"perhaps\nR\n", MB_RETRYCANCEL, IDRETRY},
        {"", MB_YESNO, IDNO},         // input ended: No closes a box without Cancel
        {"", MB_OKCANCEL, IDCANCEL},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.input);
        LineSession session(row.input);
        EXPECT_EQ(MessageBoxA(session.hwnd(), "Are you sure that you want to cancel Mail Setup?", "Mail Setup",
                              row.style),
                  row.answer);
        EXPECT_NE(session.output().find("-- Mail Setup --\nAre you sure"), std::string::npos);
    }
}

TEST(LinePresenter, WizardButtonsAreOfferedByName) {
    LineSession session("Bob\nnext\n");
    static std::string typed;
    typed.clear();
    PROPSHEETPAGEA psp{};
    psp.dwSize = sizeof psp;
    psp.hInstance = testModule();
    psp.pszTemplate = templateName(kPageName);
    psp.pfnDlgProc = [](HWND page, UINT msg, WPARAM, LPARAM lParam) -> INT_PTR {
        if (msg != WM_NOTIFY || reinterpret_cast<const NMHDR*>(lParam)->code != PSN_WIZNEXT) return FALSE;
        char buffer[64];
        GetDlgItemTextA(page, kIdPageName, buffer, sizeof buffer);
        typed = buffer;
        EndDialog(GetParent(page), ID_WIZFINISH);
        return TRUE;
    };
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD;
    header.hwndParent = session.hwnd();
    header.pszCaption = "Mail Setup";
    header.nPages = 1;
    header.ppsp = &psp;
    EXPECT_EQ(PropertySheetA(&header), ID_WIZFINISH);
    EXPECT_EQ(typed, "Bob");
    const std::string out = session.output();
    EXPECT_NE(out.find("Enter the name that you use.\nUser Name: \nUser Name []: "), std::string::npos) << out;
    EXPECT_NE(out.find("Choose: Back, Next, Cancel > "), std::string::npos) << out;
}

}  // namespace
}  // namespace vesk::test
