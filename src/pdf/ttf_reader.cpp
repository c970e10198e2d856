// TrueType structure reading over ByteReader (OpenType file format, "Organization of an
// OpenType font" and "Font collections").
#include "pdf/ttf_reader.h"

#include "base/exception.h"

namespace vl {

namespace {

constexpr uint32_t SingleFaceVersion = 0x00010000;
constexpr uint32_t CollectionTag = TableTag("ttcf");
constexpr uint16_t FullNameId = 4;

} // namespace

std::string TagText(uint32_t tag)
{
    return {char(tag >> 24), char(tag >> 16), char(tag >> 8), char(tag)};
}

uint32_t TableChecksum(std::string_view bytes)
{
    uint32_t sum = 0;
    size_t i = 0;
    for (; i + 4 <= bytes.size(); i += 4)
        sum += uint32_t(uint8_t(bytes[i])) << 24 | uint32_t(uint8_t(bytes[i + 1])) << 16 |
               uint32_t(uint8_t(bytes[i + 2])) << 8 | uint32_t(uint8_t(bytes[i + 3]));
    for (int shift = 24; i < bytes.size(); ++i, shift -= 8)
        sum += uint32_t(uint8_t(bytes[i])) << shift;
    return sum;
}

const TrueTypeTable* TrueTypeFont::Find(uint32_t tag) const
{
    for (const auto& table : Tables)
        if (table.Tag == tag) return &table;
    return nullptr;
}

TrueTypeCollection::TrueTypeCollection(std::string_view file)
    : FFile(file)
{
    const uint32_t signature = file.size() >= 4 ? FFile.U32At(0) : 0;
    if (signature == SingleFaceVersion) return;
    if (signature != CollectionTag) throw Exception("TrueType font format error");
    const uint32_t version = FFile.U32At(4);
    if (version != 0x00010000 && version != 0x00020000)
        throw Exception("Unknown font collection version");
    FIsCollection = true;
    FFaceCount = FFile.U32At(8);
    if (FFaceCount == 0) throw Exception("TrueType font format error");
    FFile.Sub(12, size_t(FFaceCount) * 4); // every face offset lies inside the file
}

TrueTypeFont TrueTypeCollection::ReadFace(uint32_t index) const
{
    Expects(index < FFaceCount, "face index inside the collection");
    ByteReader reader = FFile;
    reader.Seek(FIsCollection ? FFile.U32At(12 + size_t(index) * 4) : 0);
    TrueTypeFont face;
    face.SfntVersion = reader.U32();
    const uint16_t numTables = reader.U16();
    face.SearchRange = reader.U16();
    face.EntrySelector = reader.U16();
    face.RangeShift = reader.U16();
    reader.Sub(reader.Position(), size_t(numTables) * 16); // the whole directory is present
    face.Tables.resize(numTables);
    for (auto& table : face.Tables) {
        table.Tag = reader.U32();
        table.CheckSum = reader.U32();
        table.Offset = reader.U32();
        table.Length = reader.U32();
    }
    return face;
}

ByteReader TrueTypeCollection::TableData(const TrueTypeTable& table) const
{
    return FFile.Sub(table.Offset, table.Length);
}

std::optional<String> TrueTypeCollection::FullName(const TrueTypeFont& face) const
{
    const TrueTypeTable* entry = face.Find(TableTag("name"));
    if (entry == nullptr) return std::nullopt;
    ByteReader name = TableData(*entry);
    name.Skip(2); // format
    const uint16_t count = name.U16();
    const uint16_t storage = name.U16();
    for (uint16_t i = 0; i < count; ++i) {
        const uint16_t platform = name.U16();
        const uint16_t encoding = name.U16();
        name.Skip(2); // language
        const uint16_t nameId = name.U16();
        const uint16_t length = name.U16();
        const uint16_t offset = name.U16();
        if (nameId != FullNameId || !((platform == 3 && encoding == 1) || platform == 0)) continue;
        ByteReader text = name.Sub(size_t(storage) + offset, length);
        String result;
        result.reserve(length / 2);
        while (text.Remaining() >= 2)
            result += char16_t(text.U16());
        return result;
    }
    return std::nullopt;
}

} // namespace vl
