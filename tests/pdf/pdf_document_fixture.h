// A document written through the PDF export filter's page-level operations into memory, with a
// fixed clock, and helpers that read the written file back.
#pragma once

#include "pdf/pdf_export.h"
#include "pdf/pdf_test_tools.h"
#include "platform/images/jpeg_codec.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl::test {

inline constexpr PdfPageSetup A4Page{794, 1123, 10, 10, 10, 10, clNone};

class PdfDocumentTest : public ::testing::Test
{
protected:
    PdfDocumentTest()
        : Export(TvlxCustomExportFilter::NoRegister{})
        , FClock(LocalDateTime{2026, 3, 4, 5, 6, 7}, Guid{1, 2, 3, 4, 5, 6, 7, 8, 9, 10})
    {
        Export.SetStream(&Out);
        Export.SetClock(&FClock);
    }

    // Starts the document; the test adds pages and calls Finish (or Written).
    void Start() { ASSERT_TRUE(Export.Start()); }

    // One line of text at (x, y) pixels on the current page in `font`.
    void Text(const TvlxFont& font, StringView text, double xPx, double yPx)
    {
        TvlxPDFFont& pdfFont = Export.FindFont(font);
        PdfPageContent& c = Export.Content();
        c.Line(pdfFont.Name() + " " + IntText(font.Size()) + " Tf");
        c.FillColor(font.Color());
        c.TextLine(c.X(xPx), c.Y(yPx), pdfFont.RemapString(text, false), false, false, 10, clBlack);
    }

    // Finishes the document and saves it under `name` for the tools; returns the bytes.
    std::string Written(const std::string& name)
    {
        Export.Finish();
        Path = TempPath(name).string();
        SaveBytes(Path, Out.Bytes());
        return Out.Bytes();
    }

    ToolResult Tool(const std::string& command) { return RunTool(command + " '" + Path + "'"); }

    // qpdf --check must find no problem at all (exit 0, not even warnings).
    void ExpectValid(const std::string& options = "")
    {
        const ToolResult check = RunTool("qpdf --check " + options + " '" + Path + "'");
        EXPECT_EQ(check.Status, 0) << check.Output;
    }

    TvlxPDFExport Export;
    MemoryStream Out;
    std::string Path;

private:
    FixedClock FClock;
};

// A small JPEG of one colour.
inline std::string SolidJpeg(int width, int height, uint8_t red)
{
    std::vector<uint8_t> rgb(size_t(width * height * 3), 0);
    for (size_t i = 0; i < rgb.size(); i += 3)
        rgb[i] = red;
    return EncodeJpeg(rgb, width, height, 90);
}

inline int CountOf(const std::string& haystack, const std::string& needle)
{
    int n = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + 1))
        ++n;
    return n;
}

inline TvlxFont MakeFont(StringView name, int size, TFontStyles style = {})
{
    TvlxFont font;
    font.SetName(String(name));
    font.SetSize(size);
    font.SetStyle(style);
    return font;
}

} // namespace vl::test
