// Locale-dependent text conventions (separators, date and time pictures, day and month names),
// filled once from the process's POSIX locale. Every conversion between values and user-visible
// text takes one of these; PDF syntax and other machine text never does.
#pragma once

#include "base/string.h"

#include <array>

namespace vl {

struct FormatSettings
{
    char16_t DecimalSeparator = u'.';
    char16_t ThousandSeparator = u','; // 0: the locale groups no digits
    char16_t DateSeparator = u'-';
    char16_t TimeSeparator = u':';
    String ShortDateFormat = u"yyyy-mm-dd"; // date pictures: d, dd, m, mm, yy, yyyy, ...
    String LongDateFormat = u"dddd, mmmm d, yyyy";
    String ShortTimeFormat = u"hh:nn";
    String LongTimeFormat = u"hh:nn:ss";
    String TimeAMString = u"AM";
    String TimePMString = u"PM";
    String CurrencyString = u"$";
    std::array<String, 12> ShortMonthNames;
    std::array<String, 12> LongMonthNames;
    std::array<String, 7> ShortDayNames; // Sunday first
    std::array<String, 7> LongDayNames;

    // English conventions with ISO dates: what the C and POSIX locales get, since they define no
    // grouping and only US two-digit-year dates.
    static FormatSettings English();

    // The conventions of the named POSIX locale; "" means the one the environment selects. A locale
    // that is not installed, and the C and POSIX locales, give English().
    static FormatSettings FromLocale(const char* name);
};

// The process's settings, filled from the environment on first use.
const FormatSettings& DefaultFormatSettings();

// Turns a strftime picture ("%d.%m.%Y") into the system's date picture ("dd.mm.yyyy"), widening
// two-digit years to four.
String DatePictureFromStrftime(std::string_view picture);

} // namespace vl
