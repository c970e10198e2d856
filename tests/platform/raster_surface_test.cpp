// The cairo raster surface: fills, text placement, clipping and the pixel exports.
#include "base/exception.h"
#include "platform/canvas/raster_surface.h"
#include "platform/fonts/font_lookup.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vl {
namespace {

constexpr uint32_t Red = 0x0000FF;
constexpr uint32_t White = 0xFFFFFF;

// The bounding box of the pixels that are not white.
IntRect InkBox(const RasterSurface& s)
{
    IntRect box{s.Width(), s.Height(), -1, -1};
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.PixelColor(x, y) != White) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}

TEST(RasterSurface, StartsWhiteAndFillsInReportColours)
{
    RasterSurface s(20, 10);
    EXPECT_EQ(s.PixelColor(5, 5), White);
    s.FillRect({2, 2, 6, 6}, Red);
    s.FillRect({0, 0, 20, 10}, NoColor);
    EXPECT_EQ(s.PixelColor(3, 3), Red);
    EXPECT_EQ(s.PixelColor(7, 3), White);
    auto rgb = s.RgbRows();
    ASSERT_EQ(rgb.size(), 20u * 10 * 3);
    size_t at = (3 * 20 + 3) * 3;
    EXPECT_EQ(rgb[at], 255);
    EXPECT_EQ(rgb[at + 1], 0);
    EXPECT_EQ(rgb[at + 2], 0);
}

TEST(RasterSurface, TextSitsInItsCellAndFollowsTheAdvances)
{
    const FontFace& face = FindFontFace(u"Arial", 0);
    DeviceFont font{&face, 40, 0, 0, 0};
    RasterSurface plain(400, 100), spread(400, 100);
    plain.TextOut(10, 20, font, u"HH", {}, 0, {});
    std::vector<int> advances{150, 30};
    spread.TextOut(10, 20, font, u"HH", advances, 0, {});
    IntRect a = InkBox(plain), b = InkBox(spread);
    int cellHeight = face.Metrics(40).CellHeight;
    EXPECT_GE(a.Left, 10);
    EXPECT_GE(a.Top, 20);
    EXPECT_LE(a.Bottom, 20 + cellHeight);
    EXPECT_LT(a.Right, 10 + 2 * face.CharAdvance(U'H', 40));
    // The second H starts 150 pixels after the first.
    EXPECT_NEAR(b.Right - a.Right, 150 - face.CharAdvance(U'H', 40), 1);
}

TEST(RasterSurface, ClippedTextStaysInsideTheClip)
{
    const FontFace& face = FindFontFace(u"Arial", fsBold);
    DeviceFont font{&face, 60, fsUnderline, Red, 0};
    RasterSurface s(300, 100);
    IntRect clip{0, 0, 50, 100};
    s.TextOut(10, 10, font, u"WWWW", {}, toClipped, clip);
    IntRect box = InkBox(s);
    EXPECT_LE(box.Right, 50);
    EXPECT_GT(box.Right, 40);
}

TEST(RasterSurface, RotatedTextRunsUpwards)
{
    const FontFace& face = FindFontFace(u"Arial", 0);
    DeviceFont font{&face, 30, 0, 0, 900};
    RasterSurface s(100, 300);
    s.TextOut(20, 280, font, u"HHHHH", {}, 0, {});
    IntRect box = InkBox(s);
    EXPECT_GT(box.Height(), 3 * box.Width());
    EXPECT_LE(box.Bottom, 281);
    EXPECT_GE(box.Left, 20);
}

TEST(RasterSurface, WritesAPngAndRefusesABadPath)
{
    RasterSurface s(8, 8);
    auto path = std::filesystem::temp_directory_path() / "vl_raster_surface_test.png";
    s.WritePng(path.string());
    EXPECT_GT(std::filesystem::file_size(path), 0u);
    std::filesystem::remove(path);
    EXPECT_THROW(s.WritePng("/nonexistent-dir/x.png"), EFCreateError);
}

} // namespace
} // namespace vl
