// Turning a local calendar time into seconds since 1970, as mktime does with tm_isdst = -1,
// without mktime's cost: without TZ set, the C library reads the zone file's status again on
// every mktime call, which made it a stat of /etc/localtime per message in a sync. Here the
// zone is the one the C library has loaded (once per process, or again after tzset()), and
// only a time near a change of offset, where a local time may be missing or there twice, is
// left to mktime, so every answer is the one mktime gives.
#pragma once

#include <ctime>

#include "win32/Export.h"

namespace vesk::calendar {

/// The time of the local calendar fields of `fields` (year, month, day, hour, minute,
/// second; out-of-range values carry over as in mktime; tm_isdst is ignored and the local
/// rules for the date decide). (time_t)-1 where mktime fails.
VESK_EXPORT std::time_t fromLocalFields(const std::tm& fields);

}  // namespace vesk::calendar
