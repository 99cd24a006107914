// Dialog windows: creation from templates, the modal run, and default dialog handling.
#include <vector>

#include "resources/ResourceLookup.h"
#include "window/Controls.h"
#include "window/DialogBuilder.h"
#include "window/GdiObjects.h"
#include "window/ModalLoop.h"
#include "platform/Presenter.h"
#include "win32/Module.h"

namespace vesk::win {
namespace {

HWND buildControl(const res::DialogControl& control, const WindowPtr& dialog) {
    auto window = std::make_shared<Window>();
    window->role = Role::Control;
    window->className = canonicalClassName(control.className);
    window->id = control.id;
    window->style = control.style | WS_CHILD;
    window->exStyle = control.exStyle;
    window->parent = dialog->handle;
    window->instance = dialog->instance;
    window->x = control.x;
    window->y = control.y;
    window->cx = control.cx;
    window->cy = control.cy;
    window->proc = controlProc(window->className);
    if (control.textOrdinal) window->picture = *control.textOrdinal;
    // A drop-down list shows only its items; a template text would be no item of it.
    const bool dropList = window->className == "ComboBox" && (window->style & 0x3) == CBS_DROPDOWNLIST;
    if (!dropList) window->text = control.text;
    return registerWindow(window);
}

std::vector<HWND> tabStops(const Window& dialog) {
    std::vector<HWND> result;
    for (HWND child : dialog.children) {
        WindowPtr control = find(child);
        if (control && (control->style & WS_TABSTOP) && (control->style & WS_VISIBLE) &&
            (control->style & WS_DISABLED) == 0) {
            result.push_back(child);
        }
    }
    return result;
}

int defaultButtonId(const Window& dialog) {
    if (dialog.defId != 0) return dialog.defId;
    for (HWND child : dialog.children) {
        WindowPtr control = find(child);
        if (control && control->className == "Button" && buttonType(*control) == BS_DEFPUSHBUTTON) return control->id;
    }
    return 0;
}

}  // namespace

const res::DialogTemplate* findTemplate(HINSTANCE instance, LPCSTR name) {
    const res::DialogTemplate* dialog = nullptr;
    if (name != nullptr && IS_INTRESOURCE(name)) {
        dialog = res::findDialog(instance, static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    }
    if (dialog == nullptr) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return dialog;
}

HWND buildDialog(const res::DialogTemplate& dialog, HINSTANCE instance, int templateId, HWND parentOrOwner,
                 DLGPROC proc, LPARAM param) {
    auto window = std::make_shared<Window>();
    window->role = Role::Dialog;
    window->className = "#32770";
    window->text = dialog.caption;
    window->style = dialog.style;
    window->exStyle = dialog.exStyle;
    window->x = dialog.x;
    window->y = dialog.y;
    window->cx = dialog.cx;
    window->cy = dialog.cy;
    window->templateId = templateId;
    window->instance = instance;
    window->dlgProc = proc;
    window->proc = dialogClassProc;
    if (dialog.style & WS_CHILD) window->parent = parentOrOwner;
    else window->owner = parentOrOwner;
    const HWND handle = registerWindow(window);
    if (dialog.font) {
        const res::DialogFont& font = *dialog.font;
        window->ownedFont = createDialogFont(font.pointSize, font.weight, font.italic, font.charset, font.face.c_str());
        window->font = window->ownedFont;
    }
    for (const res::DialogControl& control : dialog.controls) {
        const HWND child = buildControl(control, window);
        if (window->font != nullptr) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(window->font), FALSE);
    }
    const std::vector<HWND> stops = tabStops(*window);
    const HWND first = stops.empty() ? nullptr : stops.front();
    const LRESULT focusDefault = SendMessageA(handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!find(handle)) return nullptr;
    if (focusDefault) focusFirstControl(handle);
    return handle;
}

void focusFirstControl(HWND dialog) {
    WindowPtr window = find(dialog);
    if (!window) return;
    const std::vector<HWND> stops = tabStops(*window);
    if (!stops.empty()) SetFocus(stops.front());
}

LRESULT dialogClassProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowPtr window = find(hWnd);
    if (!window) return 0;
    if (window->dlgProc != nullptr) {
        const INT_PTR handled = window->dlgProc(hWnd, msg, wParam, lParam);
        // WM_INITDIALOG answers directly: FALSE means the procedure placed the focus itself.
        if (msg == WM_INITDIALOG) return handled;
        if (handled) return window->msgResult;
        if (window->destroyed) return 0;
    } else if (msg == WM_INITDIALOG) {
        return TRUE;
    }
    return DefDlgProcA(hWnd, msg, wParam, lParam);
}

}  // namespace vesk::win

using namespace vesk::win;

HWND CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam) {
    if (hWndParent != nullptr && !findOrFail(hWndParent)) return nullptr;
    if (lpDialogFunc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const vesk::res::DialogTemplate* dialog = findTemplate(hInstance, lpTemplateName);
    if (dialog == nullptr) return nullptr;
    const int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(lpTemplateName));
    return buildDialog(*dialog, hInstance, id, hWndParent, lpDialogFunc, dwInitParam);
}

INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam) {
    if (hWndParent != nullptr && !findOrFail(hWndParent)) return -1;
    if (lpDialogFunc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    const vesk::res::DialogTemplate* dialog = findTemplate(hInstance, lpTemplateName);
    if (dialog == nullptr) return -1;
    if (!vesk::ui::presenterFor(hWndParent)) {
        SetLastError(ERROR_CANCELLED);
        return -1;
    }
    const int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(lpTemplateName));
    const HWND handle = buildDialog(*dialog, hInstance, id, hWndParent, lpDialogFunc, dwInitParam);
    if (handle == nullptr) return -1;
    return runModal(handle);
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
    WindowPtr window = findOrFail(hDlg);
    if (!window) return FALSE;
    window->ended = true;
    window->result = nResult;
    if (!window->modal) ShowWindow(hDlg, SW_HIDE);
    return TRUE;
}

LRESULT DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WindowPtr window = findOrFail(hDlg);
    if (!window) return 0;
    switch (Msg) {
        case WM_CLOSE: {
            // Closing a dialog is its Cancel command; the dialog decides what that does.
            HWND cancel = nullptr;
            for (HWND child : window->children) {
                WindowPtr control = find(child);
                if (control && control->role == Role::Control && control->id == IDCANCEL) cancel = child;
            }
            SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
            return 0;
        }
        case DM_GETDEFID: {
            const int id = defaultButtonId(*window);
            return id != 0 ? static_cast<LRESULT>(MAKELPARAM(id, DC_HASDEFID)) : 0;
        }
        case DM_SETDEFID: {
            for (HWND child : window->children) {
                WindowPtr control = find(child);
                if (!control || control->className != "Button") continue;
                const DWORD type = buttonType(*control);
                if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) continue;
                const DWORD wanted = control->id == static_cast<int>(wParam) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
                control->style = (control->style & ~static_cast<DWORD>(BS_TYPEMASK)) | wanted;
            }
            window->defId = static_cast<int>(wParam);
            return TRUE;
        }
        case WM_NEXTDLGCTL: {
            HWND target = nullptr;
            if (LOWORD(lParam)) target = reinterpret_cast<HWND>(wParam);
            else target = GetNextDlgTabItem(hDlg, GetFocus(), wParam != 0 ? TRUE : FALSE);
            if (target != nullptr) SetFocus(target);
            return 0;
        }
        default:
            return DefWindowProcA(hDlg, Msg, wParam, lParam);
    }
}

BOOL MapDialogRect(HWND hDlg, LPRECT lpRect) {
    WindowPtr window = findOrFail(hDlg);
    if (!window || lpRect == nullptr) return FALSE;
    int x = 0, y = 0;
    baseUnits(window->font, &x, &y);
    lpRect->left = MulDiv(lpRect->left, x, 4);
    lpRect->right = MulDiv(lpRect->right, x, 4);
    lpRect->top = MulDiv(lpRect->top, y, 8);
    lpRect->bottom = MulDiv(lpRect->bottom, y, 8);
    return TRUE;
}

HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    WindowPtr window = findOrFail(hDlg);
    if (!window) return nullptr;
    const std::vector<HWND> stops = tabStops(*window);
    if (stops.empty()) return nullptr;
    const int count = static_cast<int>(stops.size());
    int at = -1;
    for (int i = 0; i < count; ++i) {
        if (stops[static_cast<size_t>(i)] == hCtl) at = i;
    }
    if (at < 0) return bPrevious ? stops.back() : stops.front();
    const int next = bPrevious ? (at + count - 1) % count : (at + 1) % count;
    return stops[static_cast<size_t>(next)];
}

int VeskGetDialogTemplateId(HWND hDlg) {
    WindowPtr window = find(hDlg);
    return window ? window->templateId : 0;
}
