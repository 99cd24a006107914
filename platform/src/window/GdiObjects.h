// The fonts and device contexts behind the gdi32 calls, for the window system's own use.
#pragma once

#include <optional>

#include "win32/Gdi.h"

namespace vesk::win {

/// The description of font `font`: a live font, a stock font, or null/unknown as the
/// system font (which is what a window without a font shows).
LOGFONTA fontDescription(HFONT font);
/// True when `font` is a live font or a stock font.
bool isFont(HFONT font);
/// The font of a dialog template: `pointSize` at 96 dots per inch.
HFONT createDialogFont(int pointSize, int weight, bool italic, int charset, const char* face);
/// Text metrics of a font described by `font`.
TEXTMETRICA metricsOf(const LOGFONTA& font);
/// The dialog base units of a font: average character width and line height in pixels.
void baseUnits(HFONT font, int* x, int* y);

}  // namespace vesk::win
