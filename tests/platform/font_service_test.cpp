// Font lookup, metrics, advances, file bytes, bidi runs and shaping with the installed fonts.
#include "base/limits.h"
#include "platform/fonts/bidi.h"
#include "platform/fonts/font_lookup.h"
#include "platform/fonts/text_shaper.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace vl {
namespace {

TEST(FontLookup, TemplateFamiliesResolveToMetricCompatibleFaces)
{
    struct Case
    {
        const char16_t* Name;
        uint8_t Style;
        const char16_t* Family;
        bool Bold, Italic;
    } cases[] = {
        {u"Arial", 0, u"Liberation Sans", false, false},
        {u"Arial", fsBold, u"Liberation Sans", true, false},
        {u"Arial", fsBold | fsItalic | fsUnderline, u"Liberation Sans", true, true},
        {u"Times New Roman", fsItalic, u"Liberation Serif", false, true},
        {u"Courier New", 0, u"Liberation Mono", false, false},
        {u"DejaVu Sans", fsBold, u"DejaVu Sans", true, false},
        {u"dejavu sans", 0, u"DejaVu Sans", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Name) + " style " + std::to_string(c.Style));
        const FontFace& face = FindFontFace(c.Name, c.Style);
        EXPECT_EQ(ToUtf8(face.FamilyName()), ToUtf8(c.Family));
        EXPECT_EQ(face.IsBold(), c.Bold);
        EXPECT_EQ(face.IsItalic(), c.Italic);
        EXPECT_TRUE(face.HasOutlines());
    }
}

TEST(FontLookup, CachesByNameWithoutCaseAndIgnoresDrawnStyles)
{
    const FontFace& arial = FindFontFace(u"Arial", 0);
    EXPECT_EQ(&arial, &FindFontFace(u"ARIAL", 0));
    EXPECT_EQ(&arial, &FindFontFace(u"Arial", fsUnderline | fsStrikeOut));
    EXPECT_NE(&arial, &FindFontFace(u"Arial", fsBold));
}

TEST(FontLookup, UnknownAndEmptyNamesGetAnOutlineFace)
{
    for (const char16_t* name : {u"No Such Font 12345", u"", u"<b>\u0000x"}) {
        SCOPED_TRACE(ToUtf8(name));
        const FontFace& face = FindFontFace(name, 0);
        EXPECT_TRUE(face.HasOutlines());
        EXPECT_FALSE(face.FamilyName().empty());
    }
}

TEST(FontFace, OutlineMetricsScaleDesignValuesToTheEm)
{
    // Liberation Sans: 2048 units per em, win ascent 1854, win descent 434, average width 1187,
    // maximum advance 2740, typographic 1491 / -431, box -1114 -621 2666 2007.
    OutlineMetrics m = FindFontFace(u"Arial", 0).Metrics(1000);
    EXPECT_EQ(m.EmHeight, 1000);
    EXPECT_EQ(m.CellAscent, 905);
    EXPECT_EQ(m.CellDescent, 212);
    EXPECT_EQ(m.CellHeight, 1117);
    EXPECT_EQ(m.InternalLeading, 117);
    EXPECT_EQ(m.AverageWidth, 580);
    EXPECT_EQ(m.MaximumWidth, 1338);
    EXPECT_EQ(m.Weight, 400);
    EXPECT_EQ(m.ItalicAngle, 0);
    EXPECT_EQ(m.Ascent, 728);
    EXPECT_EQ(m.Descent, -210);
    EXPECT_EQ(m.BBoxLeft, -544);
    EXPECT_EQ(m.BBoxBottom, -303);
    EXPECT_EQ(m.BBoxRight, 1302);
    EXPECT_EQ(m.BBoxTop, 980);
    EXPECT_EQ(m.DefaultChar, u' ');

    EXPECT_EQ(FindFontFace(u"Arial", fsBold).Metrics(1000).Weight, 700);
    EXPECT_LT(FindFontFace(u"Arial", fsItalic).Metrics(1000).ItalicAngle, 0);
}

TEST(FontFace, AdvancesAreRoundedPerCharacterAtEachEm)
{
    const FontFace& arial = FindFontFace(u"Arial", 0);
    struct Case
    {
        char32_t Char;
        int Em;
        int Advance;
    } cases[] = {
        {U'A', 1000, 667}, // 1366 / 2048
        {U'A', 83, 55},    // 55.36
        {U' ', 83, 23},    // 569 -> 23.06
        {U' ', 1000, 278},
        {U'a', 83, 46}, // 1139 -> 46.16
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Char) + " at " + std::to_string(c.Em));
        EXPECT_EQ(arial.CharAdvance(c.Char, c.Em), c.Advance);
        if (c.Char < 0x10000) {
            EXPECT_EQ(arial.Advances(c.Em).Get(char16_t(c.Char)), c.Advance);
        }
    }
}

TEST(FontFace, SurrogatePairMeasuresOnItsFirstUnit)
{
    const FontFace& face = FindFontFace(u"DejaVu Sans", 0);
    String text = u"a\U0001D400b"; // a, MATHEMATICAL BOLD CAPITAL A, b
    std::vector<int> advances(text.size());
    face.CharAdvances(text, 83, advances);
    ASSERT_EQ(advances.size(), 4u);
    EXPECT_EQ(advances[0], face.CharAdvance(U'a', 83));
    EXPECT_EQ(advances[1], face.CharAdvance(U'\U0001D400', 83));
    EXPECT_EQ(advances[2], 0);
    EXPECT_EQ(advances[3], face.CharAdvance(U'b', 83));

    // A lone surrogate measures as the missing glyph and never reads past the text.
    String lone = u"x";
    lone.push_back(char16_t(0xD800));
    std::vector<int> two(2);
    face.CharAdvances(lone, 83, two);
    EXPECT_EQ(two[1], face.Scale(face.GlyphAdvanceUnits(0), 83));
}

TEST(FontFace, FileBytesAreTheInstalledFile)
{
    const FontFace& face = FindFontFace(u"Times New Roman", 0);
    std::ifstream in(face.Path(), std::ios::binary);
    std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto bytes = face.FileBytes();
    ASSERT_EQ(bytes.size(), file.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file.begin(), [](uint8_t a, char b) {
        return a == uint8_t(b);
    }));
    EXPECT_FALSE(face.IsCollection());
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[1], 1);
}

TEST(Bidi, VisualRunsFollowTheBaseDirection)
{
    struct Case
    {
        const char* Text;
        bool RtlBase;
        std::vector<BidiRun> Runs;
    } cases[] = {
        {"abc def", false, {{0, 7, false}}},
        {"abc \u05D0\u05D1\u05D2", false, {{0, 4, false}, {4, 3, true}}},
        {"abc \u05D0\u05D1\u05D2", true, {{3, 4, true}, {0, 3, false}}},
        {"\u0633\u0644\u0627\u0645 123", true, {{5, 3, false}, {0, 5, true}}},
        {"", true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        auto runs = VisualRuns(U(c.Text), c.RtlBase);
        ASSERT_EQ(runs.size(), c.Runs.size());
        for (size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(runs[i].Start, c.Runs[i].Start) << i;
            EXPECT_EQ(runs[i].Length, c.Runs[i].Length) << i;
            EXPECT_EQ(runs[i].RightToLeft, c.Runs[i].RightToLeft) << i;
        }
    }
}

TEST(TextShaper, LatinGlyphsAreTheNominalOnesWithTheirAdvances)
{
    const FontFace& face = FindFontFace(u"Arial", 0);
    auto glyphs = ShapeLine(face, 1000, u"Hello", false);
    ASSERT_EQ(glyphs.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(glyphs[i].Glyph, face.GlyphIndex(u"Hello"[i])) << i;
        EXPECT_EQ(glyphs[i].Cluster, i);
        EXPECT_EQ(glyphs[i].Advance, face.CharAdvance(u"Hello"[i], 1000)) << i;
    }
}

TEST(TextShaper, ArabicIsJoinedAndInVisualOrder)
{
    const FontFace& face = FindFontFace(u"DejaVu Sans", 0);
    String text = U("\u0633\u0644\u0645"); // seen, lam, meem
    auto glyphs = ShapeLine(face, 1000, text, true);
    ASSERT_EQ(glyphs.size(), 3u);
    // Visual order runs from the end of the word to its start.
    EXPECT_EQ(glyphs[0].Cluster, 2u);
    EXPECT_EQ(glyphs[2].Cluster, 0u);
    // Joined forms differ from the isolated (nominal) glyphs.
    EXPECT_NE(glyphs[2].Glyph, face.GlyphIndex(0x0633));
    EXPECT_NE(glyphs[1].Glyph, face.GlyphIndex(0x0644));
}

TEST(TextShaper, MixedDirectionsKeepEveryCharacter)
{
    const FontFace& face = FindFontFace(u"DejaVu Sans", 0);
    String text = U("ab \u05D0\u05D1 cd");
    auto glyphs = ShapeLine(face, 1000, text, false);
    ASSERT_EQ(glyphs.size(), text.size());
    std::vector<uint32_t> clusters;
    for (const auto& g : glyphs)
        clusters.push_back(g.Cluster);
    EXPECT_EQ(clusters, (std::vector<uint32_t>{0, 1, 2, 4, 3, 5, 6, 7}));
}

TEST(TextShaper, CacheStartsOverPastItsBound)
{
    const FontFace& face = FindFontFace(u"Courier New", 0);
    ShapeLine(face, 10, u"seed", false);
    size_t i = 0;
    while (ShapedLineCacheSize() < limits::ShapedLineCacheEntries)
        ShapeLine(face, 10, u"t" + IntToStr(int64_t(i++)), false);
    EXPECT_EQ(ShapedLineCacheSize(), limits::ShapedLineCacheEntries);
    ShapeLine(face, 10, u"one past the bound", false);
    EXPECT_EQ(ShapedLineCacheSize(), 1u);
    // A cached line is shaped the same way again.
    EXPECT_EQ(ShapeLine(face, 10, u"one past the bound", false).size(), 18u);
}

} // namespace
} // namespace vl
