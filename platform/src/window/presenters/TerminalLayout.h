// Laying out a dialog page in terminal lines: controls in reading order, rows of controls
// that share a line in the dialog, columns scaled from dialog units, texts wrapped.
#pragma once

#include <string>
#include <vector>

#include "platform/Presenter.h"

namespace vesk::ui {

struct LayoutItem {
    size_t control = 0;              ///< index into the view's controls
    int row = 0;                     ///< first line, counted from the top of the page
    int col = 0;
    int width = 0;
    int height = 1;
    std::vector<std::string> lines;  ///< labels and group boxes: the wrapped text
};

struct PageLayout {
    std::vector<LayoutItem> items;
    int height = 0;                  ///< lines used
};

/// Lays out the visible controls of `view` (pictures, frames and controls placed outside the
/// dialog are left out) in `width` columns.
PageLayout layoutPage(const WindowView& view, int width);

}  // namespace vesk::ui
