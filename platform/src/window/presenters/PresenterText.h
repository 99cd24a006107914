// Text helpers shared by the terminal and line presenters.
#pragma once

#include <string>
#include <vector>

#include "platform/Presenter.h"

namespace vesk::ui {

/// A caption without its '&' marks ("&&" stays one '&'); `*accelerator` (may be null)
/// receives the lower-case letter after the first single '&', or 0.
std::string stripMnemonic(const std::string& caption, char* accelerator = nullptr);

/// Splits `text` (Windows-1252) into lines of at most `width` characters, breaking at blanks
/// where it can and at line breaks always.
std::vector<std::string> wrapText(const std::string& text, size_t width);

/// The label a person reads for control `control` of `view`: the nearest visible static text
/// on its left on the same row, else right above it; null when there is none.
const ControlView* labelFor(const WindowView& view, const ControlView& control);
/// The text of labelFor, or empty.
std::string labelOf(const WindowView& view, const ControlView& control);

/// True for the controls a person can work with: visible, enabled edits, combo and list
/// boxes, check boxes, radio buttons and push buttons.
bool isInteractive(const ControlView& control);

/// The index of `id` in `ids`, or -1.
int indexOf(const std::vector<int>& ids, int id);

}  // namespace vesk::ui
