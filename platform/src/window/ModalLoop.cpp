// The modal run of dialogs and sheets, and what a person's input does to them.
#include "window/ModalLoop.h"

#include "window/Controls.h"
#include "window/MessageQueue.h"
#include "window/SheetState.h"
#include "win32/Module.h"
#include "win32/PropSheet.h"

namespace vesk::win {
namespace {

// The dialog whose controls a person works with: the dialog itself, or a sheet's active page.
HWND controlContainer(const WindowPtr& window) {
    if (window->role != Role::Sheet) return window->handle;
    const SheetState* sheet = sheetState(window->handle);
    if (sheet == nullptr || sheet->active < 0 || static_cast<size_t>(sheet->active) >= sheet->pages.size()) return nullptr;
    return sheet->pages[static_cast<size_t>(sheet->active)]->hwnd;
}

WindowPtr controlOf(HWND container, int id, std::string* reason) {
    WindowPtr dialog = find(container);
    if (dialog) {
        for (HWND child : dialog->children) {
            WindowPtr control = find(child);
            if (control && control->role == Role::Control && control->id == id) {
                if ((control->style & WS_VISIBLE) == 0) {
                    *reason = "control " + std::to_string(id) + " is hidden";
                    return nullptr;
                }
                if (control->style & WS_DISABLED) {
                    *reason = "control " + std::to_string(id) + " is disabled";
                    return nullptr;
                }
                return control;
            }
        }
    }
    *reason = "there is no control " + std::to_string(id);
    return nullptr;
}

std::string typeInto(const WindowPtr& control, std::string text) {
    const bool edit = control->className == "Edit";
    const bool editableCombo = control->className == "ComboBox" && (control->style & 0x3) != CBS_DROPDOWNLIST;
    if (!edit && !editableCombo) return "control " + std::to_string(control->id) + " takes no typing";
    if (edit && (control->style & ES_READONLY)) return "edit " + std::to_string(control->id) + " is read-only";
    if (edit && (control->style & ES_NUMBER) && text.find_first_not_of("0123456789") != std::string::npos) {
        return "edit " + std::to_string(control->id) + " takes digits only";
    }
    // A person cannot type past the limit; what is typed beyond it is lost.
    const int limit = edit ? static_cast<int>(SendMessageA(control->handle, EM_GETLIMITTEXT, 0, 0)) : control->limit;
    if (limit > 0 && text.size() > static_cast<size_t>(limit)) text.resize(static_cast<size_t>(limit));
    SetFocus(control->handle);
    if (edit) {
        SendMessageA(control->handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    } else {
        control->text = text;
        control->selection = -1;
        notifyParent(*control, CBN_EDITCHANGE);
    }
    return "";
}

std::string selectIn(const WindowPtr& control, const std::string& text) {
    const bool combo = control->className == "ComboBox";
    if (!combo && control->className != "ListBox") return "control " + std::to_string(control->id) + " has no items";
    int index = -1;
    for (size_t i = 0; i < control->items.size() && index < 0; ++i) {
        if (control->items[i] == text) index = static_cast<int>(i);
    }
    if (index < 0) return "control " + std::to_string(control->id) + " holds no item \"" + text + "\"";
    SetFocus(control->handle);
    SendMessageA(control->handle, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (combo) notifyParent(*control, CBN_SELCHANGE);
    else if (control->style & LBS_NOTIFY) notifyParent(*control, LBN_SELCHANGE);
    return "";
}

std::string setCheck(const WindowPtr& control, int wanted) {
    if (control->className != "Button" || !isCheckType(buttonType(*control))) {
        return "control " + std::to_string(control->id) + " is no check box or radio button";
    }
    SetFocus(control->handle);
    // Clicks until the state is reached; a button that its owner checks gets one click.
    for (int clicks = 0; clicks < 3 && control->check != wanted && !control->destroyed; ++clicks) {
        clickButton(control->handle);
        const DWORD type = buttonType(*control);
        if (type != BS_AUTOCHECKBOX && type != BS_AUTO3STATE && type != BS_AUTORADIOBUTTON) break;
    }
    return "";
}

std::string pressSheetButton(const WindowPtr& window, int id) {
    const SheetState* sheet = sheetState(window->handle);
    if (sheet == nullptr) return "the window is no property sheet";
    for (HWND button : {sheet->back, sheet->next, sheet->finish, sheet->cancel, sheet->help, sheet->ok, sheet->apply}) {
        WindowPtr b = find(button);
        if (!b || b->id != id) continue;
        if ((b->style & WS_VISIBLE) == 0) return "the sheet's button " + std::to_string(id) + " is hidden";
        if (b->style & WS_DISABLED) return "the sheet's button " + std::to_string(id) + " is disabled";
        SendMessageA(window->handle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        return "";
    }
    return "the sheet has no button " + std::to_string(id);
}

}  // namespace

std::string applyInput(HWND handle, const ui::Input& input) {
    WindowPtr window = find(handle);
    if (!window) return "the window is gone";
    const bool sheet = window->role == Role::Sheet;
    std::string reason;
    switch (input.kind) {
        case ui::Input::Kind::Abort:
            EndDialog(handle, IDCANCEL);
            return "";
        case ui::Input::Kind::Close:
            if (sheet) SendMessageA(handle, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
            else SendMessageA(handle, WM_CLOSE, 0, 0);
            return "";
        case ui::Input::Kind::PressSheet:
            return pressSheetButton(window, input.control);
        default:
            break;
    }
    WindowPtr control = controlOf(controlContainer(window), input.control, &reason);
    if (!control) return reason;
    switch (input.kind) {
        case ui::Input::Kind::SetText:
            return typeInto(control, input.text);
        case ui::Input::Kind::Select:
            return selectIn(control, input.text);
        case ui::Input::Kind::SetCheck:
            return setCheck(control, input.check);
        case ui::Input::Kind::Press:
            if (control->className != "Button" || buttonType(*control) == BS_GROUPBOX) {
                return "control " + std::to_string(input.control) + " is no button";
            }
            SetFocus(control->handle);
            clickButton(control->handle);
            return "";
        case ui::Input::Kind::Focus:
            SetFocus(control->handle);
            return "";
        default:
            return "unknown input";
    }
}

INT_PTR runModal(HWND handle) {
    WindowPtr window = find(handle);
    if (!window) return -1;
    std::shared_ptr<ui::Presenter> presenter = ui::presenterFor(handle);
    if (!presenter) {
        DestroyWindow(handle);
        SetLastError(ERROR_CANCELLED);
        return -1;
    }
    const HWND focusBefore = GetFocus();
    window->modal = true;
    if (window->role != Role::Sheet) ShowWindow(handle, SW_SHOW);
    enterModal();
    while (true) {
        deliverPosted();
        if (window->destroyed || window->ended) break;
        const ui::WindowView view = buildView(handle);
        const ui::Input input = presenter->nextInput(view);
        if (window->destroyed || window->ended) break;
        const std::string reason = applyInput(handle, input);
        if (!reason.empty()) presenter->inputRejected(input, reason);
    }
    leaveModal();
    const INT_PTR result = window->result;
    presenter->windowClosed(handle);
    if (!window->destroyed) DestroyWindow(handle);
    if (focusBefore != nullptr && IsWindow(focusBefore)) SetFocus(focusBefore);
    return result;
}

}  // namespace vesk::win
