// Salvith's error box: a result code shown to the person in words from the language library,
// captioned "Mail Setup", with the stop icon and an OK button.
#pragma once

#include "win32/WinTypes.h"

/// The string that explains result `code`: 4317 for MAILHOST_SERVER_ERROR, 4318 for
/// MAILHOST_ERROR, 4316 for MAILHOST_OUT_OF_MEMORY, 4315 for MAILHOST_LOGON_FAILED, and for
/// any other code the code itself taken as a string number.
UINT SmapiErrorStringId(int code);

/// Shows `code` over `owner` (null: the active presenter window): the text of
/// SmapiErrorStringId, or of 4318 ("Mail encountered an error.") when the language library
/// holds no such string; caption string 4305; MB_ICONHAND | MB_OK. Nothing for MAILHOST_OK.
/// Returns the box's answer (IDOK), or 0 when nothing was shown.
int ShowSmapiError(HWND owner, int code);
