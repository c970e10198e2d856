#include "base/exception.h"
#include "base/format_date_time.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vl {

namespace {

// 7 January 2024 (a Sunday) is day 45298; 13:45:30.250 is this fraction of a day.
constexpr double Jan7 = 45298;
constexpr double At134530 = (13 * 3600 + 45 * 60 + 30.25) / 86400.0;

} // namespace

TEST(FormatDateTime, DatePictures)
{
    const struct
    {
        const char* Picture;
        double Value;
        const char* Expected;
    } cases[] = {
        {"dd.mm.yyyy", Jan7, "07.01.2024"},
        {"d.m.yy", Jan7, "7.1.24"},
        {"ddd dddd", Jan7, "Sun Sunday"},
        {"mmm mmmm", Jan7, "Jan January"},
        {"DD/MM/YYYY", Jan7, "07-01-2024"},
        {"hh:nn:ss.zzz", Jan7 + At134530, "13:45:30.250"},
        {"h:n:s.z", Jan7 + 1.0 / 24 + 1.0 / 1440, "1:1:0.0"},
        {"hh:mm", Jan7 + At134530, "13:45"},
        {"hh 'x' mm", Jan7 + At134530, "13 x 45"},
        {"mm", Jan7 + At134530, "01"},
        {"h:nn am/pm", Jan7 + At134530, "1:45 pm"},
        {"h:nn AM/PM", Jan7 + 0.25, "6:00 AM"},
        {"h a/p", Jan7, "12 a"},
        {"hh ampm", Jan7 + 0.5, "12 PM"},
        {"ddddd", Jan7, "2024-01-07"},
        {"dddddd", Jan7, "Sunday, January 7, 2024"},
        {"t", Jan7 + At134530, "13:45"},
        {"tt", Jan7 + At134530, "13:45:30"},
        {"c", Jan7 + At134530, "2024-01-07 13:45:30"},
        {"c", Jan7, "2024-01-07"},
        {"", Jan7, "2024-01-07"},
        {"\"day\" d", Jan7, "day 7"},
        {"yyyy-mm-dd", 0, "1899-12-30"},
        {"yyyy-mm-dd", -1, "1899-12-29"},
        {"yyyy-mm-dd hh:nn", -1.25, "1899-12-29 06:00"},
        {"yyyy-mm-dd", 60, "1900-02-28"},
        {"yyyy-mm-dd", 61, "1900-03-01"},
        {"yyyy-mm-dd hh:nn:ss.zzz", Jan7 + 0.99999999999, "2024-01-08 00:00:00.000"},
        {"yyyy-mm-dd", 2958465, "9999-12-31"},
    };
    const auto settings = FormatSettings::English();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Picture);
        EXPECT_EQ(ToUtf8(FormatDateTime(FromUtf8(c.Picture), c.Value, settings)), c.Expected);
    }
}

TEST(FormatDateTime, NamesAndSeparatorsComeFromTheLocale)
{
    auto settings = FormatSettings::English();
    settings.DateSeparator = u'.';
    settings.TimeSeparator = u'.';
    settings.LongMonthNames[0] = u"siječanj";
    EXPECT_EQ(ToUtf8(FormatDateTime(u"d/m/yyyy hh:nn mmmm", Jan7 + At134530, settings)),
              "7.1.2024 13.45 siječanj");
}

TEST(FormatDateTime, DatesOutsideTheCalendarAreRefused)
{
    EXPECT_THROW(FormatDateTime(u"yyyy", 1e10), EConvertError);
    EXPECT_THROW(FormatDateTime(u"yyyy", -1e10), EConvertError);
    EXPECT_THROW(FormatDateTime(u"yyyy", NAN), EConvertError);
}

} // namespace vl
