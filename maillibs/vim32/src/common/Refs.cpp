#include "common/Refs.h"

namespace vesk::vim32 {

vimRef refOfKey(std::uint64_t key) {
    return vimRef{{static_cast<vimDWord>(key & 0xFFFFFFFFu), static_cast<vimDWord>(key >> 32)}};
}

std::uint64_t keyOfRef(vimRef ref) { return (std::uint64_t(ref.Ref[1]) << 32) | ref.Ref[0]; }

vimRef indexRef(std::size_t index, std::uint32_t check) {
    return vimRef{{static_cast<vimDWord>(index + 1), check}};
}

bool indexOfRef(vimRef ref, std::uint32_t check, std::size_t total, std::size_t& index) {
    if (ref.Ref[1] != check || ref.Ref[0] == 0 || ref.Ref[0] > total) return false;
    index = ref.Ref[0] - 1;
    return true;
}

}  // namespace vesk::vim32
