// Date-time values as the whole system keeps them: days since 30 December 1899 (day 0) in a
// double, the fraction being the time of day. Tables, variants and the script's date functions
// share this scale; encoding refuses dates and times that do not exist.
#pragma once

#include <cstdint>

namespace vl {

inline constexpr int MinYear = 1;
inline constexpr int MaxYear = 9999;
inline constexpr int64_t MillisecondsPerDay = 86400000;

bool IsLeapYear(int year);
// 28 to 31; 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// The day number of a calendar date (proleptic Gregorian, years 1..9999); false when the date
// does not exist (month 13, 30 February, year 0).
bool TryEncodeDate(int year, int month, int day, double& days);
// The same; throws EConvertError naming the parts.
double EncodeDate(int year, int month, int day);

// A time of day as a fraction of a day; false unless hour < 24, minute < 60, second < 60 and
// millisecond < 1000 (all non-negative).
bool TryEncodeTime(int hour, int minute, int second, int millisecond, double& dayFraction);
double EncodeTime(int hour, int minute, int second, int millisecond);

// A date plus a time of day. Before day 0 the time is subtracted: -1.25 is 29 December 1899 at
// 06:00, so the whole part always names the day and the fraction's size the time.
double CombineDateTime(double dateDays, double dayFraction);

struct DateParts
{
    int Year = 0;
    int Month = 0;
    int Day = 0;
};

struct TimeParts
{
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
};

// The calendar date of a value (its whole part, truncated toward zero); values outside the years
// 1..9999 give all-zero parts.
DateParts DecodeDate(double days);
// The time of day of a value (the size of its fraction), rounded to the millisecond.
TimeParts DecodeTime(double days);

} // namespace vl
