// The terminal presenter's panels over the page: message boxes, the directory chooser and help.
#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "window/presenters/PresenterText.h"
#include "window/presenters/TerminalPresenter.h"
#include "window/presenters/TerminalScreen.h"
#include "win32/Dialog.h"
#include "win32/MessageBox.h"

namespace vesk::ui {
namespace {

using term::Key;

struct Panel {
    int top, left, height, width;
};

Panel centred(int height, int width) {
    const int rows = term::rows(), cols = term::cols();
    width = std::min(width, cols - 2);
    height = std::min(height, rows - 2);
    return Panel{std::max(0, (rows - height) / 2), std::max(0, (cols - width) / 2), height, width};
}

void drawButtons(int row, int right, const std::vector<std::string>& labels, int focus) {
    int width = 0;
    for (const std::string& l : labels) width += static_cast<int>(l.size()) + 4 + 2;
    int col = right - width;
    for (size_t i = 0; i < labels.size(); ++i) {
        const std::string text = "[ " + labels[i] + " ]";
        term::put(row, col, text, static_cast<int>(text.size()),
                  static_cast<int>(i) == focus ? term::reverse() : term::normal());
        col += static_cast<int>(text.size()) + 2;
    }
}

std::vector<std::string> subdirectories(const std::string& path) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            struct stat info {};
            const std::string full = (path == "/" ? "/" : path + "/") + name;
            if (stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    if (path != "/") names.insert(names.begin(), "..");
    return names;
}

std::string parentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

}  // namespace

int TerminalPresenter::messageBox(const BoxRequest& box) {
    const std::vector<int> answers = boxButtons(box.style);
    const int escape = boxEscapeAnswer(box.style);
    if (!term::start()) return escape != 0 ? escape : answers.back();
    started_ = true;
    int focus = std::clamp(static_cast<int>((box.style & MB_DEFMASK) >> 8), 0, static_cast<int>(answers.size()) - 1);
    std::vector<std::string> labels;
    for (int id : answers) labels.push_back(answerName(id));
    int answer = 0;
    while (answer == 0) {
        const int width = std::min(term::cols() - 2, 64);
        const std::vector<std::string> lines = wrapText(box.text, static_cast<size_t>(std::max(10, width - 4)));
        const Panel p = centred(static_cast<int>(lines.size()) + 5, width);
        term::hideCursor();
        term::frame(p.top, p.left, p.height, p.width);
        term::put(p.top, p.left + 2, " " + box.caption + " ", p.width - 4, term::bold());
        for (size_t i = 0; i < lines.size() && static_cast<int>(i) < p.height - 5; ++i) {
            term::put(p.top + 2 + static_cast<int>(i), p.left + 2, lines[i], p.width - 4, term::normal());
        }
        drawButtons(p.top + p.height - 2, p.left + p.width - 1, labels, focus);
        term::refresh();
        const Key key = term::readKey();
        switch (key.type) {
            case Key::Type::Closed: answer = escape != 0 ? escape : answers.back(); break;
            case Key::Type::Enter: answer = answers[static_cast<size_t>(focus)]; break;
            case Key::Type::Escape: answer = escape; break;
            case Key::Type::Tab: case Key::Type::Right: case Key::Type::Down:
                focus = (focus + 1) % static_cast<int>(answers.size());
                break;
            case Key::Type::BackTab: case Key::Type::Left: case Key::Type::Up:
                focus = (focus + static_cast<int>(answers.size()) - 1) % static_cast<int>(answers.size());
                break;
            case Key::Type::Char:
                if (key.ch == ' ') {
                    answer = answers[static_cast<size_t>(focus)];
                    break;
                }
                for (size_t i = 0; i < answers.size(); ++i) {
                    if (std::tolower(static_cast<unsigned char>(labels[i][0])) ==
                        std::tolower(static_cast<unsigned char>(key.ch))) {
                        answer = answers[i];
                    }
                }
                break;
            default:
                break;
        }
    }
    // The page under the panel is drawn again when its window next waits.
    releaseIfIdle();
    return answer;
}

bool TerminalPresenter::chooseDirectory(const DirectoryRequest& request, std::string* chosen) {
    if (!term::start()) return false;
    started_ = true;
    std::string current = request.initialDir.empty() ? std::string("/") : request.initialDir;
    std::vector<std::string> entries = subdirectories(current);
    int selected = 0, top = 0;
    int focus = 0;  // 0 the list, 1 OK, 2 Cancel
    bool result = false, done = false;
    while (!done) {
        const Panel p = centred(term::rows() - 2, std::min(term::cols() - 2, 70));
        const int listHeight = std::max(1, p.height - 6);
        selected = std::clamp(selected, 0, std::max(0, static_cast<int>(entries.size()) - 1));
        if (selected < top) top = selected;
        if (selected >= top + listHeight) top = selected - listHeight + 1;
        term::hideCursor();
        term::frame(p.top, p.left, p.height, p.width);
        term::put(p.top, p.left + 2, " " + request.title + " ", p.width - 4, term::bold());
        term::put(p.top + 1, p.left + 2, current, p.width - 4, term::normal());
        for (int i = 0; i < listHeight && top + i < static_cast<int>(entries.size()); ++i) {
            const bool on = top + i == selected;
            term::put(p.top + 3 + i, p.left + 2, (on ? "> " : "  ") + entries[static_cast<size_t>(top + i)] + "/",
                      p.width - 4, on && focus == 0 ? term::reverse() : term::normal());
        }
        drawButtons(p.top + p.height - 2, p.left + p.width - 1, {"OK", "Cancel"}, focus - 1);
        term::put(p.top + p.height - 1, p.left + 2, " Enter: open  Tab: buttons  Esc: cancel ", p.width - 4, term::dim());
        term::refresh();
        const Key key = term::readKey();
        switch (key.type) {
            case Key::Type::Closed: case Key::Type::Escape: done = true; break;
            case Key::Type::Tab: focus = (focus + 1) % 3; break;
            case Key::Type::BackTab: focus = (focus + 2) % 3; break;
            case Key::Type::Up: if (focus == 0) --selected; break;
            case Key::Type::Down: if (focus == 0) ++selected; break;
            case Key::Type::PageUp: if (focus == 0) selected -= listHeight; break;
            case Key::Type::PageDown: if (focus == 0) selected += listHeight; break;
            case Key::Type::Left: case Key::Type::Right:
                if (focus != 0) focus = focus == 1 ? 2 : 1;
                break;
            case Key::Type::Enter:
                if (focus == 0 && !entries.empty()) {
                    const std::string& name = entries[static_cast<size_t>(selected)];
                    current = name == ".." ? parentOf(current) : (current == "/" ? "/" : current + "/") + name;
                    entries = subdirectories(current);
                    selected = top = 0;
                } else if (focus != 0) {
                    result = focus == 1;
                    done = true;
                }
                break;
            case Key::Type::Char: {
                const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(key.ch)));
                if (key.alt && (c == 'o' || c == 'c')) {
                    result = c == 'o';
                    done = true;
                } else if (focus == 0) {
                    for (size_t i = 0; i < entries.size(); ++i) {
                        if (!entries[i].empty() && std::tolower(static_cast<unsigned char>(entries[i][0])) == c) {
                            selected = static_cast<int>(i);
                            break;
                        }
                    }
                }
                break;
            }
            default:
                break;
        }
    }
    if (result) *chosen = current;
    releaseIfIdle();
    return result;
}

bool TerminalPresenter::showHelp(const HelpRequest& help) {
    if (!term::start()) return false;
    started_ = true;
    int top = 0;
    while (true) {
        const Panel p = centred(term::rows() - 2, term::cols() - 2);
        const std::vector<std::string> lines = wrapText(help.text, static_cast<size_t>(std::max(10, p.width - 4)));
        const int height = std::max(1, p.height - 4);
        top = std::clamp(top, 0, std::max(0, static_cast<int>(lines.size()) - height));
        term::hideCursor();
        term::frame(p.top, p.left, p.height, p.width);
        term::put(p.top, p.left + 2, " Help ", p.width - 4, term::bold());
        for (int i = 0; i < height && top + i < static_cast<int>(lines.size()); ++i) {
            term::put(p.top + 2 + i, p.left + 2, lines[static_cast<size_t>(top + i)], p.width - 4, term::normal());
        }
        term::put(p.top + p.height - 1, p.left + 2, " Up/Down/PageUp/PageDown: scroll  Esc or Enter: close ",
                  p.width - 4, term::dim());
        term::refresh();
        const Key key = term::readKey();
        if (key.type == Key::Type::Escape || key.type == Key::Type::Enter || key.type == Key::Type::Closed ||
            (key.type == Key::Type::Char && (key.ch == 'q' || key.ch == 'Q'))) {
            break;
        }
        if (key.type == Key::Type::Up) --top;
        if (key.type == Key::Type::Down) ++top;
        if (key.type == Key::Type::PageUp) top -= height;
        if (key.type == Key::Type::PageDown) top += height;
    }
    releaseIfIdle();
    return true;
}

}  // namespace vesk::ui
