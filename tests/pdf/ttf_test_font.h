// Small synthetic TrueType fonts and collections for the subsetter's tests: every table is
// written by hand, so each case can break exactly one thing.
#pragma once

#include "base/byte_io.h"
#include "base/string.h"
#include "pdf/ttf_reader.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vl::test {

struct TestTable
{
    std::string Tag;
    std::string Data;
};

// Six glyphs: 0 and 1 simple, 2 a composite of 3, 3 a composite of 1 (components of
// components), 4 simple, 5 without outline.
struct TestFace
{
    std::vector<TestTable> Tables; // in file order (deliberately not sorted by tag)

    std::string& Table(const std::string& tag)
    {
        for (auto& t : Tables)
            if (t.Tag == tag) return t.Data;
        Tables.push_back({tag, ""});
        return Tables.back().Data;
    }
    void Remove(const std::string& tag)
    {
        std::erase_if(Tables, [&](auto& t) { return t.Tag == tag; });
    }
};

inline std::string SimpleGlyph(uint8_t fill, size_t length)
{
    std::string glyph;
    ByteWriter w(glyph);
    w.U16(1);                   // one contour
    for (int i = 0; i < 4; ++i) // bounding box
        w.U16(uint16_t(fill));
    glyph.resize(length, char(fill)); // the rest stands for points and instructions
    return glyph;
}

// One component per record; `flags` beyond the "more components" bit are the caller's.
inline std::string CompositeGlyph(const std::vector<uint16_t>& components, uint16_t flags = 0)
{
    std::string glyph;
    ByteWriter w(glyph);
    w.U16(0xFFFF); // -1 contours: composite
    for (int i = 0; i < 4; ++i)
        w.U16(0);
    for (size_t i = 0; i < components.size(); ++i) {
        const bool more = i + 1 < components.size();
        w.U16(uint16_t(flags | (more ? 0x0020 : 0)));
        w.U16(components[i]);
        w.U16(0); // two byte arguments
        if (flags & 0x0001) w.U16(0);
        if (flags & 0x0008) w.U16(0x4000);
        if (flags & 0x0040) w.U32(0x40004000);
        if (flags & 0x0080) w.U32(0), w.U32(0);
    }
    return glyph;
}

inline std::string NameTable(StringView fullName)
{
    std::string name;
    ByteWriter w(name);
    w.U16(0);  // format
    w.U16(2);  // records
    w.U16(30); // storage offset: 6 + 2 * 12
    // A Macintosh record first: it must be skipped.
    for (uint16_t platform : {uint16_t(1), uint16_t(3)}) {
        w.U16(platform);
        w.U16(platform == 3 ? 1 : 0);
        w.U16(platform == 3 ? 0x409 : 0);
        w.U16(4); // full name
        w.U16(uint16_t(fullName.size() * 2));
        w.U16(0);
    }
    for (char16_t c : fullName)
        w.U16(c);
    return name;
}

inline TestFace MakeFace(StringView fullName = u"Test Face", bool longLoca = false)
{
    const std::vector<std::string> glyphs = {SimpleGlyph(0x10, 14),
                                             SimpleGlyph(0x11, 20),
                                             CompositeGlyph({3}, 0x0001 | 0x0008),
                                             CompositeGlyph({1}, 0x0080),
                                             SimpleGlyph(0x14, 12),
                                             ""};
    TestFace face;
    std::string head(54, '\0');
    ByteWriter(head).U32At(0, 0x00010000);
    ByteWriter(head).U32At(8, 0x12345678); // a stale checkSumAdjustment
    ByteWriter(head).U32At(12, 0x5F0F3CF5);
    ByteWriter(head).U16At(50, longLoca ? 1 : 0);
    face.Table("head") = head;
    std::string hhea(36, '\0');
    ByteWriter(hhea).U16At(34, 2);
    face.Table("hhea") = hhea;
    face.Table("DSIG") = std::string(8, '\x01');
    std::string glyf, loca;
    ByteWriter l(loca);
    for (const auto& g : glyphs) {
        longLoca ? l.U32(uint32_t(glyf.size())) : l.U16(uint16_t(glyf.size() / 2));
        glyf += g;
    }
    longLoca ? l.U32(uint32_t(glyf.size())) : l.U16(uint16_t(glyf.size() / 2));
    face.Table("loca") = loca;
    face.Table("glyf") = glyf;
    face.Table("hmtx") = std::string(2 * 4 + 4 * 2, '\x02');
    face.Table("maxp") = std::string("\x00\x01\x00\x00\x00\x06", 6);
    std::string post(32, '\x07');
    ByteWriter(post).U32At(0, 0x00020000);
    face.Table("post") = post + std::string(6, '\x09'); // version 2 glyph names follow
    face.Table("name") = NameTable(fullName);
    face.Table("hdmx") = std::string(5, '\x03');
    return face;
}

// A font file of the faces: a single face as is, several as a "ttcf" collection, with correct
// checksums.
inline std::string BuildFont(const std::vector<TestFace>& faces, uint32_t ttcVersion = 0x00010000)
{
    const bool collection = faces.size() != 1;
    std::string out;
    ByteWriter w(out);
    if (collection) {
        w.U32(TableTag("ttcf"));
        w.U32(ttcVersion);
        w.U32(uint32_t(faces.size()));
        for (size_t i = 0; i < faces.size(); ++i)
            w.U32(0);
    }
    std::vector<size_t> directories;
    for (size_t f = 0; f < faces.size(); ++f) {
        if (collection) w.U32At(12 + 4 * f, uint32_t(out.size()));
        directories.push_back(out.size());
        const auto& tables = faces[f].Tables;
        w.U32(0x00010000);
        w.U16(uint16_t(tables.size()));
        w.U16(0), w.U16(0), w.U16(0);
        out.resize(out.size() + 16 * tables.size());
    }
    for (size_t f = 0; f < faces.size(); ++f) {
        auto tables = faces[f].Tables;
        std::vector<std::pair<std::string, uint32_t>> placed; // tag -> offset
        for (const auto& t : tables) {
            placed.push_back({t.Tag, uint32_t(out.size())});
            w.Bytes(t.Data);
            w.PadTo(4);
        }
        std::vector<size_t> order(tables.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return tables[a].Tag < tables[b].Tag;
        });
        size_t entry = directories[f] + 12;
        for (size_t i : order) {
            const auto& t = tables[i];
            uint32_t sum = TableChecksum(t.Data);
            if (t.Tag == "head") sum -= ByteReader(t.Data).U32At(8);
            w.U32At(entry, ByteReader(t.Tag).U32());
            w.U32At(entry + 4, sum);
            w.U32At(entry + 8, placed[i].second);
            w.U32At(entry + 12, uint32_t(t.Data.size()));
            entry += 16;
        }
    }
    return out;
}

} // namespace vl::test
