// References handed out by the library (vim.h): 8 opaque bytes. A message reference is the
// store's stable 64-bit key of the message, so it survives flag changes, moves and sessions;
// an item or entry reference is (index + 1, the check of the object it belongs to).
// Nothing of a reference ever becomes a path: it is only looked up.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vim32/vim.h"

namespace vesk::vim32 {

vimRef refOfKey(std::uint64_t key);
std::uint64_t keyOfRef(vimRef ref);

vimRef indexRef(std::size_t index, std::uint32_t check);
/// The index inside `ref` when it carries `check` and names one of `total` entries.
bool indexOfRef(vimRef ref, std::uint32_t check, std::size_t total, std::size_t& index);

}  // namespace vesk::vim32
