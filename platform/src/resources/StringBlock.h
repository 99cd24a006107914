// A string-table resource (RT_STRING): strings are stored sixteen to a block. Block n holds
// the strings numbered (n - 1) * 16 to (n - 1) * 16 + 15, each as a 16-bit length followed
// by that many UTF-16 code units; a length of 0 means the number has no string.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "win32/Export.h"

namespace vesk::res {

/// The number of strings in one block.
inline constexpr unsigned kStringsPerBlock = 16;

/// Decodes the bytes of string block `blockId` (1 to 4096) into (string id, Windows-1252
/// text) pairs, the empty slots left out. Returns nothing (with a reason in `error` when
/// given) for a block id out of range or sixteen entries that do not fit in the bytes.
VESK_EXPORT std::optional<std::vector<std::pair<unsigned, std::string>>> decodeStringBlock(
    unsigned blockId, const unsigned char* data, size_t size, std::string* error);

}  // namespace vesk::res
