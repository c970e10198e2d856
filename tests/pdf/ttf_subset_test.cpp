#include "base/exception.h"
#include "base/limits.h"
#include "pdf/ttf_reader.h"
#include "pdf/ttf_subset.h"
#include "pdf/ttf_test_font.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

const std::vector<uint16_t> UsedComposite = {2};

std::string Subset(const std::string& font,
                   const std::vector<uint16_t>& used = UsedComposite,
                   TrueTypeSubsetInfo* info = nullptr,
                   StringView wanted = u"",
                   std::optional<uint32_t> shapedFace = std::nullopt)
{
    return SubsetTrueType(font, wanted, shapedFace, used, info);
}

// The bytes of one table of a single-face file.
std::string TableBytes(const std::string& font, const std::string& tag)
{
    const TrueTypeCollection file(font);
    const TrueTypeFont face = file.ReadFace(0);
    const TrueTypeTable* table = face.Find(ByteReader(tag).U32());
    return table ? std::string(file.TableData(*table).Data()) : "(none)";
}

} // namespace

TEST(WantedFaceName, TranslatesJapaneseFacesAndAppendsTheStyle)
{
    const struct
    {
        String Face;
        bool Bold, Italic;
        String Expected;
    } cases[] = {
        {u"Arial", false, false, u"Arial"},
        {u"Arial", true, false, u"Arial Bold"},
        {u"Arial", false, true, u"Arial Italic"},
        {u"Arial", true, true, u"Arial Bold Italic"},
        {u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF", true, false, u"MS Gothic Bold"},
        {u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", false, false, u"MS PGothic"},
        {u"\uFF2D\uFF33 \u660E\u671D", false, false, u"MS Mincho"},
        {u"\uFF2D\uFF33 \uFF30\u660E\u671D", false, true, u"MS PMincho Italic"},
        {u"\u30E1\u30A4\u30EA\u30AA", false, false, u"Meiryo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Expected));
        EXPECT_EQ(WantedFaceName(c.Face, c.Bold, c.Italic), c.Expected);
    }
}

// The kept glyphs keep their bytes, in glyph order and back to back; every other glyph becomes
// empty; the location table keeps its size and format.
TEST(TrueTypeSubset, CompactsGlyphsAndFollowsComponentsOfComponents)
{
    for (bool longLoca : {false, true}) {
        SCOPED_TRACE(longLoca);
        const test::TestFace face = test::MakeFace(u"Test Face", longLoca);
        const std::string font = test::BuildFont({face});
        TrueTypeSubsetInfo info;
        const std::string subset = Subset(font, {2, 2, 900}, &info);
        EXPECT_EQ(info.KeptGlyphs, (std::vector<uint16_t>{0, 1, 2, 3}));

        const std::string glyf = TableBytes(font, "glyf");
        const std::string loca = TableBytes(font, "loca");
        const size_t keptEnd = 14 + 20 + test::CompositeGlyph({3}, 0x0009).size() +
                               test::CompositeGlyph({1}, 0x0080).size();
        EXPECT_TRUE(TableBytes(subset, "glyf") == glyf.substr(0, keptEnd));

        std::string expectedLoca;
        ByteWriter w(expectedLoca);
        const size_t ends[] = {
            0, 14, 34, 34 + test::CompositeGlyph({3}, 0x0009).size(), keptEnd, keptEnd, keptEnd};
        for (size_t end : ends)
            longLoca ? w.U32(uint32_t(end)) : w.U16(uint16_t(end / 2));
        EXPECT_EQ(TableBytes(subset, "loca"), expectedLoca);
        EXPECT_EQ(TableBytes(subset, "loca").size(), loca.size());
    }
}

// Only glyph 0 and the used simple glyph stay when no composite is used.
TEST(TrueTypeSubset, GlyphZeroIsAlwaysKept)
{
    TrueTypeSubsetInfo info;
    Subset(test::BuildFont({test::MakeFace()}), {4}, &info);
    EXPECT_EQ(info.KeptGlyphs, (std::vector<uint16_t>{0, 4}));
    Subset(test::BuildFont({test::MakeFace()}), {}, &info);
    EXPECT_EQ(info.KeptGlyphs, (std::vector<uint16_t>{0}));
}

TEST(TrueTypeSubset, NewFileLayoutAndChecksums)
{
    const test::TestFace face = test::MakeFace();
    const std::string subset = Subset(test::BuildFont({face}));
    const TrueTypeCollection file(subset);
    const TrueTypeFont out = file.ReadFace(0);

    // Dropped tables are gone; the directory is sorted by tag, the tables keep the source order.
    std::vector<std::string> byTag, byOffset;
    std::vector<const TrueTypeTable*> tables;
    for (const auto& t : out.Tables) {
        byTag.push_back(TagText(t.Tag));
        tables.push_back(&t);
    }
    std::sort(tables.begin(), tables.end(), [](auto* a, auto* b) { return a->Offset < b->Offset; });
    for (auto* t : tables)
        byOffset.push_back(TagText(t->Tag));
    EXPECT_EQ(
        byTag,
        (std::vector<std::string>{"glyf", "head", "hhea", "hmtx", "loca", "maxp", "name", "post"}));
    EXPECT_EQ(
        byOffset,
        (std::vector<std::string>{"head", "hhea", "loca", "glyf", "hmtx", "maxp", "post", "name"}));
    EXPECT_EQ(out.Tables.size(), 8u);
    EXPECT_EQ(out.SearchRange, 128);
    EXPECT_EQ(out.EntrySelector, 3);
    EXPECT_EQ(out.RangeShift, 0);

    // Tables start on 4-byte boundaries, the file is whole words, every checksum holds.
    EXPECT_EQ(subset.size() % 4, 0u);
    for (const auto& t : out.Tables) {
        SCOPED_TRACE(TagText(t.Tag));
        EXPECT_EQ(t.Offset % 4, 0u);
        uint32_t sum = TableChecksum(file.TableData(t).Data());
        if (t.Tag == TableTag("head")) sum -= ByteReader(subset).U32At(t.Offset + 8);
        EXPECT_EQ(sum, t.CheckSum);
    }
    EXPECT_EQ(TableChecksum(subset), 0xB1B0AFBAu);

    // "post" is the version 3.0 header; unchanged tables are copied byte for byte.
    std::string post = TableBytes(subset, "post");
    EXPECT_EQ(post.size(), 32u);
    EXPECT_EQ(ByteReader(post).U32(), 0x00030000u);
    EXPECT_EQ(post.substr(4), std::string(28, '\x07'));
    for (const char* tag : {"hhea", "hmtx", "maxp", "name"}) {
        SCOPED_TRACE(tag);
        EXPECT_TRUE(TableBytes(subset, tag) == TableBytes(test::BuildFont({face}), tag));
    }
}

TEST(TrueTypeSubset, ChecksumMismatchIsRecordedAndRepaired)
{
    std::string font = test::BuildFont({test::MakeFace()});
    const TrueTypeFont face = TrueTypeCollection(font).ReadFace(0);
    const TrueTypeTable* name = face.Find(TableTag("name"));
    const uint32_t stored = name->CheckSum;
    font[name->Offset + name->Length - 1] ^= 0x01; // the last byte of the last word
    const uint32_t computed = TableChecksum(font.substr(name->Offset, name->Length));
    ASSERT_NE(computed, stored);
    TrueTypeSubsetInfo info;
    const std::string subset = Subset(font, UsedComposite, &info);
    ASSERT_EQ(info.ChecksumMismatches.size(), 1u);
    EXPECT_EQ(info.ChecksumMismatches[0],
              "Table ID \"name\" checksum error. " + std::to_string(computed) + " " +
                  std::to_string(stored));
    const TrueTypeFont out = TrueTypeCollection(subset).ReadFace(0);
    EXPECT_EQ(out.Find(TableTag("name"))->CheckSum, computed);
}

TEST(TrueTypeSubset, CollectionFaceByFullNameElseTheLast)
{
    const std::string font = test::BuildFont(
        {test::MakeFace(u"Alpha"), test::MakeFace(u"Alpha Bold"), test::MakeFace(u"Beta")});
    // The face the font service shaped with stands in when the name was substituted.
    const struct
    {
        String Wanted;
        std::optional<uint32_t> Shaped;
        uint32_t Face;
    } cases[] = {
        {u"Alpha", std::nullopt, 0},
        {u"Alpha Bold", std::nullopt, 1},
        {u"Beta", std::nullopt, 2},
        {u"alpha", std::nullopt, 2},
        {u"", std::nullopt, 2},
        {u"Arial", 1, 1},
        {u"Arial", 0, 0},
        {u"Arial", 3, 2},
        {u"Alpha Bold", 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Wanted) + " " + std::to_string(c.Shaped.value_or(99)));
        TrueTypeSubsetInfo info;
        const std::string subset = Subset(font, UsedComposite, &info, c.Wanted, c.Shaped);
        EXPECT_EQ(info.FaceIndex, c.Face);
        const TrueTypeCollection out(subset);
        EXPECT_EQ(out.FaceCount(), 1u);
        EXPECT_EQ(ByteReader(subset).U32(), 0x00010000u);
    }
    EXPECT_NO_THROW(
        Subset(test::BuildFont({test::MakeFace(u"A"), test::MakeFace(u"B")}, 0x00020000)));
}

TEST(TrueTypeSubset, CollectionFaceCountLimit)
{
    const std::string atLimit =
        test::BuildFont(std::vector<test::TestFace>(limits::TrueTypeMaxFaces, test::MakeFace()));
    TrueTypeSubsetInfo info;
    EXPECT_NO_THROW(Subset(atLimit, UsedComposite, &info));
    EXPECT_EQ(info.FaceIndex, limits::TrueTypeMaxFaces - 1);

    const std::string pastLimit = test::BuildFont(
        std::vector<test::TestFace>(limits::TrueTypeMaxFaces + 1, test::MakeFace()));
    EXPECT_THROW(Subset(pastLimit), ELimitExceeded);
    EXPECT_TRUE(SubsetOrWholeFont(pastLimit, u"", std::nullopt, UsedComposite) == pastLimit);
}

// Broken fonts: each fails with its error, and the caller embeds the unchanged file.
TEST(TrueTypeSubset, MalformedFontsFailAndFallBackToTheWholeFile)
{
    using Face = test::TestFace;
    auto patch = [](Face face, const std::string& tag, size_t offset, std::string bytes) {
        face.Table(tag).replace(offset, bytes.size(), bytes);
        return face;
    };
    auto without = [](Face face, const std::string& tag) {
        face.Remove(tag);
        return face;
    };
    auto resized = [](Face face, const std::string& tag, size_t size) {
        face.Table(tag).resize(size);
        return face;
    };
    const Face good = test::MakeFace();
    const std::string single = test::BuildFont({good});
    std::string badCount = test::BuildFont({good, good});
    ByteWriter(badCount).U32At(8, 0x40000000);
    std::string directoryPastEnd = single;
    ByteWriter(directoryPastEnd).U16At(4, 200);
    std::string tablePastEnd = single;
    ByteWriter(tablePastEnd).U32At(12 + 16 + 8, uint32_t(single.size()) - 2); // "glyf"

    const struct
    {
        const char* Name;
        std::string Font;
        const char* ClassName;
        const char* Message;
    } cases[] = {
        {"empty", "", "Exception", "TrueType font format error"},
        {"CFF outlines", "OTTO" + single.substr(4), "Exception", "TrueType font format error"},
        {"collection version 3",
         test::BuildFont({good, good}, 0x00030000),
         "Exception",
         "Unknown font collection version"},
        {"collection without faces",
         test::BuildFont({}),
         "Exception",
         "TrueType font format error"},
        {"collection count past the data", badCount, "EReadError", "Unexpected end of data"},
        {"directory past the end", directoryPastEnd, "EReadError", "Unexpected end of data"},
        {"table past the end", tablePastEnd, "EReadError", "Unexpected end of data"},
        {"truncated header", single.substr(0, 7), "EReadError", "Unexpected end of data"},
        {"no head",
         test::BuildFont({without(good, "head")}),
         "Exception",
         "TrueType font format error"},
        {"short head",
         test::BuildFont({resized(good, "head", 50)}),
         "Exception",
         "TrueType font format error"},
        {"loca format 2",
         test::BuildFont({patch(good, "head", 50, std::string("\0\2", 2))}),
         "Exception",
         "Unsupported Index to Location format"},
        {"no glyf", test::BuildFont({without(good, "glyf")}), "Exception", "Glyph table not found"},
        {"no loca",
         test::BuildFont({without(good, "loca")}),
         "Exception",
         "Unknown IndexToLoc value"},
        {"empty loca",
         test::BuildFont({resized(good, "loca", 1)}),
         "Exception",
         "Unknown IndexToLoc value"},
        {"loca going back",
         test::BuildFont({patch(good, "loca", 6, std::string("\0\2", 2))}),
         "Exception",
         "TrueType font format error"},
        {"loca past glyf",
         test::BuildFont({resized(good, "glyf", 30)}),
         "EReadError",
         "Unexpected end of data"},
        {"component past the glyphs",
         test::BuildFont({patch(good, "glyf", 14 + 20 + 12, std::string("\0\x50", 2))}),
         "Exception",
         "TrueType font format error"},
        {"composite record cut short",
         test::BuildFont({patch(good, "loca", 6, std::string("\0\x18", 2))}),
         "EReadError",
         "Unexpected end of data"},
        {"short post",
         test::BuildFont({resized(good, "post", 20)}),
         "EReadError",
         "Unexpected end of data"},
        {"hmtx without hhea",
         test::BuildFont({without(good, "hhea")}),
         "Exception",
         "TrueType font format error"},
        {"short hmtx",
         test::BuildFont({resized(good, "hmtx", 7)}),
         "Exception",
         "TrueType font format error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            Subset(c.Font);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.ClassName(), c.ClassName);
            EXPECT_STREQ(e.what(), c.Message);
        }
        EXPECT_TRUE(SubsetOrWholeFont(c.Font, u"", std::nullopt, UsedComposite) == c.Font);
    }
}

// Every single-byte change and every truncation of a small font either subsets or falls back;
// none may crash, hang or read outside the data (the sanitizers watch).
TEST(TrueTypeSubset, DamagedBytesNeverCrash)
{
    const std::string font = test::BuildFont({test::MakeFace(u"A"), test::MakeFace(u"B")});
    for (size_t i = 0; i < font.size(); ++i) {
        for (uint8_t value : {uint8_t(0x00), uint8_t(0x01), uint8_t(0x7F), uint8_t(0xFF)}) {
            std::string damaged = font;
            damaged[i] = char(value);
            const std::string result = SubsetOrWholeFont(damaged, u"B", 0, UsedComposite);
            ASSERT_FALSE(result.empty()) << i;
        }
        const std::string cut = font.substr(0, i);
        const std::string result = SubsetOrWholeFont(cut, u"B", 0, UsedComposite);
        EXPECT_TRUE(result == cut || result.starts_with(std::string("\0\1\0\0", 4))) << i;
    }
}

} // namespace vl
