// The .res reader: the container, string tables, dialog templates, bitmaps and icon groups,
// read as a language library's file is. Every table that parses is walked in full.
#include <cstdint>
#include <string>

#include "resources/ResourceTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    std::shared_ptr<const vesk::res::ResourceTable> table = vesk::res::parseResources(data, size, &error);
    if (!table) return 0;
    std::size_t seen = 0;
    for (unsigned id : table->stringIds()) seen += table->string(id)->size();
    for (unsigned id : table->dialogIds()) {
        const vesk::res::DialogTemplate* d = table->dialog(id);
        seen += d->caption.size();
        for (const auto& c : d->controls) seen += c.text.size();
    }
    for (unsigned id : table->bitmapIds()) {
        const vesk::res::Bitmap* b = table->bitmap(id);
        (void)b->rgbAt(0, 0);
        (void)b->rgbAt(b->width - 1, b->height - 1);
        (void)b->rgbAt(b->width, b->height);
    }
    for (unsigned id : table->iconIds()) seen += table->icon(id)->images.size();
    return seen > size * 4 + 1000000 ? -1 : 0;
}
