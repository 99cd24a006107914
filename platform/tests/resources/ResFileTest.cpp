#include "resources/ResFile.h"

#include <gtest/gtest.h>

#include "resources/ResBuilder.h"

namespace vesk::res {
namespace {

using test::Bytes;
using test::ResBuilder;

std::optional<std::vector<RawResource>> split(const std::vector<unsigned char>& bytes, std::string* error = nullptr) {
    return splitResFile(bytes.data(), bytes.size(), error);
}

TEST(ResFileTest, SplitsEntriesAndLeavesTheMarkerOut) {
    ResBuilder res;
    res.add(kRtBitmap, 7, {1, 2, 3}).add(kRtDialog, 2000, {9, 8, 7, 6, 5}, 0x407);
    const auto entries = split(res.bytes());
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);

    EXPECT_TRUE((*entries)[0].type.is(kRtBitmap));
    EXPECT_TRUE((*entries)[0].name.is(7));
    EXPECT_EQ(std::vector<unsigned char>((*entries)[0].data, (*entries)[0].data + (*entries)[0].size),
              (std::vector<unsigned char>{1, 2, 3}));
    // The second entry starts after the first one's padding to 4.
    EXPECT_TRUE((*entries)[1].name.is(2000));
    EXPECT_EQ((*entries)[1].language, 0x407);
    EXPECT_EQ((*entries)[1].size, 5u);
    EXPECT_EQ((*entries)[1].data[0], 9);
}

TEST(ResFileTest, ReadsTypesAndNamesGivenAsText) {
    ResBuilder res;
    res.addEntry(Bytes().sz(u"PNG"), Bytes().sz(u"LOGO"), {0xAA}, 0x409);
    const auto entries = split(res.bytes());
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1u);
    EXPECT_FALSE((*entries)[0].type.isOrdinal);
    EXPECT_EQ((*entries)[0].type.name, "PNG");
    EXPECT_EQ((*entries)[0].name.name, "LOGO");
    EXPECT_EQ((*entries)[0].size, 1u);
}

TEST(ResFileTest, AcceptsMissingPaddingAfterTheLastEntry) {
    ResBuilder res;
    res.add(kRtString, 1, {1, 2, 3});
    std::vector<unsigned char> bytes = res.bytes();
    bytes.pop_back();  // the single padding byte
    const auto entries = split(bytes);
    ASSERT_TRUE(entries);
    EXPECT_EQ((*entries)[0].size, 3u);
}

TEST(ResFileTest, OnlyTheMarkerIsAnEmptyFile) {
    const auto entries = split(ResBuilder().bytes());
    ASSERT_TRUE(entries);
    EXPECT_TRUE(entries->empty());
}

struct BadFile {
    const char* name;
    std::vector<unsigned char> bytes;
    const char* reasonPart;
};

std::vector<unsigned char> withDataSize(std::vector<unsigned char> bytes, size_t entryOffset, uint32_t size) {
    for (int i = 0; i < 4; ++i) bytes[entryOffset + i] = static_cast<unsigned char>(size >> (8 * i));
    return bytes;
}

std::vector<unsigned char> withHeaderSize(std::vector<unsigned char> bytes, size_t entryOffset, uint32_t size) {
    return withDataSize(std::move(bytes), entryOffset + 4, size);
}

TEST(ResFileTest, RejectsFilesThatAreNotWellFormed) {
    ResBuilder one;
    one.add(kRtBitmap, 1, {1, 2, 3, 4});
    const std::vector<unsigned char> good = one.bytes();  // marker at 0, entry at 32

    ResBuilder named;
    named.addEntry(Bytes().sz(u"ABCDEFGH"), Bytes().ord(1), {}, 0);

    const BadFile cases[] = {
        {"empty file", {}, "empty"},
        {"a 16-bit resource file has no marker", std::vector<unsigned char>(good.begin() + 32, good.end()),
         "not a 32-bit"},
        {"text file", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}, "entry at offset 0"},
        {"data size passes the end", withDataSize(good, 32, 5), "the file ends first"},
        {"data size near 4 GiB", withDataSize(good, 32, 0xFFFFFFF0u), "the file ends first"},
        {"header size below the minimum", withHeaderSize(good, 32, 8), "does not fit"},
        {"header size passes the end", withHeaderSize(good, 32, 0x7FFFFFFFu), "does not fit"},
        {"text type runs past its declared header", withHeaderSize(named.bytes(), 32, 32), "overrun"},
        {"truncated inside the second header", std::vector<unsigned char>(good.begin(), good.begin() + 40),
         "does not fit"},
        {"four stray bytes after the last entry", [&] {
             auto b = good;
             b.insert(b.end(), {0, 0, 0, 0});
             return b;
         }(),
         "header runs past the end"},
    };
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(split(c.bytes, &error));
        EXPECT_NE(error.find(c.reasonPart), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace vesk::res
