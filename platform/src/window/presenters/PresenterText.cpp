#include "window/presenters/PresenterText.h"

#include <cctype>
#include <cstdlib>

namespace vesk::ui {

std::string stripMnemonic(const std::string& caption, char* accelerator) {
    std::string text;
    char key = 0;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != '&' && key == 0) key = static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i])));
        }
        text += caption[i];
    }
    if (accelerator != nullptr) *accelerator = key;
    return text;
}

std::vector<std::string> wrapText(const std::string& text, size_t width) {
    std::vector<std::string> lines;
    if (width == 0) width = 1;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t newline = text.find('\n', start);
        std::string paragraph = text.substr(start, newline == std::string::npos ? std::string::npos : newline - start);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
        if (paragraph.empty()) lines.emplace_back();
        while (!paragraph.empty()) {
            if (paragraph.size() <= width) {
                lines.push_back(paragraph);
                break;
            }
            size_t cut = paragraph.rfind(' ', width);
            if (cut == std::string::npos || cut == 0) cut = width;
            lines.push_back(paragraph.substr(0, cut));
            const size_t next = paragraph.find_first_not_of(' ', cut);
            paragraph = next == std::string::npos ? std::string() : paragraph.substr(next);
        }
        if (newline == std::string::npos) break;
        start = newline + 1;
    }
    return lines;
}

const ControlView* labelFor(const WindowView& view, const ControlView& control) {
    const ControlView* best = nullptr;
    int bestDistance = 1 << 30;
    for (const ControlView& c : view.controls) {
        if (c.kind != ControlKind::Label || !c.visible || c.text.empty()) continue;
        const bool sameRow = c.y < control.y + control.cy && control.y < c.y + c.cy;
        const bool leftOf = c.x + c.cx <= control.x + 2;
        const bool above = c.y + c.cy <= control.y + 2 && c.y + c.cy >= control.y - 14 &&
                           std::abs(c.x - control.x) < 40;
        int distance = 1 << 30;
        if (sameRow && leftOf) distance = control.x - (c.x + c.cx);
        else if (above) distance = 1000 + (control.y - (c.y + c.cy));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &c;
        }
    }
    return best;
}

std::string labelOf(const WindowView& view, const ControlView& control) {
    const ControlView* label = labelFor(view, control);
    return label != nullptr ? label->text : std::string();
}

bool isInteractive(const ControlView& c) {
    if (!c.visible || !c.enabled) return false;
    switch (c.kind) {
        case ControlKind::Edit:
        case ControlKind::ComboBox:
        case ControlKind::ListBox:
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
        case ControlKind::PushButton:
            return true;
        default:
            return false;
    }
}

int indexOf(const std::vector<int>& ids, int id) {
    for (size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] == id) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace vesk::ui
