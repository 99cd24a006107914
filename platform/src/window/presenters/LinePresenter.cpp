#include "window/presenters/LinePresenter.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "platform/Codepage.h"
#include "platform/TerminalText.h"
#include "window/presenters/PresenterText.h"
#include "win32/Dialog.h"

namespace vesk::ui {
namespace {

constexpr size_t kWidth = 78;

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string plainName(const std::string& caption) {
    std::string text = stripMnemonic(caption);
    const size_t first = text.find_first_not_of("<> ");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of("<> ") - first + 1);
}

struct Choice {
    std::string name;  // what is printed
    char key = 0;      // accelerator letter
    int value = 0;
};

// Finds the choice an answer names: exact name, accelerator letter, or a unique prefix.
const Choice* match(const std::vector<Choice>& choices, const std::string& answer) {
    const std::string a = lower(trim(answer));
    if (a.empty()) return nullptr;
    for (const Choice& c : choices) {
        if (lower(c.name) == a) return &c;
    }
    if (a.size() == 1) {
        for (const Choice& c : choices) {
            if (c.key == a[0]) return &c;
        }
    }
    const Choice* found = nullptr;
    for (const Choice& c : choices) {
        if (lower(c.name).rfind(a, 0) == 0) {
            if (found != nullptr) return nullptr;
            found = &c;
        }
    }
    return found;
}

std::string names(const std::vector<Choice>& choices) {
    std::string text;
    for (size_t i = 0; i < choices.size(); ++i) text += (i ? ", " : "") + choices[i].name;
    return text;
}

std::string fieldName(const WindowView& view, const ControlView& c) {
    std::string label = stripMnemonic(labelOf(view, c));
    while (!label.empty() && (label.back() == ':' || label.back() == ' ')) label.pop_back();
    return label.empty() ? "Field " + std::to_string(c.id) : label;
}

}  // namespace

LinePresenter::LinePresenter(int inputFd, int outputFd) : in_(inputFd), out_(outputFd) {}

bool LinePresenter::readLine(std::string* line) {
    while (true) {
        const size_t newline = buffer_.find('\n');
        if (newline != std::string::npos) {
            *line = cp::utf8ToCp1252(buffer_.substr(0, newline));
            if (!line->empty() && line->back() == '\r') line->pop_back();
            buffer_.erase(0, newline + 1);
            return true;
        }
        if (eof_) {
            if (buffer_.empty()) return false;
            *line = cp::utf8ToCp1252(buffer_);
            buffer_.clear();
            return true;
        }
        char chunk[512];
        const ssize_t n = ::read(in_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) eof_ = true;
        else buffer_.append(chunk, static_cast<size_t>(n));
    }
}

void LinePresenter::write(const std::string& cp1252) {
    // Control characters in page texts (settings, names from the mail store) are shown as
    // placeholders; line ends are kept.
    const std::string utf8 = text::forTerminalFromCp1252(cp1252, text::Lines::Many);
    size_t done = 0;
    while (done < utf8.size()) {
        const ssize_t n = ::write(out_, utf8.data() + done, utf8.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

void LinePresenter::printPage(const WindowView& view) {
    std::string text = "\n== " + view.caption;
    if (view.kind == WindowView::Kind::Sheet && view.pageCount > 1) {
        text += " (page " + std::to_string(view.pageIndex + 1) + " of " + std::to_string(view.pageCount) + ")";
    }
    text += " ==\n";
    // Labels of fields are printed with their fields.
    std::vector<const ControlView*> fieldLabels;
    for (const ControlView& c : view.controls) {
        if (c.visible && (c.kind == ControlKind::Edit || c.kind == ControlKind::ComboBox || c.kind == ControlKind::ListBox)) {
            fieldLabels.push_back(labelFor(view, c));
        }
    }
    for (const ControlView& c : view.controls) {
        if (!c.visible) continue;
        switch (c.kind) {
            case ControlKind::Label:
            case ControlKind::GroupBox:
                if (c.text.empty() || std::find(fieldLabels.begin(), fieldLabels.end(), &c) != fieldLabels.end()) break;
                for (const std::string& line : wrapText(stripMnemonic(c.text), kWidth)) text += line + "\n";
                break;
            case ControlKind::Edit:
                text += fieldName(view, c) + ": " + (c.password ? std::string(c.text.size(), '*') : c.text) + "\n";
                break;
            case ControlKind::ComboBox:
            case ControlKind::ListBox:
                text += fieldName(view, c) + ": " +
                        (c.selection >= 0 ? c.items[static_cast<size_t>(c.selection)] : c.text) + "\n";
                break;
            case ControlKind::CheckBox:
            case ControlKind::RadioButton:
                text += std::string(c.check ? "[x] " : "[ ] ") + stripMnemonic(c.text) + "\n";
                break;
            default:
                break;
        }
    }
    write(text);
}

bool LinePresenter::askFields(const WindowView& view) {
    std::string answer;
    for (const ControlView& c : view.controls) {
        if (!isInteractive(c) || c.readOnly) continue;
        const std::string name = fieldName(view, c);
        if (c.kind == ControlKind::Edit) {
            write(name + " [" + (c.password ? std::string(c.text.size(), '*') : c.text) + "]: ");
            if (!readLine(&answer)) return false;
            if (answer == "-") answer.clear();
            else if (answer.empty()) continue;
            if (answer != c.text) pending_.push_back(Input{Input::Kind::SetText, c.id, answer, 0});
        } else if (c.kind == ControlKind::ComboBox || c.kind == ControlKind::ListBox) {
            if (c.items.empty()) continue;
            std::string list;
            for (size_t i = 0; i < c.items.size(); ++i) list += "  " + std::to_string(i + 1) + ") " + c.items[i] + "\n";
            const std::string current = c.selection >= 0 ? c.items[static_cast<size_t>(c.selection)] : c.text;
            while (true) {
                write(list + name + " [" + current + "]: ");
                if (!readLine(&answer)) return false;
                answer = trim(answer);
                if (answer.empty()) break;
                char* end = nullptr;
                const long number = std::strtol(answer.c_str(), &end, 10);
                std::string item;
                if (*end == '\0' && number >= 1 && static_cast<size_t>(number) <= c.items.size()) {
                    item = c.items[static_cast<size_t>(number - 1)];
                } else {
                    for (const std::string& candidate : c.items) {
                        if (lower(candidate) == lower(answer)) item = candidate;
                    }
                }
                if (item.empty()) {
                    write("There is no such item.\n");
                    continue;
                }
                if (item != current) pending_.push_back(Input{Input::Kind::Select, c.id, item, 0});
                break;
            }
        } else if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::RadioButton) {
            while (true) {
                write(stripMnemonic(c.text) + " [" + (c.check ? "y" : "n") + "] (y/n): ");
                if (!readLine(&answer)) return false;
                answer = lower(trim(answer));
                if (answer.empty()) break;
                if (answer != "y" && answer != "n" && answer != "yes" && answer != "no") continue;
                const int wanted = answer[0] == 'y' ? 1 : 0;
                if (wanted != (c.check != 0)) pending_.push_back(Input{Input::Kind::SetCheck, c.id, {}, wanted});
                break;
            }
        }
    }
    return true;
}

bool LinePresenter::askButton(const WindowView& view) {
    std::vector<Choice> choices;
    for (const SheetButtonView& b : view.buttons) {
        if (!b.visible || !b.enabled) continue;
        Choice choice;
        stripMnemonic(b.text, &choice.key);
        choice.name = plainName(b.text);
        choice.value = b.id;
        choices.push_back(choice);
    }
    const size_t sheetButtons = choices.size();
    for (const ControlView& c : view.controls) {
        if (c.kind != ControlKind::PushButton || !isInteractive(c)) continue;
        Choice choice;
        stripMnemonic(c.text, &choice.key);
        choice.name = plainName(c.text);
        choice.value = c.id;
        choices.push_back(choice);
    }
    // A dialog without buttons still closes like any other.
    const bool closeOnly = choices.empty();
    if (closeOnly) choices.push_back(Choice{"Cancel", 'c', IDCANCEL});
    std::string answer;
    while (true) {
        write("Choose: " + names(choices) + " > ");
        if (!readLine(&answer)) return false;
        const Choice* chosen = match(choices, answer);
        if (chosen == nullptr) {
            write("Please answer with one of: " + names(choices) + "\n");
            continue;
        }
        const bool sheet = static_cast<size_t>(chosen - choices.data()) < sheetButtons;
        if (closeOnly) {
            pending_.push_back(Input{Input::Kind::Close, 0, {}, 0});
        } else {
            pending_.push_back(Input{sheet ? Input::Kind::PressSheet : Input::Kind::Press, chosen->value, {}, 0});
        }
        return true;
    }
}

Input LinePresenter::cancelling(const WindowView& view) {
    pending_.clear();
    if (std::find(closing_.begin(), closing_.end(), view.window) == closing_.end()) {
        closing_.push_back(view.window);
        return Input{Input::Kind::Close, 0, {}, 0};
    }
    return Input{Input::Kind::Abort, 0, {}, 0};
}

Input LinePresenter::nextInput(const WindowView& view) {
    if (!pending_.empty()) {
        Input input = pending_.front();
        pending_.pop_front();
        return input;
    }
    if (eof_ && buffer_.empty()) return cancelling(view);
    printPage(view);
    if (!askFields(view) || !askButton(view)) {
        write("\n");
        return cancelling(view);
    }
    Input input = pending_.front();
    pending_.pop_front();
    return input;
}

void LinePresenter::inputRejected(const Input&, const std::string& reason) {
    // What followed the refused input no longer fits the page.
    pending_.clear();
    write("! " + reason + "\n");
}

void LinePresenter::windowClosed(HWND window) {
    closing_.erase(std::remove(closing_.begin(), closing_.end(), window), closing_.end());
    pending_.clear();
}

int LinePresenter::messageBox(const BoxRequest& box) {
    std::vector<Choice> choices;
    for (int id : boxButtons(box.style)) {
        const std::string name = answerName(id);
        choices.push_back(Choice{name, static_cast<char>(std::tolower(static_cast<unsigned char>(name[0]))), id});
    }
    std::string text = "\n-- " + box.caption + " --\n";
    for (const std::string& line : wrapText(box.text, kWidth)) text += line + "\n";
    write(text);
    std::string answer;
    while (true) {
        write("Answer: " + names(choices) + " > ");
        if (!readLine(&answer)) {
            write("\n");
            const int escape = boxEscapeAnswer(box.style);
            if (escape != 0) return escape;
            const std::vector<int> own = boxButtons(box.style);
            return std::find(own.begin(), own.end(), IDNO) != own.end() ? IDNO : own.back();
        }
        if (const Choice* chosen = match(choices, answer)) return chosen->value;
        write("Please answer with one of: " + names(choices) + "\n");
    }
}

bool LinePresenter::chooseDirectory(const DirectoryRequest& request, std::string* chosen) {
    std::string current = request.initialDir;
    std::string answer;
    while (true) {
        std::string text = "\n-- " + request.title + " --\n" + current + "\n";
        std::vector<std::string> entries;
        if (DIR* dir = opendir(current.c_str())) {
            while (dirent* entry = readdir(dir)) {
                const std::string name = entry->d_name;
                if (name == "." || name == "..") continue;
                struct stat info {};
                if (stat((current + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode)) entries.push_back(name);
            }
            closedir(dir);
        }
        std::sort(entries.begin(), entries.end());
        for (const std::string& e : entries) text += "  " + e + "/\n";
        write(text + "Directory (empty: this one, a name or path to go there, \"-\" to cancel): ");
        if (!readLine(&answer)) {
            write("\n");
            return false;
        }
        answer = trim(answer);
        if (answer == "-") return false;
        if (answer.empty()) {
            *chosen = current;
            return true;
        }
        const std::string target = answer[0] == '/' ? answer : (current == "/" ? "/" : current + "/") + answer;
        struct stat info {};
        if (stat(target.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            write("There is no such directory.\n");
            continue;
        }
        char resolved[4096];
        current = realpath(target.c_str(), resolved) != nullptr ? std::string(resolved) : target;
    }
}

bool LinePresenter::showHelp(const HelpRequest& help) {
    std::string text = "\n-- Help: " + help.path + " --\n";
    for (const std::string& line : wrapText(help.text, kWidth)) text += line + "\n";
    write(text + "-- end of help --\n");
    return true;
}

void LinePresenter::waitCursorChanged(int count) {
    if (count == 1) write("(please wait)\n");
}

}  // namespace vesk::ui
