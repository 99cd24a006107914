// Presenters: who shows the windows of the window system to a person, and how.
//
// The window system decides nothing about what a person sees. When a modal dialog or property
// sheet waits, it hands its presenter a view of itself (the caption, every control with its
// state, the button row) and asks what the person does next; message boxes, the directory
// chooser and help go to the presenter the same way. The presenter is chosen by the window a
// caller creates with VeskCreatePresenterWindow / createPresenterWindow: every dialog, sheet
// and box owned by that window (directly or through other windows) uses its presenter.
// Windows with no owner use the active presenter window: the most recently created one that
// still exists. Code that runs the dialogs never knows which presenter shows them.
//
// Texts in views and inputs are Windows-1252.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "win32/Export.h"
#include "win32/WinTypes.h"

/* Presenter kinds for VeskCreatePresenterWindow */
#define VESK_PRESENTER_AUTO 0      ///< terminal when stdin and stdout are terminals, else line
#define VESK_PRESENTER_SCRIPTED 1  ///< actions from a script file, transcript to a file
#define VESK_PRESENTER_TERMINAL 2  ///< full-screen terminal (ncurses) for people
#define VESK_PRESENTER_LINE 3      ///< plain lines on stdin/stdout

/// Options of VeskCreatePresenterWindow; every member may be zero/null.
typedef struct VESK_PRESENTER_OPTIONS {
    const char* scriptFile;      ///< scripted: the actions (see platform/ScriptedPresenter.h)
    const char* transcriptFile;  ///< scripted: written after every recorded event; null: none
    int inputFd;                 ///< line: read answers here (default 0 when both fds are 0)
    int outputFd;                ///< line: write pages here (default 1 when both fds are 0)
} VESK_PRESENTER_OPTIONS;

/// Creates a presenter window of `kind` (VESK_PRESENTER_*). Null with ERROR_INVALID_PARAMETER
/// for an unknown kind, or ERROR_FILE_NOT_FOUND / ERROR_BAD_FORMAT when a scripted
/// presenter's script cannot be read or holds a line that is no action. The caller destroys
/// it with DestroyWindow when done.
WIN32_API HWND VeskCreatePresenterWindow(int kind, const VESK_PRESENTER_OPTIONS* options);

namespace vesk::ui {

/// The font a control shows its text in.
struct FontView {
    std::string face;   ///< empty: the system font
    int height = 0;     ///< the font's lfHeight
    int weight = 400;   ///< FW_NORMAL 400, FW_BOLD 700
    bool italic = false;
};

/// What kind of control a person sees, from its class and style.
enum class ControlKind {
    PushButton, CheckBox, RadioButton, GroupBox,
    Edit, Label, Picture, Frame, ListBox, ComboBox, Other
};

/// One control as it is now.
struct ControlView {
    HWND hwnd = nullptr;
    int id = -1;                ///< -1 for controls without an id
    ControlKind kind = ControlKind::Other;
    std::string className;      ///< "Button", "Edit", "Static", "ComboBox", "ListBox", or custom
    std::string text;           ///< the window text: a label's text, an edit's value, a combo's
                                ///< selected text, a button's caption (with its '&')
    unsigned style = 0;
    bool visible = true;        ///< its own WS_VISIBLE
    bool enabled = true;
    bool focused = false;
    bool password = false;      ///< an edit with ES_PASSWORD: show the text masked
    bool readOnly = false;      ///< an edit with ES_READONLY
    bool multiline = false;
    bool isDefault = false;     ///< the default push button
    int check = 0;              ///< check boxes and radio buttons: BST_*
    int limit = 0;              ///< edits: the most characters a person may type (0: no limit)
    std::vector<std::string> items;  ///< list and combo boxes
    int selection = -1;         ///< list and combo boxes: the selected item, -1 for none
    unsigned picture = 0;       ///< SS_BITMAP / SS_ICON statics: the resource number
    int x = 0, y = 0, cx = 0, cy = 0;  ///< position in dialog units
    FontView font;
};

/// A button of a property sheet's row.
struct SheetButtonView {
    int id = 0;           ///< ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH, IDCANCEL, IDHELP, IDOK, ...
    std::string role;     ///< "Back", "Next", "Finish", "Cancel", "Help", "OK", "Apply"
    std::string text;     ///< caption with its '&'
    bool visible = true;
    bool enabled = true;
    bool isDefault = false;
};

/// A modal window waiting for the person: a dialog, or a property sheet with its active page.
struct WindowView {
    enum class Kind { Dialog, Sheet };
    Kind kind = Kind::Dialog;
    HWND window = nullptr;       ///< the dialog or the sheet
    HWND page = nullptr;         ///< sheets: the active page
    int templateId = 0;          ///< the dialog's template, or the active page's
    std::string caption;         ///< the dialog's or the sheet's caption
    std::string pageCaption;     ///< sheets: the active page's own caption
    int pageIndex = -1;          ///< sheets: the active page's index
    int pageCount = 0;           ///< sheets: how many pages
    bool wizard = false;         ///< sheets: wizard mode
    int cx = 0, cy = 0;          ///< size of the dialog (or page) in dialog units
    FontView font;               ///< the dialog's (or page's) font
    std::vector<ControlView> controls;      ///< the dialog's or page's controls, template order
    std::vector<SheetButtonView> buttons;   ///< sheets: the button row; dialogs: empty
    int depth = 1;               ///< 1 for the outermost modal window, 2 for one it opened, ...
    int waitCursor = 0;          ///< the wait-cursor count

    /// The control with `id`, or null.
    VESK_EXPORT const ControlView* control(int id) const;
    /// The sheet button with `id`, or null.
    VESK_EXPORT const SheetButtonView* button(int id) const;
};

/// What a person does in a waiting window.
struct Input {
    enum class Kind {
        SetText,     ///< replace the text of edit `control` with `text` (as if typed)
        Select,      ///< select the item `text` of list or combo box `control`
        SetCheck,    ///< set check box / radio button `control` to `check` (as if clicked)
        Press,       ///< press button `control` (a control of the dialog or page)
        PressSheet,  ///< press the sheet's button `control` (ID_WIZBACK, ..., IDCANCEL, IDHELP)
        Close,       ///< close the window as Esc or the close box does (Cancel)
        Focus,       ///< move the focus to `control`
        Abort,       ///< end the window with IDCANCEL at once, without asking it: the
                     ///< presenter can no longer answer (its input ended)
    };
    Kind kind = Kind::Close;
    int control = 0;
    std::string text;
    int check = 0;
};

/// A message box to answer.
struct BoxRequest {
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    unsigned style = 0;   ///< the MB_* value as given
    int depth = 1;        ///< modal nesting: 1 when no modal window is open
};

/// A directory to choose.
struct DirectoryRequest {
    HWND owner = nullptr;
    std::string title;
    std::string initialDir;  ///< absolute
};

/// Help text to show (from WinHelpA).
struct HelpRequest {
    HWND owner = nullptr;
    std::string path;     ///< the help file found
    std::string text;     ///< its whole contents
    unsigned command = 0; ///< HELP_*
    unsigned long data = 0;
};

/// The buttons MB_* `style` offers, as IDOK..IDCONTINUE, in display order.
VESK_EXPORT std::vector<int> boxButtons(unsigned style);
/// The caption of answer `id` ("OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No",
/// "Close", "Help", "Try Again", "Continue"); empty for others.
VESK_EXPORT std::string answerName(int id);
/// The answer closing box `style` without choosing gives (IDCANCEL, or IDOK for MB_OK);
/// 0 when such a box cannot be closed that way (MB_YESNO, MB_ABORTRETRYIGNORE).
VESK_EXPORT int boxEscapeAnswer(unsigned style);

/// Shows windows to a person and reports what the person does. A presenter is called on the
/// window system's thread only, and may be asked again from inside a call (a box over a
/// dialog) only through the window system.
class VESK_EXPORT Presenter {
public:
    virtual ~Presenter();

    /// `view` waits for the person; return what the person does next. The window system
    /// applies the input and asks again (with a fresh view) until the window ends; an input
    /// the window cannot take is reported through inputRejected before the next call.
    virtual Input nextInput(const WindowView& view) = 0;
    /// The last input could not be applied (a hidden or disabled control, an item the list
    /// does not hold, ...); `reason` says why.
    virtual void inputRejected(const Input& input, const std::string& reason);
    /// The modal window `window` has ended (the presenter may forget what it kept about it).
    virtual void windowClosed(HWND window);

    /// Show a message box and return the answer, one of boxButtons(box.style).
    virtual int messageBox(const BoxRequest& box) = 0;
    /// Let the person choose a directory: true with an existing directory in `*chosen`, false
    /// when the person cancels.
    virtual bool chooseDirectory(const DirectoryRequest& request, std::string* chosen) = 0;
    /// Show help text; true when shown.
    virtual bool showHelp(const HelpRequest& help) = 0;
    /// The wait-cursor count changed to `count`.
    virtual void waitCursorChanged(int count);
};

/// Creates a presenter window for `presenter` (shared with the caller, who may keep reading
/// it, e.g. a scripted presenter's transcript). Destroy it with DestroyWindow. Null for a
/// null presenter.
VESK_EXPORT HWND createPresenterWindow(std::shared_ptr<Presenter> presenter);

/// The presenter that shows `window`: the one of the presenter window it belongs to, else
/// the active presenter window's; null when there is none.
VESK_EXPORT std::shared_ptr<Presenter> presenterFor(HWND window);

/// Whether standard input and output are both terminals that the terminal presenter can use.
VESK_EXPORT bool terminalAvailable();

}  // namespace vesk::ui
