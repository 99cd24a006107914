#include "resources/ResourceTable.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <utility>

#include "resources/ResFile.h"
#include "resources/StringBlock.h"

namespace vesk::res {
namespace {

// Far above any language library; a larger file is something else read by mistake.
constexpr std::streamoff kMaxResourceFileSize = 64 * 1024 * 1024;

template <typename T>
const T* find(const std::map<unsigned, T>& map, unsigned id) {
    const auto it = map.find(id);
    return it == map.end() ? nullptr : &it->second;
}

template <typename T>
std::vector<unsigned> keys(const std::map<unsigned, T>& map) {
    std::vector<unsigned> out;
    out.reserve(map.size());
    for (const auto& entry : map) out.push_back(entry.first);
    return out;
}

std::string label(const RawResource& r) {
    return (r.type.isOrdinal ? "type " + std::to_string(r.type.ordinal) : "type " + r.type.name) + " id " +
           (r.name.isOrdinal ? std::to_string(r.name.ordinal) : r.name.name);
}

// Decodes one entry into `table`. `seen` holds (type, id) pairs already taken, so a second
// language of the same resource is left out.
bool addEntry(ResourceTable& table, const RawResource& r, const std::vector<RawResource>& all,
              std::set<std::pair<unsigned, unsigned>>& seen, std::string* error) {
    if (!r.type.isOrdinal || !r.name.isOrdinal) return true;
    const unsigned type = r.type.ordinal;
    const unsigned id = r.name.ordinal;
    if (type != kRtString && type != kRtDialog && type != kRtBitmap && type != kRtGroupIcon) return true;
    if (!seen.emplace(type, id).second) return true;

    std::string reason;
    bool ok = true;
    switch (type) {
    case kRtString:
        if (auto strings = decodeStringBlock(id, r.data, r.size, &reason)) {
            for (auto& [stringId, text] : *strings) table.setString(stringId, std::move(text));
        } else {
            ok = false;
        }
        break;
    case kRtDialog:
        if (auto dialog = decodeDialogTemplate(r.data, r.size, &reason)) {
            table.setDialog(id, std::move(*dialog));
        } else {
            ok = false;
        }
        break;
    case kRtBitmap:
        if (auto bitmap = decodeBitmap(r.data, r.size, &reason)) {
            table.setBitmap(id, std::move(*bitmap));
        } else {
            ok = false;
        }
        break;
    case kRtGroupIcon: {
        // Images are looked up by number among all RT_ICON entries, whatever their order.
        const IconImageLookup images = [&all](unsigned imageId, const unsigned char*& data, size_t& size) {
            for (const RawResource& candidate : all) {
                if (candidate.type.is(kRtIcon) && candidate.name.is(imageId)) {
                    data = candidate.data;
                    size = candidate.size;
                    return true;
                }
            }
            return false;
        };
        if (auto icon = decodeIconGroup(r.data, r.size, images, &reason)) {
            table.setIcon(id, std::move(*icon));
        } else {
            ok = false;
        }
        break;
    }
    default:
        break;
    }
    if (!ok && error) *error = label(r) + ": " + reason;
    return ok;
}

}  // namespace

const std::string* ResourceTable::string(unsigned id) const { return find(strings_, id); }
const DialogTemplate* ResourceTable::dialog(unsigned id) const { return find(dialogs_, id); }
const Bitmap* ResourceTable::bitmap(unsigned id) const { return find(bitmaps_, id); }
const IconGroup* ResourceTable::icon(unsigned id) const { return find(icons_, id); }

std::vector<unsigned> ResourceTable::stringIds() const { return keys(strings_); }
std::vector<unsigned> ResourceTable::dialogIds() const { return keys(dialogs_); }
std::vector<unsigned> ResourceTable::bitmapIds() const { return keys(bitmaps_); }
std::vector<unsigned> ResourceTable::iconIds() const { return keys(icons_); }

void ResourceTable::setString(unsigned id, std::string text) {
    if (text.empty()) {
        strings_.erase(id);
    } else {
        strings_[id] = std::move(text);
    }
}

void ResourceTable::setDialog(unsigned id, DialogTemplate dialog) { dialogs_[id] = std::move(dialog); }
void ResourceTable::setBitmap(unsigned id, Bitmap bitmap) { bitmaps_[id] = std::move(bitmap); }
void ResourceTable::setIcon(unsigned id, IconGroup icon) { icons_[id] = std::move(icon); }

std::shared_ptr<const ResourceTable> parseResources(const void* data, size_t size, std::string* error) {
    if (data == nullptr && size != 0) {
        if (error) *error = "no bytes given";
        return nullptr;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    const auto entries = splitResFile(bytes, size, error);
    if (!entries) return nullptr;

    auto table = std::make_shared<ResourceTable>();
    std::set<std::pair<unsigned, unsigned>> seen;
    for (const RawResource& entry : *entries) {
        if (!addEntry(*table, entry, *entries, seen, error)) return nullptr;
    }
    return table;
}

std::shared_ptr<const ResourceTable> loadResourceFile(const std::string& path, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (error) *error = path + ": " + std::strerror(errno);
        return nullptr;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff length = file.tellg();
    if (length < 0 || length > kMaxResourceFileSize) {
        if (error) *error = path + ": not a resource file (size " + std::to_string(length) + ")";
        return nullptr;
    }
    file.seekg(0, std::ios::beg);
    std::vector<char> bytes(static_cast<size_t>(length));
    if (!file.read(bytes.data(), length)) {
        if (error) *error = path + ": read error";
        return nullptr;
    }
    std::string reason;
    auto table = parseResources(bytes.data(), bytes.size(), &reason);
    if (!table && error) *error = path + ": " + reason;
    return table;
}

}  // namespace vesk::res
