// How Extended MAPI property values become the texts and fields of a message record: address
// display texts, times, importance and the addressing bits. Pure functions, shared by
// retrieval and submission.
#pragma once

#include <cstdint>
#include <string>

#include "mapi32/mapix.h"

/// The display text of an address with its type: when `type` is not `smtpType` (any case) the
/// address becomes "type:address" (with `typeRequired` false an empty type leaves the address
/// as it is); then "address (name)" when both are non-empty and differ, else the name when
/// non-empty, else the address.
std::string MapiAddressText(const std::string& type, const std::string& address, const std::string& name,
                            const std::string& smtpType, bool typeRequired);

/// Seconds since 1970-01-01 UTC of the UTC file time `time`, converted directly (no local
/// offset plays a part); false for a time before 1970 or beyond the 32-bit range.
bool MapiTimeFromFileTime(const FILETIME& time, int32_t* seconds);

/// The record's priority (0 high, 1 normal, 2 low) of PR_IMPORTANCE `importance`.
uint32_t MapiPriorityOfImportance(LONG importance);
/// PR_IMPORTANCE of a record's priority field (0 high, 2 low, anything else normal).
LONG MapiImportanceOfPriority(uint32_t priority);

/// The text of a string property, or empty when `value` is not tagged `tag`.
std::string MapiText(const SPropValue& value, ULONG tag);
