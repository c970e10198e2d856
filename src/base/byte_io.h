// Big-endian reading and writing of binary formats (TrueType fonts, images). Every read is checked
// against the end of its data at this boundary and throws EReadError when it would pass it, so the
// parsing code above can trust each value it gets and needs no checks of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

// A cursor over bytes it does not own. Reads advance the position; the `...At` forms read at an
// absolute offset and leave the position alone.
class ByteReader
{
public:
    ByteReader() = default;
    explicit ByteReader(std::string_view data)
        : FData(data)
    {}

    std::string_view Data() const { return FData; }
    size_t Size() const { return FData.size(); }
    size_t Position() const { return FPosition; }
    size_t Remaining() const { return FData.size() - FPosition; }

    // Moves to `position` (the end itself is allowed); throws EReadError past the end.
    void Seek(size_t position);
    void Skip(size_t count);

    uint8_t U8();
    uint16_t U16();
    int16_t I16();
    uint32_t U32();
    int32_t I32();
    // The next `count` bytes, viewed in place.
    std::string_view Bytes(size_t count);

    uint8_t U8At(size_t offset) const;
    uint16_t U16At(size_t offset) const;
    uint32_t U32At(size_t offset) const;

    // A reader over `length` bytes from `offset`, positioned at its start; throws EReadError when
    // the range does not lie inside this reader's data.
    ByteReader Sub(size_t offset, size_t length) const;

private:
    // Throws EReadError unless `count` bytes exist at `offset`.
    void Require(size_t offset, size_t count) const;

    std::string_view FData;
    size_t FPosition = 0;
};

// Appends big-endian values to a byte string it does not own; `...At` forms overwrite bytes
// already written (an offset past the written data is an internal error).
class ByteWriter
{
public:
    explicit ByteWriter(std::string& out)
        : FOut(out)
    {}

    size_t Position() const { return FOut.size(); }

    void U8(uint8_t value) { FOut += char(value); }
    void U16(uint16_t value);
    void U32(uint32_t value);
    void Bytes(std::string_view bytes) { FOut += bytes; }
    // Zero bytes up to the next multiple of `alignment`.
    void PadTo(size_t alignment);

    void U16At(size_t offset, uint16_t value);
    void U32At(size_t offset, uint32_t value);

private:
    std::string& FOut;
};

} // namespace vl
