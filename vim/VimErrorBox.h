// Orvek's error box: a result code shown to the person in words from the language library,
// captioned "Mail Setup", with the stop icon and an OK button.
#pragma once

#include "win32/WinTypes.h"

/// The string that explains result `code`: 4321 for MAILHOST_SERVER_ERROR, 4320 for
/// MAILHOST_OUT_OF_MEMORY, 4322 for MAILHOST_INIT_FAILED, 4319 for MAILHOST_LOGON_FAILED and
/// 4323 ("Mail encountered an error.") for any other code.
UINT VimErrorStringId(int code);

/// Shows `code` over `owner` (null: the active presenter window) with the text of
/// VimErrorStringId, caption string 4306, MB_ICONHAND | MB_OK. Nothing for MAILHOST_OK.
/// Returns the box's answer (IDOK), or 0 when nothing was shown.
int ShowVimError(HWND owner, int code);
