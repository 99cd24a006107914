// The window system's display for WinHelpA: help text goes to the presenter of its owner.
#pragma once

namespace vesk::ui {

/// Registers the display with the help engine (once; later calls do nothing).
void installHelpDisplay();

}  // namespace vesk::ui
