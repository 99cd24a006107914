// The queue of posted messages.
#pragma once

#include "win32/Window.h"

namespace vesk::win {

/// Delivers queued messages in order, including those queued while delivering, until the
/// queue is empty. A handler that keeps posting forever is cut off after a large number of
/// deliveries so that a modal loop gets back to the person.
void deliverPosted();

/// Drops every queued message for `hWnd` (it is being destroyed).
void dropPosted(HWND hWnd);

}  // namespace vesk::win
