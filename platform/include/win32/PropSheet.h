// Property sheets, with wizard mode (the comctl32 property-sheet calls).
//
// A sheet is a dialog window holding its pages (each a child dialog built from the page's
// template) and its button row. In wizard mode (PSH_WIZARD) the row holds Back (ID_WIZBACK),
// Next (ID_WIZNEXT), Finish (ID_WIZFINISH), Cancel (IDCANCEL) and Help (IDHELP); only the
// active page is shown. Pages are created when first activated.
//
// The sheet talks to its pages with WM_NOTIFY (an NMHDR, or a PSHNOTIFY for PSN_RESET); a
// page procedure answers by storing the answer in DWLP_MSGRESULT and returning TRUE:
//   PSN_SETACTIVE   0 shows the page; -1 skips to the next page in the direction of travel;
//                   a template id shows that page instead.
//   PSN_KILLACTIVE  FALSE lets the page be left, TRUE keeps it.
//   PSN_WIZBACK /   0 moves to the previous / next page, -1 stays, a template id moves to
//   PSN_WIZNEXT     that page.
//   PSN_WIZFINISH   FALSE lets the sheet finish, TRUE keeps it open.
//   PSN_QUERYCANCEL FALSE lets the sheet close, TRUE keeps it open.
//   PSN_RESET       sent to every created page when the sheet is cancelled.
//   PSN_HELP        the Help button was pressed.
// The sheet ignores an answer when the page changed or the sheet ended while the page was
// handling the notification (e.g. the page pressed Back from its PSN_WIZNEXT handling), so
// the page that the nested change showed stays.
#pragma once

#include "win32/Dialog.h"
#include "win32/Export.h"
#include "win32/Window.h"
#include "win32/WinTypes.h"

/* Messages to the sheet */
#define PSM_SETCURSEL (WM_USER + 101)
#define PSM_REMOVEPAGE (WM_USER + 102)
#define PSM_ADDPAGE (WM_USER + 103)
#define PSM_CHANGED (WM_USER + 104)
#define PSM_CANCELTOCLOSE (WM_USER + 107)
#define PSM_SETTITLEA (WM_USER + 111)
#define PSM_SETWIZBUTTONS (WM_USER + 112)
#define PSM_PRESSBUTTON (WM_USER + 113)
#define PSM_SETCURSELID (WM_USER + 114)
#define PSM_SETFINISHTEXTA (WM_USER + 115)
#define PSM_SETFINISHTEXT PSM_SETFINISHTEXTA
#define PSM_GETTABCONTROL (WM_USER + 116)
#define PSM_GETCURRENTPAGEHWND (WM_USER + 118)
/* Not a Windows message: the index of a page HWND in the sheet (-1 when not a page of it). */
#define VESK_PSM_PAGETOINDEX (WM_USER + 0x7E0)
/* Not a Windows message: the number of pages in the sheet. */
#define VESK_PSM_GETPAGECOUNT (WM_USER + 0x7E1)

/* PSM_SETWIZBUTTONS flags */
#define PSWIZB_BACK 0x00000001
#define PSWIZB_NEXT 0x00000002
#define PSWIZB_FINISH 0x00000004
#define PSWIZB_DISABLEDFINISH 0x00000008

/* PSM_PRESSBUTTON buttons */
#define PSBTN_BACK 0
#define PSBTN_NEXT 1
#define PSBTN_FINISH 2
#define PSBTN_OK 3
#define PSBTN_APPLYNOW 4
#define PSBTN_CANCEL 5
#define PSBTN_HELP 6
#define PSBTN_MAX 6

/* Header flags */
#define PSH_DEFAULT 0x00000000
#define PSH_PROPTITLE 0x00000001
#define PSH_USEHICON 0x00000002
#define PSH_PROPSHEETPAGE 0x00000008
#define PSH_WIZARDHASFINISH 0x00000010
#define PSH_WIZARD 0x00000020
#define PSH_USEPSTARTPAGE 0x00000040
#define PSH_NOAPPLYNOW 0x00000080
#define PSH_USECALLBACK 0x00000100
#define PSH_HASHELP 0x00000200
#define PSH_MODELESS 0x00000400

/* Page flags */
#define PSP_DEFAULT 0x00000000
#define PSP_DLGINDIRECT 0x00000001
#define PSP_USETITLE 0x00000008
#define PSP_HASHELP 0x00000020
#define PSP_USECALLBACK 0x00000080

/* Notifications */
#define PSN_FIRST (0U - 200U)
#define PSN_SETACTIVE (PSN_FIRST - 0)
#define PSN_KILLACTIVE (PSN_FIRST - 1)
#define PSN_APPLY (PSN_FIRST - 2)
#define PSN_RESET (PSN_FIRST - 3)
#define PSN_HELP (PSN_FIRST - 5)
#define PSN_WIZBACK (PSN_FIRST - 6)
#define PSN_WIZNEXT (PSN_FIRST - 7)
#define PSN_WIZFINISH (PSN_FIRST - 8)
#define PSN_QUERYCANCEL (PSN_FIRST - 9)
#define PSNRET_NOERROR 0
#define PSNRET_INVALID 1
#define PSNRET_INVALID_NOCHANGEPAGE 2

/* Page callback messages (PSP_USECALLBACK): PSPCB_CREATE before the page window is made
   (0 refuses the page), PSPCB_RELEASE when the page's handle is freed. */
#define PSPCB_ADDREF 0
#define PSPCB_RELEASE 1
#define PSPCB_CREATE 2

/* Sheet callback messages */
#define PSCB_INITIALIZED 1
#define PSCB_PRECREATE 2

/* The controls of the sheet itself */
#define ID_APPLY_NOW 0x3021
#define ID_WIZBACK 0x3023
#define ID_WIZNEXT 0x3024
#define ID_WIZFINISH 0x3025
/* The framework's Help command (a command, not a control). */
#define ID_HELP 0xE146

typedef struct _PSP* HPROPSHEETPAGE;
typedef struct _PROPSHEETPAGEA PROPSHEETPAGEA, *LPPROPSHEETPAGEA;
typedef UINT (*LPFNPSPCALLBACKA)(HWND, UINT, LPPROPSHEETPAGEA);
typedef int (*PFNPROPSHEETCALLBACK)(HWND, UINT, LPARAM);

/// One page. In WM_INITDIALOG the page procedure receives a pointer to the sheet's copy of
/// this structure as lParam (so `lParam` below reaches the page).
struct _PROPSHEETPAGEA {
    DWORD dwSize;
    DWORD dwFlags;         ///< PSP_*; PSP_DLGINDIRECT is not supported
    HINSTANCE hInstance;   ///< where the template is (null: the current module state's resources)
    LPCSTR pszTemplate;    ///< MAKEINTRESOURCEA(template id)
    HICON hIcon;
    LPCSTR pszTitle;       ///< with PSP_USETITLE: the page caption (or MAKEINTRESOURCEA(string id))
    DLGPROC pfnDlgProc;
    LPARAM lParam;
    LPFNPSPCALLBACKA pfnCallback;
    UINT* pcRefParent;
};

/// A sheet. With PSH_PROPSHEETPAGE `ppsp` points to `nPages` PROPSHEETPAGEA structures,
/// otherwise `phpage` to `nPages` handles from CreatePropertySheetPageA.
typedef struct _PROPSHEETHEADERA {
    DWORD dwSize;
    DWORD dwFlags;          ///< PSH_*
    HWND hwndParent;        ///< the owner; its presenter shows the sheet
    HINSTANCE hInstance;    ///< for a caption given as MAKEINTRESOURCEA(string id)
    HICON hIcon;
    LPCSTR pszCaption;
    UINT nPages;
    UINT nStartPage;
    union {
        const PROPSHEETPAGEA* ppsp;
        HPROPSHEETPAGE* phpage;
    };
    PFNPROPSHEETCALLBACK pfnCallback;  ///< with PSH_USECALLBACK: PSCB_INITIALIZED once the
                                       ///< sheet window exists, before the first page shows
} PROPSHEETHEADERA, *LPPROPSHEETHEADERA;
typedef const PROPSHEETHEADERA* LPCPROPSHEETHEADERA;

typedef struct _PSHNOTIFY {
    NMHDR hdr;
    LPARAM lParam;
} PSHNOTIFY, *LPPSHNOTIFY;

/// Makes a page handle from a copy of `*constPropSheetPagePointer`. Free it with
/// DestroyPropertySheetPage unless a sheet took it (PropertySheetA and PSM_ADDPAGE take the
/// handles they are given and free them with the sheet). Null for a null pointer.
WIN32_API HPROPSHEETPAGE CreatePropertySheetPageA(const PROPSHEETPAGEA* constPropSheetPagePointer);

/// Frees a page handle that no sheet took. FALSE for a handle that was not made here.
WIN32_API BOOL DestroyPropertySheetPage(HPROPSHEETPAGE hPage);

/// Builds the sheet and runs it modally; the presenter of `hwndParent` shows it.
/// Returns how it ended: ID_WIZFINISH (Finish in wizard mode), IDOK (OK in a plain sheet),
/// IDCANCEL (Cancel allowed by the page, or the last page removed), or the value a page gave
/// EndDialog on the sheet. -1 on failure, with the last error: ERROR_INVALID_PARAMETER (no
/// header, no pages, a start page out of range), ERROR_RESOURCE_NAME_NOT_FOUND (the first
/// page's template is missing), ERROR_INVALID_WINDOW_HANDLE (a bad owner) or ERROR_CANCELLED
/// (no presenter). The sheet, its pages and the page handles it took are gone on return.
/// (Windows returns 1/0 here; returning the ending id lets a caller tell Back from Cancel
/// without a second channel, which is what the framework's wizards need.)
WIN32_API INT_PTR PropertySheetA(LPCPROPSHEETHEADERA lppsph);
