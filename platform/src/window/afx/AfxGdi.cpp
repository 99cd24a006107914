// CFont and CClientDC.
#include "platform/AfxGdi.h"

CFont::~CFont() {
    DeleteObject();
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont) {
    if (m_hObject != nullptr) return FALSE;
    m_hObject = ::CreateFontIndirectA(lpLogFont);
    return m_hObject != nullptr;
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCSTR lpszFacename) {
    if (m_hObject != nullptr) return FALSE;
    m_hObject = ::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                              nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename);
    return m_hObject != nullptr;
}

BOOL CFont::DeleteObject() {
    if (m_hObject == nullptr) return FALSE;
    ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return TRUE;
}

BOOL CFont::GetLogFont(LOGFONTA* pLogFont) const {
    if (m_hObject == nullptr || pLogFont == nullptr) return FALSE;
    return ::GetObjectA(m_hObject, sizeof(LOGFONTA), pLogFont) == static_cast<int>(sizeof(LOGFONTA));
}

CClientDC::CClientDC(HWND hWnd) : m_hDC(::GetDC(hWnd)), m_hWnd(hWnd) {}

CClientDC::~CClientDC() {
    if (m_hDC != nullptr) ::ReleaseDC(m_hWnd, m_hDC);
}

HFONT CClientDC::SelectObject(HFONT font) {
    return static_cast<HFONT>(::SelectObject(m_hDC, font));
}

int CClientDC::GetTextFace(int nCount, LPSTR lpszFacename) const {
    return ::GetTextFaceA(m_hDC, nCount, lpszFacename);
}

std::string CClientDC::GetTextFace() const {
    const int size = ::GetTextFaceA(m_hDC, 0, nullptr);
    if (size <= 0) return std::string();
    std::string face(static_cast<size_t>(size), '\0');
    ::GetTextFaceA(m_hDC, size, face.data());
    face.resize(static_cast<size_t>(size) - 1);
    return face;
}

BOOL CClientDC::GetTextMetrics(LPTEXTMETRICA lpMetrics) const {
    return ::GetTextMetricsA(m_hDC, lpMetrics);
}
