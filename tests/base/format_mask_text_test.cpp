#include "base/format_mask_text.h"

#include <gtest/gtest.h>

namespace vl {

TEST(FormatMaskText, LaysValuesIntoMasks)
{
    const struct
    {
        const char* Mask;
        const char* Value;
        const char* Expected;
    } cases[] = {
        {"000-000;0;_", "123456", "123-456"},
        {"000-000;1;_", "123-456", "123-456"},
        {"000-000", "123-456", "123-456"},
        {"(000) 000-0000;0;*", "01234", "(012) 34*-****"},
        {">LL-000;0", "ab123", "AB-123"},
        {"<LL<>LL;0", "ABcd", "abcd"},
        {"\\A00;0", "12", "A12"},
        {"00/00/0000;0", "07012024", "07-01-2024"},
        {"00:00;0", "1345", "13:45"},
        {"!ccc;0; ", "x", "x  "},
    };
    const auto settings = FormatSettings::English();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Mask);
        EXPECT_EQ(ToUtf8(FormatMaskText(FromUtf8(c.Mask), FromUtf8(c.Value), settings)),
                  c.Expected);
    }
}

} // namespace vl
