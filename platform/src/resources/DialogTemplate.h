// A dialog template as a resource file holds it (RT_DIALOG), decoded into plain structs that
// the window system builds dialog windows from. Both forms are read: the extended DIALOGEX
// form that resource compilers write today, and the classic DIALOG form.
//
// Coordinates and sizes are dialog units, as in the template; converting them to pixels with
// the dialog's font is the window system's business. Texts are Windows-1252.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "resources/ResourceName.h"
#include "win32/Export.h"

namespace vesk::res {

/// The predefined window classes a control may name by number (0x80 to 0x85), or `Custom`
/// for a class given by name that is none of them.
enum class ControlClass { Button, Edit, Static, ListBox, ScrollBar, ComboBox, Custom };

/// One control of a dialog template, in template order (which is also the tab order).
struct DialogControl {
    int id = -1;                  ///< control id; -1 (0xFFFF / 0xFFFFFFFF in the file) for IDC_STATIC
    ControlClass kind = ControlClass::Custom;
    std::string className;        ///< "BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"
                                  ///< for predefined classes, else the name as written
    std::string text;             ///< the caption; empty when `textOrdinal` is set
    std::optional<unsigned> textOrdinal;  ///< a numbered text: the icon or bitmap id of an
                                          ///< SS_ICON / SS_BITMAP static
    uint32_t style = 0;           ///< window style (WS_*, plus the class's own style bits)
    uint32_t exStyle = 0;         ///< extended window style (WS_EX_*)
    uint32_t helpId = 0;          ///< help context id (DIALOGEX only; 0 in the classic form)
    int x = 0, y = 0, cx = 0, cy = 0;  ///< position and size in dialog units
    std::vector<unsigned char> creationData;  ///< bytes passed to the control on creation, usually none
};

/// The font of a dialog that sets one (DS_SETFONT, e.g. FONT 8, "MS Sans Serif").
struct DialogFont {
    int pointSize = 0;
    int weight = 0;         ///< 0 (default) or 100..900; classic templates carry none (0)
    bool italic = false;
    int charset = 0;        ///< classic templates carry none (0)
    std::string face;
};

/// A decoded dialog template.
struct DialogTemplate {
    bool extended = false;        ///< true for the DIALOGEX form
    uint32_t style = 0;           ///< DS_* and WS_* bits
    uint32_t exStyle = 0;
    uint32_t helpId = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  ///< dialog units
    NameOrOrdinal menu;           ///< the dialog's menu, usually none
    NameOrOrdinal windowClass;    ///< a private window class, usually none
    std::string caption;
    std::optional<DialogFont> font;  ///< present when the style has DS_SETFONT
    std::vector<DialogControl> controls;

    /// The first control with id `id`, or null.
    VESK_EXPORT const DialogControl* control(int id) const;
};

/// Decodes the bytes of one RT_DIALOG resource. Returns nothing (with a reason in `error`
/// when given) when the bytes are not a complete template; never reads outside
/// [data, data + size).
VESK_EXPORT std::optional<DialogTemplate> decodeDialogTemplate(const unsigned char* data, size_t size,
                                                               std::string* error);

}  // namespace vesk::res
