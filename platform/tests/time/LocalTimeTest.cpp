// The local-time conversion against mktime itself, in zones with and without summer time,
// half-hour offsets and changes at odd hours: every answer must be mktime's, including the
// local times a change of offset skips or repeats, and fields out of range.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <random>
#include <string>

#include "platform/LocalTime.h"

namespace vesk::calendar {
namespace {

struct Zone {
    const char* name;
    const char* rule;  // POSIX TZ: no zone files needed
};

void PrintTo(const Zone& zone, std::ostream* os) { *os << zone.name; }

const Zone kZones[] = {
    {"utc", "UTC0"},
    {"central_europe", "CET-1CEST,M3.5.0,M10.5.0/3"},
    {"us_eastern", "EST5EDT,M3.2.0,M11.1.0"},
    {"half_hour_summer_time", "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0"},
    {"changes_before_midnight", "<-03>3<-02>,M3.5.0/-2,M10.5.0/-1"},
    {"quarter_hour_offset", "<+0545>-5:45"},
};

class LocalTimeTest : public ::testing::TestWithParam<Zone> {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) m_saved = tz;
        ::setenv("TZ", GetParam().rule, 1);
        ::tzset();
    }
    void TearDown() override {
        if (m_saved) ::setenv("TZ", m_saved->c_str(), 1);
        else ::unsetenv("TZ");
        ::tzset();
    }

    static std::tm fields(int year, int month, int day, int hour, int minute, int second) {
        std::tm tm{};
        tm.tm_year = year - 1900;
        tm.tm_mon = month - 1;
        tm.tm_mday = day;
        tm.tm_hour = hour;
        tm.tm_min = minute;
        tm.tm_sec = second;
        tm.tm_isdst = -1;
        return tm;
    }

    static void expectAsMktime(const std::tm& tm) {
        std::tm copy = tm;
        const std::time_t expected = std::mktime(&copy);
        EXPECT_EQ(fromLocalFields(tm), expected)
            << tm.tm_year + 1900 << "-" << tm.tm_mon + 1 << "-" << tm.tm_mday << " " << tm.tm_hour << ":" << tm.tm_min
            << ":" << tm.tm_sec;
    }

private:
    std::optional<std::string> m_saved;
};

TEST_P(LocalTimeTest, EveryTenMinutesAroundTheChangesOfOffsetIsAsMktime) {
    // Both changes of 2024 in every zone above fall in these weeks (the southern one's in
    // April and October, the others' in March, October and November).
    for (int month : {3, 4, 10, 11}) {
        for (int day = 1; day <= 30; ++day) {
            for (int minutes = 0; minutes < 24 * 60; minutes += 10) {
                expectAsMktime(fields(2024, month, day, minutes / 60, minutes % 60, 7));
                if (HasFailure()) return;
            }
        }
    }
}

TEST_P(LocalTimeTest, TimesAcrossTheRangeTheHandheldHoldsAreAsMktime) {
    std::mt19937 random(20261209);
    for (int i = 0; i < 5000 && !HasFailure(); ++i) {
        expectAsMktime(fields(1970 + static_cast<int>(random() % 68), 1 + static_cast<int>(random() % 12),
                              1 + static_cast<int>(random() % 28), static_cast<int>(random() % 24),
                              static_cast<int>(random() % 60), static_cast<int>(random() % 60)));
    }
}

TEST_P(LocalTimeTest, FieldsOutOfRangeCarryOverAsInMktime) {
    struct Case {
        int year, month, day, hour, minute, second;
    } cases[] = {
        {2023, 2, 31, 12, 0, 0},    // the 31st of February is in March
        {2024, 2, 30, 23, 59, 60},  // a leap year, and a 60th second
        {2024, 12, 31, 24, 0, 0},   // hour 24 is the next year
        {2024, 3, 31, 2, 90, 0},    // minutes past the hour, on a day of change
        {2024, 10, 0, 0, 0, 0},     // day 0 is the last of the month before
        {2024, 11, 3, 1, 30, 0},    // the hour that comes twice in the US zone
        {1970, 1, 1, 0, 0, 0},      // before 0 east of Greenwich
        {2038, 1, 19, 3, 14, 7},    // the last second 32 bits hold
    };
    for (const Case& c : cases) expectAsMktime(fields(c.year, c.month, c.day, c.hour, c.minute, c.second));
}

TEST_P(LocalTimeTest, TheSummerTimeFlagGivenIsIgnored) {
    for (int isdst : {0, 1, -1}) {
        std::tm tm = fields(2024, 7, 15, 12, 0, 0);
        tm.tm_isdst = isdst;
        EXPECT_EQ(fromLocalFields(tm), fromLocalFields(fields(2024, 7, 15, 12, 0, 0))) << "tm_isdst " << isdst;
    }
}

INSTANTIATE_TEST_SUITE_P(Zones, LocalTimeTest, ::testing::ValuesIn(kZones),
                         [](const ::testing::TestParamInfo<Zone>& zone) { return std::string(zone.param.name); });

}  // namespace
}  // namespace vesk::calendar
