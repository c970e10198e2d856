// Little-endian reads for the Windows image formats (bitmap, icon, metafile headers), on top of
// the checked big-endian ByteReader: every read is still bounds-checked there.
#pragma once

#include "base/byte_io.h"

#include <cstdint>

namespace vl::le {

inline uint16_t Swap16(uint16_t v)
{
    return uint16_t(v >> 8 | v << 8);
}
inline uint32_t Swap32(uint32_t v)
{
    return v >> 24 | (v >> 8 & 0xFF00u) | (v << 8 & 0xFF0000u) | v << 24;
}

inline uint16_t U16(ByteReader& r)
{
    return Swap16(r.U16());
}
inline uint32_t U32(ByteReader& r)
{
    return Swap32(r.U32());
}
inline int32_t I32(ByteReader& r)
{
    return int32_t(U32(r));
}
inline uint16_t U16At(const ByteReader& r, size_t offset)
{
    return Swap16(r.U16At(offset));
}
inline uint32_t U32At(const ByteReader& r, size_t offset)
{
    return Swap32(r.U32At(offset));
}

} // namespace vl::le
