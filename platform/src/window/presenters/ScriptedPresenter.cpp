// The scripted presenter: actions in, transcript out.
#include "platform/ScriptedPresenter.h"

#include <algorithm>
#include <cctype>

#include "platform/Codepage.h"
#include "win32/MessageBox.h"
#include "win32/PropSheet.h"

namespace vesk::ui {
namespace {

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A button caption as a person reads it: without its '&' marks and the arrows of "< &Back"
// and "&Next >".
std::string readable(const std::string& caption) {
    std::string text;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size() && caption[i + 1] != '&') continue;
        text += caption[i];
    }
    const size_t first = text.find_first_not_of("<> ");
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of("<> ");
    return lower(text.substr(first, last - first + 1));
}

bool isNumber(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

bool isValueAction(ScriptAction::Kind kind) {
    return kind == ScriptAction::Kind::Type || kind == ScriptAction::Kind::Select ||
           kind == ScriptAction::Kind::Check || kind == ScriptAction::Kind::Uncheck;
}

// Resolves "press NAME" against what the view shows; false when nothing matches.
bool resolvePress(const WindowView& view, const std::string& name, Input* input) {
    const bool sheet = view.kind == WindowView::Kind::Sheet;
    if (isNumber(name)) {
        const int id = std::stoi(name);
        input->control = id;
        input->kind = sheet && view.button(id) != nullptr && view.control(id) == nullptr ? Input::Kind::PressSheet
                                                                                          : Input::Kind::Press;
        return true;
    }
    const std::string wanted = readable(name);
    if (sheet) {
        // The role first; when that button is hidden, the visible one that reads the same
        // ("Next" for a Finish button captioned "&Next >").
        for (const SheetButtonView& b : view.buttons) {
            if (lower(b.role) == wanted && b.visible) {
                *input = Input{Input::Kind::PressSheet, b.id, {}, 0};
                return true;
            }
        }
        for (const SheetButtonView& b : view.buttons) {
            if (b.visible && readable(b.text) == wanted) {
                *input = Input{Input::Kind::PressSheet, b.id, {}, 0};
                return true;
            }
        }
        for (const SheetButtonView& b : view.buttons) {
            if (lower(b.role) == wanted) {
                // Hidden: pressing it is refused by the window, which the transcript shows.
                *input = Input{Input::Kind::PressSheet, b.id, {}, 0};
                return true;
            }
        }
    }
    for (const ControlView& c : view.controls) {
        if (c.visible && (c.kind == ControlKind::PushButton || c.kind == ControlKind::CheckBox ||
                          c.kind == ControlKind::RadioButton) && readable(c.text) == wanted) {
            *input = Input{Input::Kind::Press, c.id, {}, 0};
            return true;
        }
    }
    if (!sheet) {
        // A dialog's standard commands work from the keyboard even without such a button.
        if (wanted == "cancel") {
            *input = Input{Input::Kind::Close, 0, {}, 0};
            return true;
        }
        if (wanted == "ok" || wanted == "help") {
            *input = Input{Input::Kind::Press, wanted == "ok" ? IDOK : IDHELP, {}, 0};
            return true;
        }
    }
    return false;
}

}  // namespace

ScriptedPresenter::ScriptedPresenter(std::vector<ScriptAction> actions) : actions_(std::move(actions)) {}

ScriptedPresenter::~ScriptedPresenter() = default;

void ScriptedPresenter::add(ScriptAction action) {
    actions_.push_back(std::move(action));
}

void ScriptedPresenter::setTranscriptFile(std::string path) {
    transcriptFile_ = std::move(path);
    if (!transcriptFile_.empty() && !transcript_.writeFile(transcriptFile_)) transcriptFailed_ = true;
}

void ScriptedPresenter::record(TranscriptEntry entry) {
    transcript_.add(std::move(entry));
    if (!transcriptFile_.empty() && !transcript_.writeFile(transcriptFile_)) transcriptFailed_ = true;
}

void ScriptedPresenter::endScript(const std::string& why, bool error, size_t at) {
    if (ended_) return;
    ended_ = true;
    const int line = at < actions_.size() ? actions_[at].line : 0;
    TranscriptEntry entry;
    entry.kind = error ? TranscriptEntry::Kind::Error : TranscriptEntry::Kind::Note;
    entry.text = (error && line > 0 ? "line " + std::to_string(line) + ": " : std::string()) + why;
    if (error) scriptError_ = entry.text;
    record(std::move(entry));
    if (error) {
        TranscriptEntry note;
        note.kind = TranscriptEntry::Kind::Note;
        const size_t after = at < actions_.size() ? actions_.size() - at - 1 : 0;
        note.text = "the script stopped there" +
                    (after > 0 ? "; " + std::to_string(after) + (after == 1 ? " action after it was" : " actions after it were") +
                                     " not played"
                               : std::string()) +
                    "; cancelling";
        record(std::move(note));
    }
}

Input ScriptedPresenter::cancelling(const WindowView& view) {
    TranscriptEntry note;
    note.kind = TranscriptEntry::Kind::Note;
    Input input;
    if (std::find(closing_.begin(), closing_.end(), view.window) == closing_.end()) {
        closing_.push_back(view.window);
        note.text = "cancelling \"" + view.caption + "\"";
        input.kind = Input::Kind::Close;
    } else {
        note.text = "aborting \"" + view.caption + "\": it stayed open after Cancel";
        input.kind = Input::Kind::Abort;
    }
    record(std::move(note));
    return input;
}

Input ScriptedPresenter::nextInput(const WindowView& view) {
    // A page is recorded when it is new, or when it changed in more than the value the
    // script itself just entered (that value shows in the action).
    const bool samePage = view.window == lastWindow_ && view.page == lastPage_;
    bool changed = !samePage;
    if (samePage) {
        WindowView compared = view;
        if (lastWasValue_) {
            for (ControlView& c : compared.controls) {
                const ControlView* before = lastView_.control(c.id);
                if (c.id == lastValueControl_ && before != nullptr) {
                    c.text = before->text;
                    c.selection = before->selection;
                    c.check = before->check;
                }
            }
        }
        changed = Transcript::pageText(compared) != Transcript::pageText(lastView_);
    }
    if (changed) {
        TranscriptEntry entry;
        entry.kind = TranscriptEntry::Kind::Page;
        entry.page = view;
        record(std::move(entry));
    }
    lastView_ = view;
    lastWindow_ = view.window;
    lastPage_ = view.page;
    lastWasValue_ = false;

    if (!ended_ && next_ >= actions_.size()) endScript("the script ran out of actions; cancelling", false, next_);
    if (ended_) return cancelling(view);
    const ScriptAction& action = actions_[next_];
    Input input;
    switch (action.kind) {
        case ScriptAction::Kind::Type:
            input = Input{Input::Kind::SetText, action.control, action.text, 0};
            break;
        case ScriptAction::Kind::Select:
            input = Input{Input::Kind::Select, action.control, action.text, 0};
            break;
        case ScriptAction::Kind::Check:
        case ScriptAction::Kind::Uncheck:
            input = Input{Input::Kind::SetCheck, action.control, {}, action.kind == ScriptAction::Kind::Check ? 1 : 0};
            break;
        case ScriptAction::Kind::Press:
            if (!resolvePress(view, action.text, &input)) {
                endScript(action.toString() + ": no such button on \"" + view.caption + "\"", true, next_);
                return cancelling(view);
            }
            break;
        case ScriptAction::Kind::Answer:
        case ScriptAction::Kind::ChooseDirectory:
            endScript(action.toString() + ": expected an action on \"" + view.caption + "\"", true, next_);
            return cancelling(view);
    }
    TranscriptEntry entry;
    entry.kind = TranscriptEntry::Kind::Action;
    entry.text = action.toString();
    // What goes into a password field is not written down.
    if (const ControlView* target = view.control(action.control);
        action.kind == ScriptAction::Kind::Type && target != nullptr && target->password) {
        ScriptAction masked = action;
        masked.text.assign(action.text.size(), '*');
        entry.text = masked.toString();
    }
    record(std::move(entry));
    lastWasValue_ = isValueAction(action.kind);
    lastValueControl_ = action.control;
    ++next_;
    return input;
}

void ScriptedPresenter::inputRejected(const Input& /*input*/, const std::string& reason) {
    const std::string action = next_ > 0 ? actions_[next_ - 1].toString() : std::string("input");
    endScript(action + ": " + reason, true, next_ > 0 ? next_ - 1 : next_);
}

void ScriptedPresenter::windowClosed(HWND window) {
    closing_.erase(std::remove(closing_.begin(), closing_.end(), window), closing_.end());
    TranscriptEntry entry;
    entry.kind = TranscriptEntry::Kind::Closed;
    char caption[512] = "";
    GetWindowTextA(window, caption, sizeof caption);
    entry.text = caption;
    record(std::move(entry));
    if (window == lastWindow_) {
        lastWindow_ = nullptr;
        lastPage_ = nullptr;
    }
}

int ScriptedPresenter::messageBox(const BoxRequest& box) {
    std::vector<int> offered = boxButtons(box.style);
    if (box.style & MB_HELP) offered.push_back(IDHELP);
    int answer = 0;
    if (!ended_ && next_ < actions_.size() && actions_[next_].kind == ScriptAction::Kind::Answer) {
        const ScriptAction& action = actions_[next_];
        for (int id : offered) {
            if (lower(answerName(id)) == lower(action.text)) answer = id;
        }
        if (answer == 0) {
            endScript(action.toString() + ": the box \"" + box.caption + "\" offers no such answer", true, next_);
        } else {
            TranscriptEntry entry;
            entry.kind = TranscriptEntry::Kind::Action;
            entry.text = action.toString();
            record(std::move(entry));
            ++next_;
        }
    } else if (!ended_) {
        endScript(next_ < actions_.size()
                      ? actions_[next_].toString() + ": a box \"" + box.caption + "\" waits for an answer"
                      : std::string("the script ran out of actions; cancelling"),
                  next_ < actions_.size(), next_);
    }
    if (answer == 0) {
        // The script cannot answer: close the box, or take No, or its last button.
        const std::vector<int> own = boxButtons(box.style);
        answer = boxEscapeAnswer(box.style);
        if (answer == 0) answer = std::find(own.begin(), own.end(), IDNO) != own.end() ? IDNO : own.back();
    }
    TranscriptEntry entry;
    entry.kind = TranscriptEntry::Kind::Box;
    entry.box = box;
    entry.answer = answer;
    record(std::move(entry));
    return answer;
}

bool ScriptedPresenter::chooseDirectory(const DirectoryRequest& request, std::string* chosen) {
    TranscriptEntry entry;
    entry.kind = TranscriptEntry::Kind::Directory;
    entry.request = request;
    bool ok = false;
    if (!ended_ && next_ < actions_.size()) {
        const ScriptAction& action = actions_[next_];
        const bool cancel = (action.kind == ScriptAction::Kind::Answer || action.kind == ScriptAction::Kind::Press) &&
                            lower(action.text) == "cancel";
        if (action.kind == ScriptAction::Kind::ChooseDirectory || cancel) {
            TranscriptEntry step;
            step.kind = TranscriptEntry::Kind::Action;
            step.text = action.toString();
            record(std::move(step));
            if (!cancel) {
                *chosen = action.text;
                entry.text = action.text;
                ok = true;
            }
            ++next_;
        } else {
            endScript(action.toString() + ": the directory chooser waits for a directory", true, next_);
        }
    } else if (!ended_) {
        endScript("the script ran out of actions; cancelling", false, next_);
    }
    record(std::move(entry));
    return ok;
}

bool ScriptedPresenter::showHelp(const HelpRequest& help) {
    TranscriptEntry entry;
    entry.kind = TranscriptEntry::Kind::Help;
    entry.help = help;
    record(std::move(entry));
    return true;
}

void ScriptedPresenter::waitCursorChanged(int count) {
    TranscriptEntry entry;
    entry.kind = TranscriptEntry::Kind::Wait;
    entry.answer = count;
    record(std::move(entry));
}

}  // namespace vesk::ui
