#include "base/byte_io.h"
#include "base/exception.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {

TEST(ByteReader, ReadsBigEndianValues)
{
    const std::string data("\x01\x02\xFF\xFE\x80\x00\x00\x01\xAB", 9);
    ByteReader reader(data);
    EXPECT_EQ(reader.U16(), 0x0102);
    EXPECT_EQ(reader.I16(), -2);
    EXPECT_EQ(reader.U32(), 0x80000001u);
    EXPECT_EQ(reader.U8(), 0xAB);
    EXPECT_EQ(reader.Remaining(), 0u);
    EXPECT_EQ(ByteReader(data).U32At(4), 0x80000001u);
    EXPECT_EQ(ByteReader(data).I32(), 0x0102FFFE);
}

// Every read that would pass the end throws and leaves the position where it was.
TEST(ByteReader, EveryReadPastTheEndThrows)
{
    const std::string data("\x01\x02\x03", 3);
    const struct
    {
        const char* Name;
        void (*Read)(ByteReader&);
    } cases[] = {
        {"U32", [](ByteReader& r) { r.U32(); }},
        {"I32", [](ByteReader& r) { r.I32(); }},
        {"U16 at end", [](ByteReader& r) { r.Seek(2), r.U16(); }},
        {"U8 at end", [](ByteReader& r) { r.Seek(3), r.U8(); }},
        {"Seek", [](ByteReader& r) { r.Seek(4); }},
        {"Skip", [](ByteReader& r) { r.Skip(1), r.Skip(3); }},
        {"Bytes", [](ByteReader& r) { r.Bytes(4); }},
        {"U16At", [](ByteReader& r) { r.U16At(2); }},
        {"U32At huge", [](ByteReader& r) { r.U32At(SIZE_MAX - 1); }},
        {"Sub", [](ByteReader& r) { r.Sub(1, 3); }},
        {"Sub huge", [](ByteReader& r) { r.Sub(2, SIZE_MAX); }},
        {"Sub then read", [](ByteReader& r) { r.Sub(1, 1).U16(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ByteReader reader(data);
        EXPECT_THROW(c.Read(reader), EReadError);
    }
}

TEST(ByteReader, SubReaderSeesOnlyItsRange)
{
    const std::string data("\x00\x01\x02\x03\x04\x05", 6);
    ByteReader sub = ByteReader(data).Sub(2, 3);
    EXPECT_EQ(sub.Size(), 3u);
    EXPECT_EQ(sub.U16(), 0x0203);
    EXPECT_EQ(sub.Bytes(1), std::string_view("\x04", 1));
    EXPECT_THROW(sub.U8(), EReadError);
    EXPECT_EQ(ByteReader(data).Sub(6, 0).Size(), 0u);
}

TEST(ByteWriter, WritesBigEndianAndPatches)
{
    std::string out;
    ByteWriter writer(out);
    writer.U16(0x0102);
    writer.U32(0xA0B0C0D0);
    writer.U8(7);
    writer.PadTo(4);
    EXPECT_EQ(out, std::string("\x01\x02\xA0\xB0\xC0\xD0\x07\x00", 8));
    writer.U16At(0, 0xFFEE);
    writer.U32At(4, 0x01020304);
    EXPECT_EQ(out, std::string("\xFF\xEE\xA0\xB0\x01\x02\x03\x04", 8));
    EXPECT_THROW(writer.U32At(5, 0), EInternalError);
}

} // namespace vl
