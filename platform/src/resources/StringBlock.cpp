#include "resources/StringBlock.h"

#include "platform/Codepage.h"
#include "resources/ByteReader.h"

namespace vesk::res {
namespace {

// String ids are 16-bit, so there are 65536 / 16 blocks, numbered from 1.
constexpr unsigned kMaxBlockId = 4096;

}  // namespace

std::optional<std::vector<std::pair<unsigned, std::string>>> decodeStringBlock(unsigned blockId,
                                                                              const unsigned char* data,
                                                                              size_t size, std::string* error) {
    if (blockId == 0 || blockId > kMaxBlockId) {
        if (error) *error = "string block number " + std::to_string(blockId) + " is out of range";
        return std::nullopt;
    }
    ByteReader in(data, size);
    std::vector<std::pair<unsigned, std::string>> strings;
    const unsigned firstId = (blockId - 1) * kStringsPerBlock;
    for (unsigned index = 0; index < kStringsPerBlock; ++index) {
        const uint16_t length = in.u16();
        std::u16string text = in.utf16(length);
        if (!in.ok()) {
            if (error) *error = "string " + std::to_string(firstId + index) + " runs past the end of its block";
            return std::nullopt;
        }
        if (length != 0) strings.emplace_back(firstId + index, cp::utf16ToCp1252(text));
    }
    return strings;
}

}  // namespace vesk::res
