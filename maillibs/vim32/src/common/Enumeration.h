// The position, count and more-flag rules every enumeration call shares (see vim.h):
// a position is (entries passed, check), the check tying it to one object and one kind of
// enumeration, so a position from elsewhere is refused instead of indexing something else.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vim32/vim.h"

namespace vesk::vim32 {

/// What one call of an enumeration delivers: `count` entries from index `first`.
struct Batch {
    std::size_t first = 0;
    std::size_t count = 0;
    bool more = false;
};

/// The check word of the positions of enumeration `kind` (a small number per call) over the
/// object with `serial`, narrowed by `extra` (a recipient class, a snapshot); never 0.
std::uint32_t positionCheck(std::uint32_t kind, std::uint32_t serial, std::uint32_t extra = 0);

/// True for the all-zero position of a first call.
bool isStart(const vimEnumRef* pos);

/// Checks the arguments and works out the batch over `total` entries: ALL_PARAMS_REQUIRED
/// for a null pointer, BAD_PARAM for a skip below 1, a count of 0 or a foreign position.
vimStatus planBatch(const vimEnumRef* pos, vimInt skipCount, const vimWord* pCount, const vimBool* pMore,
                    std::size_t total, std::uint32_t check, Batch& batch);

/// Hands the batch back: the position after it, the count delivered, the more flag.
void finishBatch(vimEnumRef* pos, vimWord* pCount, vimBool* pMore, const Batch& batch, std::uint32_t check);

/// What every failed enumeration call leaves: nothing delivered, nothing more.
void failBatch(vimWord* pCount, vimBool* pMore);

}  // namespace vesk::vim32
