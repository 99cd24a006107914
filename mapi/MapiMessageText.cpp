#include "MapiMessageText.h"

#include <strings.h>

namespace {

// Seconds between 1601-01-01 (file times) and 1970-01-01 (the record's times).
constexpr int64_t kEpochDifference = 11644473600LL;
constexpr int64_t kTicksPerSecond = 10000000LL;

}  // namespace

std::string MapiAddressText(const std::string& type, const std::string& address, const std::string& name,
                            const std::string& smtpType, bool typeRequired) {
    std::string shown = address;
    const bool typed = typeRequired || (!type.empty() && !address.empty());
    if (typed && ::strcasecmp(type.c_str(), smtpType.c_str()) != 0) shown = type + ":" + address;
    if (!shown.empty() && !name.empty() && shown != name) return shown + " (" + name + ")";
    return !name.empty() ? name : shown;
}

bool MapiTimeFromFileTime(const FILETIME& time, int32_t* seconds) {
    const uint64_t ticks = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    const int64_t unixSeconds = static_cast<int64_t>(ticks / kTicksPerSecond) - kEpochDifference;
    if (unixSeconds < 0 || unixSeconds > INT32_MAX) return false;
    *seconds = static_cast<int32_t>(unixSeconds);
    return true;
}

uint32_t MapiPriorityOfImportance(LONG importance) {
    if (importance == IMPORTANCE_HIGH) return 0;
    if (importance == IMPORTANCE_LOW) return 2;
    return 1;
}

LONG MapiImportanceOfPriority(uint32_t priority) {
    if (priority == 0) return IMPORTANCE_HIGH;
    if (priority == 2) return IMPORTANCE_LOW;
    return IMPORTANCE_NORMAL;
}

std::string MapiText(const SPropValue& value, ULONG tag) {
    if (value.ulPropTag != tag || value.Value.lpszA == nullptr) return std::string();
    return value.Value.lpszA;
}
