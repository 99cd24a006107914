// The container format of a 32-bit .res file (what windres and rc write): a sequence of
// entries, each a header followed by the resource's bytes and padded to a multiple of 4.
//
//   DataSize, HeaderSize            32 bits each
//   TYPE, NAME                      each 0xFFFF + 16-bit number, or a NUL-terminated UTF-16 text
//   (padding to a multiple of 4)
//   DataVersion 32, MemoryFlags 16, LanguageId 16, Version 32, Characteristics 32
//   data                            DataSize bytes, starting HeaderSize bytes after the entry
//
// The file starts with an empty entry (DataSize 0, type and name 0) that marks the 32-bit
// format; a 16-bit resource file or any other file lacks it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "resources/ResourceName.h"
#include "win32/Export.h"

namespace vesk::res {

/// Resource type numbers read by the platform.
enum ResourceType : unsigned {
    kRtBitmap = 2,
    kRtIcon = 3,
    kRtDialog = 5,
    kRtString = 6,
    kRtGroupIcon = 14,
};

/// One entry of a .res file. `data` points into the bytes that were split.
struct RawResource {
    NameOrOrdinal type;
    NameOrOrdinal name;
    uint16_t language = 0;
    uint16_t memoryFlags = 0;
    const unsigned char* data = nullptr;
    size_t size = 0;
};

/// Splits the bytes of a .res file into its entries (the leading empty entry left out).
/// Returns nothing (with a reason in `error` when given) when the bytes do not start with
/// the 32-bit marker or an entry's header or data pass the end; never reads outside
/// [data, data + size).
VESK_EXPORT std::optional<std::vector<RawResource>> splitResFile(const unsigned char* data, size_t size,
                                                                  std::string* error);

}  // namespace vesk::res
