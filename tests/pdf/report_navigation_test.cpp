// The document's outline and "#name" links come from the prepared report being exported, and a
// page list keeps out what lies on pages that are not written.
#include "../layout/preview_fixture.h"
#include "pdf/pdf_document_fixture.h"
#include "pdf/report_navigation.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

// Three prepared pages of the report's own store: an outline entry per page (the second with a
// child), and on page 3 an anchor and a view linking to it.
struct ExportedReport : PreviewFixture
{
    ExportedReport()
        : Export(TvlxCustomExportFilter::NoRegister{})
    {
        TvlxPreviewPages& pages = Report->PreviewPages();
        pages.SetHost(&Host);
        pages.Initialize();
        pages.AddSourcePage(*Page);
        for (int i = 0; i < 3; ++i) {
            pages.AddPage(*Page);
            pages.Outline().LevelRoot();
            pages.Outline().AddItem(u"Page " + IntToStr(i + 1), 0);
            if (i == 1) pages.Outline().AddItem(u"Customers", 120);
        }
        Host.Y = 200;
        pages.AddAnchor(u"totals");
        pages.Outline().LevelRoot();
        AddMemo(u"Link", 0, 100)->SetURL(u"#totals");
        pages.AddObject(*Data);

        Export.SetShowDialog(false);
        Export.SetStream(&Out);
    }

    std::string Exported(const String& pageNumbers, const std::string& name)
    {
        Export.SetPageNumbers(pageNumbers);
        EXPECT_TRUE(Report->PreviewPages().Export(Export));
        Path = test::TempPath(name).string();
        test::SaveBytes(Path, Out.Bytes());
        return Out.Bytes();
    }

    TvlxPDFExport Export;
    MemoryStream Out;
    std::string Path;
};

TEST(ReportNavigation, OutlineItemsFollowTheStoredTree)
{
    ExportedReport f;
    const std::vector<PdfOutlineItem> items = OutlineItemsOf(f.Report->PreviewPages().Outline());
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[1].Title, u"Page 2");
    EXPECT_EQ(items[1].Page, 1);
    ASSERT_EQ(items[1].Children.size(), 1u);
    EXPECT_EQ(items[1].Children[0].Title, u"Customers");
    EXPECT_EQ(items[1].Children[0].Top, 120);
    EXPECT_EQ(items[2].Page, 2);
}

TEST(ReportNavigation, AnchorsAndPageListsComeFromTheStore)
{
    ExportedReport f;
    const PreviewAnchorSource anchors(f.Report->PreviewPages());
    const std::optional<PdfAnchor> totals = anchors.FindAnchor(u"TOTALS");
    ASSERT_TRUE(totals.has_value());
    EXPECT_EQ(totals->Page, 2);
    EXPECT_EQ(totals->Top, 200);
    EXPECT_FALSE(anchors.FindAnchor(u"missing").has_value());
    EXPECT_EQ(ExportedPagesOf(u"", 3), std::vector<int>{});
    EXPECT_EQ(ExportedPagesOf(u"1,3-", 3), (std::vector<int>{0, 2}));
}

TEST(ReportNavigation, ExportedDocumentCarriesTheReportOutline)
{
    ExportedReport f;
    f.Export.SetOutline(true);
    const std::string pdf = f.Exported(u"2-3", "navigation.pdf");
    EXPECT_EQ(test::RunTool("qpdf --check '" + f.Path + "'").Status, 0);
    const std::string json =
        test::RunTool("qpdf --json --json-key=outlines '" + f.Path + "'").Output;
    // Page 1 is not written, so neither is its entry.
    EXPECT_EQ(json.find("\"Page 1\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"title\": \"Page 2\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"title\": \"Customers\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"title\": \"Page 3\""), std::string::npos) << json;
    // The link reaches the anchor: 842.25 pt - 0.5 pt of margin - 200 px x 0.75 rounds to 692.
    EXPECT_NE(pdf.find("/Subtype /Link"), std::string::npos);
    EXPECT_NE(pdf.find(" /XYZ null 692 null]"), std::string::npos);
}

TEST(ReportNavigation, OutlineOffWritesNone)
{
    ExportedReport f;
    const std::string pdf = f.Exported(u"", "no-outline.pdf");
    EXPECT_EQ(pdf.find("/Outlines"), std::string::npos);
}

} // namespace
} // namespace vl
