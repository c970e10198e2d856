// Windows bitmap files and device-independent bitmaps (also the images inside icons). Pixels are
// first gathered as straight 0xAARRGGBB and premultiplied at the end, because whether the alpha
// bytes mean anything is only known once every pixel has been seen.
#include "platform/images/bmp_decoder.h"

#include "base/byte_io.h"
#include "base/exception.h"
#include "base/format.h"
#include "platform/images/dib_internal.h"
#include "platform/images/image_error.h"
#include "platform/images/little_endian_internal.h"

#include <array>
#include <bit>

namespace vl {
namespace {

constexpr size_t FileHeaderBytes = 14;
constexpr size_t CoreHeaderBytes = 12;
constexpr size_t InfoHeaderBytes = 40;
constexpr size_t Os2HeaderBytes = 64; // OS/2 2.x: info fields, other compression codes

enum Compression : uint32_t
{
    BiRgb = 0,
    BiRle8 = 1,
    BiRle4 = 2,
    BiBitFields = 3,
    BiAlphaBitFields = 6,
};

constexpr uint32_t OpaqueBlack = 0xFF000000u;

[[noreturn]] void Fail(const char16_t* why)
{
    throw EInvalidGraphic(Format(u"Invalid bitmap image: %s", {StringView(why)}));
}

struct DibHeader
{
    size_t Size = 0;      // bytes of the header itself
    int64_t Width = 0;    // pixels
    int64_t Height = 0;   // pixels, made positive
    bool TopDown = false; // rows stored top row first
    int BitCount = 0;
    uint32_t Compression = BiRgb;
    uint32_t ColorsUsed = 0;
    std::array<uint32_t, 4> Masks{}; // red, green, blue, alpha; all zero when not bit fields
    size_t MaskBytes = 0;            // masks stored after a plain info header
};

DibHeader ReadHeader(ByteReader& r)
{
    DibHeader h;
    h.Size = le::U32(r);
    int64_t height = 0;
    if (h.Size == CoreHeaderBytes) {
        h.Width = le::U16(r);
        height = le::U16(r);
        r.Skip(2); // planes
        h.BitCount = le::U16(r);
    } else if (h.Size >= InfoHeaderBytes) {
        h.Width = le::I32(r);
        height = le::I32(r);
        r.Skip(2); // planes
        h.BitCount = le::U16(r);
        h.Compression = le::U32(r);
        r.Skip(12); // image size, resolution
        h.ColorsUsed = le::U32(r);
        if (h.Size == Os2HeaderBytes && h.Compression > BiRle4)
            Fail(u"OS/2 compression is not supported");
        const bool bitFields = h.Compression == BiBitFields || h.Compression == BiAlphaBitFields;
        if (h.Size >= InfoHeaderBytes + 12 && h.Size != Os2HeaderBytes) {
            for (int i = 0; i < 3; ++i)
                h.Masks[size_t(i)] = le::U32At(r, InfoHeaderBytes + 4 * size_t(i));
            if (h.Size >= InfoHeaderBytes + 16) h.Masks[3] = le::U32At(r, InfoHeaderBytes + 12);
        } else if (bitFields) {
            h.MaskBytes = h.Compression == BiAlphaBitFields ? 16 : 12;
            for (size_t i = 0; i < h.MaskBytes / 4; ++i)
                h.Masks[i] = le::U32At(r, h.Size + 4 * i);
        }
        if (!bitFields) h.Masks = {};
    } else {
        Fail(u"unknown header");
    }
    h.TopDown = height < 0;
    h.Height = height < 0 ? -height : height;
    return h;
}

// One bit-field channel scaled to 8 bits.
struct Channel
{
    uint32_t Mask = 0;
    int Shift = 0;
    uint32_t Max = 0;

    explicit Channel(uint32_t mask)
        : Mask(mask)
        , Shift(mask ? std::countr_zero(mask) : 0)
        , Max(mask >> Shift)
    {}
    uint8_t Of(uint32_t pixel) const
    {
        if (!Mask) return 0;
        return uint8_t((uint64_t((pixel & Mask) >> Shift) * 255 + Max / 2) / Max);
    }
};

struct PixelDecoder
{
    const DibHeader& Header;
    std::array<uint32_t, 256> Palette{}; // straight ARGB
    size_t PaletteCount = 0;
    Channel Red, Green, Blue, Alpha;
    bool IconAlpha = false; // 32-bit BI_RGB pixels carry alpha (icons)

    PixelDecoder(const DibHeader& header, bool iconAlpha)
        : Header(header)
        , Red(header.Masks[0])
        , Green(header.Masks[1])
        , Blue(header.Masks[2])
        , Alpha(header.Masks[3])
        , IconAlpha(iconAlpha)
    {}

    uint32_t Indexed(uint32_t index) const
    {
        return index < PaletteCount ? Palette[index] : OpaqueBlack;
    }

    void DecodeRow(const uint8_t* src, uint32_t* out, int width) const
    {
        switch (Header.BitCount) {
        case 1:
            for (int x = 0; x < width; ++x)
                out[x] = Indexed(src[x >> 3] >> (7 - (x & 7)) & 1);
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                out[x] = Indexed(src[x >> 1] >> ((x & 1) ? 0 : 4) & 15);
            break;
        case 8:
            for (int x = 0; x < width; ++x)
                out[x] = Indexed(src[x]);
            break;
        case 16:
            for (int x = 0; x < width; ++x, src += 2)
                out[x] = FromFields(uint32_t(src[0]) | uint32_t(src[1]) << 8);
            break;
        case 24:
            for (int x = 0; x < width; ++x, src += 3)
                out[x] = OpaqueBlack | uint32_t(src[2]) << 16 | uint32_t(src[1]) << 8 | src[0];
            break;
        default: // 32
            for (int x = 0; x < width; ++x, src += 4) {
                const uint32_t v = uint32_t(src[0]) | uint32_t(src[1]) << 8 |
                                   uint32_t(src[2]) << 16 | uint32_t(src[3]) << 24;
                if (Red.Mask || Green.Mask || Blue.Mask)
                    out[x] = FromFields(v);
                else
                    out[x] = IconAlpha ? v : (v | OpaqueBlack);
            }
            break;
        }
    }

    uint32_t FromFields(uint32_t v) const
    {
        const uint32_t a = Alpha.Mask ? Alpha.Of(v) : 255;
        return a << 24 | uint32_t(Red.Of(v)) << 16 | uint32_t(Green.Of(v)) << 8 | Blue.Of(v);
    }

    bool AlphaMeaningful() const { return Alpha.Mask != 0 || (IconAlpha && Header.BitCount == 32); }
};

// Run-length encoded pixels (bottom-up only). Runs and deltas that leave the image are clipped;
// the data ends at the end-of-bitmap escape or when the rows are used up.
void DecodeRle(ByteReader r, const PixelDecoder& pixels, Bitmap& out)
{
    const bool four = pixels.Header.Compression == BiRle4;
    const int64_t width = out.Width();
    const int64_t height = out.Height();
    int64_t x = 0;
    int64_t y = 0; // counted from the bottom row
    auto put = [&](uint32_t index) {
        if (x < width && y < height)
            out.SetPixel(int(x), int(height - 1 - y), pixels.Indexed(index));
        ++x;
    };
    while (y < height) {
        const uint8_t count = r.U8();
        const uint8_t value = r.U8();
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(four ? ((i & 1) ? value & 15 : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            x += r.U8();
            y += r.U8();
        } else { // absolute run of `value` pixels, padded to 16 bits
            const size_t bytes = four ? (size_t(value) + 1) / 2 : value;
            std::string_view run = r.Bytes(bytes);
            for (int i = 0; i < value; ++i) {
                const uint8_t b = uint8_t(run[size_t(four ? i / 2 : i)]);
                put(four ? ((i & 1) ? b & 15 : b >> 4) : b);
            }
            if (bytes & 1) r.Skip(1);
        }
    }
}

// Straight ARGB to the bitmap's premultiplied form.
void Premultiply(Bitmap& bitmap)
{
    uint32_t* p = bitmap.Data();
    const size_t count = size_t(bitmap.Width()) * size_t(bitmap.Height());
    for (size_t i = 0; i < count; ++i) {
        const uint32_t v = p[i];
        p[i] = PremultipliedArgb(uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v), uint8_t(v >> 24));
    }
}

bool AllAlphaZero(const Bitmap& bitmap)
{
    const uint32_t* p = bitmap.Data();
    const size_t count = size_t(bitmap.Width()) * size_t(bitmap.Height());
    for (size_t i = 0; i < count; ++i)
        if (p[i] >> 24) return false;
    return true;
}

void SetOpaque(Bitmap& bitmap)
{
    uint32_t* p = bitmap.Data();
    const size_t count = size_t(bitmap.Width()) * size_t(bitmap.Height());
    for (size_t i = 0; i < count; ++i)
        p[i] |= OpaqueBlack;
}

// Clears the pixels whose bit is set in an icon's 1-bit AND mask (bottom-up rows).
void ApplyAndMask(std::string_view mask, size_t stride, Bitmap& bitmap)
{
    const int height = bitmap.Height();
    for (int row = 0; row < height; ++row) {
        const auto* bits = reinterpret_cast<const uint8_t*>(mask.data()) + size_t(row) * stride;
        uint32_t* out = bitmap.Row(height - 1 - row);
        for (int x = 0; x < bitmap.Width(); ++x)
            if (bits[x >> 3] >> (7 - (x & 7)) & 1) out[x] = 0;
    }
}

size_t RowStride(int64_t width, int bitCount)
{
    return size_t((uint64_t(width) * uint64_t(bitCount) + 31) / 32 * 4);
}

} // namespace

Bitmap DecodeDib(std::string_view dib, std::optional<size_t> pixelOffset, DibUse use)
{
    ByteReader r(dib);
    const DibHeader h = ReadHeader(r);
    const bool icon = use == DibUse::IconImage;
    const int64_t height = icon ? h.Height / 2 : h.Height;
    const int bits = h.BitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        Fail(u"unsupported number of bits per pixel");
    const bool rle = h.Compression == BiRle8 || h.Compression == BiRle4;
    if ((h.Compression == BiRle8 && bits != 8) || (h.Compression == BiRle4 && bits != 4) ||
        ((h.Compression == BiBitFields || h.Compression == BiAlphaBitFields) && bits != 16 &&
         bits != 32) ||
        h.Compression > BiAlphaBitFields || h.Compression == 4 || h.Compression == 5) {
        Fail(u"unsupported compression");
    }
    if (rle && (h.TopDown || icon)) Fail(u"run-length encoded rows must be bottom-up");
    CheckImageSize(h.Width, height, "bitmap");

    // 16-bit pixels without masks are 5-5-5.
    DibHeader fields = h;
    if (bits == 16 && !h.Masks[0] && !h.Masks[1] && !h.Masks[2])
        fields.Masks = {0x7C00, 0x03E0, 0x001F, 0};
    PixelDecoder decoder(fields, icon);

    // The palette follows the header (and the masks of a plain info header).
    const size_t entryBytes = h.Size == CoreHeaderBytes ? 3 : 4;
    size_t paletteCount = h.ColorsUsed;
    if (bits <= 8 && paletteCount == 0) paletteCount = size_t(1) << bits;
    if (paletteCount > 256) Fail(u"the palette has more than 256 colours");
    const size_t paletteStart = h.Size + h.MaskBytes;
    if (bits <= 8) {
        ByteReader palette = r.Sub(paletteStart, paletteCount * entryBytes);
        decoder.PaletteCount = paletteCount;
        for (size_t i = 0; i < paletteCount; ++i) {
            std::string_view e = palette.Bytes(entryBytes);
            decoder.Palette[i] = OpaqueBlack | uint32_t(uint8_t(e[2])) << 16 |
                                 uint32_t(uint8_t(e[1])) << 8 | uint8_t(e[0]);
        }
    }
    const size_t pixelStart = pixelOffset ? *pixelOffset : paletteStart + paletteCount * entryBytes;
    if (pixelStart > dib.size()) Fail(u"the pixel data lies outside the file");

    if (rle) {
        Bitmap bitmap(int(h.Width), int(height));
        DecodeRle(r.Sub(pixelStart, dib.size() - pixelStart), decoder, bitmap);
        Premultiply(bitmap);
        return bitmap;
    }

    // Every row must be there (the last may lack its padding) before any pixel memory is taken.
    const size_t stride = RowStride(h.Width, bits);
    const size_t rowBytes = size_t((uint64_t(h.Width) * uint64_t(bits) + 7) / 8);
    const size_t needed = stride * size_t(height - 1) + rowBytes;
    std::string_view data = r.Sub(pixelStart, needed).Data();
    Bitmap bitmap(int(h.Width), int(height));
    const int width = bitmap.Width();
    for (int64_t i = 0; i < height; ++i) {
        const auto* src = reinterpret_cast<const uint8_t*>(data.data()) + size_t(i) * stride;
        decoder.DecodeRow(src, bitmap.Row(int(h.TopDown ? i : height - 1 - i)), width);
    }

    // Alpha that is zero everywhere was never meant (writers leave the byte empty): such images
    // are opaque, or, for icons, shaped by their AND mask.
    bool useMask = icon;
    if (decoder.AlphaMeaningful()) {
        if (AllAlphaZero(bitmap))
            SetOpaque(bitmap);
        else
            useMask = false;
    }
    if (useMask) {
        const size_t maskStride = RowStride(h.Width, 1);
        const size_t maskStart = pixelStart + stride * size_t(height);
        // An icon without its mask (some writers drop it) shows all its pixels.
        if (maskStart <= dib.size() && dib.size() - maskStart >= maskStride * size_t(height))
            ApplyAndMask(dib.substr(maskStart, maskStride * size_t(height)), maskStride, bitmap);
    }
    Premultiply(bitmap);
    return bitmap;
}

Bitmap DecodeBmp(std::string_view bytes)
{
    // Truncation anywhere is reported as a broken image, like every other fault of the data.
    try {
        ByteReader r(bytes);
        if (r.Bytes(2) != "BM") Fail(u"the signature is missing");
        r.Skip(8); // file size, reserved
        const uint32_t offBits = le::U32(r);
        std::string_view dib = bytes.substr(FileHeaderBytes);
        // Some writers leave the offset 0; the pixels then follow the palette.
        std::optional<size_t> pixelOffset;
        if (offBits >= FileHeaderBytes + CoreHeaderBytes) pixelOffset = offBits - FileHeaderBytes;
        return DecodeDib(dib, pixelOffset, DibUse::BitmapFile);
    } catch (const EReadError&) {
        Fail(u"the data ends early");
    }
}

} // namespace vl
