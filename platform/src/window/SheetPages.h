// Page handles and page activation of property sheets.
#pragma once

#include "window/SheetState.h"
#include "window/WindowObject.h"

namespace vesk::win {

/// The page structure behind a handle from CreatePropertySheetPageA, or null.
const PROPSHEETPAGEA* pageOfHandle(HPROPSHEETPAGE handle);
/// Frees a page handle (PSPCB_RELEASE to its callback first).
void releasePageHandle(HPROPSHEETPAGE handle);

/// Adds a page to the sheet from `psp`; `handle` (may be null) is the handle it came from,
/// which the sheet now owns.
void appendPage(SheetState& sheet, const PROPSHEETPAGEA& psp, HPROPSHEETPAGE handle);

/// Sends page `page` of `sheet` notification `code` (PSHNOTIFY with `lParam`) and returns its
/// answer (DWLP_MSGRESULT; 0 when it did not handle it).
LRESULT notifyPage(HWND sheet, HWND page, UINT code, LPARAM lParam = 0);

/// Activates page `index` (creating it on first use), skipping pages that refuse in
/// `direction` (+1 or -1). With `leaveCurrent` the active page is asked first
/// (PSN_KILLACTIVE) and may refuse. False when no page was activated; the last error is
/// ERROR_RESOURCE_NAME_NOT_FOUND when a page's template is missing.
bool activatePage(HWND sheet, int index, int direction, bool leaveCurrent);

/// The index of the page built from template `templateId`, or -1.
int pageIndexOfTemplate(const SheetState& sheet, int templateId);

/// Removes page `index`: destroys its window and frees its handle; activates a neighbour when
/// it was the active page, and ends the sheet with IDCANCEL when it was the last.
void removePage(HWND sheet, int index);

}  // namespace vesk::win
