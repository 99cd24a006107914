// The scripted presenter: plays a list of actions instead of a person and records a
// transcript of everything shown. Tests and automation drive dialogs and wizards with it.
//
// Script files hold one action a line, UTF-8 (converted to Windows-1252); blank lines and
// lines starting with '#' are ignored. Control ids are decimal or 0x-hexadecimal; a text may
// be written in double quotes (inside them \" \\ \n \t are escapes), which it must be when it
// is empty or starts or ends with blanks.
//
//   type <text> into [control] <id>    replace the text of an edit
//   select <text> in [control] <id>    select the item with exactly that text
//   check <id> / uncheck <id>          click a check box or radio button into that state
//   press <button>                     Back, Next, Finish, Cancel, Help, OK (sheet buttons by
//                                      role; when the role's button is hidden, a visible sheet
//                                      button with that caption), a control id, or a visible
//                                      button's caption without '&' ("Save", "Browse...")
//   answer <answer>                    answer a message box: OK, Cancel, Abort, Retry,
//                                      Ignore, Yes, No, Try Again, Continue
//   choose directory <path>            answer the directory chooser ("answer Cancel" cancels)
//
// Page actions are taken one per wait of a dialog or sheet, box answers when a box shows,
// directory choices when the chooser shows. An action of the wrong sort is an Error in the
// transcript and the script is taken as ended. When the script has ended (ran out of actions
// or went wrong) the presenter cancels: windows are closed as Cancel does, boxes get their
// closing answer (else No, else their last button), and a window that still does not end is
// aborted with IDCANCEL; the transcript says so. So a script never hangs.
//
// Transcript text, one block per event, e.g.:
//   page "Mail Setup" dialog 5001 (page 1 of 1, wizard)
//     static -1 "Congratulations!  Your Mail is now set up ..."
//     static 205 "Setup Instructions:" bold
//     edit 2103 "****" password
//     combobox 3010 "Default" items ["Default", "Work"] selected 0
//     button 2101 "B&rowse..." disabled
//     buttons: Back "< &Back" | Next hidden | Finish "&Next >" default | Cancel "Cancel"
//   > press Finish
//   box "Mail Setup" style 0x44 "If you cancel now, ..." -> No
// Only visible controls are listed; each line gives class, id, text (masked for passwords,
// as is what an action types into a password field)
// and what differs from the usual (disabled, checked, bold, ...).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Presenter.h"
#include "platform/Transcript.h"
#include "win32/Export.h"

namespace vesk::ui {

/// One action of a script.
struct VESK_EXPORT ScriptAction {
    enum class Kind { Type, Select, Check, Uncheck, Press, Answer, ChooseDirectory };
    Kind kind = Kind::Press;
    int control = 0;        ///< Type, Select, Check, Uncheck: the control id
    std::string text;       ///< Type, Select: the text; Press, Answer: the name; Choose: the path
    int line = 0;           ///< line number in the script file (0 when built in C++)

    static ScriptAction type(int control, std::string text);
    static ScriptAction select(int control, std::string text);
    static ScriptAction check(int control, bool checked = true);
    /// `button`: a role, a caption or a decimal id, as in a script line.
    static ScriptAction press(std::string button);
    static ScriptAction press(int control);
    static ScriptAction answer(std::string answer);
    static ScriptAction chooseDirectory(std::string path);

    /// The action as a script line (UTF-8).
    std::string toString() const;
};

/// Parses one script line (UTF-8). Nothing for a blank or comment line; with a reason in
/// `*error` (and nothing returned) for a line that is no action.
VESK_EXPORT std::optional<ScriptAction> parseScriptLine(const std::string& line, std::string* error);

/// Parses a whole script. False with "line N: reason" in `*error` at the first bad line.
VESK_EXPORT bool parseScript(const std::string& text, std::vector<ScriptAction>* actions, std::string* error);

/// Reads and parses a script file. False with a reason when it cannot be read or parsed.
VESK_EXPORT bool loadScript(const std::string& path, std::vector<ScriptAction>* actions, std::string* error);

class VESK_EXPORT ScriptedPresenter : public Presenter {
public:
    explicit ScriptedPresenter(std::vector<ScriptAction> actions = {});
    ~ScriptedPresenter() override;

    /// Appends an action to play.
    void add(ScriptAction action);
    /// Writes the transcript to `path` after every event from now on (empty: stop).
    void setTranscriptFile(std::string path);

    const Transcript& transcript() const { return transcript_; }
    /// Actions not played yet.
    size_t remaining() const { return actions_.size() - next_; }
    /// Why the script went wrong, starting "line N: " when the action came from a file;
    /// empty while it has not.
    const std::string& scriptError() const { return scriptError_; }
    /// The first line of the script not played (0 when every action was played).
    int firstUnplayedLine() const { return next_ < actions_.size() ? actions_[next_].line : 0; }
    /// True once writing the transcript file failed (the transcript is still kept in memory).
    bool transcriptFailed() const { return transcriptFailed_; }

    Input nextInput(const WindowView& view) override;
    void inputRejected(const Input& input, const std::string& reason) override;
    void windowClosed(HWND window) override;
    int messageBox(const BoxRequest& box) override;
    bool chooseDirectory(const DirectoryRequest& request, std::string* chosen) override;
    bool showHelp(const HelpRequest& help) override;
    void waitCursorChanged(int count) override;

private:
    void record(TranscriptEntry entry);
    /// Ends the script; `at` is the index of the action at fault (for its line number).
    void endScript(const std::string& why, bool error, size_t at);
    Input cancelling(const WindowView& view);

    std::vector<ScriptAction> actions_;
    size_t next_ = 0;
    bool ended_ = false;
    std::vector<HWND> closing_;  // windows already sent a Close after the script ended
    HWND lastWindow_ = nullptr;  // the page shown last: its window and page
    HWND lastPage_ = nullptr;
    WindowView lastView_;        // the page as recorded (values the script entered left out)
    bool lastWasValue_ = false;  // the last action entered a value (type, select, check)
    int lastValueControl_ = 0;   // ... into this control
    Transcript transcript_;
    std::string transcriptFile_;
    std::string scriptError_;
    bool transcriptFailed_ = false;
};

/// Creates a presenter window with a scripted presenter playing `actions`; `*presenter`
/// (may be null) receives the presenter for reading its transcript.
VESK_EXPORT HWND createScriptedPresenterWindow(std::vector<ScriptAction> actions,
                                               std::shared_ptr<ScriptedPresenter>* presenter);

}  // namespace vesk::ui
