// Calendar arithmetic for the date-time scale.
#include "base/date_time.h"

#include "base/exception.h"

#include <cmath>
#include <string>

namespace vl {

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date (Hinnant's days_from_civil).
constexpr int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

DateParts CivilFromDays(int64_t z)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2);
    return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

// Day 0 of the scale, 1899-12-30, counted from 1970-01-01.
constexpr int64_t DayZero = DaysFromCivil(1899, 12, 30);
static_assert(DayZero == -25569);

} // namespace

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    static constexpr int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : Days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, double& days)
{
    if (year < MinYear || year > MaxYear || day < 1 || day > DaysInMonth(year, month)) return false;
    days = static_cast<double>(DaysFromCivil(year, month, day) - DayZero);
    return true;
}

double EncodeDate(int year, int month, int day)
{
    double days = 0;
    if (!TryEncodeDate(year, month, day, days))
        throw EConvertError("There is no date with year " + std::to_string(year) + ", month " +
                            std::to_string(month) + " and day " + std::to_string(day));
    return days;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, double& dayFraction)
{
    if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 ||
        millisecond < 0 || millisecond >= 1000)
        return false;
    const int64_t ms = ((hour * 60 + minute) * 60 + second) * int64_t(1000) + millisecond;
    dayFraction = static_cast<double>(ms) / MillisecondsPerDay;
    return true;
}

double EncodeTime(int hour, int minute, int second, int millisecond)
{
    double fraction = 0;
    if (!TryEncodeTime(hour, minute, second, millisecond, fraction))
        throw EConvertError("There is no time of day with hour " + std::to_string(hour) +
                            ", minute " + std::to_string(minute) + " and second " +
                            std::to_string(second));
    return fraction;
}

double CombineDateTime(double dateDays, double dayFraction)
{
    return dateDays < 0 ? dateDays - dayFraction : dateDays + dayFraction;
}

DateParts DecodeDate(double days)
{
    const double whole = std::trunc(days);
    if (!(whole >= -693593 && whole <= 2958465)) // 0001-01-01 .. 9999-12-31; NaN fails too
        return {};
    return CivilFromDays(static_cast<int64_t>(whole) + DayZero);
}

TimeParts DecodeTime(double days)
{
    if (!std::isfinite(days)) return {};
    int64_t ms = std::llround(std::fabs(days - std::trunc(days)) * MillisecondsPerDay);
    if (ms >= MillisecondsPerDay) ms = MillisecondsPerDay - 1;
    TimeParts t;
    t.Millisecond = static_cast<int>(ms % 1000);
    ms /= 1000;
    t.Second = static_cast<int>(ms % 60);
    ms /= 60;
    t.Minute = static_cast<int>(ms % 60);
    t.Hour = static_cast<int>(ms / 60);
    return t;
}

} // namespace vl
