// A parsed resource file: the strings, dialog templates, bitmaps and icons of one module,
// addressed by numeric identifier. Built from the bytes of a .res file (the 32-bit resource
// format that windres writes), either read from disk (a language library) or embedded in a
// plug-in (its own English copy).
//
// Only numbered resources are kept; a resource named by text is skipped, as are types the
// platform does not use (menus, version blocks, ...). When one number appears in several
// languages, the first entry in the file wins. All texts are Windows-1252.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "resources/Bitmap.h"
#include "resources/DialogTemplate.h"
#include "resources/IconGroup.h"
#include "win32/Export.h"

namespace vesk::res {

/// The resources of one module. Tables that parseResources hands out are immutable; the
/// setters exist so a table can also be put together by hand (tests, built-in defaults).
class VESK_EXPORT ResourceTable {
public:
    /// String `id`, or null when the table has none (an empty string counts as none, as in
    /// Windows string tables).
    const std::string* string(unsigned id) const;
    /// Dialog template `id`, or null.
    const DialogTemplate* dialog(unsigned id) const;
    /// Bitmap `id`, or null.
    const Bitmap* bitmap(unsigned id) const;
    /// Icon `id` (a group icon with its images), or null.
    const IconGroup* icon(unsigned id) const;
    /// True when icon `id` exists.
    bool hasIcon(unsigned id) const { return icon(id) != nullptr; }

    /// The numbers present, ascending.
    std::vector<unsigned> stringIds() const;
    std::vector<unsigned> dialogIds() const;
    std::vector<unsigned> bitmapIds() const;
    std::vector<unsigned> iconIds() const;

    /// Adds or replaces one resource. An empty text removes string `id`.
    void setString(unsigned id, std::string text);
    void setDialog(unsigned id, DialogTemplate dialog);
    void setBitmap(unsigned id, Bitmap bitmap);
    void setIcon(unsigned id, IconGroup icon);

private:
    std::map<unsigned, std::string> strings_;
    std::map<unsigned, DialogTemplate> dialogs_;
    std::map<unsigned, Bitmap> bitmaps_;
    std::map<unsigned, IconGroup> icons_;
};

/// Parses the bytes of a .res file. Null (with a reason in `error` when given) when the bytes
/// are not a well-formed resource file, or when a string block, dialog, bitmap or icon in it
/// is malformed; never reads outside [data, data + size). The table copies what it keeps, so
/// the bytes may be released afterwards.
VESK_EXPORT std::shared_ptr<const ResourceTable> parseResources(const void* data, size_t size,
                                                                std::string* error);

/// Reads and parses a .res file from disk; null with a reason when it cannot.
VESK_EXPORT std::shared_ptr<const ResourceTable> loadResourceFile(const std::string& path, std::string* error);

}  // namespace vesk::res
