// The transcript and its text form.
#include "platform/Transcript.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/Codepage.h"
#include "win32/Gdi.h"
#include "win32/Window.h"

namespace vesk::ui {
namespace {

std::string quoted(const std::string& cp1252) {
    std::string out = "\"";
    for (char c : cp::cp1252ToUtf8(cp1252)) {
        switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

std::string hex(unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%X", value);
    return buffer;
}

const char* kindName(const ControlView& c) {
    switch (c.kind) {
        case ControlKind::PushButton: return "button";
        case ControlKind::CheckBox: return "checkbox";
        case ControlKind::RadioButton: return "radio";
        case ControlKind::GroupBox: return "group";
        case ControlKind::Edit: return "edit";
        case ControlKind::Label: return "static";
        case ControlKind::Picture: return "picture";
        case ControlKind::Frame: return "frame";
        case ControlKind::ListBox: return "listbox";
        case ControlKind::ComboBox: return "combobox";
        case ControlKind::Other: return nullptr;
    }
    return nullptr;
}

std::string controlLine(const ControlView& c, const FontView& pageFont) {
    const char* kind = kindName(c);
    std::string line = "  " + std::string(kind != nullptr ? kind : cp::cp1252ToUtf8(c.className)) + " " +
                       std::to_string(c.id);
    if (c.kind == ControlKind::Picture) {
        line += ((c.style & SS_TYPEMASK) == SS_ICON ? " icon " : " bitmap ") + std::to_string(c.picture);
    } else if (c.kind != ControlKind::Frame) {
        line += " " + quoted(c.password ? std::string(c.text.size(), '*') : c.text);
    }
    if (c.kind == ControlKind::ComboBox || c.kind == ControlKind::ListBox) {
        line += " items [";
        for (size_t i = 0; i < c.items.size(); ++i) line += (i ? ", " : "") + quoted(c.items[i]);
        line += "] selected " + std::to_string(c.selection);
    }
    if (c.password) line += " password";
    if (c.readOnly) line += " read-only";
    if (c.isDefault) line += " default";
    if ((c.kind == ControlKind::CheckBox || c.kind == ControlKind::RadioButton) && c.check != 0) {
        line += c.check == 2 ? " indeterminate" : " checked";
    }
    if (!c.enabled) line += " disabled";
    if (c.font.weight >= FW_BOLD && c.font.weight != pageFont.weight) line += " bold";
    if (c.font.italic && !pageFont.italic) line += " italic";
    return line;
}

std::string buttonText(const SheetButtonView& b) {
    std::string text = b.role;
    if (!b.visible) return text + " hidden";
    text += " " + quoted(b.text);
    if (!b.enabled) text += " disabled";
    if (b.isDefault) text += " default";
    return text;
}

std::string entryText(const TranscriptEntry& e) {
    switch (e.kind) {
        case TranscriptEntry::Kind::Page:
            return Transcript::pageText(e.page);
        case TranscriptEntry::Kind::Action:
            return "> " + e.text + "\n";
        case TranscriptEntry::Kind::Box:
            return "box " + quoted(e.box.caption) + " style " + hex(e.box.style) + " " + quoted(e.box.text) + " -> " +
                   answerName(e.answer) + "\n";
        case TranscriptEntry::Kind::Directory:
            return "directory " + quoted(e.request.title) + " from " + quoted(e.request.initialDir) + " -> " +
                   (e.text.empty() ? std::string("cancelled") : quoted(e.text)) + "\n";
        case TranscriptEntry::Kind::Help:
            return "help " + quoted(e.help.path) + " command " + hex(e.help.command) + "\n";
        case TranscriptEntry::Kind::Wait:
            return "wait cursor " + std::to_string(e.answer) + "\n";
        case TranscriptEntry::Kind::Closed:
            return "closed " + quoted(e.text) + "\n";
        case TranscriptEntry::Kind::Note:
            return "note: " + cp::cp1252ToUtf8(e.text) + "\n";
        case TranscriptEntry::Kind::Error:
            return "error: " + cp::cp1252ToUtf8(e.text) + "\n";
    }
    return std::string();
}

}  // namespace

void Transcript::add(TranscriptEntry entry) {
    entries_.push_back(std::move(entry));
}

std::vector<const WindowView*> Transcript::pages() const {
    std::vector<const WindowView*> result;
    for (const TranscriptEntry& e : entries_) {
        if (e.kind == TranscriptEntry::Kind::Page) result.push_back(&e.page);
    }
    return result;
}

std::vector<const WindowView*> Transcript::pagesOf(int templateId) const {
    std::vector<const WindowView*> result;
    for (const WindowView* page : pages()) {
        if (page->templateId == templateId) result.push_back(page);
    }
    return result;
}

const WindowView* Transcript::lastPage() const {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->kind == TranscriptEntry::Kind::Page) return &it->page;
    }
    return nullptr;
}

std::vector<const TranscriptEntry*> Transcript::boxes() const {
    std::vector<const TranscriptEntry*> result;
    for (const TranscriptEntry& e : entries_) {
        if (e.kind == TranscriptEntry::Kind::Box) result.push_back(&e);
    }
    return result;
}

std::vector<std::string> Transcript::errors() const {
    std::vector<std::string> result;
    for (const TranscriptEntry& e : entries_) {
        if (e.kind == TranscriptEntry::Kind::Error) result.push_back(e.text);
    }
    return result;
}

bool Transcript::ranOut() const {
    for (const TranscriptEntry& e : entries_) {
        if (e.kind == TranscriptEntry::Kind::Note && e.text.find("ran out of actions") != std::string::npos) return true;
    }
    return false;
}

std::string Transcript::pageText(const WindowView& page) {
    std::string text;
    if (page.kind == WindowView::Kind::Sheet) {
        text = "page " + quoted(page.caption) + " dialog " + std::to_string(page.templateId) + " (page " +
               std::to_string(page.pageIndex + 1) + " of " + std::to_string(page.pageCount) +
               (page.wizard ? ", wizard)" : ")");
        if (!page.pageCaption.empty() && page.pageCaption != page.caption) text += " " + quoted(page.pageCaption);
    } else {
        text = "dialog " + quoted(page.caption) + " dialog " + std::to_string(page.templateId);
    }
    text += "\n";
    for (const ControlView& c : page.controls) {
        if (c.visible) text += controlLine(c, page.font) + "\n";
    }
    if (!page.buttons.empty()) {
        text += "  buttons:";
        for (size_t i = 0; i < page.buttons.size(); ++i) text += (i ? " | " : " ") + buttonText(page.buttons[i]);
        text += "\n";
    }
    return text;
}

std::string Transcript::toText() const {
    std::string text;
    for (const TranscriptEntry& e : entries_) text += entryText(e);
    return text;
}

bool Transcript::writeFile(const std::string& path) const {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) return false;
        file << toText();
        if (!file.flush()) return false;
    }
    // Readers of a transcript written after every event never see half of one.
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace vesk::ui
