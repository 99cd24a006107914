#include "window/SheetPages.h"

#include <new>
#include <set>

#include "window/DialogBuilder.h"
#include "win32/Module.h"
#include "win32/Resources.h"

namespace vesk::win {
namespace {

struct PageHandleData {
    PROPSHEETPAGEA psp;
};

std::set<HPROPSHEETPAGE>& liveHandles() {
    static std::set<HPROPSHEETPAGE> handles;
    return handles;
}

std::string pageCaption(const PROPSHEETPAGEA& psp) {
    if ((psp.dwFlags & PSP_USETITLE) == 0 || psp.pszTitle == nullptr) return std::string();
    if (!IS_INTRESOURCE(psp.pszTitle)) return psp.pszTitle;
    char buffer[512];
    LoadStringA(psp.hInstance, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(psp.pszTitle)), buffer, sizeof buffer);
    return buffer;
}

HWND createPage(HWND sheetHandle, SheetPage& page) {
    const PROPSHEETPAGEA& psp = page.psp;
    if ((psp.dwFlags & PSP_USECALLBACK) && psp.pfnCallback != nullptr &&
        psp.pfnCallback(nullptr, PSPCB_CREATE, &page.psp) == 0) {
        SetLastError(ERROR_CANCELLED);
        return nullptr;
    }
    const res::DialogTemplate* dialog = findTemplate(psp.hInstance, psp.pszTemplate);
    if (dialog == nullptr) return nullptr;
    // A page is always a child of its sheet, shown only while active and enabled with it.
    res::DialogTemplate copy = *dialog;
    copy.style = (copy.style | WS_CHILD) & ~static_cast<uint32_t>(WS_VISIBLE | WS_DISABLED | WS_POPUP);
    const int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(psp.pszTemplate));
    const HWND hwnd = buildDialog(copy, psp.hInstance, id, sheetHandle, psp.pfnDlgProc,
                                  reinterpret_cast<LPARAM>(&page.psp));
    if (hwnd != nullptr && !page.caption.empty()) SetWindowTextA(hwnd, page.caption.c_str());
    return hwnd;
}

}  // namespace

const PROPSHEETPAGEA* pageOfHandle(HPROPSHEETPAGE handle) {
    if (liveHandles().count(handle) == 0) return nullptr;
    return &reinterpret_cast<PageHandleData*>(handle)->psp;
}

void releasePageHandle(HPROPSHEETPAGE handle) {
    if (liveHandles().erase(handle) == 0) return;
    auto* data = reinterpret_cast<PageHandleData*>(handle);
    if ((data->psp.dwFlags & PSP_USECALLBACK) && data->psp.pfnCallback != nullptr) {
        data->psp.pfnCallback(nullptr, PSPCB_RELEASE, &data->psp);
    }
    delete data;
}

void appendPage(SheetState& sheet, const PROPSHEETPAGEA& psp, HPROPSHEETPAGE handle) {
    auto page = std::make_unique<SheetPage>();
    page->psp = psp;
    page->psp.dwSize = sizeof(PROPSHEETPAGEA);
    page->handle = handle;
    page->caption = pageCaption(psp);
    sheet.pages.push_back(std::move(page));
}

LRESULT notifyPage(HWND sheet, HWND page, UINT code, LPARAM lParam) {
    if (!find(page)) return 0;
    PSHNOTIFY notify{};
    notify.hdr.hwndFrom = sheet;
    notify.hdr.idFrom = 0;
    notify.hdr.code = code;
    notify.lParam = lParam;
    // A page that does not handle the notification answers 0.
    SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
    return SendMessageA(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
}

int pageIndexOfTemplate(const SheetState& sheet, int templateId) {
    for (size_t i = 0; i < sheet.pages.size(); ++i) {
        const LPCSTR name = sheet.pages[i]->psp.pszTemplate;
        if (IS_INTRESOURCE(name) && static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) == templateId) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool activatePage(HWND sheetHandle, int index, int direction, bool leaveCurrent) {
    WindowPtr sheetWindow = find(sheetHandle);
    SheetState* sheet = sheetState(sheetHandle);
    if (!sheetWindow || sheet == nullptr) return false;
    const unsigned long stamp = sheet->changes;
    if (leaveCurrent && sheet->active >= 0) {
        const HWND current = sheet->pages[static_cast<size_t>(sheet->active)]->hwnd;
        const LRESULT refuse = notifyPage(sheetHandle, current, PSN_KILLACTIVE);
        if (sheetWindow->ended || sheet->changes != stamp || refuse != 0) return false;
    }
    // Each page may send the search elsewhere once; more tries than pages means a loop.
    for (size_t tries = 0; tries <= sheet->pages.size(); ++tries) {
        if (index < 0 || static_cast<size_t>(index) >= sheet->pages.size()) return false;
        SheetPage& page = *sheet->pages[static_cast<size_t>(index)];
        if (page.hwnd == nullptr) {
            page.hwnd = createPage(sheetHandle, page);
            if (page.hwnd == nullptr) return false;
        }
        EnableWindow(page.hwnd, TRUE);
        const LRESULT answer = notifyPage(sheetHandle, page.hwnd, PSN_SETACTIVE);
        // The page ended the sheet or moved it elsewhere while activating: that stands.
        if (sheetWindow->ended || sheetWindow->destroyed || sheet->changes != stamp) return true;
        if (answer == 0) {
            const int previous = sheet->active;
            sheet->active = index;
            ++sheet->changes;
            if (previous >= 0 && previous != index) ShowWindow(sheet->pages[static_cast<size_t>(previous)]->hwnd, SW_HIDE);
            ShowWindow(page.hwnd, SW_SHOW);
            WindowPtr pageWindow = find(page.hwnd);
            if (pageWindow && pageWindow->focus != nullptr && IsWindow(pageWindow->focus)) SetFocus(pageWindow->focus);
            else focusFirstControl(page.hwnd);
            // The Help button serves pages that have help.
            if (sheet->help != nullptr) EnableWindow(sheet->help, (page.psp.dwFlags & PSP_HASHELP) ? TRUE : FALSE);
            return true;
        }
        if (answer == -1) index += direction;
        else index = pageIndexOfTemplate(*sheet, static_cast<int>(answer));
    }
    return false;
}

void removePage(HWND sheetHandle, int index) {
    SheetState* sheet = sheetState(sheetHandle);
    if (sheet == nullptr || index < 0 || static_cast<size_t>(index) >= sheet->pages.size()) return;
    if (index == sheet->active) {
        const int count = static_cast<int>(sheet->pages.size());
        if (count > 1) {
            const int neighbour = index == count - 1 ? index - 1 : index + 1;
            if (!activatePage(sheetHandle, neighbour, neighbour > index ? 1 : -1, false)) {
                // No neighbour would show: the sheet has nothing left to offer.
                sheet->active = -1;
                EndDialog(sheetHandle, IDCANCEL);
            }
        } else {
            sheet->active = -1;
            ++sheet->changes;
            EndDialog(sheetHandle, IDCANCEL);
        }
    }
    // Activation may have run page code that changed the list; find the page again.
    sheet = sheetState(sheetHandle);
    if (sheet == nullptr || static_cast<size_t>(index) >= sheet->pages.size()) return;
    std::unique_ptr<SheetPage> page = std::move(sheet->pages[static_cast<size_t>(index)]);
    sheet->pages.erase(sheet->pages.begin() + index);
    if (sheet->active > index) --sheet->active;
    if (page->hwnd != nullptr && IsWindow(page->hwnd)) DestroyWindow(page->hwnd);
    if (page->handle != nullptr) releasePageHandle(page->handle);
}

}  // namespace vesk::win

using namespace vesk::win;

HPROPSHEETPAGE CreatePropertySheetPageA(const PROPSHEETPAGEA* constPropSheetPagePointer) {
    if (constPropSheetPagePointer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* data = new (std::nothrow) PageHandleData{*constPropSheetPagePointer};
    if (data == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    data->psp.dwSize = sizeof(PROPSHEETPAGEA);
    auto handle = reinterpret_cast<HPROPSHEETPAGE>(data);
    liveHandles().insert(handle);
    return handle;
}

BOOL DestroyPropertySheetPage(HPROPSHEETPAGE hPage) {
    if (pageOfHandle(hPage) == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    releasePageHandle(hPage);
    return TRUE;
}
