#include "base/exception.h"
#include "request/stream_decoder.h"

#include <gtest/gtest.h>

namespace vl {

TEST(StreamDecoder, Base64SkipsForeignCharacters)
{
    const struct
    {
        const char16_t* Text;
        const char* Bytes;
    } cases[] = {
        {u"YWJj", "abc"},
        {u"YW Jj\r\n", "abc"},
        {u"YWI=", "ab"},   // three left over: two bytes
        {u"YQ==", "a"},    // two left over: one byte
        {u"YWJjZ", "abc"}, // one left over: nothing
        {u"=Y=W=J=j=", "abc"},
        {u"Y\u0161WJj", "abc"}, // beyond ASCII is foreign too
        {u"", ""},
        {u"!!!", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Text));
        EXPECT_EQ(DecodeBase64Lenient(c.Text), c.Bytes);
    }
}

TEST(StreamDecoder, InflatesGzipAndRewinds)
{
    MemoryStream target(std::string("old"));
    InflateBudget budget;
    DecodeStreamValue(u"H4sIAAAAAAACA0tMSgYAwkEkNQMAAAA=", target, budget);
    EXPECT_EQ(target.Bytes(), "abc");
    EXPECT_EQ(target.Position(), 0u);
    EXPECT_EQ(budget.Left, budget.Total - 3);
    DecodeStreamValue(u"", target, budget);
    EXPECT_EQ(target.Bytes(), "");
    EXPECT_THROW(DecodeStreamValue(u"YWJj", target, budget), Exception);
}

} // namespace vl
