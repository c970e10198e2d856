// The image decoders (PNG, JPEG, BMP, icons), the JPEG encoder and the table of broken and hostile
// images every decoder must refuse with a clear error.
#include "base/exception.h"
#include "base/limits.h"
#include "platform/images/bitmap.h"
#include "platform/images/bmp_decoder.h"
#include "platform/images/ico_decoder.h"
#include "platform/images/image_error.h"
#include "platform/images/jpeg_codec.h"
#include "platform/images/png_decoder.h"

#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace vl {
namespace {

std::string Sample(const std::string& name)
{
    std::ifstream in(std::string(VL_TEST_DATA_DIR) + "/images/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Little-endian bytes for hand-built bitmaps and icons.
struct LeBytes
{
    std::string Out;
    LeBytes& U8(uint32_t v)
    {
        Out += char(v & 0xFF);
        return *this;
    }
    LeBytes& U16(uint32_t v) { return U8(v).U8(v >> 8); }
    LeBytes& U32(uint32_t v) { return U16(v).U16(v >> 16); }
    LeBytes& Raw(std::string_view s)
    {
        Out += s;
        return *this;
    }
};

struct DibSpec
{
    DibSpec(int width,
            int height,
            int bits,
            uint32_t compression,
            std::vector<uint32_t> palette,
            std::string pixels,
            std::vector<uint32_t> masks = {})
        : Width(width)
        , Height(height)
        , Bits(bits)
        , Compression(compression)
        , Palette(std::move(palette))
        , Pixels(std::move(pixels))
        , Masks(std::move(masks))
    {}

    int Width;
    int Height; // negative: top-down rows
    int Bits;
    uint32_t Compression;
    std::vector<uint32_t> Palette; // 0xRRGGBB
    std::string Pixels;            // rows as stored, padded
    std::vector<uint32_t> Masks;   // after a 40-byte header
};

std::string InfoHeader(const DibSpec& d, int storedHeight)
{
    LeBytes b;
    b.U32(40).U32(uint32_t(d.Width)).U32(uint32_t(storedHeight)).U16(1).U16(uint32_t(d.Bits));
    b.U32(d.Compression).U32(uint32_t(d.Pixels.size())).U32(2835).U32(2835);
    b.U32(uint32_t(d.Palette.size())).U32(0);
    for (uint32_t m : d.Masks)
        b.U32(m);
    for (uint32_t c : d.Palette)
        b.U8(c).U8(c >> 8).U8(c >> 16).U8(0); // stored B, G, R, 0
    return b.Out;
}

std::string MakeBmp(const DibSpec& d)
{
    std::string dib = InfoHeader(d, d.Height);
    LeBytes b;
    b.Raw("BM").U32(uint32_t(14 + dib.size() + d.Pixels.size())).U32(0);
    b.U32(uint32_t(14 + dib.size())).Raw(dib).Raw(d.Pixels);
    return b.Out;
}

uint32_t Argb(uint32_t rgb, uint8_t a = 255)
{
    return PremultipliedArgb(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), a);
}

// Expected pixels as 0xRRGGBB (opaque) rows, top row first.
void ExpectPixels(const Bitmap& b, const std::vector<std::vector<uint32_t>>& rows)
{
    ASSERT_EQ(b.Height(), int(rows.size()));
    for (size_t y = 0; y < rows.size(); ++y) {
        ASSERT_EQ(b.Width(), int(rows[y].size()));
        for (size_t x = 0; x < rows[y].size(); ++x) {
            SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
            EXPECT_EQ(b.Pixel(int(x), int(y)), Argb(rows[y][x]))
                << std::hex << b.Pixel(int(x), int(y));
        }
    }
}

void ExpectNear(uint32_t pixel, uint32_t rgb, int tolerance)
{
    for (int shift : {16, 8, 0})
        EXPECT_NEAR(int(pixel >> shift & 0xFF), int(rgb >> shift & 0xFF), tolerance)
            << std::hex << pixel << " vs " << rgb;
    EXPECT_EQ(pixel >> 24, 0xFFu);
}

TEST(Bitmap, SizeIsCheckedAtTheLimitAndOnePast)
{
    EXPECT_NO_THROW(CheckImageSize(int64_t(limits::ImageMaxPixels), 1, "PNG"));
    EXPECT_NO_THROW(CheckImageSize(1, int64_t(limits::ImageMaxPixels), "PNG"));
    try {
        CheckImageSize(int64_t(limits::ImageMaxPixels) + 1, 1, "PNG");
        FAIL() << "no error";
    } catch (const ELimitExceeded& e) {
        EXPECT_STREQ(e.what(),
                     "The PNG image of 67108865 x 1 pixels is larger than the limit of 67108864 "
                     "pixels");
    }
    EXPECT_THROW(CheckImageSize(0, 5, "PNG"), EInvalidGraphic);
    EXPECT_THROW(CheckImageSize(5, -1, "PNG"), EInvalidGraphic);
}

TEST(Bitmap, UsesCairoArgb32LayoutAndCompositesOverABackground)
{
    Bitmap b(2, 1);
    EXPECT_EQ(b.Stride(), 8);
    EXPECT_EQ(b.Pixel(0, 0), 0u); // starts transparent
    EXPECT_TRUE(b.HasAlpha());
    b.SetPixel(0, 0, PremultipliedArgb(255, 0, 0));
    b.SetPixel(1, 0, PremultipliedArgb(0, 0, 255, 128));
    EXPECT_EQ(b.Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(b.Pixel(1, 0), 0x80000080u);
    // Over white (report colour 0xFFFFFF) and over green (0x00FF00 in report order).
    EXPECT_EQ(b.RgbRows(), (std::vector<uint8_t>{255, 0, 0, 127, 127, 255}));
    EXPECT_EQ(b.RgbRows(0x00FF00), (std::vector<uint8_t>{255, 0, 0, 0, 127, 128}));
    b.SetPixel(1, 0, PremultipliedArgb(1, 2, 3));
    EXPECT_FALSE(b.HasAlpha());
}

TEST(PngDecoder, ConvertsEveryColourTypeToPremultipliedArgb)
{
    Bitmap rgba = DecodePng(Sample("rgba.png"));
    ASSERT_EQ(rgba.Width(), 3);
    ASSERT_EQ(rgba.Height(), 2);
    EXPECT_EQ(rgba.Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(rgba.Pixel(1, 0), PremultipliedArgb(0, 255, 0, 128));
    EXPECT_EQ(rgba.Pixel(2, 0), 0u);
    EXPECT_EQ(rgba.Pixel(2, 1), Argb(0x46505A));

    Bitmap palette = DecodePng(Sample("palette_trns.png"));
    ASSERT_EQ(palette.Width(), 4);
    EXPECT_EQ(palette.Pixel(0, 0), Argb(0xFF0000));
    EXPECT_EQ(palette.Pixel(1, 0), 0u); // tRNS alpha 0
    EXPECT_EQ(palette.Pixel(2, 0), Argb(0x0000FF));
    EXPECT_EQ(palette.Pixel(3, 0), Argb(0xFFFFFF));

    Bitmap gray = DecodePng(Sample("gray16.png"));
    ExpectPixels(gray, {{0x000000, 0xFFFFFF}, {0x808080, 0x121212}});
}

TEST(PngDecoder, ReadsAdam7InterlacedImages)
{
    Bitmap b = DecodePng(Sample("adam7.png"));
    ASSERT_EQ(b.Width(), 9);
    ASSERT_EQ(b.Height(), 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(b.Pixel(x, y), PremultipliedArgb(uint8_t(x * 20), uint8_t(y * 20), 100))
                << x << "," << y;
}

TEST(JpegDecoder, ConvertsGrayscaleAndAdobeCmykToRgb)
{
    Bitmap gray = DecodeJpeg(Sample("gray.jpg"));
    ASSERT_EQ(gray.Width(), 16);
    ASSERT_EQ(gray.Height(), 8);
    ExpectNear(gray.Pixel(3, 3), 0x323232, 1);
    ExpectNear(gray.Pixel(12, 5), 0xC8C8C8, 1);

    Bitmap cmyk = DecodeJpeg(Sample("cmyk_adobe.jpg"));
    ASSERT_EQ(cmyk.Width(), 16);
    ExpectNear(cmyk.Pixel(2, 2), 0xFF0000, 1);
    ExpectNear(cmyk.Pixel(10, 6), 0x0000FF, 1);
}

TEST(JpegDecoder, BoundsTheScansOfAProgressiveImage)
{
    const std::string atLimit = Sample("progressive_500_scans.jpg");
    Bitmap b = DecodeJpeg(atLimit);
    ExpectNear(b.Pixel(4, 4), 0x808080, 1);
    // One more copy of the last scan.
    const size_t lastScan = atLimit.rfind("\xFF\xDA");
    ASSERT_NE(lastScan, std::string::npos);
    std::string onePast = atLimit;
    onePast.insert(lastScan, atLimit.substr(lastScan, atLimit.size() - 2 - lastScan));
    try {
        DecodeJpeg(onePast);
        FAIL() << "no error";
    } catch (const ELimitExceeded& e) {
        EXPECT_STREQ(e.what(), "The JPEG image has more than 500 scans");
    }
}

// The pixels of a 4 x 3 test card: primaries, greys and a mixed colour.
Bitmap TestCard()
{
    const uint32_t colours[12] = {0xFF0000,
                                  0x00FF00,
                                  0x0000FF,
                                  0xFFFFFF,
                                  0x000000,
                                  0x808080,
                                  0xFFFF00,
                                  0x00FFFF,
                                  0xFF00FF,
                                  0x336699,
                                  0xC0C0C0,
                                  0x804020};
    Bitmap b(4, 3);
    for (int i = 0; i < 12; ++i)
        b.SetPixel(i % 4, i / 4, Argb(colours[i]));
    return b;
}

// The number of components and the sample precision in the frame header.
std::pair<int, int> FrameComponents(const std::string& jpeg)
{
    for (size_t i = 2; i + 9 < jpeg.size();) {
        const auto marker = uint8_t(jpeg[i + 1]);
        const size_t length = size_t(uint8_t(jpeg[i + 2])) << 8 | uint8_t(jpeg[i + 3]);
        if (marker == 0xC0 || marker == 0xC2) return {uint8_t(jpeg[i + 9]), uint8_t(jpeg[i + 4])};
        i += 2 + length;
    }
    return {0, 0};
}

TEST(JpegEncoder, WritesThreeComponentJpegsThatDecodeBack)
{
    const Bitmap card = TestCard();
    for (int quality : {90, 95}) {
        SCOPED_TRACE(quality);
        const std::string jpeg = EncodeJpeg(card, quality);
        ASSERT_TRUE(jpeg.starts_with("\xFF\xD8"));
        EXPECT_TRUE(jpeg.ends_with("\xFF\xD9"));
        EXPECT_EQ(FrameComponents(jpeg), std::make_pair(3, 8));
        Bitmap back = DecodeJpeg(jpeg);
        ASSERT_EQ(back.Width(), 4);
        ASSERT_EQ(back.Height(), 3);
        // Full chroma resolution keeps even single coloured pixels close.
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                ExpectNear(back.Pixel(x, y), card.Pixel(x, y) & 0xFFFFFF, 40);
    }
    EXPECT_NE(EncodeJpeg(card, 90), EncodeJpeg(card, 95));
}

TEST(JpegEncoder, EncodesPackedRowsAndLargeImages)
{
    // A transparent bitmap is composited over white.
    ExpectNear(DecodeJpeg(EncodeJpeg(Bitmap(3, 3), 90)).Pixel(1, 1), 0xFFFFFF, 2);
    // Big enough to grow the output buffer several times.
    const int width = 700, height = 500;
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    uint32_t seed = 1;
    for (uint8_t& v : rgb) {
        seed = seed * 1103515245 + 12345;
        v = uint8_t(seed >> 16);
    }
    const std::string jpeg = EncodeJpeg(rgb, width, height, 95);
    EXPECT_GT(jpeg.size(), size_t(64 * 1024));
    Bitmap back = DecodeJpeg(jpeg);
    EXPECT_EQ(back.Width(), width);
    EXPECT_EQ(back.Height(), height);
    EXPECT_THROW(EncodeJpeg(std::vector<uint8_t>(70000 * 3), 70000, 1, 90), EInvalidGraphic);
}

TEST(BmpDecoder, ReadsPaletteAndDirectColourRowsInBothOrders)
{
    struct Case
    {
        const char* Name;
        DibSpec Dib;
        std::vector<std::vector<uint32_t>> Expected;
    };
    const std::vector<Case> cases = {
        {"1 bit bottom-up",
         {3, 2, 1, 0, {0x000000, 0xFFFFFF}, std::string("\xA0\0\0\0\x40\0\0\0", 8)},
         {{0x000000, 0xFFFFFF, 0x000000}, {0xFFFFFF, 0x000000, 0xFFFFFF}}},
        {"4 bit",
         {3, 1, 4, 0, {0x112233, 0x445566, 0x778899}, std::string("\x12\x00\0\0", 4)},
         {{0x445566, 0x778899, 0x112233}}},
        {"8 bit top-down, index past the palette is black",
         {2, -2, 8, 0, {0x0000FF, 0x00FF00}, std::string("\x01\x00\0\0\x00\x07\0\0", 8)},
         {{0x00FF00, 0x0000FF}, {0x0000FF, 0x000000}}},
        {"24 bit bottom-up",
         {2,
          2,
          24,
          0,
          {},
          std::string("\x01\x02\x03\x04\x05\x06\0\0\x07\x08\x09\x0A\x0B\x0C\0\0", 16)},
         {{0x090807, 0x0C0B0A}, {0x030201, 0x060504}}},
        {"24 bit top-down",
         {1, -2, 24, 0, {}, std::string("\x01\x02\x03\0\x04\x05\x06\0", 8)},
         {{0x030201}, {0x060504}}},
        {"32 bit ignores the fourth byte",
         {2, 1, 32, 0, {}, std::string("\x10\x20\x30\x00\x40\x50\x60\x00", 8)},
         {{0x302010, 0x605040}}},
        {"16 bit is 5-5-5 by default",
         {2, 1, 16, 0, {}, std::string("\x00\x7C\x1F\x00", 4)},
         {{0xFF0000, 0x0000FF}}},
        {"16 bit with 5-6-5 masks",
         {1, 1, 16, 3, {}, std::string("\xE0\x07\0\0", 4), {0xF800, 0x07E0, 0x001F}},
         {{0x00FF00}}},
        {"last row without its padding",
         {1, 2, 24, 0, {}, std::string("\x01\x02\x03\0\x04\x05\x06", 7)},
         {{0x060504}, {0x030201}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ExpectPixels(DecodeBmp(MakeBmp(c.Dib)), c.Expected);
    }
}

TEST(BmpDecoder, ReadsAlphaMasksAndCoreHeaders)
{
    // V5-style header (124 bytes) with an alpha mask.
    LeBytes v5;
    v5.U32(124).U32(1).U32(1).U16(1).U16(32).U32(3).U32(4).U32(0).U32(0).U32(0).U32(0);
    v5.U32(0x00FF0000).U32(0x0000FF00).U32(0x000000FF).U32(0xFF000000);
    v5.Raw(std::string(124 - 56, '\0'));
    LeBytes file;
    file.Raw("BM").U32(0).U32(0).U32(14 + 124).Raw(v5.Out).Raw(std::string("\x00\x00\xFF\x80", 4));
    Bitmap alpha = DecodeBmp(file.Out);
    EXPECT_EQ(alpha.Pixel(0, 0), PremultipliedArgb(255, 0, 0, 128));

    // OS/2 core header: 16-bit sizes, 3-byte palette entries.
    LeBytes core;
    core.Raw("BM").U32(0).U32(0).U32(14 + 12 + 6);
    core.U32(12).U16(2).U16(1).U16(1).U16(1);
    core.U8(0).U8(0).U8(0).U8(0xFF).U8(0xFF).U8(0xFF).Raw(std::string("\x40\0\0\0", 4));
    ExpectPixels(DecodeBmp(core.Out), {{0x000000, 0xFFFFFF}});
}

TEST(BmpDecoder, ExpandsRunLengthEncodedRows)
{
    // RLE8 3 x 2, palette red, green, blue. Bottom row: a run of two greens, a run of one blue,
    // end of line. Top row: a delta of one pixel, a run of one red, end of bitmap.
    const DibSpec rle8{3,
                       2,
                       8,
                       1,
                       {0xFF0000, 0x00FF00, 0x0000FF},
                       std::string("\x02\x01\x01\x02\x00\x00\x00\x02\x01\x00\x01\x00\x00\x01", 14)};
    Bitmap b = DecodeBmp(MakeBmp(rle8));
    EXPECT_EQ(b.Pixel(0, 1), Argb(0x00FF00));
    EXPECT_EQ(b.Pixel(1, 1), Argb(0x00FF00));
    EXPECT_EQ(b.Pixel(2, 1), Argb(0x0000FF));
    EXPECT_EQ(b.Pixel(0, 0), 0u); // skipped by the delta: transparent
    EXPECT_EQ(b.Pixel(1, 0), Argb(0xFF0000));
    EXPECT_EQ(b.Pixel(2, 0), 0u);

    // RLE4 4 x 1: a run of three alternating indexes 1 and 2, then a run of one index 0.
    DibSpec rle4{
        4, 1, 4, 2, {0xFF0000, 0x00FF00, 0x0000FF}, std::string("\x03\x12\x01\x00\x00\x01", 6)};
    ExpectPixels(DecodeBmp(MakeBmp(rle4)), {{0x00FF00, 0x0000FF, 0x00FF00, 0xFF0000}});
}

// An icon file of `images` (each a DIB or a PNG with its directory size).
struct IconImage
{
    int Width;
    int Height;
    int Bits;
    std::string Data;
};

std::string MakeIco(const std::vector<IconImage>& images)
{
    LeBytes b;
    b.U16(0).U16(1).U16(uint32_t(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (const IconImage& i : images) {
        b.U8(uint32_t(i.Width) & 0xFF).U8(uint32_t(i.Height) & 0xFF).U8(0).U8(0).U16(1);
        b.U16(uint32_t(i.Bits)).U32(uint32_t(i.Data.size())).U32(offset);
        offset += uint32_t(i.Data.size());
    }
    for (const IconImage& i : images)
        b.Raw(i.Data);
    return b.Out;
}

TEST(IcoDecoder, DecodesTheLargestImageWithItsMask)
{
    // 1 x 1 and 2 x 2 24-bit images; the 2 x 2 mask makes its top-right pixel transparent.
    DibSpec small{1, 1, 24, 0, {}, std::string("\x00\x00\xFF\0", 4)};
    std::string smallDib = InfoHeader(small, 2) + small.Pixels + std::string(4, '\0');
    DibSpec large{2,
                  2,
                  24,
                  0,
                  {},
                  std::string("\x01\x02\x03\x04\x05\x06\0\0\x07\x08\x09\x0A\x0B\x0C\0\0", 16)};
    std::string mask("\x00\0\0\0\x40\0\0\0", 8); // bottom row none, top row the second pixel
    std::string largeDib = InfoHeader(large, 4) + large.Pixels + mask;
    Bitmap b = DecodeIco(MakeIco({{1, 1, 24, smallDib}, {2, 2, 24, largeDib}}));
    ASSERT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Pixel(0, 0), Argb(0x090807));
    EXPECT_EQ(b.Pixel(1, 0), 0u);
    EXPECT_EQ(b.Pixel(0, 1), Argb(0x030201));

    // 32-bit icon pixels carry alpha; the mask is then not used.
    DibSpec alpha{1, 1, 32, 0, {}, std::string("\x00\x00\xFF\x80", 4)};
    Bitmap a = DecodeIco(
        MakeIco({{1, 1, 32, InfoHeader(alpha, 2) + alpha.Pixels + std::string(4, '\xFF')}}));
    EXPECT_EQ(a.Pixel(0, 0), PremultipliedArgb(255, 0, 0, 128));
}

TEST(IcoDecoder, DecodesPngPayloads)
{
    Bitmap b = DecodeIco(MakeIco({{3, 2, 32, Sample("rgba.png")}}));
    ASSERT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Pixel(0, 0), 0xFFFF0000u);
}

// Builds a PNG whose IHDR declares `width` x `height` (with a correct checksum).
std::string PngDeclaring(uint32_t width, uint32_t height)
{
    std::string png = Sample("rgba.png");
    auto put32 = [&png](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            png[at + size_t(i)] = char(v >> (24 - 8 * i));
    };
    put32(16, width);
    put32(20, height);
    // CRC-32 of "IHDR" and its 13 data bytes.
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 12; i < 12 + 17; ++i) {
        crc ^= uint8_t(png[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    put32(29, ~crc);
    return png;
}

// A JPEG whose frame header declares `width` x `height`.
std::string JpegDeclaring(uint16_t width, uint16_t height)
{
    std::string jpeg = Sample("gray.jpg");
    const size_t sof = jpeg.find("\xFF\xC0");
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width);
    return jpeg;
}

using Decoder = std::function<Bitmap(std::string_view)>;

TEST(ImageDecoders, RefuseBrokenAndHostileDataWithAClearError)
{
    const Decoder png = DecodePng, jpeg = DecodeJpeg, bmp = DecodeBmp, ico = DecodeIco;
    const std::string goodPng = Sample("rgba.png");
    const std::string goodJpeg = Sample("gray.jpg");
    const std::string goodBmp = MakeBmp({2, 2, 24, 0, {}, std::string(16, '\x7F')});
    std::string badCrc = goodPng;
    badCrc[30] = char(badCrc[30] ^ 1);
    std::string rleTopDown = MakeBmp({2, -1, 8, 1, {0}, std::string("\x02\x00\x00\x01", 4)});
    LeBytes hugeBmp;
    hugeBmp.Raw("BM").U32(0).U32(0).U32(54).U32(40).U32(100000).U32(100000).U16(1).U16(24);
    hugeBmp.Raw(std::string(24, '\0'));
    LeBytes minHeightBmp;
    minHeightBmp.Raw("BM").U32(0).U32(0).U32(54).U32(40).U32(1).U32(0x80000000).U16(1).U16(24);
    minHeightBmp.Raw(std::string(24, '\0'));

    struct Case
    {
        const char* Name;
        Decoder Decode;
        std::string Bytes;
        const char* ErrorClass;
        const char* Message; // nullptr: any text
    };
    const std::vector<Case> cases = {
        {"empty PNG", png, "", "EInvalidGraphic", "Invalid PNG image: the signature is missing"},
        {"PNG signature only",
         png,
         goodPng.substr(0, 8),
         "EInvalidGraphic",
         "Invalid PNG image: the data ends early"},
        {"PNG cut inside the pixels",
         png,
         goodPng.substr(0, goodPng.size() - 20),
         "EInvalidGraphic",
         nullptr},
        {"PNG with a bad checksum",
         png,
         badCrc,
         "EInvalidGraphic",
         "Invalid PNG image: IHDR: CRC error"},
        {"PNG of 0 pixels", png, PngDeclaring(0, 5), "EInvalidGraphic", nullptr},
        {"PNG declaring 100000 x 100000",
         png,
         PngDeclaring(100000, 100000),
         "ELimitExceeded",
         "The PNG image of 100000 x 100000 pixels is larger than the limit of 67108864 pixels"},
        {"PNG declaring 2^31 - 1 x 2", png, PngDeclaring(0x7FFFFFFF, 2), "ELimitExceeded", nullptr},
        {"empty JPEG", jpeg, "", "EInvalidGraphic", nullptr},
        {"JPEG start marker only", jpeg, "\xFF\xD8", "EInvalidGraphic", nullptr},
        {"JPEG cut inside the scan",
         jpeg,
         goodJpeg.substr(0, goodJpeg.size() - 6),
         "EInvalidGraphic",
         nullptr},
        {"JPEG declaring 65000 x 65000",
         jpeg,
         JpegDeclaring(65000, 65000),
         "ELimitExceeded",
         nullptr},
        {"JPEG of garbage", jpeg, "\xFF\xD8" + std::string(300, 'x'), "EInvalidGraphic", nullptr},
        {"empty bitmap", bmp, "", "EInvalidGraphic", "Invalid bitmap image: the data ends early"},
        {"bitmap header only", bmp, goodBmp.substr(0, 14), "EInvalidGraphic", nullptr},
        {"bitmap cut inside the pixels",
         bmp,
         goodBmp.substr(0, goodBmp.size() - 5),
         "EInvalidGraphic",
         nullptr},
        {"bitmap of 7 bits per pixel",
         bmp,
         MakeBmp({1, 1, 7, 0, {}, std::string(4, '\0')}),
         "EInvalidGraphic",
         "Invalid bitmap image: unsupported number of bits per pixel"},
        {"bitmap with 1000 palette colours",
         bmp,
         MakeBmp({1, 1, 8, 0, std::vector<uint32_t>(1000), std::string(4, '\0')}),
         "EInvalidGraphic",
         "Invalid bitmap image: the palette has more than 256 colours"},
        {"bitmap of 0 pixels", bmp, MakeBmp({0, 1, 24, 0, {}, ""}), "EInvalidGraphic", nullptr},
        {"bitmap declaring 100000 x 100000", bmp, hugeBmp.Out, "ELimitExceeded", nullptr},
        {"bitmap with the smallest height", bmp, minHeightBmp.Out, "ELimitExceeded", nullptr},
        {"top-down RLE bitmap", bmp, rleTopDown, "EInvalidGraphic", nullptr},
        {"RLE bitmap without its end",
         bmp,
         MakeBmp({4, 4, 8, 1, {0}, std::string("\x02\x00", 2)}),
         "EInvalidGraphic",
         nullptr},
        {"RLE4 on 8 bits",
         bmp,
         MakeBmp({1, 1, 8, 2, {0}, std::string(4, '\0')}),
         "EInvalidGraphic",
         nullptr},
        {"unknown compression",
         bmp,
         MakeBmp({1, 1, 24, 9, {}, std::string(4, '\0')}),
         "EInvalidGraphic",
         nullptr},
        {"empty icon", ico, "", "EInvalidGraphic", "Invalid icon image: the data ends early"},
        {"icon without images", ico, std::string("\0\0\1\0\0\0", 6), "EInvalidGraphic", nullptr},
        {"icon of type 3", ico, std::string("\0\0\3\0\1\0", 6), "EInvalidGraphic", nullptr},
        {"icon directory cut",
         ico,
         std::string("\0\0\1\0\1\0\x10\x10", 8),
         "EInvalidGraphic",
         nullptr},
        {"icon image past the end",
         ico,
         MakeIco({{1, 1, 24, std::string(10, '\0')}}).substr(0, 30),
         "EInvalidGraphic",
         nullptr},
        {"icon of a huge PNG",
         ico,
         MakeIco({{0, 0, 32, PngDeclaring(100000, 100000)}}),
         "ELimitExceeded",
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            c.Decode(c.Bytes);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.ClassName(), c.ErrorClass) << e.what();
            if (c.Message) {
                EXPECT_STREQ(e.what(), c.Message);
            }
        }
    }
}

// Every prefix and every single-byte corruption of each sample either decodes or fails with one
// of the decoders' errors: never a crash, a hang or a sanitizer report.
TEST(ImageDecoders, SurviveEveryTruncationAndByteFlipOfTheSamples)
{
    struct Good
    {
        std::string Bytes;
        Decoder Decode;
    };
    const std::vector<Good> samples = {
        {Sample("rgba.png"), DecodePng},
        {Sample("adam7.png"), DecodePng},
        {Sample("palette_trns.png"), DecodePng},
        {Sample("gray.jpg"), DecodeJpeg},
        {Sample("cmyk_adobe.jpg"), DecodeJpeg},
        {EncodeJpeg(TestCard(), 90), DecodeJpeg},
        {MakeBmp({3, 2, 1, 0, {0, 0xFFFFFF}, std::string("\xA0\0\0\0\x40\0\0\0", 8)}), DecodeBmp},
        {MakeBmp(
             {3, 2, 8, 1, {0, 0xFF}, std::string("\x02\x01\x00\x00\x00\x02\x01\x00\x00\x01", 10)}),
         DecodeBmp},
        {MakeIco({{3, 2, 32, Sample("rgba.png")}}), DecodeIco},
    };
    for (size_t s = 0; s < samples.size(); ++s) {
        SCOPED_TRACE(s);
        const std::string& good = samples[s].Bytes;
        auto tryDecode = [&](const std::string& bytes) {
            try {
                samples[s].Decode(bytes);
            } catch (const EInvalidGraphic&) {
            } catch (const ELimitExceeded&) {
            }
        };
        for (size_t n = 0; n < good.size(); ++n)
            tryDecode(good.substr(0, n));
        for (size_t i = 0; i < good.size(); ++i) {
            for (char flip : {'\xFF', '\x80', '\x01'}) {
                std::string bad = good;
                bad[i] = char(bad[i] ^ flip);
                tryDecode(bad);
            }
        }
    }
}

} // namespace
} // namespace vl
