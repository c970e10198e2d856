// Hyphenation positions from the stored letter classes.
#include "layout/word_break.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

TEST(WordBreak, BreakPositions)
{
    struct Case
    {
        const char* Line;
        size_t Start, Overflow, Expected;
    } cases[] = {
        {"ÁŔÁŔÁŔÁŔ", 0, 7, 6},    // after the last vowel that leaves a syllable
        {"ÁŔÁŔÁŔÁŔ", 0, 5, 4},    // only positions before the overflow
        {"ÁŔÁŔÁŔÁŔ", 0, 2, 0},    // a one-letter first part is not allowed
        {"áŕáŕáŕáŕ", 0, 7, 6},    // compared upper-cased
        {"ÁŔÁ", 0, 2, 0},         // three letters or fewer never break
        {"x ÁŔÁŔ.ÁŔÁŔ", 2, 5, 2}, // the word ends at "."
        {"ÁŔĂĂŔÁŔ", 0, 4, 3},     // a doubled consonant splits between its letters
        {"ÁŔĂĂŔÁŔ", 0, 3, 0},     // ... and not before it
        {"ÁŔÉŔÁŔ", 0, 3, 0},      // a vowel before "É" is no break
        {"ÁŇÜŔÁŔ", 0, 4, 0},      // a consonant before a sign is no break
        {"ŔŇĂŔÁŔ", 0, 4, 2},      // consonant before consonant breaks
        {"ÁŇĂŔÁŔ", 0, 4, 0},      // ... when the first part holds a vowel
        {"hyphenation", 0, 8, 0}, // letters outside the classes never break
        {"ÁŔÁŔÁŔÁŔ", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Line) + " overflow " + std::to_string(c.Overflow));
        EXPECT_EQ(HyphenateWord(U(c.Line), c.Start, c.Overflow), c.Expected);
    }
}

} // namespace
} // namespace vl
