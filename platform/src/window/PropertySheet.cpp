// Property sheet windows: PropertySheetA, the button row and the sheet's messages.
#include <cstring>

#include "platform/Presenter.h"
#include "window/Controls.h"
#include "window/GdiObjects.h"
#include "window/ModalLoop.h"
#include "window/SheetPages.h"
#include "win32/Module.h"
#include "win32/Resources.h"

namespace vesk::win {
namespace {

HWND addButton(const WindowPtr& sheet, int id, const char* text, bool visible, bool isDefault) {
    auto button = std::make_shared<Window>();
    button->role = Role::Control;
    button->className = "Button";
    button->id = id;
    button->text = text;
    button->style = WS_CHILD | WS_TABSTOP | (visible ? WS_VISIBLE : 0) | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    button->parent = sheet->handle;
    button->proc = controlProc("Button");
    button->font = sheet->font;
    return registerWindow(button);
}

SheetPage* activePage(SheetState& sheet) {
    if (sheet.active < 0 || static_cast<size_t>(sheet.active) >= sheet.pages.size()) return nullptr;
    return sheet.pages[static_cast<size_t>(sheet.active)].get();
}

void setDefault(HWND sheet, HWND button) {
    if (WindowPtr b = find(button)) SendMessageA(sheet, DM_SETDEFID, static_cast<WPARAM>(b->id), 0);
}

// Back or Next: the page answers 0 (neighbour), -1 (stay) or a template id.
void travel(HWND handle, int direction) {
    WindowPtr window = find(handle);
    SheetState* sheet = sheetState(handle);
    SheetPage* page = sheet != nullptr ? activePage(*sheet) : nullptr;
    if (page == nullptr) return;
    const unsigned long stamp = sheet->changes;
    const LRESULT answer = notifyPage(handle, page->hwnd, direction < 0 ? PSN_WIZBACK : PSN_WIZNEXT);
    // A page that moved the sheet or ended it while handling the press has decided.
    if (window->ended || window->destroyed || sheet->changes != stamp || answer == -1) return;
    const int target = answer == 0 ? sheet->active + direction : pageIndexOfTemplate(*sheet, static_cast<int>(answer));
    if (target < 0) return;
    activatePage(handle, target, direction, true);
}

void finish(HWND handle) {
    WindowPtr window = find(handle);
    SheetState* sheet = sheetState(handle);
    SheetPage* page = sheet != nullptr ? activePage(*sheet) : nullptr;
    if (page == nullptr) return;
    const unsigned long stamp = sheet->changes;
    const LRESULT refuse = notifyPage(handle, page->hwnd, PSN_WIZFINISH);
    if (window->ended || window->destroyed || sheet->changes != stamp || refuse != 0) return;
    ++sheet->changes;
    EndDialog(handle, ID_WIZFINISH);
}

void cancel(HWND handle) {
    WindowPtr window = find(handle);
    SheetState* sheet = sheetState(handle);
    if (sheet == nullptr) return;
    if (SheetPage* page = activePage(*sheet)) {
        const unsigned long stamp = sheet->changes;
        const LRESULT refuse = notifyPage(handle, page->hwnd, PSN_QUERYCANCEL);
        if (window->ended || window->destroyed || sheet->changes != stamp || refuse != 0) return;
    }
    for (size_t i = 0; i < sheet->pages.size(); ++i) {
        if (sheet->pages[i]->hwnd != nullptr) notifyPage(handle, sheet->pages[i]->hwnd, PSN_RESET, 0);
    }
    ++sheet->changes;
    EndDialog(handle, IDCANCEL);
}

// OK and Apply of a plain sheet: every created page applies; one that refuses keeps the sheet.
bool apply(HWND handle, bool closing) {
    WindowPtr window = find(handle);
    SheetState* sheet = sheetState(handle);
    SheetPage* page = sheet != nullptr ? activePage(*sheet) : nullptr;
    if (page == nullptr) return false;
    if (notifyPage(handle, page->hwnd, PSN_KILLACTIVE) != 0 || window->ended) return false;
    for (size_t i = 0; i < sheet->pages.size(); ++i) {
        if (sheet->pages[i]->hwnd == nullptr) continue;
        const LRESULT answer = notifyPage(handle, sheet->pages[i]->hwnd, PSN_APPLY, closing ? TRUE : FALSE);
        if (window->ended || window->destroyed) return false;
        if (answer == PSNRET_INVALID || answer == PSNRET_INVALID_NOCHANGEPAGE) {
            if (answer == PSNRET_INVALID) activatePage(handle, static_cast<int>(i), 1, false);
            return false;
        }
    }
    if (sheet->apply != nullptr) EnableWindow(sheet->apply, FALSE);
    return true;
}

void help(HWND handle) {
    SheetState* sheet = sheetState(handle);
    if (SheetPage* page = sheet != nullptr ? activePage(*sheet) : nullptr) notifyPage(handle, page->hwnd, PSN_HELP);
}

void setWizardButtons(HWND handle, SheetState& sheet, DWORD flags) {
    EnableWindow(sheet.back, (flags & PSWIZB_BACK) ? TRUE : FALSE);
    EnableWindow(sheet.next, (flags & PSWIZB_NEXT) ? TRUE : FALSE);
    EnableWindow(sheet.finish, FALSE);
    const bool wantsFinish = (flags & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) != 0;
    const bool hasFinish = sheet.finishText || (sheet.flags & PSH_WIZARDHASFINISH);
    if (!hasFinish) {
        // Finish takes Next's place; without it Next comes back.
        ShowWindow(sheet.next, wantsFinish ? SW_HIDE : SW_SHOW);
        ShowWindow(sheet.finish, wantsFinish ? SW_SHOW : SW_HIDE);
    }
    if ((wantsFinish || hasFinish) && !(flags & PSWIZB_DISABLEDFINISH)) EnableWindow(sheet.finish, TRUE);
    if ((flags & PSWIZB_FINISH) || (hasFinish && !(flags & PSWIZB_DISABLEDFINISH) && !(flags & PSWIZB_NEXT))) {
        setDefault(handle, sheet.finish);
    } else if (flags & PSWIZB_NEXT) {
        setDefault(handle, sheet.next);
    }
}

void setFinishText(HWND handle, SheetState& sheet, const char* text) {
    SetWindowTextA(sheet.finish, text != nullptr ? text : "");
    ShowWindow(sheet.finish, SW_SHOW);
    EnableWindow(sheet.finish, TRUE);
    setDefault(handle, sheet.finish);
    ShowWindow(sheet.back, SW_HIDE);
    ShowWindow(sheet.next, SW_HIDE);
    sheet.finishText = true;
}

void pressButton(HWND handle, SheetState& sheet, WPARAM button) {
    switch (button) {
        case PSBTN_BACK: if (sheet.wizard) travel(handle, -1); break;
        case PSBTN_NEXT: if (sheet.wizard) travel(handle, 1); break;
        case PSBTN_FINISH: if (sheet.wizard) finish(handle); break;
        case PSBTN_OK: if (!sheet.wizard && apply(handle, true)) EndDialog(handle, IDOK); break;
        case PSBTN_APPLYNOW: if (!sheet.wizard) apply(handle, false); break;
        case PSBTN_CANCEL: cancel(handle); break;
        case PSBTN_HELP: help(handle); break;
        default: break;
    }
}

int indexOfPageWindow(const SheetState& sheet, HWND page) {
    for (size_t i = 0; i < sheet.pages.size(); ++i) {
        if (page != nullptr && sheet.pages[i]->hwnd == page) return static_cast<int>(i);
    }
    return -1;
}

int indexOfPageHandle(const SheetState& sheet, HPROPSHEETPAGE handle) {
    for (size_t i = 0; i < sheet.pages.size(); ++i) {
        if (handle != nullptr && sheet.pages[i]->handle == handle) return static_cast<int>(i);
    }
    return -1;
}

void releasePages(SheetState& sheet) {
    for (auto& page : sheet.pages) {
        if (page->handle != nullptr) releasePageHandle(page->handle);
        page->handle = nullptr;
    }
}

LRESULT sheetProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    SheetState* sheet = sheetState(hWnd);
    if (sheet == nullptr) return DefDlgProcA(hWnd, msg, wParam, lParam);
    switch (msg) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case ID_WIZBACK: pressButton(hWnd, *sheet, PSBTN_BACK); break;
                case ID_WIZNEXT: pressButton(hWnd, *sheet, PSBTN_NEXT); break;
                case ID_WIZFINISH: pressButton(hWnd, *sheet, PSBTN_FINISH); break;
                case IDCANCEL: pressButton(hWnd, *sheet, PSBTN_CANCEL); break;
                case IDOK: pressButton(hWnd, *sheet, PSBTN_OK); break;
                case ID_APPLY_NOW: pressButton(hWnd, *sheet, PSBTN_APPLYNOW); break;
                case IDHELP: pressButton(hWnd, *sheet, PSBTN_HELP); break;
                default: break;
            }
            return 0;
        case WM_CLOSE:
            pressButton(hWnd, *sheet, PSBTN_CANCEL);
            return 0;
        case PSM_SETWIZBUTTONS:
            if (sheet->wizard) setWizardButtons(hWnd, *sheet, static_cast<DWORD>(lParam));
            return 0;
        case PSM_SETFINISHTEXTA:
            if (sheet->wizard) setFinishText(hWnd, *sheet, reinterpret_cast<const char*>(lParam));
            return 0;
        case PSM_PRESSBUTTON:
            pressButton(hWnd, *sheet, wParam);
            return 0;
        case PSM_SETCURSEL: {
            int index = static_cast<int>(wParam);
            if (lParam != 0) index = indexOfPageHandle(*sheet, reinterpret_cast<HPROPSHEETPAGE>(lParam));
            const int from = sheet->active;
            return activatePage(hWnd, index, index < from ? -1 : 1, true) ? TRUE : FALSE;
        }
        case PSM_SETCURSELID: {
            const int index = pageIndexOfTemplate(*sheet, static_cast<int>(lParam));
            return activatePage(hWnd, index, index < sheet->active ? -1 : 1, true) ? TRUE : FALSE;
        }
        case PSM_ADDPAGE: {
            const auto handle = reinterpret_cast<HPROPSHEETPAGE>(lParam);
            const PROPSHEETPAGEA* psp = pageOfHandle(handle);
            if (psp == nullptr || indexOfPageHandle(*sheet, handle) >= 0) return FALSE;
            appendPage(*sheet, *psp, handle);
            return TRUE;
        }
        case PSM_REMOVEPAGE: {
            int index = static_cast<int>(wParam);
            if (lParam != 0) index = indexOfPageHandle(*sheet, reinterpret_cast<HPROPSHEETPAGE>(lParam));
            removePage(hWnd, index);
            return 0;
        }
        case PSM_CHANGED:
            if (sheet->apply != nullptr) EnableWindow(sheet->apply, TRUE);
            return 0;
        case PSM_CANCELTOCLOSE:
            SetWindowTextA(sheet->cancel, "Close");
            if (sheet->ok != nullptr) EnableWindow(sheet->ok, FALSE);
            return 0;
        case PSM_SETTITLEA: {
            std::string title = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
            if (wParam & PSH_PROPTITLE) title = "Properties for " + title;
            SetWindowTextA(hWnd, title.c_str());
            return 0;
        }
        case PSM_GETCURRENTPAGEHWND: {
            SheetPage* page = activePage(*sheet);
            return reinterpret_cast<LRESULT>(page != nullptr ? page->hwnd : nullptr);
        }
        case PSM_GETTABCONTROL:
            return 0;
        case VESK_PSM_PAGETOINDEX:
            return indexOfPageWindow(*sheet, reinterpret_cast<HWND>(wParam));
        case VESK_PSM_GETPAGECOUNT:
            return static_cast<LRESULT>(sheet->pages.size());
        case WM_NCDESTROY:
            releasePages(*sheet);
            return 0;
        default:
            return DefDlgProcA(hWnd, msg, wParam, lParam);
    }
}

std::string sheetCaption(const PROPSHEETHEADERA& header) {
    if (header.pszCaption == nullptr) return std::string();
    std::string caption;
    if (IS_INTRESOURCE(header.pszCaption)) {
        char buffer[512];
        LoadStringA(header.hInstance, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(header.pszCaption)), buffer,
                    sizeof buffer);
        caption = buffer;
    } else {
        caption = header.pszCaption;
    }
    if (header.dwFlags & PSH_PROPTITLE) caption = "Properties for " + caption;
    return caption;
}

// Reads the header's pages; false (freeing the handles given) when one is bad.
bool readPages(const PROPSHEETHEADERA& header, SheetState& sheet) {
    bool good = true;
    for (UINT i = 0; i < header.nPages; ++i) {
        if (header.dwFlags & PSH_PROPSHEETPAGE) {
            // Callers may extend the page structure; dwSize is the stride of their array.
            const size_t stride = header.ppsp[0].dwSize >= sizeof(PROPSHEETPAGEA) ? header.ppsp[0].dwSize
                                                                                   : sizeof(PROPSHEETPAGEA);
            const auto* psp = reinterpret_cast<const PROPSHEETPAGEA*>(
                reinterpret_cast<const unsigned char*>(header.ppsp) + stride * i);
            appendPage(sheet, *psp, nullptr);
            continue;
        }
        const HPROPSHEETPAGE handle = header.phpage[i];
        const PROPSHEETPAGEA* psp = pageOfHandle(handle);
        if (psp == nullptr || indexOfPageHandle(sheet, handle) >= 0) {
            good = false;
            continue;
        }
        appendPage(sheet, *psp, handle);
    }
    if (!good) releasePages(sheet);
    return good;
}

}  // namespace

SheetState* sheetState(HWND sheet) {
    WindowPtr window = find(sheet);
    return window && window->role == Role::Sheet ? window->sheet.get() : nullptr;
}

}  // namespace vesk::win

using namespace vesk::win;

INT_PTR PropertySheetA(LPCPROPSHEETHEADERA lppsph) {
    if (lppsph == nullptr || lppsph->nPages == 0 || lppsph->nStartPage >= lppsph->nPages ||
        (lppsph->dwFlags & PSH_PROPSHEETPAGE ? lppsph->ppsp == nullptr : lppsph->phpage == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    const PROPSHEETHEADERA& header = *lppsph;
    auto state = std::make_shared<SheetState>();
    state->flags = header.dwFlags;
    state->wizard = (header.dwFlags & PSH_WIZARD) != 0;
    if (!readPages(header, *state)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (header.hwndParent != nullptr && !findOrFail(header.hwndParent)) {
        releasePages(*state);
        return -1;
    }
    if (!vesk::ui::presenterFor(header.hwndParent)) {
        releasePages(*state);
        SetLastError(ERROR_CANCELLED);
        return -1;
    }

    auto window = std::make_shared<Window>();
    window->role = Role::Sheet;
    window->className = "#32770";
    window->text = sheetCaption(header);
    window->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    window->owner = header.hwndParent;
    window->instance = header.hInstance;
    window->proc = sheetProc;
    window->sheet = state;
    window->modal = true;
    const HWND handle = registerWindow(window);
    window->ownedFont = createDialogFont(8, FW_NORMAL, false, DEFAULT_CHARSET, "MS Shell Dlg");
    window->font = window->ownedFont;

    const bool hasHelp = (header.dwFlags & PSH_HASHELP) != 0;
    if (state->wizard) {
        const bool hasFinish = (header.dwFlags & PSH_WIZARDHASFINISH) != 0;
        state->back = addButton(window, ID_WIZBACK, "< &Back", true, false);
        state->next = addButton(window, ID_WIZNEXT, "&Next >", true, true);
        state->finish = addButton(window, ID_WIZFINISH, "Finish", hasFinish, false);
        state->cancel = addButton(window, IDCANCEL, "Cancel", true, false);
        state->help = addButton(window, IDHELP, "&Help", hasHelp, false);
        if (hasFinish) EnableWindow(state->finish, FALSE);
    } else {
        state->ok = addButton(window, IDOK, "OK", true, true);
        state->cancel = addButton(window, IDCANCEL, "Cancel", true, false);
        state->apply = addButton(window, ID_APPLY_NOW, "&Apply", (header.dwFlags & PSH_NOAPPLYNOW) == 0, false);
        EnableWindow(state->apply, FALSE);
        state->help = addButton(window, IDHELP, "&Help", hasHelp, false);
    }

    if ((header.dwFlags & PSH_USECALLBACK) && header.pfnCallback != nullptr) {
        header.pfnCallback(handle, PSCB_INITIALIZED, 0);
    }
    SetLastError(ERROR_SUCCESS);
    if (!window->ended && !activatePage(handle, static_cast<int>(header.nStartPage), 1, false) && !window->ended) {
        const DWORD error = GetLastError();
        DestroyWindow(handle);
        SetLastError(error != ERROR_SUCCESS ? error : ERROR_INVALID_PARAMETER);
        return -1;
    }
    return runModal(handle);
}
