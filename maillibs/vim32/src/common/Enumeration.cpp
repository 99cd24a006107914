#include "common/Enumeration.h"

#include <algorithm>

namespace vesk::vim32 {

std::uint32_t positionCheck(std::uint32_t kind, std::uint32_t serial, std::uint32_t extra) {
    // A 32-bit mix (the finaliser of MurmurHash3) so that neighbouring serials and kinds give
    // unrelated checks; a caller's made-up position matches only by chance.
    std::uint32_t h = kind * 0x9E3779B1u ^ serial * 0x85EBCA77u ^ extra * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h == 0 ? 1u : h;
}

bool isStart(const vimEnumRef* pos) { return pos != nullptr && pos->Ref[0] == 0 && pos->Ref[1] == 0; }

vimStatus planBatch(const vimEnumRef* pos, vimInt skipCount, const vimWord* pCount, const vimBool* pMore,
                    std::size_t total, std::uint32_t check, Batch& batch) {
    if (pos == nullptr || pCount == nullptr || pMore == nullptr) return VIMSTS_ALL_PARAMS_REQUIRED;
    if (skipCount < 1 || *pCount == 0) return VIMSTS_BAD_PARAM;
    std::size_t passed = 0;
    if (!isStart(pos)) {
        if (pos->Ref[1] != check || pos->Ref[0] > total) return VIMSTS_BAD_PARAM;
        passed = pos->Ref[0];
    }
    batch.first = std::min(total, passed + static_cast<std::size_t>(skipCount) - 1);
    batch.count = std::min<std::size_t>(*pCount, total - batch.first);
    batch.more = batch.first + batch.count < total;
    return VIMSTS_SUCCESS;
}

void finishBatch(vimEnumRef* pos, vimWord* pCount, vimBool* pMore, const Batch& batch, std::uint32_t check) {
    pos->Ref[0] = static_cast<vimDWord>(batch.first + batch.count);
    pos->Ref[1] = check;
    *pCount = static_cast<vimWord>(batch.count);
    *pMore = batch.more ? VIM_TRUE : VIM_FALSE;
}

void failBatch(vimWord* pCount, vimBool* pMore) {
    if (pCount != nullptr) *pCount = 0;
    if (pMore != nullptr) *pMore = VIM_FALSE;
}

}  // namespace vesk::vim32
