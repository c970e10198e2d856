#include "model/report_page.h"
#include "pdf/pdf_document_fixture.h"

#include <gtest/gtest.h>

namespace vl {

using test::CountOf;
using test::MakeFont;
using test::PdfDocumentTest;

namespace {

// Every cross-reference line is 20 bytes and every offset points at "{N} 0 obj".
void ExpectXrefPointsAtObjects(const std::string& pdf)
{
    const size_t startxref = pdf.rfind("startxref\r\n");
    ASSERT_NE(startxref, std::string::npos);
    const size_t xref = std::stoul(pdf.substr(startxref + 11));
    ASSERT_EQ(pdf.compare(xref, 6, "xref\r\n"), 0);
    const size_t countAt = xref + 8; // after "xref\r\n0 "
    const size_t count = std::stoul(pdf.substr(countAt));
    size_t line = pdf.find("\r\n", countAt) + 2;
    EXPECT_EQ(pdf.substr(line, 20), "0000000000 65535 f\r\n");
    for (size_t n = 1; n < count; ++n) {
        line += 20;
        SCOPED_TRACE(n);
        const std::string entry = pdf.substr(line, 20);
        ASSERT_EQ(entry.substr(10), " 00000 n\r\n");
        const size_t offset = std::stoul(entry.substr(0, 10));
        const std::string header = std::to_string(n) + " 0 obj\r\n";
        EXPECT_EQ(pdf.compare(offset, header.size(), header), 0);
    }
}

} // namespace

TEST(PdfExport, PublishedDefaults)
{
    const ClassInfo& cls = TvlxPDFExport::StaticClass();
    const struct
    {
        const char16_t* Name;
        std::optional<int64_t> Default;
    } cases[] = {
        {u"ShowDialog", 1},
        {u"ExportNotPrintable", 0},
        {u"OverwritePrompt", 0},
        {u"Compressed", 1},
        {u"EmbeddedFonts", 0},
        {u"EmbedFontsIfProtected", 1},
        {u"HTMLTags", 1},
        {u"Quality", 95},
        {u"ProtectionFlags", 15},
        {u"PrintScaling", 0},
        {u"CheckboxAsShape", 0},
        {u"Title", std::nullopt},
        {u"UseFileCache", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Name));
        const PropInfo* prop = cls.FindProp(c.Name);
        ASSERT_NE(prop, nullptr);
        EXPECT_EQ(prop->Default, c.Default);
    }
    TvlxPDFExport filter(TvlxCustomExportFilter::NoRegister{});
    EXPECT_EQ(filter.Author(), u"Vellum");
    EXPECT_EQ(filter.Subject(), u"Vellum PDF export");
    EXPECT_TRUE(filter.UseFileCache());
    EXPECT_TRUE(filter.ShowProgress());
    EXPECT_EQ(PropString(cls.FindProp(u"Author")->Get(filter)), u"Vellum");
}

TEST(PdfExport, PageSetupComesFromTheReportPage)
{
    TvlxReportPage page;
    page.SetPaperWidth(100);
    page.SetPaperHeight(50);
    page.SetLeftMargin(10);
    page.SetTopMargin(5);
    page.SetRightMargin(7);
    page.SetBottomMargin(3);
    page.ClassType().FindProp(u"Color")->Set(page, PropValue(int64_t(0xFF)));
    const PdfPageSetup setup = PageSetupOf(page);
    EXPECT_EQ(setup.WidthPx, 378); // 100 mm x 3.77953, whole pixels
    EXPECT_EQ(setup.HeightPx, 189);
    EXPECT_EQ(setup.LeftMarginMm, 10);
    EXPECT_EQ(setup.TopMarginMm, 5);
    EXPECT_EQ(setup.RightMarginMm, 7);
    EXPECT_EQ(setup.BottomMarginMm, 3);
    EXPECT_EQ(setup.Color, 0xFF);
}

TEST(PdfExport, FiltersRegisterUnlessAskedNotTo)
{
    auto& all = TvlxExportFilterCollection::Global().Filters();
    const size_t before = all.size();
    {
        TvlxPDFExport registered;
        TvlxPDFExport silent(TvlxCustomExportFilter::NoRegister{});
        ASSERT_EQ(all.size(), before + 1);
        EXPECT_EQ(all.back(), &registered);
    }
    EXPECT_EQ(all.size(), before);
}

TEST(PdfExport, StartWithoutFileOrStreamExportsNothing)
{
    TvlxPDFExport filter(TvlxCustomExportFilter::NoRegister{});
    EXPECT_FALSE(filter.Start());
}

TEST(PdfExport, UncreatableFileRaisesFileCreationError)
{
    TvlxPDFExport filter(TvlxCustomExportFilter::NoRegister{});
    filter.SetFileName(u"/nonexistent-dir/out.pdf");
    EXPECT_THROW(filter.Start(), EFCreateError);
}

TEST_F(PdfDocumentTest, ZeroPagesGiveAValidFile)
{
    Start();
    const std::string pdf = Written("empty.pdf");
    ExpectValid();
    EXPECT_EQ(pdf.rfind("%PDF-1.5\r\n", 0), 0u);
    EXPECT_NE(pdf.find("1 0 obj\r\n<<\r\n/Type /Pages\r\n/Kids []\r\n/Count 0\r\n"),
              std::string::npos);
    ExpectXrefPointsAtObjects(pdf);
    EXPECT_EQ(Tool("qpdf --show-npages").Output, "0\n");
}

TEST_F(PdfDocumentTest, TextIsWrittenWithEmbeddedSubsetFonts)
{
    Export.SetEmbeddedFonts(true);
    Start();
    Export.BeginPage(test::A4Page);
    Text(MakeFont(u"Arial", 12), u"Hello PDF world", 40, 40);
    Text(MakeFont(u"Arial", 12), u"Hello again", 40, 80);
    Export.EndPage();
    Export.BeginPage(test::A4Page);
    Text(MakeFont(u"DejaVu Sans", 10, {TFontStyle::fsBold}), u"\u010Ca\u0161ka \u017Eut", 40, 40);
    const std::string pdf = Written("text.pdf");

    ExpectValid();
    ExpectXrefPointsAtObjects(pdf);
    const std::string text = Tool("pdftotext -layout").Output;
    EXPECT_EQ(Tool("pdftotext").Status, 0);
    const std::string extracted = test::RunTool("pdftotext '" + Path + "' -").Output;
    EXPECT_NE(extracted.find("Hello PDF world"), std::string::npos) << extracted;
    EXPECT_NE(extracted.find("Hello again"), std::string::npos) << extracted;
    EXPECT_NE(extracted.find("\xC4\x8C"
                             "a\xC5\xA1ka \xC5\xBEut"),
              std::string::npos)
        << extracted;

    const std::string fonts = Tool("pdffonts").Output;
    EXPECT_NE(fonts.find("Arial "), std::string::npos) << fonts;
    EXPECT_NE(fonts.find("DejaVu Sans,Bold"), std::string::npos) << fonts;
    EXPECT_EQ(CountOf(fonts, "CID TrueType      Identity-H       yes no  yes"), 2) << fonts;

    // The second page names every font registered so far, in registration order.
    EXPECT_EQ(CountOf(pdf, "/Font << /F0 "), 2);
    EXPECT_EQ(CountOf(pdf, " 0 R /F1 "), 1);
    // A glyph used on several lines is listed once in the widths.
    const size_t widths = pdf.find("/W [ ");
    ASSERT_NE(widths, std::string::npos);
    const std::string w = pdf.substr(widths, pdf.find("\r\n", widths) - widths);
    EXPECT_EQ(CountOf(w, "] "), 15) << w; // H e l o space P D F w r d a g i n
}

TEST_F(PdfDocumentTest, FontsWithoutEmbeddingKeepEveryOtherObject)
{
    Export.SetCompressed(false);
    Start();
    Export.BeginPage(test::A4Page);
    Text(MakeFont(u"Arial", 10), u"Plain", 10, 10);
    const std::string pdf = Written("no-embed.pdf");
    ExpectValid();
    EXPECT_EQ(pdf.find("/FontFile2"), std::string::npos);
    EXPECT_NE(pdf.find("/Type /FontDescriptor"), std::string::npos);
    EXPECT_NE(pdf.find("/ToUnicode"), std::string::npos);
    EXPECT_NE(pdf.find("/Subtype /CIDFontType2"), std::string::npos);
    EXPECT_NE(pdf.find("beginbfchar"), std::string::npos); // uncompressed mapping is readable
    EXPECT_NE(test::RunTool("pdftotext '" + Path + "' -").Output.find("Plain"), std::string::npos);
}

TEST_F(PdfDocumentTest, ContentStreamsCarryBothLengths)
{
    const struct
    {
        bool Compressed;
        const char* Dictionary;
    } cases[] = {
        {true, "<< /Filter /FlateDecode /Length "},
        {false, "<< /Length "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Compressed);
        Out = MemoryStream();
        Export.SetCompressed(c.Compressed);
        Start();
        Export.BeginPage(test::A4Page);
        Export.Content().Line("0 0 m 10 10 l S");
        const std::string pdf = Written(c.Compressed ? "z.pdf" : "plain.pdf");
        ExpectValid();
        EXPECT_NE(pdf.find(c.Dictionary), std::string::npos);
        EXPECT_EQ(pdf.find("/Length1 17") != std::string::npos, c.Compressed);
    }
}

TEST_F(PdfDocumentTest, IdenticalImagesAreSharedOnlyWithinAPage)
{
    Start();
    const std::string red = test::SolidJpeg(8, 4, 255);
    Export.BeginPage(test::A4Page);
    const int first = Export.AddImage(red, 8, 4);
    EXPECT_EQ(Export.AddImage(red, 8, 4), first);
    Export.Content().Image(first, 10, 10, 6, 3);
    Export.Content().Image(first, 30, 10, 6, 3);
    Export.EndPage();
    Export.BeginPage(test::A4Page);
    const int second = Export.AddImage(red, 8, 4);
    EXPECT_NE(second, first);
    Export.Content().Image(second, 10, 10, 6, 3);
    const std::string pdf = Written("images.pdf");

    ExpectValid();
    EXPECT_EQ(CountOf(pdf, "/Subtype /Image"), 2);
    const std::string list = Tool("pdfimages -list").Output;
    EXPECT_EQ(CountOf(list, " image       8     4  rgb     3   8  jpeg"), 3) << list;
}

TEST_F(PdfDocumentTest, DocumentInformationAndViewerPreferences)
{
    const struct
    {
        const char16_t* Title;
        bool HideToolbar;
        bool PrintScaling;
        std::vector<std::string> Present;
        std::vector<std::string> Absent;
    } cases[] = {
        {u"",
         false,
         false,
         {"/Title <FEFF>\r\n", "/PrintScaling /None", "/PageMode /UseNone"},
         {"/DisplayDocTitle", "/HideToolbar"}},
        {u"Sales \u010C",
         true,
         true,
         {"/Title <FEFF00530061006C006500730020010C>",
          "/DisplayDocTitle true",
          "/HideToolbar true"},
         {"/PrintScaling"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Title));
        Out = MemoryStream();
        Export.SetTitle(c.Title);
        Export.SetHideToolbar(c.HideToolbar);
        Export.SetPrintScaling(c.PrintScaling);
        Start();
        Export.BeginPage(test::A4Page); // pdfinfo reads no document without pages
        const std::string pdf = Written("info.pdf");
        ExpectValid();
        for (const std::string& s : c.Present)
            EXPECT_NE(pdf.find(s), std::string::npos) << s;
        for (const std::string& s : c.Absent)
            EXPECT_EQ(pdf.find(s), std::string::npos) << s;
        EXPECT_NE(pdf.find("/CreationDate (D:20260304050607)\r\n"), std::string::npos);
        const std::string info = Tool("pdfinfo").Output;
        EXPECT_EQ(test::InfoField(info, "Author"), "Vellum") << info;
        EXPECT_EQ(test::InfoField(info, "Subject"), "Vellum PDF export");
    }
}

TEST_F(PdfDocumentTest, PasswordsEncryptStringsAndStreams)
{
    Export.SetUserPassword(u"user");
    Export.SetEmbedFontsIfProtected(true);
    Export.SetTitle(u"Secret title");
    Start();
    Export.BeginPage(test::A4Page);
    Text(MakeFont(u"Arial", 10), u"Hidden words", 10, 10);
    Export.AddLink("1.00 2.00 3.00 4.00", u"https://example.com/a(b)");
    Export.Content().Image(Export.AddImage(test::SolidJpeg(4, 4, 9), 4, 4), 0, 0, 3, 3);
    const std::string pdf = Written("secret.pdf");

    EXPECT_TRUE(Export.EmbeddedFonts());
    ExpectValid("--password=user");
    EXPECT_NE(pdf.find("/Encrypt <<"), std::string::npos);
    EXPECT_EQ(pdf.find("Secret"), std::string::npos);
    const std::string text = test::RunTool("pdftotext -upw user '" + Path + "' -").Output;
    EXPECT_NE(text.find("Hidden words"), std::string::npos) << text;
    // Title is pdfinfo's first line.
    const std::string info = "\n" + test::RunTool("pdfinfo -upw user '" + Path + "'").Output;
    EXPECT_EQ(test::InfoField(info, "Title"), "Secret title");
    const std::string links =
        test::RunTool("qpdf --password=user --qdf --object-streams=disable '" + Path + "' -")
            .Output;
    EXPECT_NE(links.find("https://example.com/a\\(b\\)"), std::string::npos);
    EXPECT_NE(test::RunTool("pdffonts -upw user '" + Path + "'").Output.find("yes no  yes"),
              std::string::npos);
}

TEST_F(PdfDocumentTest, OutlineFollowsTheReportOutline)
{
    Export.SetOutline(true);
    PdfOutlineItem chapter{u"Chapter", 0, 100, {}};
    chapter.Children.push_back({u"Section", 1, 40, {}});
    chapter.Children.push_back({u"Skipped page", 5, 0, {}});
    Export.SetOutlineItems({chapter, {u"Appendix", 1, 0, {}}});
    Export.SetExportedPages({0, 1});
    Start();
    Export.BeginPage(test::A4Page);
    Export.EndPage();
    Export.BeginPage(test::A4Page);
    const std::string pdf = Written("outline.pdf");

    ExpectValid();
    ExpectXrefPointsAtObjects(pdf);
    EXPECT_NE(pdf.find("/PageMode /UseOutlines"), std::string::npos);
    EXPECT_NE(pdf.find("/Type /Outlines\r\n/Count 2\r\n"), std::string::npos);
    EXPECT_EQ(CountOf(pdf, "/Title <FEFF"), 4); // information, chapter, section, appendix
    // y = page height in points - Top x 0.75: 842.25 - 75 rounds to 767.
    EXPECT_NE(pdf.find(" /XYZ 0 767 0]"), std::string::npos);
    const std::string json = test::RunTool("qpdf --json --json-key=outlines '" + Path + "'").Output;
    EXPECT_NE(json.find("\"title\": \"Section\""), std::string::npos) << json;
    EXPECT_EQ(json.find("Skipped page"), std::string::npos);
}

TEST_F(PdfDocumentTest, OutlineWithoutItemsWritesNoOutlineObjects)
{
    Export.SetOutline(true);
    Start();
    const std::string pdf = Written("outline-empty.pdf");
    ExpectValid();
    EXPECT_NE(pdf.find("/PageMode /UseOutlines"), std::string::npos);
    EXPECT_EQ(pdf.find("/Outlines"), std::string::npos);
}

TEST_F(PdfDocumentTest, LinkAnnotations)
{
    struct Anchors : PdfAnchorSource
    {
        std::optional<PdfAnchor> FindAnchor(StringView name) const override
        {
            if (name == u"total") return PdfAnchor{1, 100};
            return std::nullopt;
        }
    } anchors;
    Export.SetAnchorSource(&anchors);
    Start();
    Export.BeginPage(test::A4Page);
    Export.AddLink("10.00 20.00 30.00 40.00", u"https://example.com/x?a=1");
    Export.AddLink("10.00 20.00 30.00 40.00", u"https://example.com/\u010D");
    Export.AddLink("1.00 2.00 3.00 4.00", u"@2");
    Export.AddLink("1.00 2.00 3.00 4.00", u"#total");
    Export.AddLink("1.00 2.00 3.00 4.00", u"#missing");
    Export.AddLink("1.00 2.00 3.00 4.00", u"@9");
    Export.EndPage();
    Export.BeginPage(test::A4Page);
    const std::string pdf = Written("links.pdf");

    ExpectValid();
    ExpectXrefPointsAtObjects(pdf);
    EXPECT_EQ(CountOf(pdf, "/Subtype /Link"), 5);
    EXPECT_NE(pdf.find("/Rect [10.00 20.00 30.00 40.00]"), std::string::npos);
    EXPECT_NE(pdf.find("/URI (https://example.com/x?a=1)"), std::string::npos);
    EXPECT_NE(pdf.find("/URI (https://example.com/%C4%8D)"), std::string::npos);
    // Margin offset 10 mm x 0.05 = 0.5 pt: "@2" goes to round(842.25 - 0.5), the anchor 75 pt
    // lower.
    EXPECT_EQ(CountOf(pdf, " /XYZ null 842 null]"), 1);
    EXPECT_EQ(CountOf(pdf, " /XYZ null 767 null]"), 1);
    // A page link past the exported pages stays without a destination.
    EXPECT_EQ(CountOf(pdf, "/Dest ["), 2);
}

TEST_F(PdfDocumentTest, PageColourRectangle)
{
    Export.SetCompressed(false);
    Start();
    PdfPageSetup setup = test::A4Page;
    setup.Color = 0x148000; // red 0, green 128, blue 20
    Export.BeginPage(setup);
    const std::string pdf = Written("colour.pdf");
    ExpectValid();
    EXPECT_NE(pdf.find("0.00 w\r\n0 0.50 0.07 RG\r\n0 0.50 0.07 rg\r\n28.35 28.35 m\r\n"),
              std::string::npos);
    EXPECT_NE(pdf.find("/MediaBox [0 0 595.50 842.25 ]"), std::string::npos);
}

} // namespace vl
