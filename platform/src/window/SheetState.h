// The state of a property sheet window, shared by the sheet procedure, the view builder and
// the input handling.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "win32/PropSheet.h"

namespace vesk::win {

struct SheetPage {
    PROPSHEETPAGEA psp{};        // the sheet's own copy; WM_INITDIALOG points at it
    HPROPSHEETPAGE handle = nullptr;  // the handle the sheet took, freed with the sheet
    HWND hwnd = nullptr;         // the page dialog once created
    std::string caption;
};

struct SheetState {
    DWORD flags = 0;
    bool wizard = false;
    // Pages are held by pointer: the sheet's PROPSHEETPAGEA copies must not move while a
    // page procedure holds the lParam of its WM_INITDIALOG.
    std::vector<std::unique_ptr<SheetPage>> pages;
    int active = -1;
    HWND back = nullptr, next = nullptr, finish = nullptr, cancel = nullptr, help = nullptr;
    HWND ok = nullptr, apply = nullptr;
    bool finishText = false;     // PSM_SETFINISHTEXT was used
    // Counts page changes and the end of the sheet; an answer given by a page is ignored when
    // this moved while the page was handling the notification.
    unsigned long changes = 0;
};

/// The state of sheet `sheet`, or null when it is no sheet.
SheetState* sheetState(HWND sheet);

}  // namespace vesk::win
