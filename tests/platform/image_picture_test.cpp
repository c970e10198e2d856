// Recognition of picture bytes by content (with the optional 8-byte container header), the
// choice of decoder, metafiles that load empty, and formats chosen by file extension.
#include "platform/images/image_error.h"
#include "platform/images/jpeg_codec.h"
#include "platform/images/picture.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl {
namespace {

using PF = PictureFormat;

std::string Le32(uint32_t v)
{
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// The container header that may precede picture bytes.
std::string Contained(const std::string& image)
{
    return std::string("\x01\x00\x00\x01", 4) + Le32(uint32_t(image.size())) + image;
}

// A 1 x 1 24-bit bitmap file of the colour B, G, R.
std::string TinyBmp(const char* bgr)
{
    return "BM" + Le32(58) + Le32(0) + Le32(54) + Le32(40) + Le32(1) + Le32(1) +
           std::string("\x01\x00\x18\x00", 4) + std::string(24, '\0') + std::string(bgr, 3) + '\0';
}

std::string SmallJpeg()
{
    Bitmap b(2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            b.SetPixel(x, y, PremultipliedArgb(200, 30, 30));
    return EncodeJpeg(b, 95);
}

TEST(PictureRecognition, TestsEachSignatureWithItsMinimumLength)
{
    const std::string wmfKey("\xD7\xCD\xC6\x9A", 4);
    std::string emf = Le32(1) + std::string(36, '\0') + " EMF" + std::string(56, '\0');
    ASSERT_EQ(emf.size(), 100u);
    struct Case
    {
        const char* Name;
        std::string Bytes;
        PF Expected;
    };
    const std::vector<Case> cases = {
        {"empty", "", PF::Unknown},
        {"BM and 12 more bytes", "BM" + std::string(12, 'x'), PF::Bitmap},
        {"BM and 11 more bytes", "BM" + std::string(11, 'x'), PF::Unknown},
        {"JPEG start", "\xFF\xD8", PF::Jpeg},
        {"half a JPEG start", "\xFF", PF::Unknown},
        {"PNG signature", std::string("\x89PNG\r\n\x1A\n", 8), PF::Png},
        {"PNG signature cut", std::string("\x89PNG\r\n\x1A", 7), PF::Unknown},
        {"placeable metafile", wmfKey + std::string(18, '\0'), PF::Metafile},
        {"placeable metafile cut", wmfKey + std::string(17, '\0'), PF::Unknown},
        {"enhanced metafile", emf, PF::EnhancedMetafile},
        // Too short for the EMF test; its second word (0) then makes it an icon.
        {"enhanced metafile cut", emf.substr(0, 99), PF::Icon},
        {"icon header", std::string("\0\0\1\0\1\0", 6), PF::Icon},
        {"second word 2", std::string("\0\0\2\0\1\0", 6), PF::Unknown},
        {"icon header cut", std::string("\0\0\1\0\1", 5), PF::Unknown},
        {"text", "hello world", PF::Unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const PictureKind kind = RecognizePicture(c.Bytes);
        EXPECT_EQ(kind.Format, c.Expected);
        EXPECT_EQ(kind.Offset, 0u);
    }
}

TEST(PictureRecognition, SkipsAContainerHeaderOnlyWhenItsLengthMatches)
{
    const std::string jpeg = SmallJpeg();
    EXPECT_EQ(RecognizePicture(Contained(jpeg)).Format, PF::Jpeg);
    EXPECT_EQ(RecognizePicture(Contained(jpeg)).Offset, 8u);

    std::string wrongLength = Contained(jpeg) + 'x';
    EXPECT_EQ(RecognizePicture(wrongLength).Format, PF::Unknown);
    EXPECT_EQ(RecognizePicture(wrongLength).Offset, 0u);

    std::string wrongWord = Contained(jpeg);
    wrongWord[3] = '\x02';
    EXPECT_EQ(RecognizePicture(wrongWord).Offset, 0u);

    // A header over nothing leaves nothing to recognise.
    EXPECT_EQ(RecognizePicture(Contained("")).Format, PF::Unknown);
    EXPECT_EQ(RecognizePicture(Contained("")).Offset, 8u);
}

TEST(LoadPicture, LoadsAJpegWithAndWithoutTheContainerHeader)
{
    const std::string jpeg = SmallJpeg();
    for (const std::string& bytes : {jpeg, Contained(jpeg)}) {
        const Picture p = LoadPicture(bytes);
        EXPECT_EQ(p.Format, PF::Jpeg);
        ASSERT_EQ(p.Image.Width(), 2);
        ASSERT_EQ(p.Image.Height(), 2);
        EXPECT_NEAR(int(p.Image.Pixel(1, 1) >> 16 & 0xFF), 200, 4);
    }
}

TEST(LoadPicture, DecodesBitmapsAndIconsAndLeavesMetafilesEmpty)
{
    const Picture bmp = LoadPicture(Contained(TinyBmp("\x30\x20\x10")));
    EXPECT_EQ(bmp.Format, PF::Bitmap);
    EXPECT_EQ(bmp.Image.Pixel(0, 0), 0xFF102030u);

    // An icon whose single image is the bitmap's DIB (height doubled, with a clear mask).
    std::string dib = TinyBmp("\x30\x20\x10").substr(14);
    dib[8] = 2;
    dib += std::string(4, '\0');
    const std::string ico = std::string("\0\0\1\0\1\0", 6) + std::string("\1\1\0\0\1\0\x18\0", 8) +
                            Le32(uint32_t(dib.size())) + Le32(22) + dib;
    const Picture icon = LoadPicture(ico);
    EXPECT_EQ(icon.Format, PF::Icon);
    EXPECT_EQ(icon.Image.Pixel(0, 0), 0xFF102030u);

    const Picture wmf = LoadPicture(std::string("\xD7\xCD\xC6\x9A", 4) + std::string(40, '\0'));
    EXPECT_EQ(wmf.Format, PF::Metafile);
    EXPECT_TRUE(wmf.IsMetafile());
    EXPECT_TRUE(wmf.Image.Empty());

    const Picture unknown = LoadPicture("GIF89a and so on");
    EXPECT_EQ(unknown.Format, PF::Unknown);
    EXPECT_TRUE(unknown.Image.Empty());
    EXPECT_EQ(LoadPicture("").Format, PF::Unknown);
}

TEST(LoadPicture, ReportsABrokenImageOfARecognisedFormat)
{
    EXPECT_THROW(LoadPicture("BM" + std::string(20, '\x01')), EInvalidGraphic);
    EXPECT_THROW(LoadPicture(std::string("\xFF\xD8\xFF\xE0", 4)), EInvalidGraphic);
    // Six zero bytes recognise as an icon (second word 0), which then does not decode.
    EXPECT_THROW(LoadPicture(std::string("\0\0\0\0\0\0", 6)), EInvalidGraphic);
}

TEST(DecodePicture, UsesTheGivenFormatOrRecognisesUnknownContent)
{
    const std::string jpeg = SmallJpeg();
    EXPECT_EQ(DecodePicture(jpeg, PF::Jpeg).Image.Width(), 2);
    EXPECT_EQ(DecodePicture(jpeg, PF::Unknown).Format, PF::Jpeg);
    EXPECT_THROW(DecodePicture(jpeg, PF::Png), EInvalidGraphic);
    EXPECT_THROW(DecodePicture(jpeg, PF::Bitmap), EInvalidGraphic);
    EXPECT_TRUE(DecodePicture("anything", PF::EnhancedMetafile).Image.Empty());
}

TEST(PictureFormatFromFileName, ComparesExtensionsWithoutCase)
{
    const std::vector<std::pair<const char*, PF>> cases = {
        {"logo.bmp", PF::Bitmap},
        {"PHOTO.JPG", PF::Jpeg},
        {"a/b.jpeg", PF::Jpeg},
        {"scan.jpe", PF::Jpeg},
        {"x.Png", PF::Png},
        {"chart.wmf", PF::Metafile},
        {"chart.EMF", PF::EnhancedMetafile},
        {"app.ico", PF::Icon},
        {"anim.gif", PF::Unknown},
        {"noextension", PF::Unknown},
        {"dir.png/file", PF::Unknown},
        {"trailing.", PF::Unknown},
    };
    for (const auto& [name, format] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(PictureFormatFromFileName(name), format);
    }
}

} // namespace
} // namespace vl
