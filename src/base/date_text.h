// Reading dates and times typed as text, the inverse of the short date and long time pictures of
// the locale settings ("7.1.2024.", "2024-01-07", "13:05", "1:05:09 PM").
//
//  - A date is two or three numbers separated by the locale's date separator, "/", "-", "." or
//    blanks (a trailing separator is allowed); their order follows the order of d, m and y in
//    the short date picture. Two numbers are day and month of `currentYear`. A year of one or two
//    digits is put in the century that brings it nearest to `currentYear` (within 50 years).
//  - A time is hour, minute, optional second and optional milliseconds (after "." or the decimal
//    separator), separated by the time separator or ":"; the hour alone is enough when the
//    locale's AM/PM marker (or "AM"/"PM") follows or precedes it, which also makes the hour a
//    12-hour clock hour.
//  - A date-time is a date, or a time, or a date, blanks and a time.
// Every function returns false for any other text and for dates and times that do not exist.
#pragma once

#include "base/format_settings.h"
#include "base/string.h"

namespace vl {

bool TryStrToDate(StringView text, double& days, const FormatSettings& fs, int currentYear);
bool TryStrToTime(StringView text, double& dayFraction, const FormatSettings& fs);
bool TryStrToDateTime(StringView text, double& value, const FormatSettings& fs, int currentYear);

} // namespace vl
