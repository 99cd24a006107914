// The help engine. Help files are plain text here; WinHelpA finds the file, remembers the
// request and hands the text to whatever shows it (the window system registers a display
// function; without one the request only checks that the file is there).
#pragma once

#include "win32/Export.h"
#include "win32/WinTypes.h"

#define HELP_CONTEXT 0x0001
#define HELP_QUIT 0x0002
#define HELP_INDEX 0x0003
#define HELP_CONTENTS 0x0003
#define HELP_HELPONHELP 0x0004
#define HELP_SETINDEX 0x0005
#define HELP_SETCONTENTS 0x0005
#define HELP_CONTEXTPOPUP 0x0008
#define HELP_FORCEFILE 0x0009
#define HELP_FINDER 0x000B
#define HELP_KEY 0x0101
#define HELP_COMMAND 0x0102
#define HELP_PARTIALKEY 0x0105

/// Shows help text. `owner` and `command`/`data` are the WinHelpA arguments, `path` the file
/// found, `text` its whole contents (NUL-terminated, valid only during the call).
/// Returns TRUE when the text was shown; WinHelpA returns the same.
typedef BOOL (*VESK_HELP_DISPLAY)(HWND owner, const char* path, const char* text, UINT command,
                                  ULONG_PTR data);

/// What the most recent WinHelpA call asked for.
typedef struct VESK_HELP_REQUEST {
    HWND owner;
    UINT command;
    ULONG_PTR data;
    BOOL found;       ///< the help file was found (always FALSE for HELP_QUIT)
    char file[260];   ///< the file name as passed, cut to fit
    char path[4096];  ///< where it was found, or empty
} VESK_HELP_REQUEST;

/// Opens help file `lpszHelp` with `uCommand` (HELP_CONTENTS, HELP_CONTEXT, ...) and `dwData`.
/// A name without '/' is looked for in each folder of $VESK_LIBRARY_PATH, then in the folder
/// of the calling module. HELP_QUIT closes help and needs no file. Every call is recorded
/// (VeskGetLastHelpRequest). With a display function registered the text goes there and its
/// result is returned; without one the call succeeds once the file is found.
/// FALSE when `lpszHelp` is null or empty, the file is missing or unreadable, or the display
/// refuses it.
WIN32_API BOOL WinHelpA(HWND hWndMain, LPCSTR lpszHelp, UINT uCommand, ULONG_PTR dwData);

/// Registers the function that shows help text (null: none) and returns the previous one.
WIN32_API VESK_HELP_DISPLAY VeskSetHelpDisplay(VESK_HELP_DISPLAY display);

/// Copies the most recent request into `*request`. FALSE, leaving it untouched, when WinHelpA
/// has not been called in this process.
WIN32_API BOOL VeskGetLastHelpRequest(VESK_HELP_REQUEST* request);

/// How many times WinHelpA has been called in this process.
WIN32_API UINT VeskHelpRequestCount(void);
