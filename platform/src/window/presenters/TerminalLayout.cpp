#include "window/presenters/TerminalLayout.h"

#include <algorithm>

#include "window/presenters/PresenterText.h"

namespace vesk::ui {
namespace {

bool shown(const WindowView& view, const ControlView& c) {
    if (!c.visible || c.kind == ControlKind::Picture || c.kind == ControlKind::Frame) return false;
    // Templates park controls they do not want far outside the dialog.
    if (view.cx > 0 && c.x >= view.cx) return false;
    if (view.cy > 0 && c.y >= view.cy) return false;
    return true;
}

int naturalWidth(const ControlView& c) {
    const int text = static_cast<int>(stripMnemonic(c.text).size());
    switch (c.kind) {
        case ControlKind::PushButton: return text + 4;
        case ControlKind::CheckBox:
        case ControlKind::RadioButton: return text + 4;
        case ControlKind::Edit: return 12;
        case ControlKind::ComboBox: return 14;
        case ControlKind::ListBox: return 14;
        default: return 1;
    }
}

}  // namespace

PageLayout layoutPage(const WindowView& view, int width) {
    PageLayout layout;
    if (width < 8) width = 8;
    std::vector<size_t> order;
    for (size_t i = 0; i < view.controls.size(); ++i) {
        if (shown(view, view.controls[i])) order.push_back(i);
    }
    if (order.empty()) return layout;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const ControlView& x = view.controls[a];
        const ControlView& y = view.controls[b];
        return x.y != y.y ? x.y < y.y : x.x < y.x;
    });
    int left = 1 << 30, right = 0;
    for (size_t i : order) {
        const ControlView& c = view.controls[i];
        left = std::min(left, c.x);
        right = std::max(right, view.cx > 0 ? std::min(c.x + c.cx, view.cx) : c.x + c.cx);
    }
    const int span = std::max(1, right - left);
    auto column = [&](int x) { return std::clamp((x - left) * width / span, 0, width - 1); };

    int line = 0;
    int previousBottom = -1;
    for (size_t start = 0; start < order.size();) {
        // A row: the controls that overlap the first one's lines in the dialog.
        const ControlView& first = view.controls[order[start]];
        int top = first.y, bottom = first.y + std::max(1, first.cy);
        size_t end = start + 1;
        // A control that shares columns with one already in the row sits below it, not beside.
        auto besideRow = [&](const ControlView& c) {
            for (size_t i = start; i < end; ++i) {
                const ControlView& member = view.controls[order[i]];
                if (c.x < member.x + member.cx && member.x < c.x + c.cx) return false;
            }
            return true;
        };
        while (end < order.size() && view.controls[order[end]].y < bottom - 1 && besideRow(view.controls[order[end]])) {
            bottom = std::max(bottom, view.controls[order[end]].y + std::max(1, view.controls[order[end]].cy));
            ++end;
        }
        if (previousBottom >= 0 && top - previousBottom >= 6) ++line;
        std::vector<size_t> row(order.begin() + static_cast<long>(start), order.begin() + static_cast<long>(end));
        std::sort(row.begin(), row.end(), [&](size_t a, size_t b) { return view.controls[a].x < view.controls[b].x; });
        int nextFree = 0;
        int height = 1;
        for (size_t index : row) {
            const ControlView& c = view.controls[index];
            LayoutItem item;
            item.control = index;
            item.col = std::max(column(c.x), nextFree);
            const int scaled = column(c.x + c.cx) - column(c.x);
            item.width = std::max(scaled, naturalWidth(c));
            if (c.kind == ControlKind::PushButton) item.width = naturalWidth(c);
            if (item.col + item.width > width) {
                item.col = std::max(0, std::min(item.col, width - item.width));
                item.width = std::min(item.width, width - item.col);
            }
            if (item.width < 1) item.width = 1;
            if (c.kind == ControlKind::Label || c.kind == ControlKind::GroupBox) {
                item.lines = wrapText(stripMnemonic(c.text), static_cast<size_t>(item.width));
                if (item.lines.empty()) item.lines.emplace_back();
                item.height = static_cast<int>(item.lines.size());
            } else if (c.kind == ControlKind::ListBox) {
                item.height = std::clamp(c.cy / 9, 2, 8);
            }
            item.row = line;
            nextFree = item.col + item.width + 1;
            height = std::max(height, item.height);
            layout.items.push_back(std::move(item));
        }
        line += height;
        previousBottom = bottom;
        start = end;
    }
    layout.height = line;
    return layout;
}

}  // namespace vesk::ui
