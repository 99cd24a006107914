// What a presenter sees of a waiting dialog or sheet.
#include "platform/Presenter.h"
#include "window/Controls.h"
#include "window/GdiObjects.h"
#include "window/ModalLoop.h"
#include "window/SheetState.h"
#include "win32/MessageBox.h"

namespace vesk::win {
namespace {

ui::ControlKind kindOf(const Window& window) {
    const std::string& cls = window.className;
    if (cls == "Button") {
        switch (buttonType(window)) {
            case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE:
                return ui::ControlKind::CheckBox;
            case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
                return ui::ControlKind::RadioButton;
            case BS_GROUPBOX:
                return ui::ControlKind::GroupBox;
            default:
                return ui::ControlKind::PushButton;
        }
    }
    if (cls == "Edit") return ui::ControlKind::Edit;
    if (cls == "ComboBox") return ui::ControlKind::ComboBox;
    if (cls == "ListBox") return ui::ControlKind::ListBox;
    if (cls == "Static") {
        const DWORD type = window.style & SS_TYPEMASK;
        if (type == SS_ICON || type == SS_BITMAP) return ui::ControlKind::Picture;
        // Rectangles, frames and etched lines (SS_BLACKRECT .. SS_WHITEFRAME, SS_ETCHED*).
        if ((type >= SS_BLACKRECT && type <= 0x9) || (type >= SS_ETCHEDHORZ && type <= SS_ETCHEDFRAME)) {
            return ui::ControlKind::Frame;
        }
        // An empty sunken static is drawn as a sunken box around other controls.
        if ((window.style & SS_SUNKEN) && window.text.empty()) return ui::ControlKind::Frame;
        return ui::ControlKind::Label;
    }
    return ui::ControlKind::Other;
}

ui::FontView fontView(HFONT font) {
    ui::FontView view;
    if (font == nullptr || !isFont(font)) {
        // What a window without a font shows: the system font, reported without a face.
        const LOGFONTA system = fontDescription(nullptr);
        view.height = system.lfHeight;
        view.weight = system.lfWeight;
        return view;
    }
    const LOGFONTA description = fontDescription(font);
    view.face = description.lfFaceName;
    view.height = description.lfHeight;
    view.weight = description.lfWeight == 0 ? FW_NORMAL : description.lfWeight;
    view.italic = description.lfItalic != 0;
    return view;
}

ui::ControlView controlView(const Window& window) {
    ui::ControlView view;
    view.hwnd = window.handle;
    view.id = window.id;
    view.kind = kindOf(window);
    view.className = window.className;
    view.text = window.text;
    view.style = window.style;
    view.visible = (window.style & WS_VISIBLE) != 0;
    view.enabled = (window.style & WS_DISABLED) == 0;
    view.focused = focusWindow() == window.handle;
    if (view.kind == ui::ControlKind::Edit) {
        view.password = (window.style & ES_PASSWORD) != 0;
        view.readOnly = (window.style & ES_READONLY) != 0;
        view.multiline = (window.style & ES_MULTILINE) != 0;
        view.limit = window.limit;
    }
    if (view.kind == ui::ControlKind::PushButton) view.isDefault = buttonType(window) == BS_DEFPUSHBUTTON;
    if (view.kind == ui::ControlKind::CheckBox || view.kind == ui::ControlKind::RadioButton) view.check = window.check;
    if (view.kind == ui::ControlKind::ComboBox || view.kind == ui::ControlKind::ListBox) {
        view.items = window.items;
        view.selection = window.selection;
        if (view.kind == ui::ControlKind::ComboBox) view.limit = window.limit;
    }
    view.picture = window.picture;
    view.x = window.x;
    view.y = window.y;
    view.cx = window.cx;
    view.cy = window.cy;
    view.font = fontView(window.font);
    return view;
}

void addControls(const Window& container, ui::WindowView& view) {
    for (HWND child : container.children) {
        WindowPtr control = find(child);
        // Pages and the sheet's own buttons are children of a sheet but not its controls.
        if (!control || control->role != Role::Control) continue;
        view.controls.push_back(controlView(*control));
    }
}

void addSheetButton(ui::WindowView& view, HWND button, const char* role) {
    WindowPtr window = find(button);
    if (!window) return;
    ui::SheetButtonView b;
    b.id = window->id;
    b.role = role;
    b.text = window->text;
    b.visible = (window->style & WS_VISIBLE) != 0;
    b.enabled = (window->style & WS_DISABLED) == 0;
    b.isDefault = buttonType(*window) == BS_DEFPUSHBUTTON;
    view.buttons.push_back(std::move(b));
}

}  // namespace

ui::WindowView buildView(HWND handle) {
    ui::WindowView view;
    WindowPtr window = find(handle);
    if (!window) return view;
    view.window = handle;
    view.caption = window->text;
    view.depth = modalDepth();
    view.waitCursor = VeskWaitCursorCount();
    if (window->role != Role::Sheet) {
        view.kind = ui::WindowView::Kind::Dialog;
        view.templateId = window->templateId;
        view.cx = window->cx;
        view.cy = window->cy;
        view.font = fontView(window->font);
        addControls(*window, view);
        return view;
    }
    view.kind = ui::WindowView::Kind::Sheet;
    const SheetState* sheet = sheetState(handle);
    if (sheet == nullptr) return view;
    view.wizard = sheet->wizard;
    view.pageCount = static_cast<int>(sheet->pages.size());
    view.pageIndex = sheet->active;
    if (sheet->active >= 0 && static_cast<size_t>(sheet->active) < sheet->pages.size()) {
        if (WindowPtr page = find(sheet->pages[static_cast<size_t>(sheet->active)]->hwnd)) {
            view.page = page->handle;
            view.templateId = page->templateId;
            view.pageCaption = page->text;
            view.cx = page->cx;
            view.cy = page->cy;
            view.font = fontView(page->font);
            addControls(*page, view);
        }
    }
    if (sheet->wizard) {
        addSheetButton(view, sheet->back, "Back");
        addSheetButton(view, sheet->next, "Next");
        addSheetButton(view, sheet->finish, "Finish");
    } else {
        addSheetButton(view, sheet->ok, "OK");
    }
    addSheetButton(view, sheet->cancel, "Cancel");
    if (!sheet->wizard) addSheetButton(view, sheet->apply, "Apply");
    addSheetButton(view, sheet->help, "Help");
    return view;
}

}  // namespace vesk::win
