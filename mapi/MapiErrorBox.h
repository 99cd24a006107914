// Dunmere's error box: a result code shown to the person in words from the language library,
// captioned "Mail Setup", with the stop icon and an OK button.
#pragma once

#include "win32/WinTypes.h"

/// The string that explains result `code`: 4319 for MAILHOST_SERVER_ERROR, 4321 for
/// MAILHOST_ERROR, 4317 for MAILHOST_OUT_OF_MEMORY, 4320 for MAILHOST_INIT_FAILED, 4318 for
/// MAILHOST_LOGON_FAILED, 4316 for MAILHOST_LIBRARY_NOT_FOUND, 4315 for
/// MAILHOST_HOST_NOT_INSTALLED, and for any other code the code itself taken as a string number.
UINT MapiErrorStringId(int code);

/// Shows `code` over `owner` (null: the active presenter window): the text of
/// MapiErrorStringId, or of 4321 ("Mail encountered an error.") when the language library
/// holds no such string; caption string 4305; MB_ICONHAND | MB_OK. Nothing for MAILHOST_OK.
/// Returns the box's answer (IDOK), or 0 when nothing was shown.
int ShowMapiError(HWND owner, int code);
