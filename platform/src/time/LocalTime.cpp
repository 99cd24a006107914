#include "platform/LocalTime.h"

namespace vesk::calendar {
namespace {

// No zone changes its offset twice within a day, so a time whose offset is the same a day
// before and a day after has no change of offset near it.
constexpr std::time_t kDay = 24 * 60 * 60;

bool offsetAt(std::time_t t, long& offset, std::tm* local = nullptr) {
    std::tm tm{};
    if (::localtime_r(&t, &tm) == nullptr) return false;
    offset = tm.tm_gmtoff;
    if (local != nullptr) *local = tm;
    return true;
}

bool sameFields(const std::tm& a, const std::tm& b) {
    return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday && a.tm_hour == b.tm_hour &&
           a.tm_min == b.tm_min && a.tm_sec == b.tm_sec;
}

std::time_t byMktime(const std::tm& fields) {
    std::tm copy = fields;
    copy.tm_isdst = -1;
    return std::mktime(&copy);
}

}  // namespace

std::time_t fromLocalFields(const std::tm& fields) {
    // The fields read as UTC, carried over into range the way mktime carries them.
    std::tm wanted = fields;
    wanted.tm_isdst = 0;
    const std::time_t asUtc = ::timegm(&wanted);
    long used = 0, offset = 0, before = 0, after = 0;
    if (asUtc == static_cast<std::time_t>(-1) || !offsetAt(asUtc, used)) return byMktime(fields);
    const std::time_t when = asUtc - used;
    // The answer stands when it reads back as the fields asked for and no change of offset
    // lies within a day of it; a change nearer than the offset itself fails one of the two.
    std::tm local{};
    if (!offsetAt(when, offset, &local) || !sameFields(local, wanted) || !offsetAt(when - kDay, before) ||
        !offsetAt(when + kDay, after) || before != offset || after != offset) {
        return byMktime(fields);
    }
    return when;
}

}  // namespace vesk::calendar
