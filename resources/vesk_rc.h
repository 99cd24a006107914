/* Window-style values for the resource scripts. Resource scripts are compiled without the
 * Windows headers, so the few style bits, button ids and language ids they use are defined
 * here with their Windows values. Only for .rc files: C++ code takes these from the platform
 * headers. */
#ifndef VESK_RC_H
#define VESK_RC_H

#define LANG_ENGLISH        0x09
#define SUBLANG_ENGLISH_US  0x01

#define IDC_STATIC          (-1)
#define IDOK                1
#define IDCANCEL            2

/* Window styles */
#define WS_POPUP            0x80000000L
#define WS_CHILD            0x40000000L
#define WS_VISIBLE          0x10000000L
#define WS_DISABLED         0x08000000L
#define WS_CAPTION          0x00C00000L
#define WS_BORDER           0x00800000L
#define WS_VSCROLL          0x00200000L
#define WS_SYSMENU          0x00080000L
#define WS_GROUP            0x00020000L
#define WS_TABSTOP          0x00010000L

/* Dialog styles */
#define DS_3DLOOK           0x0004L
#define DS_SETFONT          0x0040L
#define DS_MODALFRAME       0x0080L
#define DS_CENTER           0x0800L

/* Static controls */
#define SS_LEFT             0x0000L
#define SS_ICON             0x0003L
#define SS_BITMAP           0x000EL
#define SS_NOPREFIX         0x0080L
#define SS_SUNKEN           0x1000L

/* Buttons */
#define BS_PUSHBUTTON       0x0000L
#define BS_DEFPUSHBUTTON    0x0001L
#define BS_AUTOCHECKBOX     0x0003L

/* Edit controls */
#define ES_LEFT             0x0000L
#define ES_PASSWORD         0x0020L
#define ES_AUTOHSCROLL      0x0080L

/* List boxes */
#define LBS_NOTIFY          0x0001L
#define LBS_SORT            0x0002L
#define LBS_OWNERDRAWFIXED  0x0010L
#define LBS_HASSTRINGS      0x0040L
#define LBS_DISABLENOSCROLL 0x1000L

/* Combo boxes */
#define CBS_DROPDOWNLIST    0x0003L
#define CBS_OWNERDRAWFIXED  0x0010L
#define CBS_AUTOHSCROLL     0x0040L
#define CBS_SORT            0x0100L
#define CBS_HASSTRINGS      0x0200L

/* The wizard pages and the logon-failure dialog of every language library. */
#define VESK_PAGE_STYLE     (DS_SETFONT | WS_CHILD | WS_DISABLED | WS_CAPTION)
#define VESK_DIALOG_STYLE   (DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU)

#endif
