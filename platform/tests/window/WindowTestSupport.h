// Shared by the window tests: dialog templates written as a real .res file in memory and
// attached to the test program, and a presenter window that goes away with its test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ScriptedPresenter.h"
#include "win32/Dialog.h"
#include "win32/Module.h"
#include "win32/PropSheet.h"

namespace vesk::test {

struct TestControl {
    int id = -1;
    uint16_t classOrdinal = 0x82;  // 0x80 Button, 0x81 Edit, 0x82 Static, 0x83 ListBox, 0x85 ComboBox
    std::string text;
    uint32_t style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    int textOrdinal = -1;          // a picture's resource number instead of a text
};

struct TestDialog {
    unsigned id = 0;
    std::string caption;
    uint32_t style = 0;
    int cx = 0, cy = 0;
    std::vector<TestControl> controls;
};

/// Writes .res bytes the way windres does: the 32-bit marker entry, then one entry per
/// DIALOGEX template and string block.
class ResBuilder {
public:
    void addDialog(const TestDialog& dialog) {
        std::vector<unsigned char> d;
        u16(d, 1);
        u16(d, 0xFFFF);
        u32(d, 0);  // help id
        u32(d, 0);  // extended style
        u32(d, dialog.style | DS_SETFONT);
        u16(d, static_cast<uint16_t>(dialog.controls.size()));
        u16(d, 0);
        u16(d, 0);
        u16(d, static_cast<uint16_t>(dialog.cx));
        u16(d, static_cast<uint16_t>(dialog.cy));
        u16(d, 0);  // no menu
        u16(d, 0);  // the standard class
        text(d, dialog.caption);
        u16(d, 8);  // FONT 8, "MS Sans Serif", 0, 0, 0x1
        u16(d, 0);
        d.push_back(0);
        d.push_back(1);
        text(d, "MS Sans Serif");
        for (const TestControl& c : dialog.controls) {
            while (d.size() % 4) d.push_back(0);
            u32(d, 0);
            u32(d, 0);
            u32(d, c.style | WS_CHILD);
            u16(d, static_cast<uint16_t>(c.x));
            u16(d, static_cast<uint16_t>(c.y));
            u16(d, static_cast<uint16_t>(c.cx));
            u16(d, static_cast<uint16_t>(c.cy));
            u32(d, static_cast<uint32_t>(c.id));
            u16(d, 0xFFFF);
            u16(d, c.classOrdinal);
            if (c.textOrdinal >= 0) {
                u16(d, 0xFFFF);
                u16(d, static_cast<uint16_t>(c.textOrdinal));
            } else {
                text(d, c.text);
            }
            u16(d, 0);  // no creation data
        }
        entry(5, static_cast<uint16_t>(dialog.id), d);
    }

    /// Strings are grouped in blocks of 16 as string tables keep them; ASCII only here.
    void addString(unsigned id, const std::string& value) { strings_.emplace_back(id, value); }

    std::vector<unsigned char> bytes() {
        std::vector<std::pair<unsigned, std::string>> pending = strings_;
        while (!pending.empty()) {
            const unsigned block = pending.front().first / 16;
            std::vector<std::string> slots(16);
            for (auto it = pending.begin(); it != pending.end();) {
                if (it->first / 16 == block) {
                    slots[it->first % 16] = it->second;
                    it = pending.erase(it);
                } else {
                    ++it;
                }
            }
            std::vector<unsigned char> d;
            for (const std::string& s : slots) {
                u16(d, static_cast<uint16_t>(s.size()));
                for (char ch : s) u16(d, static_cast<unsigned char>(ch));
            }
            entry(6, static_cast<uint16_t>(block + 1), d);
        }
        strings_.clear();
        std::vector<unsigned char> out;
        // The empty entry that marks a 32-bit resource file.
        u32(out, 0);
        u32(out, 32);
        u16(out, 0xFFFF);
        u16(out, 0);
        u16(out, 0xFFFF);
        u16(out, 0);
        for (int i = 0; i < 16; ++i) out.push_back(0);
        out.insert(out.end(), entries_.begin(), entries_.end());
        return out;
    }

private:
    static void u16(std::vector<unsigned char>& d, uint16_t v) {
        d.push_back(static_cast<unsigned char>(v & 0xFF));
        d.push_back(static_cast<unsigned char>(v >> 8));
    }
    static void u32(std::vector<unsigned char>& d, uint32_t v) {
        u16(d, static_cast<uint16_t>(v & 0xFFFF));
        u16(d, static_cast<uint16_t>(v >> 16));
    }
    static void text(std::vector<unsigned char>& d, const std::string& s) {
        for (char ch : s) u16(d, static_cast<unsigned char>(ch));
        u16(d, 0);
    }
    void entry(uint16_t type, uint16_t name, const std::vector<unsigned char>& data) {
        u32(entries_, static_cast<uint32_t>(data.size()));
        u32(entries_, 32);
        u16(entries_, 0xFFFF);
        u16(entries_, type);
        u16(entries_, 0xFFFF);
        u16(entries_, name);
        u32(entries_, 0);       // data version
        u16(entries_, 0x1030);  // memory flags
        u16(entries_, 0x0409);  // language
        u32(entries_, 0);       // version
        u32(entries_, 0);       // characteristics
        entries_.insert(entries_.end(), data.begin(), data.end());
        while (entries_.size() % 4) entries_.push_back(0);
    }

    std::vector<unsigned char> entries_;
    std::vector<std::pair<unsigned, std::string>> strings_;
};

// The numbers of the test dialogs and their controls.
enum : int {
    kFormDialog = 100,       // a dialog with one control of every kind
    kPageName = 201,         // wizard page 1: name edit
    kPageProfile = 202,      // wizard page 2: profile combo box
    kPageSummary = 203,      // wizard page 3: summary with reminder and heading
    kConfirmDialog = 300,    // "&Save" / "Cancel"
    kCaptionString = 4305,   // "Mail Setup"
    kFinishString = 4308,    // "&Next >"

    kIdName = 1001, kIdPassword = 1002, kIdCombo = 1003, kIdList = 1004, kIdCheck = 1005,
    kIdBrowse = 1006, kIdHidden = 1007, kIdRadio1 = 1008, kIdRadio2 = 1009, kIdNumber = 1010,
    kIdPageName = 2102, kIdProfile = 3010, kIdSummaryName = 2105, kIdReminder = 204, kIdHeading = 205,
};

inline constexpr uint32_t kVisible = WS_VISIBLE;
inline constexpr uint32_t kPageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION;

inline std::vector<unsigned char> buildTestResources() {
    ResBuilder res;
    res.addDialog({kFormDialog, "Form", WS_POPUP | WS_CAPTION, 300, 200,
                   {
                       {-1, 0x82, "&Name:", kVisible, 10, 10, 50, 8},
                       {kIdName, 0x81, "", kVisible | WS_TABSTOP | ES_AUTOHSCROLL, 70, 8, 120, 12},
                       {-1, 0x82, "&Password:", kVisible, 10, 26, 50, 8},
                       {kIdPassword, 0x81, "", kVisible | WS_TABSTOP | ES_PASSWORD, 70, 24, 120, 12},
                       {kIdCombo, 0x85, "", kVisible | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT, 70, 40, 120, 60},
                       {kIdList, 0x83, "", kVisible | WS_TABSTOP | LBS_NOTIFY, 70, 56, 120, 40},
                       {kIdCheck, 0x80, "&Remember", kVisible | WS_TABSTOP | BS_AUTOCHECKBOX, 70, 100, 80, 10},
                       {kIdRadio1, 0x80, "One", kVisible | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 70, 112, 40, 10},
                       {kIdRadio2, 0x80, "Two", kVisible | BS_AUTORADIOBUTTON, 120, 112, 40, 10},
                       {kIdNumber, 0x81, "", kVisible | WS_TABSTOP | ES_NUMBER | WS_GROUP, 70, 126, 40, 12},
                       {kIdHidden, 0x82, "Not shown", 0, 10, 140, 80, 8},
                       {kIdBrowse, 0x80, "B&rowse...", kVisible | WS_TABSTOP | BS_PUSHBUTTON, 200, 8, 50, 14},
                       {IDOK, 0x80, "OK", kVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 180, 176, 50, 14},
                       {IDCANCEL, 0x80, "Cancel", kVisible | WS_TABSTOP | BS_PUSHBUTTON, 240, 176, 50, 14},
                   }});
    res.addDialog({kPageName, "Mail Setup", kPageStyle, 400, 202,
                   {
                       {-1, 0x82, "", kVisible | SS_BITMAP, 7, 7, 105, 189, 6000},
                       {-1, 0x82, "Enter the name that you use.", kVisible, 120, 7, 273, 18},
                       {-1, 0x82, "&User Name:", kVisible, 120, 80, 60, 8},
                       {kIdPageName, 0x81, "", kVisible | WS_TABSTOP | ES_AUTOHSCROLL, 185, 78, 160, 12},
                   }});
    res.addDialog({kPageProfile, "Mail Setup", kPageStyle, 400, 202,
                   {
                       {-1, 0x82, "Select a profile:", kVisible, 120, 7, 273, 18},
                       {-1, 0x82, "&Profile:", kVisible, 120, 57, 45, 8},
                       {kIdProfile, 0x85, "", kVisible | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 170, 55, 209, 91},
                   }});
    res.addDialog({kPageSummary, "Mail Setup", kPageStyle, 400, 202,
                   {
                       {-1, 0x82, "Congratulations!  Your Mail is now set up:", kVisible, 120, 7, 273, 18},
                       {-1, 0x82, "Mail System:", kVisible, 120, 36, 70, 8},
                       {kIdSummaryName, 0x82, "", kVisible | SS_NOPREFIX, 195, 36, 198, 8},
                       {kIdHeading, 0x82, "Setup Instructions:", kVisible, 120, 60, 100, 8},
                       {kIdReminder, 0x82, "You can return to Mail Setup at any time.", kVisible, 120, 160, 273, 34},
                   }});
    res.addDialog({kConfirmDialog, "Mail Setup", WS_POPUP | WS_CAPTION | DS_MODALFRAME, 360, 110,
                   {
                       {-1, 0x82, "", kVisible | SS_ICON, 7, 7, 21, 20, 208},
                       {-1, 0x82, "Mail was not able to log on.", kVisible, 40, 7, 313, 26},
                       {IDOK, 0x80, "&Save", kVisible | WS_TABSTOP | BS_DEFPUSHBUTTON, 246, 89, 50, 14},
                       {IDCANCEL, 0x80, "Cancel", kVisible | WS_TABSTOP, 303, 89, 50, 14},
                   }});
    res.addString(kCaptionString, "Mail Setup");
    res.addString(kFinishString, "&Next >");
    return res.bytes();
}

/// The test program as a module carrying the test resources (attached once).
inline HMODULE testModule() {
    static const std::vector<unsigned char> bytes = buildTestResources();
    static HMODULE module = [] {
        static int anchor = 0;
        HMODULE self = VeskModuleFromAddress(&anchor);
        EXPECT_NE(self, nullptr);
        EXPECT_TRUE(VeskAttachResources(self, bytes.data(), bytes.size()));
        return self;
    }();
    return module;
}

/// A scripted presenter window for one test, destroyed with it.
class ScriptedWindow {
public:
    explicit ScriptedWindow(std::vector<ui::ScriptAction> actions = {}) {
        hwnd_ = ui::createScriptedPresenterWindow(std::move(actions), &presenter_);
    }
    ~ScriptedWindow() {
        if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    }
    ScriptedWindow(const ScriptedWindow&) = delete;
    ScriptedWindow& operator=(const ScriptedWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    ui::ScriptedPresenter& presenter() { return *presenter_; }
    const ui::Transcript& transcript() const { return presenter_->transcript(); }

private:
    HWND hwnd_ = nullptr;
    std::shared_ptr<ui::ScriptedPresenter> presenter_;
};

/// MAKEINTRESOURCEA for an enum value.
inline LPCSTR templateName(int id) {
    return MAKEINTRESOURCEA(id);
}

}  // namespace vesk::test
