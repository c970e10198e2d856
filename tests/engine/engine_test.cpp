#include "engine_fixture.h"

namespace vl {
namespace {

using namespace enginetest;

// ---- Band tree

struct TreeErrorCase
{
    const char* Name;
    std::string Bands;
    std::string Errors; // lines after the combined error's first line
};

TEST_F(EngineTest, MisplacedBandsAreReportedTogetherAndNothingPrints)
{
    const TreeErrorCase cases[] = {
        {"detail without master",
         Data("DetailData", "DetailData1", 20, "Orders", "n"),
         "Incorrect band position: DetailData1\r\n"},
        {"subdetail right under a master",
         Data("MasterData", "MasterData1", 20, "Customers", "name") +
             Data("SubdetailData", "SubdetailData1", 60, "Orders", "n"),
         "Incorrect band position: SubdetailData1\r\n"},
        {"header below its band",
         Data("MasterData", "MasterData1", 20, "Customers", "name") +
             Band("Footer", "Footer1", 60) + Band("Header", "Header1", 100),
         "Unconnected header/footer Header1\r\n"},
        {"group footer without a header",
         Data("MasterData", "MasterData1", 20, "Customers", "name") +
             Band("GroupFooter", "GroupFooter1", 60),
         "No group header for GroupFooter1\r\n"},
        {"group header without a data band",
         Data("MasterData", "MasterData1", 20, "Customers", "name") +
             Band("GroupHeader", "GroupHeader1", 60, "Condition=\"1\""),
         "No data band for the group GroupHeader1\r\n"},
        {"several at once, sorted",
         Band("Footer", "Footer1", 10) + Data("DetailData", "DetailData1", 40, "Orders", "n") +
             Band("GroupFooter", "GroupFooter1", 80),
         "Incorrect band position: DetailData1\r\nNo group header for GroupFooter1\r\n"
         "Unconnected header/footer Footer1\r\n"},
    };
    for (const TreeErrorCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ProbeLog.clear();
        Load(c.Bands);
        EXPECT_EQ(Prepare(), "The following error(s) have occured:\r\n" + c.Errors);
        EXPECT_EQ(Log(), "");
        EXPECT_EQ(Store().Count(), 0);
    }
}

TEST_F(EngineTest, TreeAttachesHeadersFootersGroupsAndDetailsByPosition)
{
    // Page order differs from position order on purpose: positions decide.
    Load(Data("DetailData", "DetailData1", 140, "Orders", "n") + Band("Footer", "Footer1", 200) +
         Band("GroupFooter", "GroupFooter1", 180) +
         Band("GroupHeader", "GroupHeader2", 80, "Condition=\"2\"") +
         Band("GroupHeader", "GroupHeader1", 60, "Condition=\"1\"") +
         Data("MasterData", "MasterData1", 100, "Customers", "name") +
         Band("Header", "Header1", 20) +
         // At the same printed position as MasterData1: left out without an error.
         Data("MasterData", "MasterData2", 100, "Customers", "name"));
    auto& page = static_cast<TvlxReportPage&>(*Report().FindObject(u"Page1"));
    TvlxErrorList errors;
    BuildBandTree(page, false, errors);
    EXPECT_TRUE(errors.Empty()) << ToUtf8(errors.Text());

    auto band = [&](const char16_t* name) {
        return static_cast<TvlxBand*>(Report().FindObject(name));
    };
    TvlxBand* master = band(u"MasterData1");
    EXPECT_EQ(page.FSubBands, std::vector<TvlxBand*>{master});
    EXPECT_EQ(master->FSubBands, std::vector<TvlxBand*>{band(u"DetailData1")});
    // Group bands leave the order before headers and footers are attached, so the header
    // counts as right above the master.
    EXPECT_EQ(master->FHeader, band(u"Header1"));
    EXPECT_EQ(master->FFooter, nullptr); // the detail is right below the master
    EXPECT_EQ(band(u"DetailData1")->FFooter, band(u"Footer1"));
    EXPECT_EQ(master->FGroup, band(u"GroupHeader1"));
    EXPECT_EQ(band(u"GroupHeader1")->FSubBands,
              (std::vector<TvlxBand*>{band(u"GroupHeader1"), band(u"GroupHeader2")}));
    EXPECT_EQ(band(u"GroupHeader2")->FFooter, band(u"GroupFooter1"));
    EXPECT_EQ(band(u"GroupHeader1")->FFooter, nullptr);
}

// ---- Data bands

struct RunCase
{
    const char* Name;
    std::string Bands;
    std::string Log;
};

TEST_F(EngineTest, MasterDetailRecordsPrintInOrder)
{
    const std::string detail = Data("DetailData", "DetailData1", 60, "Orders", "n");
    const RunCase cases[] = {
        {"masters without details are left out",
         Data("MasterData", "MasterData1", 20, "Customers", "name") + detail,
         "MasterData1:Ana DetailData1:3 DetailData1:1 DetailData1:2 "
         "MasterData1:Eva DetailData1:9 DetailData1:8"},
        {"PrintIfDetailEmpty keeps them",
         Data("MasterData", "MasterData1", 20, "Customers", "name", "PrintIfDetailEmpty=\"True\"") +
             detail,
         "MasterData1:Ana DetailData1:3 DetailData1:1 DetailData1:2 MasterData1:Ivo "
         "MasterData1:Eva DetailData1:9 DetailData1:8"},
        {"a master alone prints every record",
         Data("MasterData", "MasterData1", 20, "Customers", "name"),
         "MasterData1:Ana MasterData1:Ivo MasterData1:Eva"},
        {"header once before, footer once after",
         Band("Header", "Header1", 0) + Data("MasterData", "MasterData1", 20, "Customers", "name") +
             Band("Footer", "Footer1", 40),
         "Header1 MasterData1:Ana MasterData1:Ivo MasterData1:Eva Footer1"},
        {"FooterAfterEach",
         Data("MasterData", "MasterData1", 20, "Customers", "name", "FooterAfterEach=\"True\"") +
             Band("Footer", "Footer1", 40),
         "MasterData1:Ana Footer1 MasterData1:Ivo Footer1 MasterData1:Eva Footer1"},
        {"an empty dataset prints neither header nor footer",
         Band("Header", "Header1", 0) + Data("MasterData", "MasterData1", 20, "Empty", "x") +
             Band("Footer", "Footer1", 40),
         ""},
        {"RowCount limits the records of a dataset",
         Data("MasterData", "MasterData1", 20, "Customers", "name", "RowCount=\"2\""),
         "MasterData1:Ana MasterData1:Ivo"},
        {"RowCount without a dataset counts virtual records",
         Band("MasterData", "MasterData1", 20, "RowCount=\"3\""),
         "MasterData1 MasterData1 MasterData1"},
        {"a child follows its band, also an invisible one with PrintChildIfInvisible",
         Data("MasterData",
              "MasterData1",
              20,
              "Customers",
              "name",
              "Visible=\"False\" PrintChildIfInvisible=\"True\" Child=\"Child1\"") +
             Band("Child", "Child1", 60, "", "Source=\"Customers\" Field=\"name\""),
         "Child1:Ana Child1:Ivo Child1:Eva"},
        {"a visible band's child",
         Data("MasterData", "MasterData1", 20, "Customers", "name", "Child=\"Child1\"") +
             Band("Child", "Child1", 60),
         "MasterData1:Ana Child1 MasterData1:Ivo Child1 MasterData1:Eva Child1"},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ProbeLog.clear();
        Load(c.Bands);
        ASSERT_EQ(Prepare(), "");
        EXPECT_EQ(Log(), c.Log);
    }
}

TEST_F(EngineTest, LineRestartsPerMasterAndLineThroughCountsOn)
{
    Load(Data("MasterData", "MasterData1", 20, "Customers", "name") +
         Band("DetailData", "DetailData1", 60, "DataSetName=\"Orders\"", "Lines=\"True\""));
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(Log(),
              "MasterData1:Ana DetailData1#1/1 DetailData1#2/2 DetailData1#3/3 "
              "MasterData1:Eva DetailData1#1/4 DetailData1#2/5");
}

TEST_F(EngineTest, BandsAreStoredOnPagesInPrintingOrder)
{
    // 100 mm of paper are 377.953 px: a page header (20), a footer (20) and 16 bands of 20.
    Load(Band("PageHeader", "PageHeader1", 0) + Band("PageFooter", "PageFooter1", 300) +
         Data("MasterData", "MasterData1", 40, "Customers", "name") +
         Data("DetailData", "DetailData1", 80, "Orders", "n"));
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(StoredPages(),
              std::vector<std::string>{
                  "PageHeader1@0 MasterData1@20 DetailData1@40 DetailData1@60 DetailData1@80 "
                  "MasterData1@100 DetailData1@120 DetailData1@140 PageFooter1@357"});
}

TEST_F(EngineTest, BandsThatDoNotFitGoOnTheNextPage)
{
    // 30 mm of paper: 113.39 px, room for a header, three bands of 20 and a footer of 20.
    Load(Band("PageHeader", "PageHeader1", 0) + Band("PageFooter", "PageFooter1", 300) +
             Data("MasterData", "MasterData1", 40, "Customers", "name") +
             Data("DetailData", "DetailData1", 80, "Orders", "n"),
         "PaperHeight=\"30\"");
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(StoredPages(),
              (std::vector<std::string>{
                  "PageHeader1@0 MasterData1@20 DetailData1@40 DetailData1@60 PageFooter1@93",
                  "PageHeader1@0 DetailData1@20 MasterData1@40 DetailData1@60 PageFooter1@93",
                  "PageHeader1@0 DetailData1@20 PageFooter1@93"}));
}

TEST_F(EngineTest, ReportDataSetRunsThePagesPerRecord)
{
    struct Case
    {
        const char* Name;
        bool PrintIfEmpty;
        int Pages;
    } cases[] = {
        {"empty page runs print", true, 3},
        {"PrintIfEmpty off leaves them out", false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ProbeLog.clear();
        // Orders follow Customers, so each page run shows the orders of one customer.
        Load(Data("MasterData", "MasterData1", 20, "Orders", "n"), "", "DataSetName=\"Customers\"");
        Report().EngineOptions().PrintIfEmpty = c.PrintIfEmpty;
        ASSERT_EQ(Prepare(), "");
        EXPECT_EQ(Log(), "MasterData1:3 MasterData1:1 MasterData1:2 MasterData1:9 MasterData1:8");
        EXPECT_EQ(Store().Count(), c.Pages);
    }
}

TEST_F(EngineTest, ADataSetServesOnlyOneOfReportPageAndBand)
{
    const struct
    {
        const char* Name;
        std::string Report;
        std::string Page;
        std::string Error;
    } cases[] = {
        {"report and page",
         "DataSetName=\"Customers\"",
         "DataSetName=\"Customers\"",
         "Cannot use the same dataset for Report.DataSet and Page.DataSet"},
        {"report and band",
         "DataSetName=\"Customers\"",
         "",
         "Cannot use the same dataset for Report.DataSet and Band.DataSet"},
        {"page and band",
         "",
         "DataSetName=\"Customers\"",
         "Cannot use the same dataset for Page.DataSet and Band.DataSet"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ProbeLog.clear();
        Load(Data("MasterData", "MasterData1", 20, "Customers", "name"), c.Page, c.Report);
        EXPECT_EQ(Prepare(), "The following error(s) have occured:\r\n" + c.Error + "\r\n");
        EXPECT_EQ(Log(), "");
    }
}

TEST_F(EngineTest, AnEmptyPageIsLeftOutWithoutPrintIfEmpty)
{
    Load(Band("PageHeader", "PageHeader1", 0) +
         Data("MasterData", "MasterData1", 20, "Empty", "x"));
    Report().EngineOptions().PrintIfEmpty = false;
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(Store().Count(), 0);
    EXPECT_EQ(Log(), "");
}

TEST_F(EngineTest, GroupsBreakWhenTheConditionChanges)
{
    // Sales A, A, B. The footer of a group sees the group's last record.
    const struct
    {
        const char* Name;
        std::string HideIfSingleDataRecord;
        std::string Log;
    } cases[] = {
        {"footers for every group",
         "False",
         "GroupHeader1:A MasterData1:1 MasterData1:2 GroupFooter1:2 GroupHeader1:B MasterData1:3 "
         "GroupFooter1:3"},
        {"no footer for a group of one record",
         "True",
         "GroupHeader1:A MasterData1:1 MasterData1:2 GroupFooter1:2 GroupHeader1:B "
         "MasterData1:3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ProbeLog.clear();
        Load(Band("GroupHeader",
                  "GroupHeader1",
                  20,
                  "Condition=\"Sales.&quot;g&quot;\"",
                  "Source=\"Sales\" Field=\"g\"") +
             Data("MasterData", "MasterData1", 40, "Sales", "n") +
             Band("GroupFooter",
                  "GroupFooter1",
                  60,
                  "HideIfSingleDataRecord=\"" + c.HideIfSingleDataRecord + "\"",
                  "Source=\"Sales\" Field=\"n\""));
        ASSERT_EQ(Prepare(), "");
        EXPECT_EQ(Log(), c.Log);
    }
}

struct FlowCase
{
    const char* Name;
    std::string Bands;
    std::string PageAttrs;
    std::vector<std::string> Pages;
};

// 30 mm of paper are 113.39 px: below a page header of 20 and above a page footer of 20 there
// is room for three bands of 20.
TEST_F(EngineTest, PageFlowRepeatsAndKeepsWhatTheBandsAskFor)
{
    const std::string pageBands =
        Band("PageHeader", "PageHeader1", 0) + Band("PageFooter", "PageFooter1", 300);
    const FlowCase cases[] = {
        {"StartNewPage: every record but the first begins a page",
         Data("MasterData", "MasterData1", 40, "Customers", "name", "StartNewPage=\"True\""),
         "",
         {"MasterData1@0", "MasterData1@0", "MasterData1@0"}},
        {"a page footer left out on the first page",
         Band("PageFooter", "PageFooter1", 300, "PrintOnFirstPage=\"False\"") +
             Data("MasterData", "MasterData1", 40, "Sales", "n"),
         "PaperHeight=\"20\"",
         {"MasterData1@0 MasterData1@20", "MasterData1@0 PageFooter1@55"}},
        {"a page footer left out on the last page",
         Band("PageFooter", "PageFooter1", 300, "PrintOnLastPage=\"False\"") +
             Data("MasterData", "MasterData1", 40, "Customers", "name"),
         "",
         {"MasterData1@0 MasterData1@20 MasterData1@40"}},
        {"a header with ReprintOnNewPage comes back below the page header",
         pageBands + Band("Header", "Header1", 30, "ReprintOnNewPage=\"True\"") +
             Data("MasterData", "MasterData1", 40, "Customers", "name") +
             Data("DetailData", "DetailData1", 80, "Orders", "n"),
         "PaperHeight=\"30\"",
         {"PageHeader1@0 Header1@20 MasterData1@40 DetailData1@60 PageFooter1@93",
          "PageHeader1@0 Header1@20 DetailData1@40 DetailData1@60 PageFooter1@93",
          "PageHeader1@0 Header1@20 MasterData1@40 DetailData1@60 PageFooter1@93",
          "PageHeader1@0 Header1@20 DetailData1@40 PageFooter1@93"}},
        {"KeepTogether moves a master with its details to the next page",
         pageBands +
             Data("MasterData", "MasterData1", 40, "Customers", "name", "KeepTogether=\"True\"") +
             Data("DetailData", "DetailData1", 80, "Orders", "n"),
         "PaperHeight=\"40\"",
         {"PageHeader1@0 MasterData1@20 DetailData1@40 DetailData1@60 DetailData1@80 "
          "PageFooter1@131",
          "PageHeader1@0 MasterData1@20 DetailData1@40 DetailData1@60 PageFooter1@131"}},
        {"the summary flows onto a new page, with the page footer on both",
         pageBands + Data("MasterData", "MasterData1", 40, "Customers", "name") +
             Band("ReportSummary", "ReportSummary1", 200),
         "PaperHeight=\"30\"",
         {"PageHeader1@0 MasterData1@20 MasterData1@40 MasterData1@60 PageFooter1@93",
          "PageHeader1@0 ReportSummary1@20 PageFooter1@93"}},
    };
    for (const FlowCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Load(c.Bands, c.PageAttrs);
        ASSERT_EQ(Prepare(), "");
        EXPECT_EQ(StoredPages(), c.Pages);
    }
}

TEST_F(EngineTest, ColumnsOfADataBandFillRowsBelowTheTallestRecord)
{
    // Seven virtual records in three columns of 30 px: rows of 3, 3 and 1.
    Load(Band("MasterData",
              "MasterData1",
              20,
              "RowCount=\"7\" Columns=\"3\" ColumnWidth=\"30\" ColumnGap=\"5\""));
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(StoredPages(true),
              std::vector<std::string>{
                  "MasterData1@0,0 MasterData1@35,0 MasterData1@70,0 MasterData1@0,20 "
                  "MasterData1@35,20 MasterData1@70,20 MasterData1@0,40"});
}

} // namespace
} // namespace vl
