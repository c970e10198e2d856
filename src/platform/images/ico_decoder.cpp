// Windows icons: a directory of images, each a PNG or a DIB whose rows are followed by a mask.
#include "platform/images/ico_decoder.h"

#include "base/byte_io.h"
#include "base/exception.h"
#include "platform/images/dib_internal.h"
#include "platform/images/image_error.h"
#include "platform/images/little_endian_internal.h"
#include "platform/images/png_decoder.h"

namespace vl {
namespace {

constexpr size_t DirectoryEntryBytes = 16;

struct IconEntry
{
    uint32_t Pixels = 0; // width x height as the directory states them
    uint16_t BitCount = 0;
    uint32_t Size = 0;   // bytes of the image
    uint32_t Offset = 0; // from the start of the file
};

IconEntry ReadEntry(ByteReader& r)
{
    ByteReader e = r.Sub(r.Position(), DirectoryEntryBytes);
    r.Skip(DirectoryEntryBytes);
    IconEntry entry;
    // A stored 0 means 256 pixels.
    const uint32_t width = e.U8At(0) ? e.U8At(0) : 256;
    const uint32_t height = e.U8At(1) ? e.U8At(1) : 256;
    entry.Pixels = width * height;
    entry.BitCount = le::U16At(e, 6);
    entry.Size = le::U32At(e, 8);
    entry.Offset = le::U32At(e, 12);
    return entry;
}

} // namespace

Bitmap DecodeIco(std::string_view bytes)
{
    // Truncation anywhere is reported as a broken image, like every other fault of the data.
    try {
        ByteReader r(bytes);
        const uint16_t reserved = le::U16(r);
        const uint16_t type = le::U16(r); // 1 icon, 2 cursor
        const uint16_t count = le::U16(r);
        if (reserved != 0 || (type != 1 && type != 2) || count == 0)
            throw EInvalidGraphic("Invalid icon image: the header is not an icon's");
        IconEntry best;
        for (uint16_t i = 0; i < count; ++i) {
            const IconEntry entry = ReadEntry(r);
            if (i == 0 || entry.Pixels > best.Pixels ||
                (entry.Pixels == best.Pixels && entry.BitCount > best.BitCount)) {
                best = entry;
            }
        }
        std::string_view image = r.Sub(best.Offset, best.Size).Data();
        if (image.substr(0, PngSignature.size()) == PngSignature) return DecodePng(image);
        return DecodeDib(image, std::nullopt, DibUse::IconImage);
    } catch (const EReadError&) {
        throw EInvalidGraphic("Invalid icon image: the data ends early");
    }
}

} // namespace vl
