// Conversions between the VIM library's records and the message fields: display texts of
// originators and recipients, priorities, dates, item names, and the recipient records
// SendMsg and SetMsg write.
#pragma once

#include <cstdint>
#include <string>

#include "VimBinding.h"

/// An attribute descriptor: `attribute`, elements of `elementSize` bytes at `buffer`.
vimAttrDesc VimDescriptor(vimSelector attribute, size_t elementSize, void* buffer);
/// True when `a` and `b` are equal without regard to ASCII case.
bool VimSameIgnoringCase(const std::string& a, const std::string& b);
/// `text` with its ASCII letters in lower case.
std::string VimLowerCase(std::string text);

/// The library's status for a failed allocation.
constexpr vimWord kVimStatusNoMemory = VIMSTS_INSUFFICIENT_MEMORY;

/// "address (name)", or the address alone when the record has no display name. Texts are read
/// only within their fields.
std::string VimDisplayText(const vimRecipient& record);

/// The record's desktop priority bits (0 high, 1 normal, 2 low) for a VIM priority.
uint32_t VimPriorityToFlags(vimWord vimPriority);
/// The VIM priority for a handheld or desktop priority 0 high, 1 normal, 2 low (others normal).
vimWord VimPriorityFromHandheld(int priority);

/// Seconds since 1970 UTC of a date record read as local time. 0 for an unknown date; year,
/// month and day are clamped to 1970..2038, 1..12 and 1..31, and a result the 32-bit time
/// cannot hold becomes its nearest bound (0 or 2^31-1).
int32_t VimDateToTime(const vimDate& date);

/// An item's name, read only within its field.
std::string VimItemName(const vimItemDesc& item);

/// A recipient found in an address book: addressed by `address` alone.
vimRecipient VimFoundRecipient(const std::string& address);
/// A recipient addressed as written: `name` (may be empty) and `address`.
vimRecipient VimWrittenRecipient(const std::string& name, const std::string& address);
