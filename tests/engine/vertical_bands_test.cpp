#include "engine/band_tree.h"
#include "engine/run_fixture.h"
#include "model/band_kinds.h"
#include "model/report_page.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl {
namespace {

class VerticalBandsTest : public ReportRunTest
{
protected:
    void SetUp() override
    {
        UseTables(R"({"Rows":{"fields":[["name","string"]],"data":[["R1"],["R2"]]},
            "Cols":{"fields":[["name","string"],["q","string"]],
                    "data":[["C1","Q1"],["C2","Q1"],["C3","Q2"]]},
            "NoCols":{"fields":[["name","string"],["q","string"]],"data":[]}})");
    }

    // A grid: the rows of Rows down the page (with a header row), the columns of Cols across
    // it. Vertical header VH (60 wide) labels the rows, vertical data band V (`columnWidth`)
    // prints one column per record, vertical footer VF (40) closes each row with "T".
    void LoadGrid(int columnWidth, const std::string& pageAttrs)
    {
        const std::string footerLeft = std::to_string(60 + columnWidth);
        const std::string width = std::to_string(columnWidth);
        Load("<TvlxReportPage Name=\"Page1\" PaperWidth=\"100\" PaperHeight=\"100\" " + pageAttrs +
             ">"
             "<TvlxHeader Name=\"HH\" Top=\"0\" Height=\"20\">" +
             Memo("HeadLabel", 0, 0, 60, 20, "Row") +
             Memo("HeadCell", 60, 0, 50, 20, "[Cols.&#34;name&#34;]") +
             "</TvlxHeader>"
             "<TvlxMasterData Name=\"H\" Top=\"40\" Height=\"20\" DataSetName=\"Rows\">" +
             Memo("Label", 0, 0, 60, 20, "[Rows.&#34;name&#34;]") +
             Memo("Cell", 60, 0, 50, 20, "[Rows.&#34;name&#34;][Cols.&#34;name&#34;]") +
             Memo("Total", 60 + columnWidth, 0, 40, 20, "T") +
             "</TvlxMasterData>"
             "<TvlxHeader Name=\"VH\" Vertical=\"True\" Left=\"0\" Width=\"60\" "
             "ReprintOnNewPage=\"True\"/>"
             "<TvlxMasterData Name=\"V\" Vertical=\"True\" Left=\"60\" Width=\"" +
             width +
             "\" DataSetName=\"Cols\"/>"
             "<TvlxFooter Name=\"VF\" Vertical=\"True\" Left=\"" +
             footerLeft + "\" Width=\"40\"/></TvlxReportPage>");
    }
};

TEST_F(VerticalBandsTest, ColumnsPrintAcrossAndPageToTheRight)
{
    struct Case
    {
        const char* Name;
        int ColumnWidth;
        const char* PageAttrs;
        std::vector<std::string> Pages;
    };
    // The page is 377.95 pixels wide.
    const Case cases[] = {
        {"three columns fit",
         50,
         "",
         {"Row@0,0 C1@60,0 C2@110,0 C3@160,0 "
          "R1@0,20 R1C1@60,20 R1C2@110,20 R1C3@160,20 T@210,20 "
          "R2@0,40 R2C1@60,40 R2C2@110,40 R2C3@160,40 T@210,40"}},
        {"the third column goes to a page on the right, after the header again",
         120,
         "",
         {"Row@0,0 C1@60,0 C2@180,0 R1@0,20 R1C1@60,20 R1C2@180,20 R2@0,40 R2C1@60,40 R2C2@180,40",
          "Row@0,0 C3@60,0 R1@0,20 R1C3@60,20 T@180,20 R2@0,40 R2C3@60,40 T@180,40"}},
        {"an endless width takes every column",
         120,
         "EndlessWidth=\"True\"",
         {"Row@0,0 C1@60,0 C2@180,0 C3@300,0 R1@0,20 R1C1@60,20 R1C2@180,20 R1C3@300,20 "
          "T@420,20 R2@0,40 R2C1@60,40 R2C2@180,40 R2C3@300,40 T@420,40"}},
        {"columns wider than the page take a page each and are cut there",
         400,
         "",
         {"Row@0,0 R1@0,20 R2@0,40",
          "Row@0,0 C1@60,0 R1@0,20 R1C1@60,20 R2@0,40 R2C1@60,40",
          "Row@0,0 C2@60,0 R1@0,20 R1C2@60,20 R2@0,40 R2C2@60,40",
          "Row@0,0 C3@60,0 R1@0,20 R1C3@60,20 R2@0,40 R2C3@60,40",
          "Row@0,0 R1@0,20 T@60,20 R2@0,40 T@60,40"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        LoadGrid(c.ColumnWidth, c.PageAttrs);
        ASSERT_EQ(Prepare(), "");
        ASSERT_EQ(Store().Count(), static_cast<int32_t>(c.Pages.size()));
        for (size_t i = 0; i < c.Pages.size(); ++i)
            EXPECT_EQ(PrintedTexts(static_cast<int32_t>(i)), c.Pages[i]) << "page " << i + 1;
    }
}

TEST_F(VerticalBandsTest, ObjectsInsideAVerticalBandMoveIntoIt)
{
    LoadGrid(50, "");
    auto& page = static_cast<TvlxReportPage&>(*Report().FindObject(u"Page1"));
    TvlxErrorList errors;
    BuildBandTree(page, false, errors);
    HandOverToVerticalBands(page);
    BuildBandTree(page, true, errors);
    EXPECT_TRUE(errors.Empty()) << ToUtf8(errors.Text());
    // Label and HeadLabel lie inside VH, the cells inside V, Total inside VF; each keeps its
    // band and a position relative to the vertical band.
    const struct
    {
        const char16_t* Object;
        const char16_t* VerticalBand;
        const char16_t* OriginalBand;
    } expected[] = {
        {u"HeadLabel", u"VH", u"HH"},
        {u"HeadCell", u"V", u"HH"},
        {u"Label", u"VH", u"H"},
        {u"Cell", u"V", u"H"},
        {u"Total", u"VF", u"H"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(ToUtf8(e.Object));
        TvlxComponent* object = Report().FindObject(e.Object);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->Parent()->Name(), e.VerticalBand);
        ASSERT_NE(object->FOriginalBand.Get(), nullptr);
        EXPECT_EQ(object->FOriginalBand->Name(), e.OriginalBand);
        EXPECT_EQ(object->Left(), 0);
    }
    for (const char16_t* name : {u"HH", u"H"})
        EXPECT_TRUE(static_cast<TvlxBand*>(Report().FindObject(name))->FHasVBands);
    EXPECT_EQ(Report().FindObject(u"H")->ObjectCount(), 0u);
    // The vertical tree: VH heads V, VF follows it.
    auto* data = static_cast<TvlxBand*>(Report().FindObject(u"V"));
    ASSERT_EQ(page.FVSubBands.size(), 1u);
    EXPECT_EQ(page.FVSubBands[0], data);
    EXPECT_EQ(data->FHeader, Report().FindObject(u"VH"));
    EXPECT_EQ(data->FFooter, Report().FindObject(u"VF"));
}

TEST_F(VerticalBandsTest, GroupsOfVerticalBandsCloseWithTheirFooters)
{
    // Across the page: VH (0-60), group header VG (60-100), V (100-150), group footer VGF
    // (150-190), footer VF (190-230). The group footer sees the group's last column.
    struct Case
    {
        const char* Name;
        const char* DataSet;
        const char* Row;
    };
    const Case cases[] = {
        {"two groups",
         "Cols",
         "R1@0,0 Q1@60,0 R1C1@100,0 R1C2@150,0 SQ1@200,0 Q2@240,0 R1C3@280,0 "
         "SQ2@330,0 T@370,0"},
        // Without columns the group footers are still processed; header and footer are not.
        {"no columns", "NoCols", "S@0,0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Load("<TvlxReportPage Name=\"Page1\" PaperWidth=\"150\" PaperHeight=\"100\">"
             "<TvlxMasterData Name=\"H\" Top=\"40\" Height=\"20\" DataSetName=\"Rows\" "
             "RowCount=\"1\">" +
             Memo("Label", 0, 0, 60, 20, "[Rows.&#34;name&#34;]") +
             Memo("Quarter", 60, 0, 40, 20, "[" + std::string(c.DataSet) + ".&#34;q&#34;]") +
             Memo("Cell",
                  100,
                  0,
                  50,
                  20,
                  "[Rows.&#34;name&#34;][" + std::string(c.DataSet) + ".&#34;name&#34;]") +
             Memo("Sum", 150, 0, 40, 20, "S[" + std::string(c.DataSet) + ".&#34;q&#34;]") +
             Memo("Total", 190, 0, 40, 20, "T") +
             "</TvlxMasterData>"
             "<TvlxHeader Name=\"VH\" Vertical=\"True\" Left=\"0\" Width=\"60\"/>"
             "<TvlxGroupHeader Name=\"VG\" Vertical=\"True\" Left=\"60\" Width=\"40\" "
             "Condition=\"" +
             std::string(c.DataSet) +
             ".&#34;q&#34;\"/>"
             "<TvlxMasterData Name=\"V\" Vertical=\"True\" Left=\"100\" Width=\"50\" "
             "DataSetName=\"" +
             c.DataSet +
             "\"/>"
             "<TvlxGroupFooter Name=\"VGF\" Vertical=\"True\" Left=\"150\" Width=\"40\"/>"
             "<TvlxFooter Name=\"VF\" Vertical=\"True\" Left=\"190\" Width=\"40\"/>"
             "</TvlxReportPage>");
        ASSERT_EQ(Prepare(), "");
        ASSERT_EQ(Store().Count(), 1);
        EXPECT_EQ(PrintedTexts(0), c.Row);
    }
}

TEST_F(VerticalBandsTest, AMasterInsideASubreportOnItsParentNeverPages)
{
    // Three 200-pixel columns do not fit the 378-pixel page, but collected into the parent
    // band they stay on one page. Label lies in no vertical band and stays in the master at its
    // place; the columns start at the left edge.
    Load("<TvlxReportPage Name=\"Page1\" PaperWidth=\"100\" PaperHeight=\"100\">"
         "<TvlxMasterData Name=\"M\" Top=\"20\" Height=\"20\" RowCount=\"1\" "
         "Stretched=\"True\"><TvlxSubreport Name=\"S\" Width=\"50\" Height=\"20\" "
         "Page=\"Page2\" PrintOnParent=\"True\"/></TvlxMasterData></TvlxReportPage>"
         "<TvlxReportPage Name=\"Page2\" PaperWidth=\"100\" PaperHeight=\"100\">"
         "<TvlxMasterData Name=\"H\" Top=\"40\" Height=\"20\" DataSetName=\"Rows\">" +
         Memo("Label", 0, 0, 60, 20, "[Rows.&#34;name&#34;]") +
         Memo("Cell", 60, 0, 50, 20, "[Rows.&#34;name&#34;][Cols.&#34;name&#34;]") +
         "</TvlxMasterData>"
         "<TvlxMasterData Name=\"V\" Vertical=\"True\" Left=\"60\" Width=\"200\" "
         "DataSetName=\"Cols\"/></TvlxReportPage>");
    ASSERT_EQ(Prepare(), "");
    ASSERT_EQ(Store().Count(), 1);
    EXPECT_EQ(PrintedTexts(0),
              "R1@0,0 R1C1@0,0 R1C2@200,0 R1C3@400,0 R2@0,20 R2C1@0,20 R2C2@200,20 R2C3@400,20");
}

} // namespace
} // namespace vl
