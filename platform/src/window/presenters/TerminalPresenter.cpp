#include "window/presenters/TerminalPresenter.h"

#include <algorithm>

#include "window/presenters/PresenterText.h"
#include "window/presenters/TerminalLayout.h"
#include "window/presenters/TerminalScreen.h"
#include "win32/Dialog.h"
#include "win32/PropSheet.h"

namespace vesk::ui {
namespace {

using term::Key;

bool editable(const ControlView& c) {
    return (c.kind == ControlKind::Edit && !c.readOnly) ||
           (c.kind == ControlKind::ComboBox && (c.style & 0x3) != 0x3 /* not a drop-down list */);
}

const ControlView* controlById(const WindowView& view, int id) {
    return view.control(id);
}

std::string buttonLabel(const std::string& caption) {
    return "[ " + stripMnemonic(caption) + " ]";
}

// The part of `text` that fits `width` with the cursor in sight.
std::string visiblePart(const std::string& text, size_t cursor, size_t width, size_t* offset) {
    *offset = cursor >= width ? cursor - width + 1 : 0;
    return text.substr(*offset, width);
}

}  // namespace

TerminalPresenter::TerminalPresenter() = default;

TerminalPresenter::~TerminalPresenter() {
    if (started_) term::stop();
}

std::vector<TerminalPresenter::Target> TerminalPresenter::targets(const WindowView& view) const {
    std::vector<Target> list;
    for (const ControlView& c : view.controls) {
        if (isInteractive(c) && !(view.cx > 0 && c.x >= view.cx)) list.push_back(Target{false, c.id});
    }
    for (const SheetButtonView& b : view.buttons) {
        if (b.visible && b.enabled) list.push_back(Target{true, b.id});
    }
    return list;
}

const SheetButtonView* TerminalPresenter::forwardButton(const WindowView& view) {
    const SheetButtonView* found = nullptr;
    for (const char* role : {"Finish", "Next", "OK"}) {
        for (const SheetButtonView& b : view.buttons) {
            if (!b.visible || !b.enabled) continue;
            if (b.isDefault) return &b;
            if (found == nullptr && b.role == role) found = &b;
        }
        if (found != nullptr) return found;
    }
    return nullptr;
}

void TerminalPresenter::releaseIfIdle() {
    if (started_ && open_.empty()) term::suspend();
}

Input TerminalPresenter::cancelling(const WindowView& view) {
    pending_.clear();
    if (std::find(closing_.begin(), closing_.end(), view.window) == closing_.end()) {
        closing_.push_back(view.window);
        return Input{Input::Kind::Close, 0, {}, 0};
    }
    return Input{Input::Kind::Abort, 0, {}, 0};
}

void TerminalPresenter::focusOn(const WindowView& view, Target target) {
    if (hasFocus_ && focus_ == target) return;
    flushEdit(view);
    focus_ = target;
    hasFocus_ = true;
    editId_ = 0;
    if (!target.sheet) {
        const ControlView* c = controlById(view, target.id);
        if (c != nullptr && editable(*c)) {
            editId_ = c->id;
            edit_ = c->text;
            cursor_ = edit_.size();
        }
    }
    if (!target.sheet) pending_.push_back(Input{Input::Kind::Focus, target.id, {}, 0});
}

void TerminalPresenter::flushEdit(const WindowView& view) {
    if (editId_ == 0) return;
    const ControlView* c = controlById(view, editId_);
    if (c != nullptr && c->text != edit_) pending_.push_back(Input{Input::Kind::SetText, editId_, edit_, 0});
    editId_ = 0;
}

void TerminalPresenter::moveFocus(const WindowView& view, int step) {
    const std::vector<Target> list = targets(view);
    if (list.empty()) return;
    auto it = std::find(list.begin(), list.end(), focus_);
    int at = it == list.end() ? (step > 0 ? -1 : 0) : static_cast<int>(it - list.begin());
    const int count = static_cast<int>(list.size());
    at = ((at + step) % count + count) % count;
    focusOn(view, list[static_cast<size_t>(at)]);
}

void TerminalPresenter::press(const WindowView& view, Target target) {
    flushEdit(view);
    if (target.sheet) {
        pending_.push_back(Input{Input::Kind::PressSheet, target.id, {}, 0});
        return;
    }
    const ControlView* c = controlById(view, target.id);
    if (c == nullptr) return;
    if (c->kind == ControlKind::CheckBox) {
        pending_.push_back(Input{Input::Kind::SetCheck, c->id, {}, c->check ? 0 : 1});
    } else if (c->kind == ControlKind::RadioButton) {
        pending_.push_back(Input{Input::Kind::SetCheck, c->id, {}, 1});
    } else if (c->kind == ControlKind::PushButton) {
        pending_.push_back(Input{Input::Kind::Press, c->id, {}, 0});
    }
}

void TerminalPresenter::pressDefault(const WindowView& view) {
    for (const SheetButtonView& b : view.buttons) {
        if (b.visible && b.enabled && b.isDefault) return press(view, Target{true, b.id});
    }
    for (int id : {ID_WIZNEXT, ID_WIZFINISH, IDOK}) {
        const SheetButtonView* b = view.button(id);
        if (b != nullptr && b->visible && b->enabled) return press(view, Target{true, id});
    }
    for (const ControlView& c : view.controls) {
        if (c.kind == ControlKind::PushButton && c.isDefault && isInteractive(c)) return press(view, Target{false, c.id});
    }
    const ControlView* ok = controlById(view, IDOK);
    if (ok != nullptr && isInteractive(*ok)) press(view, Target{false, IDOK});
}

bool TerminalPresenter::accelerator(const WindowView& view, char key) {
    key = static_cast<char>(std::tolower(static_cast<unsigned char>(key)));
    for (const SheetButtonView& b : view.buttons) {
        char k = 0;
        stripMnemonic(b.text, &k);
        if (k == key && b.visible && b.enabled) {
            press(view, Target{true, b.id});
            return true;
        }
    }
    for (size_t i = 0; i < view.controls.size(); ++i) {
        const ControlView& c = view.controls[i];
        char k = 0;
        stripMnemonic(c.text, &k);
        if (k != key || !c.visible) continue;
        if (c.kind == ControlKind::Label) {
            // A label's letter leads to the field after it.
            for (size_t j = i + 1; j < view.controls.size(); ++j) {
                if (isInteractive(view.controls[j])) {
                    focusOn(view, Target{false, view.controls[j].id});
                    return true;
                }
            }
            continue;
        }
        if (!isInteractive(c)) continue;
        focusOn(view, Target{false, c.id});
        if (c.kind == ControlKind::PushButton || c.kind == ControlKind::CheckBox || c.kind == ControlKind::RadioButton) {
            press(view, Target{false, c.id});
        }
        return true;
    }
    return false;
}

void TerminalPresenter::handleKey(const WindowView& view, const Key& key) {
    const ControlView* current = hasFocus_ && !focus_.sheet ? controlById(view, focus_.id) : nullptr;
    const bool typing = editId_ != 0 && current != nullptr && current->id == editId_;
    const bool list = current != nullptr && (current->kind == ControlKind::ComboBox || current->kind == ControlKind::ListBox);
    switch (key.type) {
        case Key::Type::Tab: moveFocus(view, 1); return;
        case Key::Type::BackTab: moveFocus(view, -1); return;
        case Key::Type::Escape:
            editId_ = 0;
            pending_.push_back(Input{Input::Kind::Close, 0, {}, 0});
            return;
        case Key::Type::Enter:
            if (hasFocus_ && (focus_.sheet || (current != nullptr && current->kind == ControlKind::PushButton))) {
                press(view, focus_);
            } else {
                pressDefault(view);
            }
            return;
        case Key::Type::Help:
            if (const SheetButtonView* help = view.button(IDHELP); help != nullptr && help->visible && help->enabled) {
                press(view, Target{true, IDHELP});
            }
            return;
        case Key::Type::PageUp: scroll_ = std::max(0, scroll_ - 5); return;
        case Key::Type::PageDown: scroll_ += 5; return;
        case Key::Type::Up:
        case Key::Type::Down: {
            const int step = key.type == Key::Type::Up ? -1 : 1;
            if (list && !current->items.empty()) {
                const int count = static_cast<int>(current->items.size());
                const int next = std::clamp(current->selection < 0 ? 0 : current->selection + step, 0, count - 1);
                if (next != current->selection) {
                    editId_ = 0;
                    pending_.push_back(Input{Input::Kind::Select, current->id, current->items[static_cast<size_t>(next)], 0});
                }
                return;
            }
            moveFocus(view, step);
            return;
        }
        case Key::Type::Left:
        case Key::Type::Right:
            if (typing) {
                if (key.type == Key::Type::Left && cursor_ > 0) --cursor_;
                if (key.type == Key::Type::Right && cursor_ < edit_.size()) ++cursor_;
                return;
            }
            moveFocus(view, key.type == Key::Type::Left ? -1 : 1);
            return;
        case Key::Type::Home:
            if (typing) cursor_ = 0;
            return;
        case Key::Type::End:
            if (typing) cursor_ = edit_.size();
            return;
        case Key::Type::Backspace:
            if (typing && cursor_ > 0) edit_.erase(--cursor_, 1);
            return;
        case Key::Type::Delete:
            if (typing && cursor_ < edit_.size()) edit_.erase(cursor_, 1);
            return;
        case Key::Type::Char:
            if (key.alt || !typing) {
                if (key.ch == ' ' && !key.alt && hasFocus_ &&
                    (focus_.sheet || (current != nullptr && current->kind != ControlKind::ComboBox &&
                                      current->kind != ControlKind::ListBox))) {
                    press(view, focus_);
                    return;
                }
                if (accelerator(view, key.ch)) return;
                if (list && !key.alt) {
                    // A letter in a list jumps to the next item that starts with it.
                    const int count = static_cast<int>(current->items.size());
                    const char wanted = static_cast<char>(std::tolower(static_cast<unsigned char>(key.ch)));
                    for (int n = 1; n <= count; ++n) {
                        const int i = (std::max(current->selection, 0) + n) % count;
                        const std::string& item = current->items[static_cast<size_t>(i)];
                        if (!item.empty() && std::tolower(static_cast<unsigned char>(item[0])) == wanted) {
                            pending_.push_back(Input{Input::Kind::Select, current->id, item, 0});
                            return;
                        }
                    }
                }
                return;
            }
            if (current->limit > 0 && edit_.size() >= static_cast<size_t>(current->limit)) return;
            edit_.insert(cursor_++, 1, key.ch);
            return;
        case Key::Type::Resize:
        case Key::Type::Closed:
            return;
    }
}

void TerminalPresenter::draw(const WindowView& view) {
    const int rows = term::rows(), cols = term::cols();
    term::clear();
    term::hideCursor();
    if (rows < 8 || cols < 30) {
        term::put(0, 0, "The terminal is too small.", cols, term::bold());
        term::refresh();
        return;
    }
    std::string title = " " + view.caption;
    if (view.kind == WindowView::Kind::Sheet && view.pageCount > 1) {
        title += "  (step " + std::to_string(view.pageIndex + 1) + " of " + std::to_string(view.pageCount) + ")";
    }
    term::put(0, 0, title + std::string(static_cast<size_t>(std::max(0, cols - static_cast<int>(title.size()))), ' '),
              cols, term::reverse());

    const int bodyTop = 2, bodyHeight = rows - 5, width = cols - 4;
    const PageLayout layout = layoutPage(view, width);
    // Keep the focused control in sight.
    for (const LayoutItem& item : layout.items) {
        const ControlView& c = view.controls[item.control];
        if (hasFocus_ && !focus_.sheet && c.id == focus_.id) {
            if (item.row < scroll_) scroll_ = item.row;
            if (item.row + item.height > scroll_ + bodyHeight) scroll_ = item.row + item.height - bodyHeight;
        }
    }
    scroll_ = std::clamp(scroll_, 0, std::max(0, layout.height - bodyHeight));
    int cursorRow = -1, cursorCol = -1;
    for (const LayoutItem& item : layout.items) {
        const ControlView& c = view.controls[item.control];
        const bool focused = hasFocus_ && !focus_.sheet && c.id == focus_.id && isInteractive(c);
        const int attrBase = c.enabled ? term::normal() : term::dim();
        for (int line = 0; line < item.height; ++line) {
            const int row = bodyTop + item.row + line - scroll_;
            if (row < bodyTop || row >= bodyTop + bodyHeight) continue;
            const int col = 2 + item.col;
            switch (c.kind) {
                case ControlKind::Label:
                case ControlKind::GroupBox: {
                    const bool heavy = c.font.weight >= 700 && c.font.weight > view.font.weight;
                    term::put(row, col, item.lines[static_cast<size_t>(line)], item.width,
                              attrBase | (heavy || c.kind == ControlKind::GroupBox ? term::bold() : 0));
                    break;
                }
                case ControlKind::Edit:
                case ControlKind::ComboBox: {
                    const bool typing = editId_ == c.id;
                    std::string value = typing ? edit_ : (c.kind == ControlKind::ComboBox && c.selection >= 0
                                                              ? c.items[static_cast<size_t>(c.selection)]
                                                              : c.text);
                    if (c.password) value.assign(value.size(), '*');
                    const bool combo = c.kind == ControlKind::ComboBox;
                    const size_t inner = static_cast<size_t>(std::max(1, item.width - (combo ? 4 : 2)));
                    size_t offset = 0;
                    const std::string shownText = visiblePart(value, typing ? cursor_ : 0, inner, &offset);
                    std::string field = "[" + shownText + std::string(inner - shownText.size(), '_') + (combo ? " v]" : "]");
                    term::put(row, col, field, item.width, attrBase | (focused ? term::reverse() : 0));
                    if (focused && typing) {
                        cursorRow = row;
                        cursorCol = col + 1 + static_cast<int>(cursor_ - offset);
                    }
                    break;
                }
                case ControlKind::ListBox: {
                    if (c.items.empty()) {
                        if (line == 0) term::put(row, col, "(empty)", item.width, term::dim());
                        break;
                    }
                    const int first = std::max(0, c.selection - item.height + 1);
                    const size_t index = static_cast<size_t>(first + line);
                    if (index >= c.items.size()) break;
                    const bool selected = static_cast<int>(index) == c.selection;
                    term::put(row, col, (selected ? "> " : "  ") + c.items[index], item.width,
                              attrBase | (selected && focused ? term::reverse() : 0));
                    break;
                }
                case ControlKind::CheckBox:
                case ControlKind::RadioButton: {
                    const bool radio = c.kind == ControlKind::RadioButton;
                    const std::string mark = radio ? (c.check ? "(*) " : "( ) ") : (c.check == 1 ? "[x] " : c.check ? "[-] " : "[ ] ");
                    term::put(row, col, mark + stripMnemonic(c.text), item.width, attrBase | (focused ? term::reverse() : 0));
                    break;
                }
                case ControlKind::PushButton:
                    term::put(row, col, buttonLabel(c.text), item.width,
                              attrBase | (focused ? term::reverse() : 0) | (c.isDefault ? term::bold() : 0));
                    break;
                default:
                    break;
            }
        }
    }
    if (scroll_ > 0) term::put(bodyTop - 1, cols - 12, "(more above)", 12, term::dim());
    if (layout.height - scroll_ > bodyHeight) term::put(bodyTop + bodyHeight, cols - 12, "(more below)", 12, term::dim());

    // The button row, right-aligned.
    std::string row;
    std::vector<std::pair<int, const SheetButtonView*>> placed;
    for (const SheetButtonView& b : view.buttons) {
        if (!b.visible) continue;
        placed.emplace_back(static_cast<int>(row.size()), &b);
        row += buttonLabel(b.text) + "  ";
    }
    const int rowStart = std::max(0, cols - static_cast<int>(row.size()));
    if (!view.buttons.empty()) term::put(rows - 3, 0, std::string(static_cast<size_t>(cols), '-'), cols, term::dim());
    for (const auto& [offset, b] : placed) {
        const bool focused = hasFocus_ && focus_.sheet && focus_.id == b->id;
        const int attr = (b->enabled ? term::normal() : term::dim()) | (focused ? term::reverse() : 0) |
                         (b->isDefault && b->enabled ? term::bold() : 0);
        term::put(rows - 2, rowStart + offset, buttonLabel(b->text), cols - rowStart - offset, attr);
    }
    std::string hint = wait_ > 0 ? "Please wait..."
                                 : !message_.empty() ? message_
                                                     : "Tab/Shift-Tab: move  Enter: choose  Space: press/toggle  Esc: cancel  Alt+letter";
    term::put(rows - 1, 0, hint, cols, message_.empty() ? term::dim() : term::bold());
    if (cursorRow >= 0) term::cursorAt(cursorRow, std::min(cursorCol, cols - 1));
    term::refresh();
}

Input TerminalPresenter::nextInput(const WindowView& view) {
    if (!pending_.empty()) {
        Input input = pending_.front();
        pending_.pop_front();
        return input;
    }
    if (!term::start()) return cancelling(view);
    started_ = true;
    open_.insert(view.window);
    const std::vector<Target> list = targets(view);
    if (view.window != window_ || view.page != page_) {
        // A new page: the focus starts where the window put it, else on the first field.
        window_ = view.window;
        page_ = view.page;
        scroll_ = 0;
        message_.clear();
        hasFocus_ = false;
        editId_ = 0;
        for (const ControlView& c : view.controls) {
            if (c.focused && isInteractive(c)) {
                focusOn(view, Target{false, c.id});
                break;
            }
        }
        if (!hasFocus_ && !list.empty() && list.front().sheet) {
            // A page without fields: the focus starts on the button that goes on, as a
            // default button would have it, so Enter finishes rather than goes back.
            if (const SheetButtonView* b = forwardButton(view)) focusOn(view, Target{true, b->id});
        }
        if (!hasFocus_ && !list.empty()) focusOn(view, list.front());
        pending_.clear();  // the window already knows where its focus is
    } else if (hasFocus_ && std::find(list.begin(), list.end(), focus_) == list.end()) {
        hasFocus_ = false;
        editId_ = 0;
        if (!list.empty()) focusOn(view, list.front());
        pending_.clear();
    }
    if (hasFocus_ && !focus_.sheet && editId_ == 0) {
        // The field may have become editable, or its text changed under it.
        if (const ControlView* c = controlById(view, focus_.id); c != nullptr && editable(*c)) {
            editId_ = c->id;
            edit_ = c->text;
            cursor_ = edit_.size();
        }
    }
    while (pending_.empty()) {
        draw(view);
        const Key key = term::readKey();
        if (key.type == Key::Type::Closed) return cancelling(view);
        message_.clear();
        handleKey(view, key);
    }
    Input input = pending_.front();
    pending_.pop_front();
    return input;
}

void TerminalPresenter::inputRejected(const Input&, const std::string& reason) {
    pending_.clear();
    message_ = reason;
}

void TerminalPresenter::windowClosed(HWND window) {
    open_.erase(window);
    closing_.erase(std::remove(closing_.begin(), closing_.end(), window), closing_.end());
    pending_.clear();
    if (window == window_) {
        window_ = nullptr;
        page_ = nullptr;
        hasFocus_ = false;
        editId_ = 0;
    }
    releaseIfIdle();
}

void TerminalPresenter::waitCursorChanged(int count) {
    wait_ = count;
    if (started_ && !open_.empty() && count > 0) {
        term::put(term::rows() - 1, 0, "Please wait..." + std::string(static_cast<size_t>(term::cols()), ' '),
                  term::cols(), term::bold());
        term::refresh();
    }
}

}  // namespace vesk::ui
