// Checked big-endian byte access.
#include "base/byte_io.h"

#include "base/exception.h"

namespace vl {

void ByteReader::Require(size_t offset, size_t count) const
{
    if (offset > FData.size() || count > FData.size() - offset)
        throw EReadError("Unexpected end of data");
}

void ByteReader::Seek(size_t position)
{
    Require(position, 0);
    FPosition = position;
}

void ByteReader::Skip(size_t count)
{
    Require(FPosition, count);
    FPosition += count;
}

uint8_t ByteReader::U8At(size_t offset) const
{
    Require(offset, 1);
    return uint8_t(FData[offset]);
}

uint16_t ByteReader::U16At(size_t offset) const
{
    Require(offset, 2);
    return uint16_t(uint8_t(FData[offset]) << 8 | uint8_t(FData[offset + 1]));
}

uint32_t ByteReader::U32At(size_t offset) const
{
    Require(offset, 4);
    return uint32_t(uint8_t(FData[offset])) << 24 | uint32_t(uint8_t(FData[offset + 1])) << 16 |
           uint32_t(uint8_t(FData[offset + 2])) << 8 | uint32_t(uint8_t(FData[offset + 3]));
}

uint8_t ByteReader::U8()
{
    const uint8_t value = U8At(FPosition);
    FPosition += 1;
    return value;
}

uint16_t ByteReader::U16()
{
    const uint16_t value = U16At(FPosition);
    FPosition += 2;
    return value;
}

int16_t ByteReader::I16()
{
    return int16_t(U16());
}

uint32_t ByteReader::U32()
{
    const uint32_t value = U32At(FPosition);
    FPosition += 4;
    return value;
}

int32_t ByteReader::I32()
{
    return int32_t(U32());
}

std::string_view ByteReader::Bytes(size_t count)
{
    Require(FPosition, count);
    const std::string_view bytes = FData.substr(FPosition, count);
    FPosition += count;
    return bytes;
}

ByteReader ByteReader::Sub(size_t offset, size_t length) const
{
    Require(offset, length);
    return ByteReader(FData.substr(offset, length));
}

void ByteWriter::U16(uint16_t value)
{
    FOut += char(value >> 8);
    FOut += char(value);
}

void ByteWriter::U32(uint32_t value)
{
    FOut += char(value >> 24);
    FOut += char(value >> 16);
    FOut += char(value >> 8);
    FOut += char(value);
}

void ByteWriter::PadTo(size_t alignment)
{
    while (FOut.size() % alignment != 0)
        FOut += '\0';
}

void ByteWriter::U16At(size_t offset, uint16_t value)
{
    Expects(offset <= FOut.size() && FOut.size() - offset >= 2, "ByteWriter::U16At in range");
    FOut[offset] = char(value >> 8);
    FOut[offset + 1] = char(value);
}

void ByteWriter::U32At(size_t offset, uint32_t value)
{
    Expects(offset <= FOut.size() && FOut.size() - offset >= 4, "ByteWriter::U32At in range");
    FOut[offset] = char(value >> 24);
    FOut[offset + 1] = char(value >> 16);
    FOut[offset + 2] = char(value >> 8);
    FOut[offset + 3] = char(value);
}

} // namespace vl
