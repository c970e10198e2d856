#include "base/date_time.h"
#include "base/exception.h"

#include <gtest/gtest.h>

namespace vl {

TEST(DateTime, EncodesDaysSince30December1899)
{
    const struct
    {
        int Year, Month, Day;
        double Days;
    } cases[] = {
        {1899, 12, 30, 0},
        {1899, 12, 31, 1},
        {1900, 1, 1, 2},
        {1899, 12, 29, -1},
        {2015, 4, 22, 42116},
        {2000, 2, 29, 36585},
        {1, 1, 1, -693593},
        {9999, 12, 31, 2958465},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Year << "-" << c.Month << "-" << c.Day);
        EXPECT_EQ(EncodeDate(c.Year, c.Month, c.Day), c.Days);
        const DateParts parts = DecodeDate(c.Days);
        EXPECT_EQ(parts.Year, c.Year);
        EXPECT_EQ(parts.Month, c.Month);
        EXPECT_EQ(parts.Day, c.Day);
    }
}

TEST(DateTime, RefusesDatesAndTimesThatDoNotExist)
{
    const struct
    {
        int Year, Month, Day;
    } dates[] = {{2015, 13, 1},
                 {2015, 2, 29},
                 {2015, 2, 30},
                 {1900, 2, 29},
                 {2015, 4, 31},
                 {0, 1, 1},
                 {10000, 1, 1},
                 {2015, 0, 1},
                 {2015, 1, 0},
                 {2015, 1, 32}};
    for (const auto& d : dates) {
        SCOPED_TRACE(testing::Message() << d.Year << "-" << d.Month << "-" << d.Day);
        double days = 0;
        EXPECT_FALSE(TryEncodeDate(d.Year, d.Month, d.Day, days));
    }
    try {
        EncodeDate(2015, 2, 30);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "There is no date with year 2015, month 2 and day 30");
    }
    double fraction = 0;
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, fraction));
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, fraction));
    EXPECT_FALSE(TryEncodeTime(0, 0, 60, 0, fraction));
    EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0, fraction));
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_TRUE(TryEncodeTime(23, 59, 59, 999, fraction));
}

TEST(DateTime, TimeOfDayAndNegativeDays)
{
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    EXPECT_EQ(EncodeTime(13, 45, 0, 0), (13 * 60 + 45) / 1440.0);
    // Before day 0 the time counts away from zero: -1.25 is 29 December 1899, 06:00.
    EXPECT_EQ(CombineDateTime(-1, 0.25), -1.25);
    EXPECT_EQ(CombineDateTime(42116, 0.5), 42116.5);
    const TimeParts t = DecodeTime(-1.25);
    EXPECT_EQ(t.Hour, 6);
    EXPECT_EQ(t.Minute, 0);
    const TimeParts u = DecodeTime(42116 + EncodeTime(13, 45, 59, 0));
    EXPECT_EQ(u.Hour, 13);
    EXPECT_EQ(u.Minute, 45);
    EXPECT_EQ(u.Second, 59);
    EXPECT_EQ(DecodeDate(-1.25).Day, 29);
}

} // namespace vl
