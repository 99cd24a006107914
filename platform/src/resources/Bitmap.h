// A bitmap resource (RT_BITMAP): a device-independent bitmap as Windows keeps it in a module,
// i.e. a .bmp file without its 14-byte file header: an info header (BITMAPINFOHEADER or the
// older BITMAPCOREHEADER), a colour table, then the pixel rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "win32/Export.h"

namespace vesk::res {

/// A decoded bitmap. The header has been checked against the bytes: for uncompressed
/// bitmaps the colour table and every pixel row lie inside `dib`.
struct Bitmap {
    int width = 0;                ///< pixels
    int height = 0;               ///< pixels, always positive
    bool topDown = false;         ///< rows stored top row first (negative height in the header)
    int bitCount = 0;             ///< 1, 4, 8, 16, 24 or 32 bits per pixel
    uint32_t compression = 0;     ///< BI_RGB 0, BI_RLE8 1, BI_RLE4 2, BI_BITFIELDS 3
    std::vector<unsigned char> dib;  ///< the resource bytes, header first
    size_t colorTableOffset = 0;  ///< where the colour table starts in `dib`
    size_t colorTableEntries = 0;
    size_t colorEntrySize = 4;    ///< 4 (RGBQUAD) or 3 (RGBTRIPLE, core header)
    size_t bitsOffset = 0;        ///< where the pixel rows start in `dib`
    size_t stride = 0;            ///< bytes per pixel row, padded to 4

    /// The colour of the pixel at column `x`, row `y` (row 0 at the top) as 0xRRGGBB, or
    /// nothing when the position is outside the picture or the bitmap is compressed
    /// (RLE, bit fields).
    VESK_EXPORT std::optional<uint32_t> rgbAt(int x, int y) const;
};

/// Decodes the bytes of one RT_BITMAP resource. Returns nothing (with a reason in `error`
/// when given) for a header that is not a bitmap's or sizes that exceed the bytes.
VESK_EXPORT std::optional<Bitmap> decodeBitmap(const unsigned char* data, size_t size, std::string* error);

}  // namespace vesk::res
