// Font and device-context objects in the manner of the application framework, over
// win32/Gdi.h. An object owns the handle it created or attached and frees it when destroyed.
#pragma once

#include <string>

#include "win32/Export.h"
#include "win32/Gdi.h"
#include "win32/WinTypes.h"

/// A font. Creating a second font in the same object is refused (delete the first).
class VESK_EXPORT CFont {
public:
    HFONT m_hObject = nullptr;

    CFont() = default;
    virtual ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    /// CreateFontIndirectA into this object. FALSE when it already holds a font or creation fails.
    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
    /// CreateFontA into this object; same results.
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                    BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                    BYTE nQuality, BYTE nPitchAndFamily, LPCSTR lpszFacename);
    /// Deletes the font (if any); TRUE when there was one.
    BOOL DeleteObject();
    /// Copies the font's description; FALSE without a font.
    BOOL GetLogFont(LOGFONTA* pLogFont) const;
    HFONT GetSafeHandle() const { return m_hObject; }
    operator HFONT() const { return m_hObject; }
};

/// A device context of a window, released when the object is destroyed (GetDC/ReleaseDC).
class VESK_EXPORT CClientDC {
public:
    HDC m_hDC = nullptr;

    /// Gets the device context of `hWnd`; m_hDC is null when that failed.
    explicit CClientDC(HWND hWnd);
    virtual ~CClientDC();
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

    /// Selects `font` and returns the font selected before (null when either is bad).
    HFONT SelectObject(HFONT font);
    /// The face name of the selected font, at most `nCount` - 1 characters; returns the length
    /// copied with the NUL, 0 on failure.
    int GetTextFace(int nCount, LPSTR lpszFacename) const;
    /// The face name of the selected font.
    std::string GetTextFace() const;
    BOOL GetTextMetrics(LPTEXTMETRICA lpMetrics) const;
    HDC GetSafeHdc() const { return m_hDC; }

private:
    HWND m_hWnd;
};
