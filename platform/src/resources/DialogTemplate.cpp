#include "resources/DialogTemplate.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/Codepage.h"
#include "resources/ByteReader.h"

namespace vesk::res {
namespace {

constexpr uint32_t kDsSetFont = 0x40;
constexpr uint16_t kExtendedVersion = 1;
constexpr uint16_t kExtendedSignature = 0xFFFF;
// The smallest control entry of either form, used to cap what a lying count may reserve.
constexpr size_t kMinControlSize = 24;

struct PredefinedClass {
    unsigned ordinal;
    ControlClass kind;
    const char* name;
};

constexpr std::array<PredefinedClass, 6> kPredefinedClasses = {{
    {0x80, ControlClass::Button, "BUTTON"},
    {0x81, ControlClass::Edit, "EDIT"},
    {0x82, ControlClass::Static, "STATIC"},
    {0x83, ControlClass::ListBox, "LISTBOX"},
    {0x84, ControlClass::ScrollBar, "SCROLLBAR"},
    {0x85, ControlClass::ComboBox, "COMBOBOX"},
}};

bool equalsIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != static_cast<unsigned char>(b[i])) return false;
    }
    return i == a.size() && b[i] == '\0';
}

// Resource compilers write a control class either as its number or as its name (windres
// writes "STATIC" for CONTROL statements); both name the same predefined class.
bool resolveClass(const NameOrOrdinal& cls, DialogControl& control, std::string* error) {
    for (const PredefinedClass& known : kPredefinedClasses) {
        if (cls.is(known.ordinal) || (!cls.isOrdinal && equalsIgnoringCase(cls.name, known.name))) {
            control.kind = known.kind;
            control.className = known.name;
            return true;
        }
    }
    if (cls.isOrdinal || cls.name.empty()) {
        if (error) *error = "control " + std::to_string(control.id) + " names no window class";
        return false;
    }
    control.kind = ControlClass::Custom;
    control.className = cls.name;
    return true;
}

bool readControl(ByteReader& in, bool extended, DialogControl& control, std::string* error) {
    in.alignTo4();
    if (extended) {
        control.helpId = in.u32();
        control.exStyle = in.u32();
        control.style = in.u32();
    } else {
        control.style = in.u32();
        control.exStyle = in.u32();
    }
    control.x = in.i16();
    control.y = in.i16();
    control.cx = in.i16();
    control.cy = in.i16();
    if (extended) {
        control.id = in.i32();
    } else {
        // The classic form keeps a 16-bit id; 0xFFFF is IDC_STATIC.
        const uint16_t id = in.u16();
        control.id = id == 0xFFFF ? -1 : id;
    }
    const NameOrOrdinal cls = in.nameOrOrdinal();
    const NameOrOrdinal title = in.nameOrOrdinal();
    const uint16_t extraCount = in.u16();
    control.creationData = in.bytes(extraCount);
    if (!in.ok()) {
        if (error) *error = "control entry runs past the end of the template";
        return false;
    }
    if (title.isOrdinal) {
        control.textOrdinal = title.ordinal;
    } else {
        control.text = title.name;
    }
    return resolveClass(cls, control, error);
}

}  // namespace

const DialogControl* DialogTemplate::control(int id) const {
    const auto it = std::find_if(controls.begin(), controls.end(),
                                 [id](const DialogControl& c) { return c.id == id; });
    return it == controls.end() ? nullptr : &*it;
}

std::optional<DialogTemplate> decodeDialogTemplate(const unsigned char* data, size_t size, std::string* error) {
    ByteReader in(data, size);
    DialogTemplate dialog;

    const uint16_t version = in.u16();
    const uint16_t signature = in.u16();
    dialog.extended = in.ok() && version == kExtendedVersion && signature == kExtendedSignature;
    if (dialog.extended) {
        dialog.helpId = in.u32();
        dialog.exStyle = in.u32();
        dialog.style = in.u32();
    } else {
        // In the classic form those two words were the style.
        dialog.style = uint32_t{version} | (uint32_t{signature} << 16);
        dialog.exStyle = in.u32();
    }
    const uint16_t count = in.u16();
    dialog.x = in.i16();
    dialog.y = in.i16();
    dialog.cx = in.i16();
    dialog.cy = in.i16();
    dialog.menu = in.nameOrOrdinal();
    dialog.windowClass = in.nameOrOrdinal();
    dialog.caption = cp::utf16ToCp1252(in.utf16z());
    if (dialog.style & kDsSetFont) {
        DialogFont font;
        font.pointSize = in.u16();
        if (dialog.extended) {
            font.weight = in.u16();
            font.italic = in.u8() != 0;
            font.charset = in.u8();
        }
        font.face = cp::utf16ToCp1252(in.utf16z());
        dialog.font = font;
    }
    if (!in.ok()) {
        if (error) *error = "dialog header runs past the end of the template";
        return std::nullopt;
    }

    dialog.controls.reserve(std::min<size_t>(count, in.remaining() / kMinControlSize));
    for (unsigned i = 0; i < count; ++i) {
        DialogControl control;
        std::string reason;
        if (!readControl(in, dialog.extended, control, &reason)) {
            if (error) *error = "control " + std::to_string(i + 1) + " of " + std::to_string(count) + ": " + reason;
            return std::nullopt;
        }
        dialog.controls.push_back(std::move(control));
    }
    return dialog;
}

}  // namespace vesk::res
