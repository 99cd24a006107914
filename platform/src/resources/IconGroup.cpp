#include "resources/IconGroup.h"

#include "resources/ByteReader.h"

namespace vesk::res {
namespace {

constexpr uint16_t kIconType = 1;
constexpr size_t kDirectoryEntrySize = 14;

bool fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

}  // namespace

std::optional<IconGroup> decodeIconGroup(const unsigned char* data, size_t size, const IconImageLookup& images,
                                         std::string* error) {
    ByteReader in(data, size);
    const uint16_t reserved = in.u16();
    const uint16_t type = in.u16();
    const uint16_t count = in.u16();
    if (!in.ok() || reserved != 0 || type != kIconType) {
        fail(error, "not an icon directory");
        return std::nullopt;
    }
    if (size_t{count} * kDirectoryEntrySize > in.remaining()) {
        fail(error, "icon directory runs past the end");
        return std::nullopt;
    }

    IconGroup group;
    group.images.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        IconImage image;
        const uint8_t width = in.u8();
        const uint8_t height = in.u8();
        in.skip(2);  // colour count and a reserved byte
        in.skip(2);  // planes
        image.bitCount = in.u16();
        in.skip(4);  // byte count: the RT_ICON resource's own size is the one that counts
        image.imageId = in.u16();
        image.width = width == 0 ? 256 : width;
        image.height = height == 0 ? 256 : height;

        const unsigned char* bytes = nullptr;
        size_t length = 0;
        if (!images || !images(image.imageId, bytes, length)) {
            fail(error, "icon image " + std::to_string(image.imageId) + " is missing");
            return std::nullopt;
        }
        image.data.assign(bytes, bytes + length);
        group.images.push_back(std::move(image));
    }
    return group;
}

}  // namespace vesk::res
