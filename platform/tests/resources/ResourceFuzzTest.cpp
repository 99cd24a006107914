// Robustness of the resource reader against damaged files: truncated, bit-flipped, with lying
// sizes, or random. Each input lies in a heap block of exactly its size, so under the
// sanitizer build any read past the end is reported. The inputs are generated from a fixed
// seed, so a failure repeats.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <random>

#include "resources/ResBuilder.h"
#include "resources/ResFile.h"
#include "resources/ResourceTable.h"

namespace vesk::res {
namespace {

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Touches everything a parsed table offers, as the window system would.
void exercise(const ResourceTable& table) {
    for (const unsigned id : table.stringIds()) EXPECT_FALSE(table.string(id)->empty());
    for (const unsigned id : table.dialogIds()) {
        const DialogTemplate* dialog = table.dialog(id);
        for (const DialogControl& c : dialog->controls) (void)dialog->control(c.id);
    }
    for (const unsigned id : table.bitmapIds()) {
        const Bitmap* bitmap = table.bitmap(id);
        for (int y = 0; y < bitmap->height && y < 64; y += 7) {
            for (int x = 0; x < bitmap->width && x < 64; x += 5) (void)bitmap->rgbAt(x, y);
        }
        (void)bitmap->rgbAt(bitmap->width - 1, bitmap->height - 1);
    }
    for (const unsigned id : table.iconIds()) EXPECT_FALSE(table.icon(id)->images.empty());
}

// Parses `bytes` from an exactly sized copy; a result must be usable, a failure must say why.
void parseExactly(const std::vector<unsigned char>& bytes) {
    std::unique_ptr<unsigned char[]> copy(new unsigned char[bytes.size() + (bytes.empty() ? 1 : 0)]);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    std::string error;
    const auto table = parseResources(copy.get(), bytes.size(), &error);
    if (table) {
        exercise(*table);
    } else {
        EXPECT_FALSE(error.empty());
    }
}

class ResourceFuzzTest : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        original_ = readFile(std::string(VESK_TEST_MODULE_DIR) + "/" + GetParam() + ".res");
        ASSERT_GT(original_.size(), 1000u);
        ASSERT_TRUE(parseResources(original_.data(), original_.size(), nullptr));
    }
    std::vector<unsigned char> original_;
};

TEST_P(ResourceFuzzTest, TruncatedFilesFailCleanly) {
    // Every length through the first entries, then a spread over the rest.
    for (size_t length = 0; length < original_.size(); length += (length < 600 ? 1 : 37)) {
        SCOPED_TRACE(length);
        parseExactly(std::vector<unsigned char>(original_.begin(), original_.begin() + length));
    }
}

TEST_P(ResourceFuzzTest, DamagedBytesNeverLeadOutOfBounds) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<size_t> position(0, original_.size() - 1);
    // Sizes and counts that lie: small, near a boundary, or huge.
    const uint32_t lies[] = {0, 1, 3, 0x7F, 0xFF, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFF0, 0xFFFFFFFF};
    for (int round = 0; round < 1500; ++round) {
        SCOPED_TRACE(round);
        std::vector<unsigned char> damaged = original_;
        const int changes = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < changes; ++i) {
            const size_t at = position(random);
            if (random() % 2 == 0) {
                damaged[at] ^= static_cast<unsigned char>(1u << (random() % 8));
            } else {
                const uint32_t lie = lies[random() % std::size(lies)];
                for (size_t k = 0; k < 4 && at + k < damaged.size(); ++k) {
                    damaged[at + k] = static_cast<unsigned char>(lie >> (8 * k));
                }
            }
        }
        parseExactly(damaged);
    }
}

INSTANTIATE_TEST_SUITE_P(LanguageLibraries, ResourceFuzzTest, testing::Values("kestrav", "morleaf", "savidne"));

TEST(ResourceFuzzRandomTest, RandomBytesAreRejectedOrParsed) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        SCOPED_TRACE(round);
        std::vector<unsigned char> bytes(random() % 512);
        for (auto& b : bytes) b = static_cast<unsigned char>(random());
        // Half the inputs get a valid leading entry, so the reader goes on into the rest.
        if (round % 2 == 0) {
            const auto marker = test::ResBuilder().bytes();
            bytes.insert(bytes.begin(), marker.begin(), marker.end());
        }
        parseExactly(bytes);
    }
}

}  // namespace
}  // namespace vesk::res
