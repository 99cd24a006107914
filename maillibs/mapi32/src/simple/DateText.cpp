#include "simple/DateText.h"

#include <cstdio>
#include <cstring>

#include "platform/LocalTime.h"

namespace vesk::mapi32 {

std::string formatMapiDate(std::time_t when) {
    if (when == 0) return std::string();
    std::tm local{};
    if (::localtime_r(&when, &local) == nullptr) return std::string();
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min);
    return text;
}

std::string formatRfc5322Date(std::time_t when) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    if (::localtime_r(&when, &local) == nullptr) return std::string();
    long offset = local.tm_gmtoff / 60;
    char sign = offset < 0 ? '-' : '+';
    if (offset < 0) offset = -offset;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", kDays[local.tm_wday % 7],
                  local.tm_mday, kMonths[local.tm_mon % 12], local.tm_year + 1900, local.tm_hour, local.tm_min,
                  local.tm_sec, sign, offset / 60, offset % 60);
    return text;
}

std::time_t parseMapiDate(const char* text) {
    if (text == nullptr || ::strnlen(text, 32) >= 32) return 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, used = 0;
    if (std::sscanf(text, "%4d/%2d/%2d %2d:%2d%n", &year, &month, &day, &hour, &minute, &used) != 5 ||
        text[used] != '\0') {
        return 0;
    }
    if (year < 1970 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 ||
        hour < 0 || minute < 0) {
        return 0;
    }
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_isdst = -1;
    std::time_t when = vesk::calendar::fromLocalFields(local);
    return when == static_cast<std::time_t>(-1) ? 0 : when;
}

}  // namespace vesk::mapi32
