// The modal run of a dialog or property sheet, and what a presenter sees of it.
#pragma once

#include <string>

#include "platform/Presenter.h"
#include "window/WindowObject.h"

namespace vesk::win {

/// Shows `window` (a dialog or sheet), then until it ends: delivers queued messages, hands
/// the presenter a view and applies the input it returns. Destroys the window at the end.
/// Returns the value given to EndDialog; -1 with ERROR_CANCELLED when no presenter can show
/// it (the window is destroyed then too).
INT_PTR runModal(HWND window);

/// A view of `window` as it is now.
ui::WindowView buildView(HWND window);

/// Applies `input` to `window`; an empty string when it was applied, else why not.
std::string applyInput(HWND window, const ui::Input& input);

}  // namespace vesk::win
