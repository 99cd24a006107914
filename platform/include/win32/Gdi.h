// Fonts and device contexts: enough of gdi32 for a dialog to read its font and make a bold
// copy of it. Nothing is rasterised; text metrics are computed from the font's height so
// that dialog-unit arithmetic gives the customary values (8-point "MS Sans Serif" at 96 dpi
// has a 13-pixel line height).
//
// Handles are never reused; a deleted or foreign handle makes every call fail.
#pragma once

#include "win32/Export.h"
#include "win32/WinTypes.h"

#define LF_FACESIZE 32

#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_HEAVY 900

#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2

#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define PROOF_QUALITY 2

#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30

/* Stock objects */
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17

/* GetDeviceCaps */
#define LOGPIXELSX 88
#define LOGPIXELSY 90

typedef struct tagLOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
} LOGFONTA, *LPLOGFONTA;

typedef struct tagTEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
} TEXTMETRICA, *LPTEXTMETRICA;

/// Creates a font from a description. A face longer than 31 characters is cut. The caller
/// deletes it with DeleteObject. Null for a null `lplf`.
WIN32_API HFONT CreateFontIndirectA(const LOGFONTA* lplf);

/// CreateFontIndirectA with the fields given one by one (same order as LOGFONTA).
WIN32_API HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                            DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                            DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality,
                            DWORD iPitchAndFamily, LPCSTR pszFaceName);

/// A stock object (SYSTEM_FONT, DEFAULT_GUI_FONT, ANSI_VAR_FONT); never deleted.
WIN32_API HGDIOBJ GetStockObject(int i);

/// Deletes a font made by CreateFont*. TRUE for stock objects (which stay). FALSE for a
/// bad handle.
WIN32_API BOOL DeleteObject(HGDIOBJ ho);

/// Copies the description of font `h` into `pv` (a LOGFONTA when `c` is large enough; null
/// `pv` asks for the size). Returns the bytes written or needed; 0 for a bad handle.
WIN32_API int GetObjectA(HGDIOBJ h, int c, LPVOID pv);

/// A device context for the window `hWnd` (null: the screen) with the system font selected.
/// Release it with ReleaseDC. Null for a bad window handle.
WIN32_API HDC GetDC(HWND hWnd);

/// Releases a device context from GetDC; 1 when released, 0 for a bad handle.
WIN32_API int ReleaseDC(HWND hWnd, HDC hDC);

/// Selects font `h` into `hdc` and returns the font selected before; null when either
/// handle is bad (nothing changes then).
WIN32_API HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);

/// The metrics of the font selected into `hdc`. FALSE for a bad handle.
WIN32_API BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm);

/// Copies the face name of the font selected into `hdc` into `lpName` (at most `c` bytes with
/// the NUL). Returns the bytes copied with the NUL, or with a null `lpName` the size needed;
/// 0 for a bad handle.
WIN32_API int GetTextFaceA(HDC hdc, int c, LPSTR lpName);

/// LOGPIXELSX / LOGPIXELSY: 96. 0 for other indexes or a bad handle.
WIN32_API int GetDeviceCaps(HDC hdc, int index);

/// The number of fonts and device contexts alive (stock objects not counted); lets tests see
/// that what a dialog made was released.
WIN32_API int VeskGdiObjectCount(void);
