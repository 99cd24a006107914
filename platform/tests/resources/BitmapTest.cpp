#include "resources/Bitmap.h"

#include <gtest/gtest.h>

#include "resources/ResBuilder.h"

namespace vesk::res {
namespace {

using test::Bytes;

Bytes infoHeader(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0, uint32_t colorsUsed = 0,
                 uint16_t planes = 1) {
    Bytes b;
    b.u32(40).u32(static_cast<uint32_t>(width)).u32(static_cast<uint32_t>(height)).u16(planes).u16(bits);
    b.u32(compression).u32(0).u32(2835).u32(2835).u32(colorsUsed).u32(0);
    return b;
}

// 3 x 2 pixels, 4 bits each, stored bottom row first: top row = colours 1 2 3, bottom = 4 5 6.
std::vector<unsigned char> fourBitBottomUp() {
    Bytes b = infoHeader(3, 2, 4, 0, 7);
    for (uint32_t i = 0; i < 7; ++i) b.u8(static_cast<uint8_t>(i * 10)).u8(static_cast<uint8_t>(i * 20)).u8(static_cast<uint8_t>(i * 30)).u8(0);
    b.u8(0x45).u8(0x60).u8(0).u8(0);  // bottom row, padded to 4 bytes
    b.u8(0x12).u8(0x30).u8(0).u8(0);  // top row
    return b.vec();
}

std::optional<Bitmap> decode(const std::vector<unsigned char>& bytes, std::string* error = nullptr) {
    return decodeBitmap(bytes.data(), bytes.size(), error);
}

uint32_t paletteColour(uint32_t i) { return ((i * 30) << 16) | ((i * 20) << 8) | (i * 10); }

TEST(BitmapTest, ReadsAPalettedBottomUpBitmap) {
    const auto bitmap = decode(fourBitBottomUp());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width, 3);
    EXPECT_EQ(bitmap->height, 2);
    EXPECT_FALSE(bitmap->topDown);
    EXPECT_EQ(bitmap->bitCount, 4);
    EXPECT_EQ(bitmap->colorTableEntries, 7u);
    EXPECT_EQ(bitmap->bitsOffset, 40u + 7 * 4);
    EXPECT_EQ(bitmap->stride, 4u);
    EXPECT_EQ(bitmap->rgbAt(0, 0), paletteColour(1));
    EXPECT_EQ(bitmap->rgbAt(2, 0), paletteColour(3));
    EXPECT_EQ(bitmap->rgbAt(1, 1), paletteColour(5));
    EXPECT_EQ(bitmap->rgbAt(2, 1), paletteColour(6));
    EXPECT_FALSE(bitmap->rgbAt(3, 0));
    EXPECT_FALSE(bitmap->rgbAt(0, 2));
    EXPECT_FALSE(bitmap->rgbAt(-1, 0));
}

TEST(BitmapTest, ReadsATrueColourTopDownBitmap) {
    Bytes b = infoHeader(2, -2, 24);
    b.u8(0x01).u8(0x02).u8(0x03).u8(0x04).u8(0x05).u8(0x06).u8(0).u8(0);  // top row (B G R)
    b.u8(0x11).u8(0x12).u8(0x13).u8(0x14).u8(0x15).u8(0x16).u8(0).u8(0);
    const auto bitmap = decode(b.vec());
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(bitmap->topDown);
    EXPECT_EQ(bitmap->height, 2);
    EXPECT_EQ(bitmap->rgbAt(0, 0), 0x030201u);
    EXPECT_EQ(bitmap->rgbAt(1, 1), 0x161514u);
}

TEST(BitmapTest, ReadsTheOldCoreHeader) {
    Bytes b;
    b.u32(12).u16(9).u16(1).u16(1).u16(1);
    b.u8(0).u8(0).u8(0).u8(0xFF).u8(0xFF).u8(0xFF);  // black, white (3 bytes each)
    b.u8(0x80).u8(0x80).u8(0).u8(0);                  // pixels 0 and 8 are white
    const auto bitmap = decode(b.vec());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width, 9);
    EXPECT_EQ(bitmap->colorEntrySize, 3u);
    EXPECT_EQ(bitmap->rgbAt(0, 0), 0xFFFFFFu);
    EXPECT_EQ(bitmap->rgbAt(1, 0), 0u);
    EXPECT_EQ(bitmap->rgbAt(8, 0), 0xFFFFFFu);
}

TEST(BitmapTest, SixteenBitPixelsAreFiveFiveFive) {
    Bytes b = infoHeader(1, 1, 16);
    b.u16(0x7C00).u16(0);  // pure red
    const auto bitmap = decode(b.vec());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->rgbAt(0, 0), 0xFF0000u);
}

TEST(BitmapTest, RejectsHeadersThatLie) {
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        const char* reasonPart;
    };
    auto truncated = fourBitBottomUp();
    truncated.pop_back();
    const Case cases[] = {
        {"unknown header size", Bytes().u32(20).u32(1).u32(1).u32(0).u32(0).vec(), "header size"},
        {"header cut short", Bytes().u32(40).u32(1).vec(), "runs past the end"},
        {"no columns", infoHeader(0, 1, 8).vec(), "no pixels"},
        {"negative width", infoHeader(-4, 1, 8).vec(), "no pixels"},
        {"no rows", infoHeader(1, 0, 8).vec(), "no pixels"},
        {"height of INT32_MIN", infoHeader(1, INT32_MIN, 8).vec(), "no pixels"},
        {"two planes", infoHeader(1, 1, 8, 0, 0, 2).vec(), "pixel format"},
        {"three bits per pixel", infoHeader(1, 1, 3).vec(), "pixel format"},
        {"JPEG compression", infoHeader(1, 1, 24, 4).vec(), "compression"},
        {"colour table beyond the bytes", infoHeader(1, 1, 8, 0, 0x40000000).vec(), "colour table"},
        {"default 256-colour table missing", infoHeader(1, 1, 8).vec(), "colour table"},
        {"last pixel row cut short", truncated, "pixel rows"},
        {"huge picture claimed", infoHeader(0x7FFFFFFF, 0x7FFFFFFF, 32).vec(), "pixel rows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(decode(c.bytes, &error));
        EXPECT_NE(error.find(c.reasonPart), std::string::npos) << error;
    }
}

TEST(BitmapTest, RunLengthBitmapsAreKeptButHaveNoPixelAccess) {
    Bytes b = infoHeader(2, 2, 8, 1, 1);
    b.u32(0x00FF00);
    b.u8(2).u8(0).u8(0).u8(1);  // whatever the runs hold, the header is what is checked
    const auto bitmap = decode(b.vec());
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->compression, 1u);
    EXPECT_FALSE(bitmap->rgbAt(0, 0));
}

}  // namespace
}  // namespace vesk::res
