#include "base/format_settings.h"
#include "base/number_text.h"

#include <gtest/gtest.h>

namespace vl {

TEST(FormatSettings, CLocalesGetEnglishConventionsWithGrouping)
{
    for (const char* name : {"C", "POSIX", "C.UTF-8", "no_SUCH.locale"}) {
        SCOPED_TRACE(name);
        const auto s = FormatSettings::FromLocale(name);
        EXPECT_EQ(s.DecimalSeparator, u'.');
        EXPECT_EQ(s.ThousandSeparator, u',');
        EXPECT_EQ(s.ShortDateFormat, u"yyyy-mm-dd");
        EXPECT_EQ(s.LongTimeFormat, u"hh:nn:ss");
        EXPECT_EQ(s.LongMonthNames[0], u"January");
        EXPECT_EQ(s.ShortDayNames[0], u"Sun");
    }
}

TEST(FormatSettings, ReadsALocaleWithADecimalComma)
{
    const auto s = FormatSettings::FromLocale("hr_HR.UTF-8");
    if (s.DecimalSeparator == u'.') GTEST_SKIP() << "hr_HR.UTF-8 is not generated on this machine";
    EXPECT_EQ(s.DecimalSeparator, u',');
    EXPECT_EQ(s.ThousandSeparator, u'.');
    EXPECT_EQ(s.DateSeparator, u'.');
    EXPECT_EQ(s.ShortDateFormat.find(u"yyyy") != String::npos, true);
    EXPECT_EQ(ToUtf8(FloatToStr(1.5, s)), "1,5");
}

TEST(FormatSettings, TranslatesStrftimePictures)
{
    EXPECT_EQ(DatePictureFromStrftime("%d.%m.%Y."), u"dd.mm.yyyy.");
    EXPECT_EQ(DatePictureFromStrftime("%m/%d/%y"), u"mm/dd/yyyy");
    EXPECT_EQ(DatePictureFromStrftime("%H:%M:%S"), u"hh:nn:ss");
    EXPECT_EQ(DatePictureFromStrftime("%I:%M:%S %p"), u"hh:nn:ss ampm");
    EXPECT_EQ(DatePictureFromStrftime("%T %Z"), u"hh:nn:ss ");
}

} // namespace vl
