#include "resources/ResourceTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include <unistd.h>

#include "resources/ResBuilder.h"
#include "resources/ResFile.h"

namespace vesk::res {
namespace {

using test::Bytes;
using test::ResBuilder;
using test::stringBlock;

std::shared_ptr<const ResourceTable> parse(const std::vector<unsigned char>& bytes, std::string* error = nullptr) {
    return parseResources(bytes.data(), bytes.size(), error);
}

std::vector<unsigned char> tinyDialog(const std::u16string& caption) {
    Bytes b;
    b.u16(1).u16(0xFFFF).u32(0).u32(0).u32(0).u16(0).i16(0).i16(0).i16(10).i16(10).u16(0).u16(0).sz(caption);
    return b.vec();
}

std::vector<unsigned char> tinyBitmap() {
    Bytes b;
    b.u32(40).u32(1).u32(1).u16(1).u16(24).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
    b.u8(1).u8(2).u8(3).u8(0);
    return b.vec();
}

std::vector<unsigned char> iconDirectory(std::initializer_list<std::pair<uint8_t, uint16_t>> images) {
    Bytes b;
    b.u16(0).u16(1).u16(static_cast<uint16_t>(images.size()));
    for (const auto& [size, id] : images) b.u8(size).u8(size).u8(16).u8(0).u16(1).u16(4).u32(744).u16(id);
    return b.vec();
}

TEST(ResourceTableTest, NumbersStringsByBlockAndIndex) {
    ResBuilder res;
    // Block 1 holds strings 0-15, block 269 holds 4288-4303.
    res.add(kRtString, 1, stringBlock({u"zero", u"", u"two"}));
    std::vector<std::u16string> block269(16);
    block269[12] = u"Not Configured";
    block269[15] = u"Tab\there \u201Cquoted\u201D";
    res.add(kRtString, 269, stringBlock(block269));
    const auto table = parse(res.bytes());
    ASSERT_TRUE(table);

    ASSERT_TRUE(table->string(0));
    EXPECT_EQ(*table->string(0), "zero");
    EXPECT_EQ(table->string(1), nullptr) << "an empty slot is no string";
    EXPECT_EQ(*table->string(2), "two");
    EXPECT_EQ(*table->string(4300), "Not Configured");
    EXPECT_EQ(*table->string(4303), "Tab\there \x93quoted\x94");
    EXPECT_EQ(table->string(4301), nullptr);
    EXPECT_EQ(table->stringIds(), (std::vector<unsigned>{0, 2, 4300, 4303}));
}

TEST(ResourceTableTest, KeepsDialogsBitmapsAndIconsByNumber) {
    ResBuilder res;
    res.add(kRtDialog, 203, tinyDialog(u"Mail Setup"));
    res.add(kRtBitmap, 6000, tinyBitmap());
    res.add(kRtIcon, 1, {0xA1}).add(kRtIcon, 2, {0xB1, 0xB2});
    // The directory may come after its images or before them.
    res.add(kRtGroupIcon, 205, iconDirectory({{32, 2}, {0, 1}}));
    const auto table = parse(res.bytes());
    ASSERT_TRUE(table);

    ASSERT_TRUE(table->dialog(203));
    EXPECT_EQ(table->dialog(203)->caption, "Mail Setup");
    EXPECT_EQ(table->dialog(204), nullptr);
    ASSERT_TRUE(table->bitmap(6000));
    EXPECT_EQ(table->bitmap(6000)->rgbAt(0, 0), 0x030201u);

    ASSERT_TRUE(table->hasIcon(205));
    EXPECT_FALSE(table->hasIcon(1)) << "image entries are not icons of their own";
    const IconGroup* icon = table->icon(205);
    ASSERT_EQ(icon->images.size(), 2u);
    EXPECT_EQ(icon->images[0].width, 32);
    EXPECT_EQ(icon->images[0].imageId, 2u);
    EXPECT_EQ(icon->images[0].data, (std::vector<unsigned char>{0xB1, 0xB2}));
    EXPECT_EQ(icon->images[1].width, 256) << "a 0 in the directory means 256";
    EXPECT_EQ(table->dialogIds(), std::vector<unsigned>{203});
    EXPECT_EQ(table->bitmapIds(), std::vector<unsigned>{6000});
    EXPECT_EQ(table->iconIds(), std::vector<unsigned>{205});
}

TEST(ResourceTableTest, FirstLanguageWinsAndUnusedEntriesAreSkipped) {
    ResBuilder res;
    res.add(kRtDialog, 203, tinyDialog(u"English"), 0x409);
    res.add(kRtDialog, 203, tinyDialog(u"Deutsch"), 0x407);
    res.add(kRtString, 1, stringBlock({u"first"}), 0x409);
    res.add(kRtString, 1, stringBlock({u"erste"}), 0x407);
    res.add(4, 100, {1, 2, 3});   // a menu: not used by the platform
    res.add(16, 1, {0, 0, 0});    // a version block
    res.addEntry(Bytes().ord(kRtDialog), Bytes().sz(u"NAMED"), tinyDialog(u"named"), 0x409);
    res.addEntry(Bytes().sz(u"CUSTOM"), Bytes().ord(1), {1}, 0x409);
    const auto table = parse(res.bytes());
    ASSERT_TRUE(table);
    EXPECT_EQ(table->dialog(203)->caption, "English");
    EXPECT_EQ(*table->string(0), "first");
    EXPECT_EQ(table->dialogIds(), std::vector<unsigned>{203});
}

TEST(ResourceTableTest, AMalformedResourceFailsTheWholeFileWithItsName) {
    struct Case {
        const char* name;
        uint16_t type;
        uint16_t id;
        std::vector<unsigned char> data;
        const char* reasonPart;
    };
    const Case cases[] = {
        {"string block cut short", kRtString, 3, std::vector<unsigned char>(20, 0), "type 6 id 3"},
        {"string block number 0", kRtString, 0, stringBlock({}), "out of range"},
        {"string block beyond 4096", kRtString, 4097, stringBlock({}), "out of range"},
        {"string claiming more than its block", kRtString, 1, Bytes().u16(500).u16('x').vec(), "runs past the end"},
        {"dialog cut short", kRtDialog, 2000, {1, 0, 0xFF, 0xFF, 0}, "type 5 id 2000"},
        {"bitmap with a bad header", kRtBitmap, 6001, {1, 2, 3}, "type 2 id 6001"},
        {"icon without its image", kRtGroupIcon, 1, iconDirectory({{32, 9}}), "icon image 9 is missing"},
        {"icon directory of the wrong type", kRtGroupIcon, 1, Bytes().u16(0).u16(2).u16(0).vec(), "not an icon"},
        {"icon directory cut short", kRtGroupIcon, 1, Bytes().u16(0).u16(1).u16(3).u8(32).vec(), "runs past"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResBuilder res;
        res.add(kRtString, 300, stringBlock({u"fine"}));
        res.add(c.type, c.id, c.data);
        std::string error;
        EXPECT_FALSE(parse(res.bytes(), &error));
        EXPECT_NE(error.find(c.reasonPart), std::string::npos) << error;
    }
}

TEST(ResourceTableTest, TablesCanBePutTogetherByHand) {
    ResourceTable table;
    table.setString(7, "seven");
    DialogTemplate dialog;
    dialog.caption = "Hand made";
    table.setDialog(3000, dialog);
    EXPECT_EQ(*table.string(7), "seven");
    EXPECT_EQ(table.dialog(3000)->caption, "Hand made");
    table.setString(7, "");
    EXPECT_EQ(table.string(7), nullptr) << "an empty text removes the string";
}

class ResourceFileTest : public testing::Test {
protected:
    void TearDown() override { std::remove(path_.c_str()); }
    // One file per test and process: ctest runs tests side by side.
    std::string path_ = testing::TempDir() + "resource_table_test_" +
                        testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                        std::to_string(getpid()) + ".res";
};

TEST_F(ResourceFileTest, LoadsAFileFromDisk) {
    ResBuilder res;
    res.add(kRtString, 1, stringBlock({u"from disk"}));
    {
        std::ofstream out(path_, std::ios::binary);
        out.write(reinterpret_cast<const char*>(res.bytes().data()), static_cast<std::streamsize>(res.bytes().size()));
    }
    std::string error;
    const auto table = loadResourceFile(path_, &error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(*table->string(0), "from disk");
}

TEST_F(ResourceFileTest, NamesTheFileWhenItCannotBeLoaded) {
    std::string error;
    EXPECT_FALSE(loadResourceFile(path_ + ".missing", &error));
    EXPECT_NE(error.find(path_ + ".missing"), std::string::npos) << error;

    {
        std::ofstream out(path_, std::ios::binary);
        out << "not a resource file";
    }
    EXPECT_FALSE(loadResourceFile(path_, &error));
    EXPECT_NE(error.find(path_ + ": "), std::string::npos) << error;

    EXPECT_FALSE(loadResourceFile(testing::TempDir(), &error)) << "a folder is no resource file";
}

}  // namespace
}  // namespace vesk::res
