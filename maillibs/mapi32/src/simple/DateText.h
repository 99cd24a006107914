// Dates as Simple MAPI writes them: "YYYY/MM/DD HH:MM", local time, 24-hour clock.
#pragma once

#include <ctime>
#include <string>

namespace vesk::mapi32 {

/// `when` as local "YYYY/MM/DD HH:MM"; empty for 0.
std::string formatMapiDate(std::time_t when);

/// `when` as an RFC 5322 date in local time ("Wed, 24 Nov 1999 17:41:00 +0100").
std::string formatRfc5322Date(std::time_t when);

/// The moment "YYYY/MM/DD HH:MM" names in local time (daylight saving as the platform says);
/// 0 for null, empty or malformed text and for fields out of range.
std::time_t parseMapiDate(const char* text);

}  // namespace vesk::mapi32
