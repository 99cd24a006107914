// Message boxes, the wait cursor and the directory chooser: the small modal services a
// dialog calls. What a person sees of them is the presenter's business (platform/Presenter.h).
#pragma once

#include "win32/Dialog.h"
#include "win32/Export.h"
#include "win32/WinTypes.h"

/* Buttons (bits 0-3) */
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_CANCELTRYCONTINUE 0x00000006L
#define MB_TYPEMASK 0x0000000FL
/* Icons (bits 4-7) */
#define MB_ICONHAND 0x00000010L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_USERICON 0x00000080L
#define MB_ICONMASK 0x000000F0L
/* Default button (bits 8-11) */
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_DEFBUTTON3 0x00000200L
#define MB_DEFBUTTON4 0x00000300L
#define MB_DEFMASK 0x00000F00L
/* Modality and other flags */
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_HELP 0x00004000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L

/// Shows `lpText` (may hold line breaks) with caption `lpCaption` (null: "Error") and the
/// buttons, icon and default button of `uType`, through the presenter of `hWnd` (null: the
/// active presenter window, see platform/Presenter.h), and waits for the answer.
/// Returns the button chosen: IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO,
/// IDTRYAGAIN or IDCONTINUE, always one that `uType` offers. Closing a box without choosing
/// answers IDCANCEL where there is a Cancel button, IDOK for MB_OK, else the box cannot be
/// closed that way. 0 with ERROR_INVALID_WINDOW_HANDLE (bad `hWnd`), ERROR_INVALID_PARAMETER
/// (a button set beyond MB_CANCELTRYCONTINUE) or ERROR_CANCELLED (no presenter).
/// MB_HELP adds a Help button whose press is routed like the Help command of the owner and
/// does not end the box.
WIN32_API int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

/// The wait cursor, counted as the framework counts it: `nCode` 1 shows it (count + 1), -1
/// takes one back (count - 1, never below 0), 0 shows it again after a message box hid it
/// (count unchanged). Presenters show the wait state while the count is above 0.
/// Returns the count after the call.
WIN32_API int VeskDoWaitCursor(int nCode);
/// The current wait-cursor count.
WIN32_API int VeskWaitCursorCount(void);

/// What the directory chooser is asked.
typedef struct VESK_CHOOSE_DIRECTORYA {
    DWORD lStructSize;    ///< sizeof(VESK_CHOOSE_DIRECTORYA)
    HWND hwndOwner;       ///< its presenter shows the chooser (null: the active presenter window)
    LPCSTR lpszTitle;     ///< caption (null: "Choose Directory")
    LPCSTR lpszInitialDir;///< where browsing starts (null or empty: the current directory)
    LPSTR lpszDir;        ///< out: the directory chosen, without a trailing '/' (except "/")
    DWORD nMaxDir;        ///< size of lpszDir in bytes
} VESK_CHOOSE_DIRECTORYA;

/// Lets the person choose an existing directory. TRUE with the absolute path in `lpszDir`
/// when one was chosen. FALSE when the person cancelled (last error ERROR_CANCELLED; also
/// when there is no presenter), when what the presenter chose is no directory
/// (ERROR_PATH_NOT_FOUND), when `lpszDir` is too small for the path (ERROR_INSUFFICIENT_BUFFER;
/// nothing written) or for a bad structure or owner (ERROR_INVALID_PARAMETER /
/// ERROR_INVALID_WINDOW_HANDLE).
WIN32_API BOOL VeskChooseDirectoryA(VESK_CHOOSE_DIRECTORYA* lpcd);
