// The terminal presenter: full-screen pages for people, on the terminal of stdin/stdout.
//
// One page at a time: the caption on top, the page's texts wrapped to the width, fields and
// buttons where the dialog has them, the sheet's button row at the bottom, a line of hints
// below it. Keyboard only: Tab / Shift-Tab move between fields and buttons, Up/Down too
// (and choose items in list and combo boxes), Enter presses the focused button or else the
// default one, Space presses buttons and toggles check boxes, Esc cancels, Alt with the
// underlined letter (or the letter alone when no text field has the focus) reaches the
// control it marks, F1 asks for help, PageUp/PageDown scroll a long page. Password fields
// show '*'. Message boxes, the directory chooser and help open as panels over the page.
// Text is Windows-1252 inside and UTF-8 on the terminal.
#pragma once

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "platform/Presenter.h"
#include "window/presenters/TerminalScreen.h"

namespace vesk::ui {

class TerminalPresenter : public Presenter {
public:
    TerminalPresenter();
    ~TerminalPresenter() override;

    Input nextInput(const WindowView& view) override;
    void inputRejected(const Input& input, const std::string& reason) override;
    void windowClosed(HWND window) override;
    int messageBox(const BoxRequest& box) override;
    bool chooseDirectory(const DirectoryRequest& request, std::string* chosen) override;
    bool showHelp(const HelpRequest& help) override;
    void waitCursorChanged(int count) override;

    /// Where the focus can be: a control of the page, or a button of the sheet's row.
    struct Target {
        bool sheet = false;
        int id = 0;
        bool operator==(const Target& other) const { return sheet == other.sheet && id == other.id; }
    };

private:
    /// The sheet button that goes on (the default one, else Finish, Next or OK), or null.
    static const SheetButtonView* forwardButton(const WindowView& view);
    std::vector<Target> targets(const WindowView& view) const;
    void draw(const WindowView& view);
    void handleKey(const WindowView& view, const term::Key& key);
    void moveFocus(const WindowView& view, int step);
    void focusOn(const WindowView& view, Target target);
    void flushEdit(const WindowView& view);
    void press(const WindowView& view, Target target);
    void pressDefault(const WindowView& view);
    bool accelerator(const WindowView& view, char key);
    void releaseIfIdle();
    Input cancelling(const WindowView& view);

    std::deque<Input> pending_;
    std::set<HWND> open_;             // windows shown and not closed yet
    HWND window_ = nullptr;           // the page shown: its window and page
    HWND page_ = nullptr;
    Target focus_;
    bool hasFocus_ = false;
    int editId_ = 0;                  // the edit (or editable combo) whose text is being typed
    std::string edit_;
    size_t cursor_ = 0;
    int scroll_ = 0;
    std::string message_;             // a refused input, shown in the hint line
    int wait_ = 0;
    std::vector<HWND> closing_;
    bool started_ = false;
};

}  // namespace vesk::ui
