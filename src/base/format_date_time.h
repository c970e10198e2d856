// Date pictures, shared by report expressions and the display formats of text views:
// "dd.mm.yyyy", "dddd, d. mmmm yyyy", "hh:nn:ss", "h:mm am/pm".
//
// Codes (letters in either case): d dd (day), ddd dddd (short and long day name), ddddd (short
// date), dddddd (long date); m mm (month, or minutes right after an hour code), mmm mmmm (month
// names); yy yyyy (year); h hh (hour); n nn (minutes); s ss (seconds); z zzz (milliseconds);
// t tt (short and long time); c (short date, then the long time unless it is midnight); am/pm,
// a/p and ampm (the locale's markers) write the marker and put every hour on a 12-hour clock;
// "/" and ":" write the locale's date and time separators; quoted text is written unchanged.
// An empty picture means "c".
#pragma once

#include "base/format_settings.h"
#include "base/string.h"

namespace vl {

// `dateTime` counts days since 30 December 1899, the fraction being the time of day.
String FormatDateTime(StringView picture,
                      double dateTime,
                      const FormatSettings& settings = DefaultFormatSettings());

} // namespace vl
