#include "engine_fixture.h"

namespace vl {
namespace {

using namespace enginetest;

struct PagesCase
{
    const char* Name;
    std::string Bands;
    std::string PageAttrs;
    std::vector<std::string> Pages;
};

class PageFlowTest : public EngineTest
{
protected:
    void RunPagesCases(const std::vector<PagesCase>& cases, bool withLeft = false)
    {
        for (const PagesCase& c : cases) {
            SCOPED_TRACE(c.Name);
            ProbeLog.clear();
            Load(c.Bands, c.PageAttrs);
            ASSERT_EQ(Prepare(), "");
            EXPECT_EQ(StoredPages(withLeft), c.Pages);
        }
    }

    // The log entries that contain `part`.
    static std::string LogWith(const std::string& part)
    {
        std::string out;
        for (const std::string& entry : ProbeLog)
            if (entry.find(part) != std::string::npos) out += (out.empty() ? "" : " ") + entry;
        return out;
    }
};

const std::string PageBands =
    Band("PageHeader", "PageHeader1", 0) + Band("PageFooter", "PageFooter1", 300);

// A group over the first letter of Items or Sales ("g").
std::string Group(const std::string& source, const std::string& attrs = "")
{
    return Band("GroupHeader",
                "GroupHeader1",
                10,
                "Condition=\"" + source + ".&quot;g&quot;\" " + attrs,
                "Source=\"" + source + "\" Field=\"g\" Overflows=\"True\"");
}

// ---- Page start and end, headers that come back

// 30 mm of paper are 113.39 px: below a page header of 20 and above a page footer of 20 there
// is room for three bands of 20 (tops 20, 40 and 60; the footer stands at 93).
TEST_F(PageFlowTest, HeadersComeBackOnContinuationPages)
{
    RunPagesCases({
        {"a group header with ReprintOnNewPage comes back until its group ends",
         PageBands + Group("Items", "ReprintOnNewPage=\"True\"") +
             Data("MasterData", "MasterData1", 40, "Items", "n"),
         "PaperHeight=\"30\"",
         {"PageHeader1@0 GroupHeader1@20 MasterData1@40 MasterData1@60 PageFooter1@93",
          "PageHeader1@0 GroupHeader1@20 MasterData1@40 GroupHeader1@60 PageFooter1@93",
          "PageHeader1@0 GroupHeader1@20 MasterData1@40 PageFooter1@93"}},
        {"a re-printed data header that broke the page itself prints once",
         PageBands + Data("MasterData", "MasterData1", 20, "Sales", "n") +
             Band("Header", "Header2", 40, "ReprintOnNewPage=\"True\"") +
             Data("MasterData", "MasterData2", 60, "Customers", "name"),
         "PaperHeight=\"30\"",
         {"PageHeader1@0 MasterData1@20 MasterData1@40 MasterData1@60 PageFooter1@93",
          "PageHeader1@0 Header2@20 MasterData2@40 MasterData2@60 PageFooter1@93",
          "PageHeader1@0 Header2@20 MasterData2@40 PageFooter1@93"}},
        {"a page header without PrintOnFirstPage",
         Band("PageHeader", "PageHeader1", 0, "PrintOnFirstPage=\"False\"") +
             Band("PageFooter", "PageFooter1", 300) +
             Band("MasterData", "MasterData1", 40, "RowCount=\"5\""),
         "PaperHeight=\"30\"",
         {"MasterData1@0 MasterData1@20 MasterData1@40 MasterData1@60 PageFooter1@93",
          "PageHeader1@0 MasterData1@20 PageFooter1@93"}},
        {"... whose child stands in for it with PrintChildIfInvisible",
         Band("PageHeader",
              "PageHeader1",
              0,
              "PrintOnFirstPage=\"False\" PrintChildIfInvisible=\"True\" Child=\"Child1\"") +
             Band("Child", "Child1", 25) + Band("PageFooter", "PageFooter1", 300) +
             Band("MasterData", "MasterData1", 40, "RowCount=\"5\""),
         "PaperHeight=\"30\"",
         {"Child1@0 MasterData1@20 MasterData1@40 MasterData1@60 PageFooter1@93",
          "PageHeader1@0 Child1@20 MasterData1@40 MasterData1@60 PageFooter1@93"}},
        {"an overlay lies under the page",
         PageBands + Band("Overlay", "Overlay1", 200) +
             Data("MasterData", "MasterData1", 40, "Sales", "n"),
         "",
         {"Overlay1@0 PageHeader1@0 MasterData1@20 MasterData1@40 MasterData1@60 "
          "PageFooter1@357"}},
        {"... or on top of it with PrintOnTop",
         PageBands + Band("Overlay", "Overlay1", 200, "PrintOnTop=\"True\"") +
             Data("MasterData", "MasterData1", 40, "Sales", "n"),
         "",
         {"PageHeader1@0 MasterData1@20 MasterData1@40 MasterData1@60 PageFooter1@357 "
          "Overlay1@0"}},
        {"a page ended inside the summary is not the last page for PrintOnLastPage",
         Band("PageHeader", "PageHeader1", 0) +
             Band("PageFooter", "PageFooter1", 300, "PrintOnLastPage=\"False\"") +
             Data("MasterData", "MasterData1", 40, "Customers", "name") +
             Band("ReportSummary", "ReportSummary1", 200),
         "PaperHeight=\"30\"",
         {"PageHeader1@0 MasterData1@20 MasterData1@40 MasterData1@60 PageFooter1@93",
          "PageHeader1@0 ReportSummary1@20"}},
        {"the title before the page header",
         PageBands + Band("ReportTitle", "ReportTitle1", 30) +
             Data("MasterData", "MasterData1", 60, "Sales", "n"),
         "",
         {"ReportTitle1@0 PageHeader1@20 MasterData1@40 MasterData1@60 MasterData1@80 "
          "PageFooter1@357"}},
        {"the title below the page header without TitleBeforeHeader",
         PageBands + Band("ReportTitle", "ReportTitle1", 30) +
             Data("MasterData", "MasterData1", 60, "Sales", "n"),
         "TitleBeforeHeader=\"False\"",
         {"PageHeader1@0 ReportTitle1@20 MasterData1@40 MasterData1@60 MasterData1@80 "
          "PageFooter1@357"}},
    });
    // The group header came back marked as a continuation.
    EXPECT_EQ(LogWith("!"), "");
    Load(PageBands + Group("Items", "ReprintOnNewPage=\"True\"") +
             Data("MasterData", "MasterData1", 40, "Items", "n"),
         "PaperHeight=\"30\"");
    ProbeLog.clear();
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(LogWith("!"), "GroupHeader1:A! GroupHeader1:B!");
}

TEST_F(PageFlowTest, PrintOnPreviousPageContinuesTheLastPage)
{
    const std::string second = Band("PageHeader", "PageHeader2", 0) +
                               Band("ReportTitle", "ReportTitle2", 30) +
                               Data("MasterData", "MasterData2", 60, "Customers", "name");
    const struct
    {
        const char* Name;
        std::string Attrs;
        std::vector<std::string> Pages;
    } cases[] = {
        {"without it the page starts its own output page",
         "",
         {"MasterData1@0 MasterData1@20 MasterData1@40",
          "ReportTitle2@0 PageHeader2@20 MasterData2@40 MasterData2@60 MasterData2@80"}},
        {"with it the title follows on the last page, without the page header",
         "PrintOnPreviousPage=\"True\"",
         {"MasterData1@0 MasterData1@20 MasterData1@40 ReportTitle2@60 MasterData2@80 "
          "MasterData2@100 MasterData2@120"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        LoadPages(Page("Page1", "", Data("MasterData", "MasterData1", 20, "Sales", "n")) +
                  Page("Page2", c.Attrs, second));
        ASSERT_EQ(Prepare(), "");
        EXPECT_EQ(StoredPages(), c.Pages);
    }
}

// ---- Keeping

TEST_F(PageFlowTest, KeptBlocksMoveToTheNextPage)
{
    const std::string lastPage = "PageHeader1@0 DetailData1@20 PageFooter1@93";
    const std::string fullPage =
        "PageHeader1@0 MasterData1@20 DetailData1@40 DetailData1@60 PageFooter1@93";
    RunPagesCases({
        {"a KeepTogether group moves whole; the first group of the run is never kept",
         PageBands + Group("Sales", "KeepTogether=\"True\"") +
             Data("MasterData", "MasterData1", 40, "Sales", "n") +
             Band("GroupFooter", "GroupFooter1", 60),
         "PaperHeight=\"40\"",
         {"PageHeader1@0 GroupHeader1@20 MasterData1@40 MasterData1@60 GroupFooter1@80 "
          "PageFooter1@131",
          "PageHeader1@0 GroupHeader1@20 MasterData1@40 GroupFooter1@60 PageFooter1@131"}},
        {"a block taller than a page is printed where it began, not moved off an empty page",
         // The second page run starts with a kept master of four bands: three fit a page.
         PageBands +
             Data("MasterData", "MasterData1", 40, "Customers", "name", "KeepTogether=\"True\"") +
             Data("DetailData", "DetailData1", 80, "Orders", "n"),
         "PaperHeight=\"30\" PageCount=\"2\"",
         {fullPage, lastPage, fullPage, fullPage, lastPage, fullPage}},
        {"KeepHeader takes the header along with the first record",
         PageBands + Band("ReportTitle", "ReportTitle1", 10, "Child=\"Child1\"") +
             Band("Child", "Child1", 15) + Band("Header", "Header1", 30) +
             Data("MasterData", "MasterData1", 40, "Customers", "name", "KeepHeader=\"True\""),
         "PaperHeight=\"30\"",
         {"ReportTitle1@0 Child1@20 PageHeader1@40 PageFooter1@93",
          "PageHeader1@0 Header1@20 MasterData1@40 MasterData1@60 PageFooter1@93",
          "PageHeader1@0 MasterData1@20 PageFooter1@93"}},
        {"KeepFooter takes the last record along with the footer",
         PageBands +
             Data("MasterData", "MasterData1", 40, "Customers", "name", "KeepFooter=\"True\"") +
             Band("Footer", "Footer1", 60),
         "PaperHeight=\"30\"",
         {"PageHeader1@0 MasterData1@20 MasterData1@40 PageFooter1@93",
          "PageHeader1@0 MasterData1@20 Footer1@40 PageFooter1@93"}},
        {"KeepChild moves a band with its child",
         PageBands + Data("MasterData", "MasterData1", 40, "Sales", "n") +
             Band("Footer", "Footer1", 60, "KeepChild=\"True\" Child=\"Child1\"") +
             Band("Child", "Child1", 80),
         "PaperHeight=\"30\"",
         {"PageHeader1@0 MasterData1@20 MasterData1@40 MasterData1@60 PageFooter1@93",
          "PageHeader1@0 Footer1@20 Child1@40 PageFooter1@93"}},
    });
}

// ---- Columns

TEST_F(PageFlowTest, PageColumnsRepeatTheirHeadersBesideEachOther)
{
    // 50 mm of paper (188.98 px) in two columns of 50 mm; room for three records per column
    // below the page header, column header, data header and its child.
    RunPagesCases(
        {
            {"two columns with column header and footer",
             PageBands + Band("ColumnHeader", "ColumnHeader1", 5, "", "Overflows=\"True\"") +
                 Band("ColumnFooter", "ColumnFooter1", 290) +
                 Band("Header",
                      "Header1",
                      30,
                      "ReprintOnNewPage=\"True\" Child=\"Child1\"",
                      "Overflows=\"True\"") +
                 Band("Child", "Child1", 200, "", "Overflows=\"True\"") +
                 Data("MasterData", "MasterData1", 60, "Items", "n"),
             "PaperHeight=\"50\" Columns=\"2\"",
             {"PageHeader1@0,0 ColumnHeader1@0,20 Header1@0,40 Child1@0,60 MasterData1@0,80 "
              "MasterData1@0,100 MasterData1@0,120 ColumnFooter1@0,140 ColumnHeader1@188,20 "
              "Header1@188,40 Child1@188,60 MasterData1@188,80 ColumnFooter1@188,100 "
              "PageFooter1@0,168"}},
        },
        true);
    // The whole re-printed chain is marked as a continuation.
    EXPECT_EQ(LogWith("!"), "ColumnHeader1! Header1! Child1!");
}

TEST_F(PageFlowTest, AKeptBlockMovesToTheNextPageColumn)
{
    // 30 mm of paper in two columns: three bands a column. Eva's record with its two orders is
    // kept and starts the second column instead of breaking after her first order.
    RunPagesCases(
        {
            {"KeepTogether in page columns",
             Data("MasterData", "MasterData1", 40, "Customers", "name", "KeepTogether=\"True\"") +
                 Data("DetailData", "DetailData1", 80, "Orders", "n"),
             "PaperHeight=\"30\" Columns=\"2\"",
             {"MasterData1@0,0 DetailData1@0,20 DetailData1@0,40 DetailData1@0,60 "
              "MasterData1@188,0 DetailData1@188,20 DetailData1@188,40"}},
        },
        true);
}

TEST_F(PageFlowTest, DataBandColumnRowsMoveWhole)
{
    RunPagesCases(
        {
            {"a row that does not fit goes to the next page as a whole",
             // Twenty records in rows of three: five rows fit 113 px, the sixth moves.
             Band("MasterData",
                  "MasterData1",
                  20,
                  "RowCount=\"20\" Columns=\"3\" ColumnWidth=\"30\" ColumnGap=\"5\""),
             "PaperHeight=\"30\"",
             {"MasterData1@0,0 MasterData1@35,0 MasterData1@70,0 MasterData1@0,20 "
              "MasterData1@35,20 MasterData1@70,20 MasterData1@0,40 MasterData1@35,40 "
              "MasterData1@70,40 MasterData1@0,60 MasterData1@35,60 MasterData1@70,60 "
              "MasterData1@0,80 MasterData1@35,80 MasterData1@70,80",
              "MasterData1@0,0 MasterData1@35,0 MasterData1@70,0 MasterData1@0,20 "
              "MasterData1@35,20"}},
            {"a row taller than a page stays where it began",
             "<TvlxMasterData Name=\"MasterData1\" Top=\"20\" Height=\"200\" RowCount=\"4\" "
             "Columns=\"2\" ColumnWidth=\"30\" ColumnGap=\"5\"/>",
             "PaperHeight=\"30\"",
             {"MasterData1@0,0 MasterData1@35,0", "MasterData1@0,0 MasterData1@35,0"}},
        },
        true);
}

// ---- Groups

TEST_F(PageFlowTest, NestedGroupsCloseFromTheDeepestLevel)
{
    // Items: A x 1, A x 2, A y 3, B y 4; the footers see the last record of their group.
    Load(Band("GroupHeader",
              "GroupHeader1",
              10,
              "Condition=\"Items.&quot;g&quot;\"",
              "Source=\"Items\" Field=\"g\"") +
         Band("GroupHeader",
              "GroupHeader2",
              20,
              "Condition=\"Items.&quot;h&quot;\"",
              "Source=\"Items\" Field=\"h\"") +
         Data("MasterData", "MasterData1", 40, "Items", "n") +
         Band("GroupFooter", "GroupFooter2", 60, "", "Source=\"Items\" Field=\"n\"") +
         Band("GroupFooter", "GroupFooter1", 80, "", "Source=\"Items\" Field=\"n\""));
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(Log(),
              "GroupHeader1:A GroupHeader2:x MasterData1:1 MasterData1:2 GroupFooter2:2 "
              "GroupHeader2:y MasterData1:3 GroupFooter2:3 GroupFooter1:3 GroupHeader1:B "
              "GroupHeader2:y MasterData1:4 GroupFooter2:4 GroupFooter1:4");
}

TEST_F(PageFlowTest, DrillDownGroupsPrintCollapsedUnlessExpanded)
{
    const struct
    {
        const char* Name;
        std::string Attrs;
        std::string Log;
    } cases[] = {
        {"collapsed: headers only",
         "DrillDown=\"True\"",
         "GroupHeader1:A=GroupHeader1.1 GroupHeader1:B=GroupHeader1.2"},
        {"collapsed with ShowFooterIfDrillDown",
         "DrillDown=\"True\" ShowFooterIfDrillDown=\"True\"",
         "GroupHeader1:A=GroupHeader1.1 GroupFooter1:2 GroupHeader1:B=GroupHeader1.2 "
         "GroupFooter1:3"},
        {"expanded",
         "DrillDown=\"True\" ExpandDrillDown=\"True\"",
         "GroupHeader1:A=GroupHeader1.1 MasterData1:1 MasterData1:2 GroupFooter1:2 "
         "GroupHeader1:B=GroupHeader1.2 MasterData1:3 GroupFooter1:3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ProbeLog.clear();
        Load(Band("GroupHeader",
                  "GroupHeader1",
                  10,
                  "Condition=\"Sales.&quot;g&quot;\" " + c.Attrs,
                  "Source=\"Sales\" Field=\"g\"") +
             Data("MasterData", "MasterData1", 40, "Sales", "n") +
             Band("GroupFooter", "GroupFooter1", 60, "", "Source=\"Sales\" Field=\"n\""));
        ASSERT_EQ(Prepare(), "");
        EXPECT_EQ(Log(), c.Log);
    }
}

TEST_F(PageFlowTest, DrillNamesFollowTheMasterRecords)
{
    // Ivo has no orders and prints no record: Eva is the second master record.
    Load(Data("MasterData", "MasterData1", 20, "Customers", "name") +
         Band("GroupHeader",
              "GroupHeader1",
              30,
              "Condition=\"1\" DrillDown=\"True\" ExpandDrillDown=\"True\"") +
         Data("DetailData", "DetailData1", 40, "Orders", "n"));
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(
        LogWith("Group"),
        "GroupHeader1=MasterData1.1.GroupHeader1.1 GroupHeader1=MasterData1.2.GroupHeader1.1");
}

TEST_F(PageFlowTest, AFailingGroupConditionEndsTheRun)
{
    Load(Band("GroupHeader", "GroupHeader1", 10, "Condition=\"NoSuchFunction(1)\"") +
         Data("MasterData", "MasterData1", 40, "Sales", "n"));
    const std::string error = Prepare();
    EXPECT_NE(error.find("GroupHeader1"), std::string::npos) << error;
    EXPECT_EQ(Log(), "");
}

TEST_F(PageFlowTest, ResetPageNumbersOnAPageRestartsEveryRun)
{
    Load(Band("PageHeader", "PageHeader1", 0, "", "Pages=\"True\"") +
             Data("MasterData", "MasterData1", 40, "Customers", "name"),
         "PaperHeight=\"15\" PageCount=\"2\" ResetPageNumbers=\"True\"");
    ASSERT_EQ(Prepare(), "");
    // One record a page: each run of three pages counts from 1 again.
    EXPECT_EQ(Store().Count(), 6);
    EXPECT_EQ(LogWith("Page"),
              "PageHeader1p1 PageHeader1p2 PageHeader1p3 PageHeader1p1 PageHeader1p2 "
              "PageHeader1p3");
}

TEST_F(PageFlowTest, StartNewPageOnAGroupRestartsPageNumbers)
{
    // Items: group A of three records, group B of one. The first group starts no page.
    const std::string bands =
        Band("PageHeader", "PageHeader1", 0, "", "Pages=\"True\"") +
        Band("PageFooter", "PageFooter1", 300, "", "Pages=\"True\"") +
        Band("GroupHeader",
             "GroupHeader1",
             10,
             "Condition=\"Items.&quot;g&quot;\" StartNewPage=\"True\" ResetPageNumbers=\"True\"") +
        Data("MasterData", "MasterData1", 40, "Items", "n");
    Load(bands, "PaperHeight=\"30\"");
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(StoredPages(),
              (std::vector<std::string>{
                  "PageHeader1@0 GroupHeader1@20 MasterData1@40 MasterData1@60 PageFooter1@93",
                  "PageHeader1@0 MasterData1@20 PageFooter1@93",
                  "PageHeader1@0 GroupHeader1@20 MasterData1@40 PageFooter1@93"}));
    EXPECT_EQ(LogWith("Page"),
              "PageHeader1p1 PageFooter1p1 PageHeader1p2 PageFooter1p2 PageHeader1p1 "
              "PageFooter1p1");
}

// ---- Outline

TEST_F(PageFlowTest, OutlineEntriesNestAndMoveWithKeptBlocks)
{
    const std::string master =
        "OutlineText=\"Customers.&quot;name&quot;\" PrintIfDetailEmpty=\"False\"";
    const std::string detail = Band("DetailData",
                                    "DetailData1",
                                    80,
                                    "DataSetName=\"Orders\" OutlineText=\"Orders.&quot;n&quot;\"");
    const struct
    {
        const char* Name;
        std::string Bands;
        std::string PageAttrs;
        std::string Outline;
    } cases[] = {
        {"page, records and details",
         Data("MasterData", "MasterData1", 40, "Customers", "name", master) + detail,
         "OutlineText=\"'P'\"",
         "P@0/0(Ana@0/0(3@0/20 1@0/40 2@0/60) Eva@0/80(9@0/100 8@0/120))"},
        {"a kept record's entry moves with it, the page's entry is made again",
         Data("MasterData",
              "MasterData1",
              40,
              "Customers",
              "name",
              master + " KeepTogether=\"True\"") +
             detail,
         "OutlineText=\"'P'\" PaperHeight=\"30\"",
         "P@0/0(Ana@0/0(3@0/20 1@0/40 2@0/60) Eva@1/0) P@1/0(9@1/20 8@1/40)"},
        {"group entries close with their footers",
         Band("GroupHeader",
              "GroupHeader1",
              10,
              "Condition=\"Sales.&quot;g&quot;\" OutlineText=\"Sales.&quot;g&quot;\"") +
             Data("MasterData",
                  "MasterData1",
                  40,
                  "Sales",
                  "n",
                  "OutlineText=\"Sales.&quot;n&quot;\""),
         "",
         "A@0/0(1@0/20 2@0/40) B@0/60(3@0/80)"},
        {"an invisible group makes no entry and closes no level",
         Band("GroupHeader",
              "GroupHeader1",
              10,
              "Condition=\"Items.&quot;g&quot;\" OutlineText=\"Items.&quot;g&quot;\"") +
             Band("GroupHeader",
                  "GroupHeader2",
                  20,
                  "Condition=\"Items.&quot;h&quot;\" OutlineText=\"Items.&quot;h&quot;\" "
                  "Visible=\"False\"") +
             Data("MasterData",
                  "MasterData1",
                  40,
                  "Items",
                  "n",
                  "OutlineText=\"Items.&quot;n&quot;\""),
         "",
         "A@0/0(1@0/20 2@0/40 3@0/60) B@0/80(4@0/100)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Load(c.Bands, c.PageAttrs);
        ASSERT_EQ(Prepare(), "");
        EXPECT_EQ(OutlineText(), c.Outline);
    }
}

// ---- Endless pages

TEST_F(PageFlowTest, EndlessPagesGrowToTheirContent)
{
    const std::string bands = PageBands +
                              Data("MasterData", "MasterData1", 40, "Customers", "name") +
                              Data("DetailData", "DetailData1", 80, "Orders", "n");
    const struct
    {
        const char* Name;
        std::string Bands;
        std::string PageAttrs;
        std::vector<int32_t> Heights; // pixels, each output page
    } cases[] = {
        // Page header, seven records, page footer: 180 px; the 30 mm paper would hold three.
        {"one page as long as its content", bands, "EndlessHeight=\"True\"", {180}},
        {"margins are added",
         bands,
         "EndlessHeight=\"True\" TopMargin=\"5\" BottomMargin=\"5\"",
         {218}},
        {"the summary makes it longer",
         bands + Band("ReportSummary", "ReportSummary1", 120),
         "EndlessHeight=\"True\"",
         {200}},
        {"each page ended by a break keeps its own size",
         PageBands +
             Data("MasterData", "MasterData1", 40, "Customers", "name", "StartNewPage=\"True\"") +
             Data("DetailData", "DetailData1", 80, "Orders", "n"),
         "EndlessHeight=\"True\"",
         {120, 100}},
        {"without it the paper stays", bands, "", {113, 113, 113}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Load(c.Bands, "PaperHeight=\"30\" " + c.PageAttrs);
        ASSERT_EQ(Prepare(), "");
        std::vector<int32_t> heights;
        for (int32_t i = 0; i < Store().Count(); ++i) {
            heights.push_back(Store().PageSize(i).Height);
            EXPECT_EQ(Store().PageSize(i).Width, 378);
        }
        EXPECT_EQ(heights, c.Heights);
    }
}

} // namespace
} // namespace vl
