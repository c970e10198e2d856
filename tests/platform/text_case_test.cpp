#include "platform/unicode/text_case.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {
namespace {

// Texts that compare equal without case must hash equally, whatever mix of ASCII and other
// letters they hold and however long they are (the hash packs runs of ASCII).
TEST(TextCase, EqualTextsHashEquallyAndCompareByFolding)
{
    struct Case
    {
        const char16_t* A;
        const char16_t* B;
        bool Same;
    };
    const Case cases[] = {
        {u"Memo1", u"MEMO1", true},
        {u"<Orders.\"Total\"> * <Orders.\"Qty\"> + 1",
         u"<orders.\"TOTAL\"> * <ORDERS.\"qty\"> + 1",
         true},
        // KELVIN SIGN folds to an ASCII k: equal to the ASCII text, inside a long run too.
        {u"\u212Aey", u"KEY", true},
        {u"abcdefgh\u212Aijklmnop", u"ABCDEFGHkIJKLMNOP", true},
        {u"\u0160ifra dokumenta", u"\u0161IFRA DOKUMENTA", true},
        {u"Date", u"<Orders.\"Total\">", false},
        {u"abcdefgh", u"abcdefghi", false},
        {u"", u"", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(String(c.A)) + " / " + ToUtf8(String(c.B)));
        EXPECT_EQ(SameText(c.A, c.B), c.Same);
        EXPECT_EQ(CompareText(c.A, c.B) == 0, c.Same);
        if (c.Same) {
            EXPECT_EQ(HashText(c.A), HashText(c.B));
        }
    }
    EXPECT_LT(CompareText(u"abc", u"ABD"), 0);
    EXPECT_GT(CompareText(u"abcd", u"ABC"), 0);
}

} // namespace
} // namespace vl
