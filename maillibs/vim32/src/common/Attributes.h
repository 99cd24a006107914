// Writing attribute values into the callers' descriptors, element by element (see vim.h:
// texts cut and NUL-terminated, numbers in 2 or 4 bytes, structures whole), and the records
// the library hands out: dates and recipients.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string_view>

#include "vim32/vim.h"

namespace vesk::vim32 {

/// How an attribute's value is written.
enum class AttrType { Text, Number, Bytes };

/// Checks one descriptor before anything is written: ALL_PARAMS_REQUIRED for a null buffer,
/// BAD_PARAM for a number whose size is not 2 or 4, BUF_TOO_SMALL for a text of size 0 or
/// a structure of `structSize` bytes that does not fit.
vimStatus checkDescriptor(const vimAttrDesc& desc, AttrType type, std::size_t structSize = 0);

/// The element `index` of the descriptor's buffer.
unsigned char* elementOf(const vimAttrDesc& desc, std::size_t index);
void putText(const vimAttrDesc& desc, std::size_t index, std::string_view text);
void putNumber(const vimAttrDesc& desc, std::size_t index, std::uint32_t value);
void putBytes(const vimAttrDesc& desc, std::size_t index, const void* bytes, std::size_t size);

/// Reads a 16- or 32-bit number given by a caller; false for another size or no data.
bool readNumber(const void* data, std::size_t size, std::uint32_t& value);

/// A time as a local vimDate (VIM_UNKNOWN_DATE for 0).
vimDate toVimDate(std::time_t when);

/// A recipient record with the display name and the address, both cut to fit.
vimRecipient makeRecipient(vimSelector type, std::string_view displayName, std::string_view address);

/// Copies `text` into `buffer` of `size` bytes, cut and NUL-terminated (nothing when size 0).
void copyText(char* buffer, std::size_t size, std::string_view text);

}  // namespace vesk::vim32
