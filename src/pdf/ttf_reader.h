// Reading TrueType font files and collections: the collection header, each face's offset table
// and table directory, table checksums and the face's full name. The subsetter builds on it.
//
// Every value comes through a ByteReader, so a read outside the file throws EReadError; the
// structural checks here throw Exception with the fixed texts "TrueType font format error" and
// "Unknown font collection version". Tables are located but not validated: a table's range is
// checked when its data is asked for.
#pragma once

#include "base/byte_io.h"
#include "base/string.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

// A table tag from its four characters: TableTag("glyf").
constexpr uint32_t TableTag(const char (&name)[5])
{
    return uint32_t(uint8_t(name[0])) << 24 | uint32_t(uint8_t(name[1])) << 16 |
           uint32_t(uint8_t(name[2])) << 8 | uint32_t(uint8_t(name[3]));
}

// The four characters of a tag.
std::string TagText(uint32_t tag);

// The standard table checksum: the sum modulo 2^32 of the big-endian 32-bit words, a last
// partial word padded with zeros.
uint32_t TableChecksum(std::string_view bytes);

// One entry of a face's table directory.
struct TrueTypeTable
{
    uint32_t Tag = 0;
    uint32_t CheckSum = 0; // as stored in the directory
    uint32_t Offset = 0;   // from the start of the file, in bytes
    uint32_t Length = 0;   // in bytes, without padding
};

// One face: its offset table and directory, in file order.
struct TrueTypeFont
{
    uint32_t SfntVersion = 0;
    uint16_t SearchRange = 0;
    uint16_t EntrySelector = 0;
    uint16_t RangeShift = 0;
    std::vector<TrueTypeTable> Tables;

    // The first table with the tag, or null.
    const TrueTypeTable* Find(uint32_t tag) const;
};

// A font file: one face, or a collection ("ttcf") of faces. Views the bytes; does not own them.
class TrueTypeCollection
{
public:
    // Reads the header: a single face starts with 00 01 00 00; a collection starts with "ttcf",
    // version 1.0 or 2.0, then the face count and one offset per face. Throws on anything else.
    explicit TrueTypeCollection(std::string_view file);

    std::string_view Data() const { return FFile.Data(); }
    uint32_t FaceCount() const { return FFaceCount; }

    // The offset table and directory of face `index` (0 <= index < FaceCount()).
    TrueTypeFont ReadFace(uint32_t index) const;

    // A reader over the table's bytes; throws EReadError when the table lies outside the file.
    ByteReader TableData(const TrueTypeTable& table) const;

    // The full name (name id 4) of the first record for Windows Unicode (platform 3, encoding 1)
    // or Unicode (platform 0), decoded from UTF-16 big-endian; nothing when there is none.
    std::optional<String> FullName(const TrueTypeFont& face) const;

private:
    ByteReader FFile;
    bool FIsCollection = false;
    uint32_t FFaceCount = 1;
};

} // namespace vl
