#include "resources/Bitmap.h"

#include <climits>

#include "resources/ByteReader.h"

namespace vesk::res {
namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;

bool fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

bool validBitCount(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Reads the info header into `bitmap`; the colour table and pixel checks follow separately.
bool readHeader(ByteReader& in, Bitmap& bitmap, uint32_t& colorsUsed, std::string* error) {
    const uint32_t headerSize = in.u32();
    int64_t height = 0;
    int planes = 0;
    if (headerSize == kCoreHeaderSize) {
        bitmap.width = in.u16();
        height = in.u16();
        planes = in.u16();
        bitmap.bitCount = in.u16();
        bitmap.colorEntrySize = 3;
    } else if (headerSize >= kInfoHeaderSize) {
        bitmap.width = in.i32();
        height = in.i32();
        planes = in.u16();
        bitmap.bitCount = in.u16();
        bitmap.compression = in.u32();
        in.skip(12);  // image size and resolution: not needed to draw
        colorsUsed = in.u32();
        in.skip(headerSize - 36);  // important-colour count and any later header fields
    } else {
        return fail(error, "unknown bitmap header size " + std::to_string(headerSize));
    }
    if (!in.ok()) return fail(error, "bitmap header runs past the end");
    if (bitmap.width <= 0 || height == 0 || height == INT32_MIN) return fail(error, "bitmap has no pixels");
    if (planes != 1 || !validBitCount(bitmap.bitCount)) return fail(error, "bitmap has an unsupported pixel format");
    bitmap.topDown = height < 0;
    bitmap.height = static_cast<int>(height < 0 ? -height : height);
    return true;
}

}  // namespace

std::optional<Bitmap> decodeBitmap(const unsigned char* data, size_t size, std::string* error) {
    ByteReader in(data, size);
    Bitmap bitmap;
    uint32_t colorsUsed = 0;
    if (!readHeader(in, bitmap, colorsUsed, error)) return std::nullopt;

    const uint32_t c = bitmap.compression;
    if (c != kBiRgb && c != kBiRle8 && c != kBiRle4 && c != kBiBitfields) {
        fail(error, "bitmap compression " + std::to_string(c) + " is not supported");
        return std::nullopt;
    }
    // Colour masks follow a 40-byte header for bit-field bitmaps; later headers hold them.
    if (c == kBiBitfields && in.offset() == kInfoHeaderSize) in.skip(12);

    size_t entries = colorsUsed;
    if (entries == 0 && bitmap.bitCount <= 8) entries = size_t{1} << bitmap.bitCount;
    bitmap.colorTableOffset = in.offset();
    bitmap.colorTableEntries = entries;
    // Checked in 64 bits: every factor is below 2^32, so no product can wrap.
    const uint64_t tableBytes = uint64_t{entries} * bitmap.colorEntrySize;
    if (!in.ok() || tableBytes > in.remaining()) {
        fail(error, "bitmap colour table runs past the end");
        return std::nullopt;
    }
    in.skip(static_cast<size_t>(tableBytes));
    bitmap.bitsOffset = in.offset();

    const uint64_t stride = ((uint64_t{static_cast<uint32_t>(bitmap.width)} * bitmap.bitCount + 31) / 32) * 4;
    bitmap.stride = static_cast<size_t>(stride);
    if (c == kBiRgb || c == kBiBitfields) {
        if (stride * static_cast<uint64_t>(bitmap.height) > in.remaining()) {
            fail(error, "bitmap pixel rows run past the end");
            return std::nullopt;
        }
    }
    bitmap.dib.assign(data, data + size);
    return bitmap;
}

std::optional<uint32_t> Bitmap::rgbAt(int x, int y) const {
    if (compression != kBiRgb || x < 0 || y < 0 || x >= width || y >= height) return std::nullopt;
    const size_t row = topDown ? static_cast<size_t>(y) : static_cast<size_t>(height - 1 - y);
    const unsigned char* p = dib.data() + bitsOffset + row * stride;
    const auto ux = static_cast<size_t>(x);
    auto fromTable = [this](size_t index) -> std::optional<uint32_t> {
        if (index >= colorTableEntries) return std::nullopt;
        const unsigned char* e = dib.data() + colorTableOffset + index * colorEntrySize;
        return (uint32_t{e[2]} << 16) | (uint32_t{e[1]} << 8) | e[0];
    };
    switch (bitCount) {
    case 1: return fromTable((p[ux / 8] >> (7 - ux % 8)) & 1);
    case 4: return fromTable((p[ux / 2] >> (ux % 2 == 0 ? 4 : 0)) & 0x0F);
    case 8: return fromTable(p[ux]);
    case 16: {
        // Uncompressed 16-bit pixels are 5-5-5; scale each channel to 8 bits.
        const uint32_t v = p[ux * 2] | (uint32_t{p[ux * 2 + 1]} << 8);
        auto scale = [](uint32_t five) { return (five << 3) | (five >> 2); };
        return (scale((v >> 10) & 0x1F) << 16) | (scale((v >> 5) & 0x1F) << 8) | scale(v & 0x1F);
    }
    case 24: return (uint32_t{p[ux * 3 + 2]} << 16) | (uint32_t{p[ux * 3 + 1]} << 8) | p[ux * 3];
    case 32: return (uint32_t{p[ux * 4 + 2]} << 16) | (uint32_t{p[ux * 4 + 1]} << 8) | p[ux * 4];
    default: return std::nullopt;
    }
}

}  // namespace vesk::res
