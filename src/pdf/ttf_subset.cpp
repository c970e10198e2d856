// The TrueType subsetter: face choice, glyph closure over composite components, glyph
// compaction and the rewritten file with its checksums.
#include "pdf/ttf_subset.h"

#include "base/byte_io.h"
#include "base/exception.h"
#include "base/limits.h"
#include "pdf/ttf_reader.h"

#include <algorithm>
#include <array>

namespace vl {

namespace {

constexpr std::array<uint32_t, 5> DroppedTables = {
    TableTag("EBLC"), TableTag("EBDT"), TableTag("hdmx"), TableTag("VDMX"), TableTag("DSIG")};

constexpr uint32_t HeadTag = TableTag("head");
constexpr uint32_t GlyfTag = TableTag("glyf");
constexpr uint32_t LocaTag = TableTag("loca");
constexpr uint32_t PostTag = TableTag("post");

// Offsets inside "head" and "hhea".
constexpr size_t HeadCheckSumAdjustment = 8;
constexpr size_t HeadIndexToLocFormat = 50;
constexpr size_t HeadMinLength = 54;
constexpr size_t HheaNumberOfHMetrics = 34;

// "post" version 3.0 is the fixed 32-byte header without glyph names.
constexpr size_t PostHeaderLength = 32;

// The whole-file checksum makes the sum of all words of the font equal this.
constexpr uint32_t FileCheckSumTarget = 0xB1B0AFBA;

// Flags of a composite glyph's component record.
constexpr uint16_t ArgsAreWords = 0x0001;
constexpr uint16_t HaveScale = 0x0008;
constexpr uint16_t MoreComponents = 0x0020;
constexpr uint16_t HaveXYScale = 0x0040;
constexpr uint16_t HaveTwoByTwo = 0x0080;

struct FaceNameTranslation
{
    StringView FaceName;
    StringView FullName;
};

constexpr std::array<FaceNameTranslation, 5> FaceNameTranslations = {{
    {u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF", u"MS Gothic"},
    {u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", u"MS PGothic"},
    {u"\uFF2D\uFF33 \u660E\u671D", u"MS Mincho"},
    {u"\uFF2D\uFF33 \uFF30\u660E\u671D", u"MS PMincho"},
    {u"\u30E1\u30A4\u30EA\u30AA", u"Meiryo"},
}};

[[noreturn]] void FormatError()
{
    throw Exception("TrueType font format error");
}

// A face ready to be subset: its kept tables and what the rewrite needs from "head".
struct PreparedFace
{
    TrueTypeFont Face; // without the dropped tables
    bool LongLoca = false;
};

// Reads the directory, drops the unwanted tables, checks the tables the rewrite relies on and
// verifies every checksum.
PreparedFace
PrepareFace(const TrueTypeCollection& file, uint32_t index, std::vector<std::string>& mismatches)
{
    PreparedFace prepared{file.ReadFace(index)};
    auto& tables = prepared.Face.Tables;
    std::erase_if(tables, [](const TrueTypeTable& t) {
        return std::find(DroppedTables.begin(), DroppedTables.end(), t.Tag) != DroppedTables.end();
    });

    // Tables of one face never overlap, so their lengths add up to at most the file; this also
    // bounds the work of checking and copying them.
    uint64_t total = 0;
    for (const auto& table : tables)
        total += table.Length;
    if (total > file.Data().size()) FormatError();

    const TrueTypeTable* head = prepared.Face.Find(HeadTag);
    if (head == nullptr || head->Length < HeadMinLength) FormatError();
    const ByteReader headData = file.TableData(*head);
    const uint16_t locaFormat = headData.U16At(HeadIndexToLocFormat);
    if (locaFormat > 1) throw Exception("Unsupported Index to Location format");
    prepared.LongLoca = locaFormat == 1;

    if (const TrueTypeTable* hmtx = prepared.Face.Find(TableTag("hmtx"))) {
        const TrueTypeTable* hhea = prepared.Face.Find(TableTag("hhea"));
        if (hhea == nullptr) FormatError();
        const uint16_t metrics = file.TableData(*hhea).U16At(HheaNumberOfHMetrics);
        if (hmtx->Length < size_t(metrics) * 4) FormatError();
    }

    for (const auto& table : tables) {
        uint32_t sum = TableChecksum(file.TableData(table).Data());
        // The stored checksum of "head" counts its checkSumAdjustment as zero.
        if (table.Tag == HeadTag) sum -= headData.U32At(HeadCheckSumAdjustment);
        if (sum != table.CheckSum)
            mismatches.push_back("Table ID \"" + TagText(table.Tag) + "\" checksum error. " +
                                 std::to_string(sum) + " " + std::to_string(table.CheckSum));
    }
    return prepared;
}

// The face whose full name is the wanted one, else the shaped face, else the last face.
PreparedFace ChooseFace(const TrueTypeCollection& file,
                        StringView wantedName,
                        std::optional<uint32_t> shapedFace,
                        TrueTypeSubsetInfo& info)
{
    if (file.FaceCount() > limits::TrueTypeMaxFaces)
        throw ELimitExceeded("The font collection has more than " +
                             std::to_string(limits::TrueTypeMaxFaces) + " faces");
    const uint32_t count = file.FaceCount();
    auto prepare = [&](uint32_t index) {
        info.FaceIndex = index;
        info.ChecksumMismatches.clear(); // only those of the face used are of interest
        return PrepareFace(file, index, info.ChecksumMismatches);
    };
    for (uint32_t i = 0; i + 1 < count; ++i) {
        PreparedFace prepared = prepare(i);
        if (file.FullName(prepared.Face) == wantedName) return prepared;
    }
    if (count > 1) {
        PreparedFace last = prepare(count - 1);
        if (file.FullName(last.Face) == wantedName) return last;
        if (shapedFace && *shapedFace < count - 1) return prepare(*shapedFace);
        return last;
    }
    return prepare(0);
}

// The glyph offsets of "loca" (one more entry than glyphs), in bytes.
std::vector<uint32_t> ReadLocations(ByteReader loca, bool longFormat)
{
    const size_t count = loca.Size() / (longFormat ? 4 : 2);
    if (count == 0) throw Exception("Unknown IndexToLoc value");
    std::vector<uint32_t> offsets(count);
    for (auto& offset : offsets)
        offset = longFormat ? loca.U32() : uint32_t(loca.U16()) * 2;
    return offsets;
}

// The outline data of one glyph; empty for a glyph without outline.
ByteReader GlyphData(const ByteReader& glyf, const std::vector<uint32_t>& locations, uint16_t glyph)
{
    const uint32_t begin = locations[glyph], end = locations[size_t(glyph) + 1];
    if (end < begin) FormatError();
    return glyf.Sub(begin, end - begin);
}

// Calls `visit` with the glyph index of every component of a composite glyph.
template <typename Visit>
void ForEachComponent(ByteReader glyph, Visit visit)
{
    if (glyph.Size() == 0 || glyph.I16() >= 0) return; // simple glyph: contour count >= 0
    glyph.Seek(10);                                    // past the bounding box
    for (;;) {
        const uint16_t flags = glyph.U16();
        visit(glyph.U16());
        glyph.Skip(flags & ArgsAreWords ? 4 : 2);
        if (flags & HaveScale)
            glyph.Skip(2);
        else if (flags & HaveXYScale)
            glyph.Skip(4);
        else if (flags & HaveTwoByTwo)
            glyph.Skip(8);
        if (!(flags & MoreComponents)) return;
    }
}

// Glyph 0, the used glyphs and every component they are built from, directly or through other
// components, as flags by glyph index. Used glyphs beyond the face's glyphs have no outline and
// are ignored; a component beyond them is a broken font.
std::vector<bool> KeptGlyphs(const ByteReader& glyf,
                             const std::vector<uint32_t>& locations,
                             std::span<const uint16_t> usedGlyphs)
{
    const size_t glyphCount = locations.size() - 1;
    std::vector<bool> kept(glyphCount, false);
    std::vector<uint16_t> pending;
    auto keep = [&](uint16_t glyph) {
        if (glyph < glyphCount && !kept[glyph]) {
            kept[glyph] = true;
            pending.push_back(glyph);
        }
    };
    keep(0);
    for (uint16_t glyph : usedGlyphs)
        keep(glyph);
    // Each glyph enters the list once, so this ends after at most glyphCount steps.
    while (!pending.empty()) {
        const uint16_t glyph = pending.back();
        pending.pop_back();
        ForEachComponent(GlyphData(glyf, locations, glyph), [&](uint16_t component) {
            if (component >= glyphCount) FormatError();
            keep(component);
        });
    }
    return kept;
}

struct CompactedGlyphs
{
    std::string Glyf;
    std::string Loca;
};

// The outlines of the kept glyphs back to back in glyph order; every other glyph becomes empty
// (its location equals the next one), and the location table keeps its size.
CompactedGlyphs CompactGlyphs(const ByteReader& glyf,
                              const std::vector<uint32_t>& locations,
                              const std::vector<bool>& kept,
                              bool longLoca)
{
    CompactedGlyphs result;
    std::vector<uint32_t> newLocations(locations.size());
    size_t next = 0;
    for (size_t glyph = 0; glyph < kept.size(); ++glyph) {
        if (!kept[glyph]) continue;
        for (; next <= glyph; ++next)
            newLocations[next] = uint32_t(result.Glyf.size());
        result.Glyf += GlyphData(glyf, locations, uint16_t(glyph)).Data();
    }
    for (; next < newLocations.size(); ++next)
        newLocations[next] = uint32_t(result.Glyf.size());

    ByteWriter loca(result.Loca);
    for (uint32_t offset : newLocations) {
        if (longLoca)
            loca.U32(offset);
        else
            loca.U16(uint16_t(offset / 2)); // short offsets are even: they were stored halved
    }
    return result;
}

// The table directory's search fields for `count` tables.
struct SearchFields
{
    uint16_t SearchRange = 0;
    uint16_t EntrySelector = 0;
    uint16_t RangeShift = 0;
};

SearchFields DirectorySearchFields(size_t count)
{
    SearchFields fields;
    size_t power = 1;
    while (power * 2 <= count) {
        power *= 2;
        ++fields.EntrySelector;
    }
    fields.SearchRange = uint16_t(power * 16);
    fields.RangeShift = uint16_t(count * 16 - power * 16);
    return fields;
}

// The new file: offset table, directory sorted by tag, then the tables in their source order on
// 4-byte boundaries, with the new glyph data, "post" 3.0 and fresh checksums.
std::string WriteFontFile(const TrueTypeCollection& file,
                          const TrueTypeFont& face,
                          const CompactedGlyphs& glyphs)
{
    std::string out;
    ByteWriter writer(out);
    const size_t count = face.Tables.size();
    const SearchFields search = DirectorySearchFields(count);
    writer.U32(face.SfntVersion);
    writer.U16(uint16_t(count));
    writer.U16(search.SearchRange);
    writer.U16(search.EntrySelector);
    writer.U16(search.RangeShift);
    out.resize(out.size() + 16 * count);

    std::vector<const TrueTypeTable*> bySource;
    for (const auto& table : face.Tables)
        bySource.push_back(&table);
    std::stable_sort(
        bySource.begin(), bySource.end(), [](auto* a, auto* b) { return a->Offset < b->Offset; });

    struct Written
    {
        uint32_t Tag, CheckSum, Offset, Length;
    };
    std::vector<Written> written;
    size_t headOffset = 0;
    for (const TrueTypeTable* table : bySource) {
        const size_t offset = out.size();
        if (table->Tag == GlyfTag) {
            writer.Bytes(glyphs.Glyf);
        } else if (table->Tag == LocaTag) {
            writer.Bytes(glyphs.Loca);
        } else if (table->Tag == PostTag) {
            ByteReader post = file.TableData(*table);
            post.Skip(4);
            writer.U32(0x00030000);
            writer.Bytes(post.Bytes(PostHeaderLength - 4));
        } else {
            writer.Bytes(file.TableData(*table).Data());
        }
        if (table->Tag == HeadTag) {
            headOffset = offset;
            writer.U32At(offset + HeadCheckSumAdjustment, 0);
        }
        const size_t length = out.size() - offset;
        const uint32_t sum = TableChecksum(std::string_view(out).substr(offset, length));
        written.push_back({table->Tag, sum, uint32_t(offset), uint32_t(length)});
        writer.PadTo(4);
    }

    std::stable_sort(written.begin(), written.end(), [](const Written& a, const Written& b) {
        return a.Tag < b.Tag;
    });
    size_t entry = 12;
    for (const Written& w : written) {
        writer.U32At(entry, w.Tag);
        writer.U32At(entry + 4, w.CheckSum);
        writer.U32At(entry + 8, w.Offset);
        writer.U32At(entry + 12, w.Length);
        entry += 16;
    }
    writer.U32At(headOffset + HeadCheckSumAdjustment, FileCheckSumTarget - TableChecksum(out));
    return out;
}

} // namespace

String WantedFaceName(StringView faceName, bool bold, bool italic)
{
    String name(faceName);
    for (const auto& t : FaceNameTranslations)
        if (faceName == t.FaceName) name = t.FullName;
    if (bold) name += u" Bold";
    if (italic) name += u" Italic";
    return name;
}

std::string SubsetTrueType(std::string_view fontFile,
                           StringView wantedFaceName,
                           std::optional<uint32_t> shapedFace,
                           std::span<const uint16_t> usedGlyphs,
                           TrueTypeSubsetInfo* info)
{
    TrueTypeSubsetInfo localInfo;
    TrueTypeSubsetInfo& seen = info ? *info : localInfo;
    const TrueTypeCollection file(fontFile);
    const PreparedFace prepared = ChooseFace(file, wantedFaceName, shapedFace, seen);
    const TrueTypeFont& face = prepared.Face;

    const TrueTypeTable* glyfTable = face.Find(GlyfTag);
    if (glyfTable == nullptr) throw Exception("Glyph table not found");
    const TrueTypeTable* locaTable = face.Find(LocaTag);
    if (locaTable == nullptr) throw Exception("Unknown IndexToLoc value");
    const ByteReader glyf = file.TableData(*glyfTable);
    const std::vector<uint32_t> locations =
        ReadLocations(file.TableData(*locaTable), prepared.LongLoca);
    const std::vector<bool> kept = KeptGlyphs(glyf, locations, usedGlyphs);
    const CompactedGlyphs glyphs = CompactGlyphs(glyf, locations, kept, prepared.LongLoca);
    seen.KeptGlyphs.clear();
    for (size_t glyph = 0; glyph < kept.size(); ++glyph)
        if (kept[glyph]) seen.KeptGlyphs.push_back(uint16_t(glyph));

    return WriteFontFile(file, face, glyphs);
}

std::string SubsetOrWholeFont(std::string_view fontFile,
                              StringView wantedFaceName,
                              std::optional<uint32_t> shapedFace,
                              std::span<const uint16_t> usedGlyphs)
{
    try {
        return SubsetTrueType(fontFile, wantedFaceName, shapedFace, usedGlyphs);
    } catch (const Exception&) {
        // Any subsetting failure embeds the whole font: larger, but always a correct font.
        return std::string(fontFile);
    }
}

} // namespace vl
