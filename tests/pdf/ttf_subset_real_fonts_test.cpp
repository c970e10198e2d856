// Subsets of the installed fonts, checked by fontTools (check_subset_font.py beside this file).
#include "base/stream.h"
#include "pdf/pdf_test_tools.h"
#include "pdf/ttf_subset.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vl {

namespace {

const std::string LiberationDir = "/usr/share/fonts/truetype/liberation2/";
const std::string DejaVuDir = "/usr/share/fonts/truetype/dejavu/";

std::string Python()
{
    // Debian's interpreter carries python3-fonttools even where another python3 comes first.
    return std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
}

std::string CheckScript()
{
    return (std::filesystem::path(__FILE__).parent_path() / "check_subset_font.py").string();
}

std::string ReadFile(const std::string& path)
{
    FileStream file(path, FileStream::Mode::OpenRead);
    return std::string(file.ReadAll(size_t(1) << 30).View());
}

// Letters, a spread of accented (composite) glyphs, DejaVu's composites built from composites
// (390-392: "Ǆ" from "D" and "Ž", itself built from "Z" and a caron) and indexes past the end.
std::vector<uint16_t> UsedGlyphs()
{
    std::vector<uint16_t> used = {390, 391, 392, 65535, 36, 37, 38};
    for (uint16_t g = 60; g < 700; g += 7)
        used.push_back(g);
    return used;
}

std::string GlyphList(const std::vector<uint16_t>& glyphs)
{
    std::string text;
    for (uint16_t g : glyphs)
        text += (text.empty() ? "" : ",") + std::to_string(g);
    return text;
}

void ExpectFontToolsAccepts(const std::string& source,
                            const std::string& subset,
                            const std::vector<uint16_t>& used,
                            uint32_t face = 0)
{
    const auto path = test::TempPath("subset.ttf");
    test::SaveBytes(path, subset);
    const auto result =
        test::RunTool(Python() + " " + CheckScript() + " " + source + " " + path.string() + " " +
                      GlyphList(used) + " " + std::to_string(face));
    EXPECT_EQ(result.Status, 0) << result.Output;
    EXPECT_TRUE(result.Output.ends_with("OK\n")) << result.Output;
}

} // namespace

TEST(TrueTypeSubset, InstalledFontsOpenInFontTools)
{
    const std::vector<uint16_t> used = UsedGlyphs();
    for (const std::string& font : {LiberationDir + "LiberationSans-Regular.ttf",
                                    LiberationDir + "LiberationSerif-Bold.ttf",
                                    LiberationDir + "LiberationMono-Italic.ttf",
                                    DejaVuDir + "DejaVuSans.ttf",
                                    DejaVuDir + "DejaVuSansMono-Bold.ttf"}) {
        SCOPED_TRACE(font);
        const std::string source = ReadFile(font);
        TrueTypeSubsetInfo info;
        const std::string subset = SubsetTrueType(source, u"", std::nullopt, used, &info);
        EXPECT_LT(subset.size(), source.size() / 2);
        EXPECT_TRUE(info.ChecksumMismatches.empty());
        EXPECT_EQ(info.KeptGlyphs.front(), 0);
        ExpectFontToolsAccepts(font, subset, used);
    }
}

// A collection made by fontTools (with tables shared between faces): the face is chosen by its
// full name, style included; an unknown name takes the last face.
TEST(TrueTypeSubset, CollectionFaceIsChosenByFullName)
{
    const auto ttc = test::TempPath("three.ttc");
    const auto made =
        test::RunTool(Python() +
                      " -c \"import sys; from fontTools.ttLib import TTFont; "
                      "from fontTools.ttLib.ttCollection import TTCollection; c = TTCollection(); "
                      "c.fonts = [TTFont(p) for p in sys.argv[1:4]]; c.save(sys.argv[4])\" " +
                      LiberationDir + "LiberationSans-Regular.ttf " + LiberationDir +
                      "LiberationSans-Bold.ttf " + DejaVuDir + "DejaVuSans.ttf " + ttc.string());
    ASSERT_EQ(made.Status, 0) << made.Output;
    const std::string source = ReadFile(ttc.string());
    const std::vector<uint16_t> used = UsedGlyphs();

    const struct
    {
        String Wanted;
        uint32_t Face;
    } cases[] = {
        {WantedFaceName(u"Liberation Sans", false, false), 0},
        {WantedFaceName(u"Liberation Sans", true, false), 1},
        {WantedFaceName(u"Liberation Sans", true, true), 2},
        {u"DejaVu Sans", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Wanted));
        TrueTypeSubsetInfo info;
        const std::string subset = SubsetTrueType(source, c.Wanted, std::nullopt, used, &info);
        EXPECT_EQ(info.FaceIndex, c.Face);
        ExpectFontToolsAccepts(ttc.string(), subset, used, c.Face);
    }
}

} // namespace vl
