// Fonts and device contexts.
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <variant>

#include "window/GdiObjects.h"
#include "window/WindowObject.h"
#include "win32/Module.h"

namespace vesk::win {
namespace {

struct DeviceContext {
    HWND window = nullptr;
    HFONT font = nullptr;  // null: the system font
};

using GdiObject = std::variant<LOGFONTA, DeviceContext>;

struct GdiTable {
    std::unordered_map<uintptr_t, GdiObject> objects;
    uintptr_t next = 0x1000000;
};

GdiTable& gdi() {
    static GdiTable instance;
    return instance;
}

// Stock objects have fixed handles below the range of made objects.
constexpr uintptr_t kStockBase = 0xFF0000;

LOGFONTA makeFont(LONG height, LONG weight, const char* face) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = ANSI_CHARSET;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

std::optional<LOGFONTA> stockFont(uintptr_t handle) {
    if (handle < kStockBase || handle > kStockBase + 0xFF) return std::nullopt;
    switch (static_cast<int>(handle - kStockBase)) {
        case SYSTEM_FONT: return makeFont(16, FW_BOLD, "System");
        case DEFAULT_GUI_FONT: return makeFont(-11, FW_NORMAL, "MS Shell Dlg");
        case ANSI_VAR_FONT: return makeFont(12, FW_NORMAL, "MS Sans Serif");
        default: return std::nullopt;
    }
}

template <typename T>
T* lookup(const void* handle) {
    auto& objects = gdi().objects;
    auto it = objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == objects.end()) return nullptr;
    return std::get_if<T>(&it->second);
}

void* add(GdiObject object) {
    GdiTable& table = gdi();
    table.next += 4;
    table.objects.emplace(table.next, std::move(object));
    return reinterpret_cast<void*>(table.next);
}

}  // namespace

LOGFONTA fontDescription(HFONT font) {
    if (const LOGFONTA* made = lookup<LOGFONTA>(font)) return *made;
    if (auto stock = stockFont(reinterpret_cast<uintptr_t>(font))) return *stock;
    return *stockFont(kStockBase + SYSTEM_FONT);
}

bool isFont(HFONT font) {
    return lookup<LOGFONTA>(font) != nullptr || stockFont(reinterpret_cast<uintptr_t>(font)).has_value();
}

HFONT createDialogFont(int pointSize, int weight, bool italic, int charset, const char* face) {
    LOGFONTA font{};
    font.lfHeight = -MulDiv(pointSize, 96, 72);
    font.lfWeight = weight;
    font.lfItalic = italic ? 1 : 0;
    font.lfCharSet = static_cast<BYTE>(charset);
    std::strncpy(font.lfFaceName, face != nullptr ? face : "", LF_FACESIZE - 1);
    return CreateFontIndirectA(&font);
}

TEXTMETRICA metricsOf(const LOGFONTA& font) {
    TEXTMETRICA tm{};
    LONG height = font.lfHeight;
    if (height < 0) {
        // A negative height is the character height; the cell adds the internal leading.
        const LONG em = -height;
        tm.tmInternalLeading = (em + 2) / 5;
        tm.tmHeight = em + tm.tmInternalLeading;
    } else {
        tm.tmHeight = height == 0 ? 16 : height;
        tm.tmInternalLeading = (tm.tmHeight + 3) / 7;
    }
    tm.tmAscent = (tm.tmHeight * 4 + 2) / 5;
    tm.tmDescent = tm.tmHeight - tm.tmAscent;
    tm.tmAveCharWidth = font.lfWidth != 0 ? font.lfWidth : std::max<LONG>(1, (tm.tmHeight * 5 + 6) / 13);
    tm.tmMaxCharWidth = tm.tmAveCharWidth * 2;
    tm.tmWeight = font.lfWeight == 0 ? FW_NORMAL : font.lfWeight;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = 0x80;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = font.lfItalic;
    tm.tmUnderlined = font.lfUnderline;
    tm.tmStruckOut = font.lfStrikeOut;
    // In text metrics the low bit means variable pitch, the reverse of LOGFONT's values.
    const bool fixed = (font.lfPitchAndFamily & 0x3) == FIXED_PITCH;
    tm.tmPitchAndFamily = static_cast<BYTE>((font.lfPitchAndFamily & 0xF0) | (fixed ? 0 : 1));
    tm.tmCharSet = font.lfCharSet;
    return tm;
}

void baseUnits(HFONT font, int* x, int* y) {
    const TEXTMETRICA tm = metricsOf(fontDescription(font));
    // The 52-letter average of a proportional font is one pixel wider than its tmAveCharWidth.
    *x = static_cast<int>(tm.tmAveCharWidth) + 1;
    *y = static_cast<int>(tm.tmHeight);
}

}  // namespace vesk::win

using namespace vesk::win;

HFONT CreateFontIndirectA(const LOGFONTA* lplf) {
    if (lplf == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LOGFONTA font = *lplf;
    font.lfFaceName[LF_FACESIZE - 1] = '\0';
    return static_cast<HFONT>(add(font));
}

HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                  DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName) {
    LOGFONTA font{};
    font.lfHeight = cHeight;
    font.lfWidth = cWidth;
    font.lfEscapement = cEscapement;
    font.lfOrientation = cOrientation;
    font.lfWeight = cWeight;
    font.lfItalic = static_cast<BYTE>(bItalic);
    font.lfUnderline = static_cast<BYTE>(bUnderline);
    font.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
    font.lfCharSet = static_cast<BYTE>(iCharSet);
    font.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    font.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    font.lfQuality = static_cast<BYTE>(iQuality);
    font.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName != nullptr) std::strncpy(font.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectA(&font);
}

HGDIOBJ GetStockObject(int i) {
    const uintptr_t handle = kStockBase + static_cast<uintptr_t>(i);
    if (i < 0 || !stockFont(handle)) return nullptr;
    return reinterpret_cast<HGDIOBJ>(handle);
}

BOOL DeleteObject(HGDIOBJ ho) {
    if (stockFont(reinterpret_cast<uintptr_t>(ho))) return TRUE;
    if (lookup<LOGFONTA>(ho) == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    gdi().objects.erase(reinterpret_cast<uintptr_t>(ho));
    return TRUE;
}

int GetObjectA(HGDIOBJ h, int c, LPVOID pv) {
    if (!isFont(static_cast<HFONT>(h))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (pv == nullptr) return static_cast<int>(sizeof(LOGFONTA));
    if (c < static_cast<int>(sizeof(LOGFONTA))) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const LOGFONTA font = fontDescription(static_cast<HFONT>(h));
    std::memcpy(pv, &font, sizeof font);
    return static_cast<int>(sizeof font);
}

HDC GetDC(HWND hWnd) {
    if (hWnd != nullptr && !findOrFail(hWnd)) return nullptr;
    return static_cast<HDC>(add(DeviceContext{hWnd, nullptr}));
}

int ReleaseDC(HWND /*hWnd*/, HDC hDC) {
    if (lookup<DeviceContext>(hDC) == nullptr) return 0;
    gdi().objects.erase(reinterpret_cast<uintptr_t>(hDC));
    return 1;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
    DeviceContext* dc = lookup<DeviceContext>(hdc);
    if (dc == nullptr || !isFont(static_cast<HFONT>(h))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HFONT previous = dc->font != nullptr ? dc->font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    dc->font = static_cast<HFONT>(h);
    return previous;
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
    const DeviceContext* dc = lookup<DeviceContext>(hdc);
    if (dc == nullptr || lptm == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *lptm = metricsOf(fontDescription(dc->font));
    return TRUE;
}

int GetTextFaceA(HDC hdc, int c, LPSTR lpName) {
    const DeviceContext* dc = lookup<DeviceContext>(hdc);
    if (dc == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const LOGFONTA font = fontDescription(dc->font);
    const size_t length = std::strlen(font.lfFaceName);
    if (lpName == nullptr) return static_cast<int>(length + 1);
    if (c <= 0) return 0;
    const size_t copied = std::min<size_t>(length, static_cast<size_t>(c) - 1);
    std::memcpy(lpName, font.lfFaceName, copied);
    lpName[copied] = '\0';
    return static_cast<int>(copied + 1);
}

int GetDeviceCaps(HDC hdc, int index) {
    if (lookup<DeviceContext>(hdc) == nullptr) return 0;
    return index == LOGPIXELSX || index == LOGPIXELSY ? 96 : 0;
}

int VeskGdiObjectCount(void) {
    return static_cast<int>(gdi().objects.size());
}
