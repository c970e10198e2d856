#include "base/limits.h"
#include "engine/run_fixture.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace vl {
namespace {

std::string ItemsTable(int count)
{
    std::string data;
    for (int i = 1; i <= count; ++i)
        data += (i > 1 ? "," : "") + std::string("[") + std::to_string(i) + "]";
    return R"("Items":{"fields":[["n","number"]],"data":[)" + data + "]}";
}

std::string Page(const std::string& name, const std::string& bands)
{
    // 100 mm square: 377.95 pixels of printable height.
    return "<TvlxReportPage Name=\"" + name + "\" PaperWidth=\"100\" PaperHeight=\"100\">" + bands +
           "</TvlxReportPage>";
}

std::string
Subreport(const std::string& name, double left, double top, const std::string& page, bool onParent)
{
    return "<TvlxSubreport Name=\"" + name + "\" Left=\"" + std::to_string(int(left)) +
           "\" Top=\"" + std::to_string(int(top)) + "\" Width=\"100\" Height=\"20\" Page=\"" +
           page + "\" PrintOnParent=\"" + (onParent ? "True" : "False") + "\"/>";
}

class SubreportTest : public ReportRunTest
{
protected:
    void SetUp() override
    {
        const std::string tables = R"({"Rows":{"fields":[["name","string"]],"data":[["R1"],["R2"]]},
            "Lines":{"fields":[["n","number"]],"data":[[1],[2],[3]]},)" +
                                   ItemsTable(40) + "}";
        UseTables(tables.c_str());
    }
};

TEST_F(SubreportTest, PrintOnParentMovesTheOutputIntoTheBandAtTheSubreportsPlace)
{
    struct Case
    {
        const char* Name;
        const char* Stretched;
        const char* Bands;
    };
    // The subreport sits 10 pixels down the band; its three 15-pixel lines end at 55. Each
    // line holds a subreport of its own (one 10-pixel "x" at its right), printed on its parent
    // as well.
    const Case cases[] = {
        {"stretched band reaches the output's bottom", "True", "M@0+55 M@55+55"},
        {"fixed band keeps its height", "False", "M@0+20 M@20+20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Load(Page("Page1",
                  "<TvlxMasterData Name=\"M\" Top=\"20\" Height=\"20\" DataSetName=\"Rows\" "
                  "Stretched=\"" +
                      std::string(c.Stretched) + "\">" +
                      Memo("Name", 0, 0, 40, 20, "[Rows.&#34;name&#34;]") +
                      Subreport("S", 100, 10, "Page2", true) + "</TvlxMasterData>") +
             Page("Page2",
                  "<TvlxMasterData Name=\"D\" Top=\"20\" Height=\"15\" DataSetName=\"Lines\">" +
                      Memo("Line", 5, 0, 50, 15, "L[Lines.&#34;n&#34;]") +
                      Subreport("Inner", 60, 0, "Page3", true) + "</TvlxMasterData>") +
             Page("Page3",
                  "<TvlxMasterData Name=\"X\" Top=\"20\" Height=\"10\" RowCount=\"1\">" +
                      Memo("Mark", 0, 0, 10, 10, "x") + "</TvlxMasterData>"));
        ASSERT_EQ(Prepare(), "");
        ASSERT_EQ(Store().Count(), 1);
        EXPECT_EQ(PrintedBands(0), c.Bands);
        const int second = std::string(c.Stretched) == "True" ? 55 : 20;
        std::string expected;
        for (const auto& [row, top] : {std::pair{"R1", 0}, std::pair{"R2", second}}) {
            expected +=
                std::string(expected.empty() ? "" : " ") + row + "@0," + std::to_string(top);
            for (int line = 1; line <= 3; ++line) {
                const std::string y = std::to_string(top + 10 + 15 * (line - 1));
                expected += " L" + std::to_string(line) + "@105," + y + " x@160," + y;
            }
        }
        EXPECT_EQ(PrintedTexts(0), expected);
    }
}

TEST_F(SubreportTest, CollectingNeverBreaksAPage)
{
    // 40 items in two columns: 20 rows of 20 pixels, more than the page holds. Collected into
    // the band they stay together, one row below the other; the band, taller than the page, is
    // then split between whole rows.
    Load(Page("Page1",
              "<TvlxMasterData Name=\"M\" Top=\"20\" Height=\"20\" RowCount=\"1\" "
              "Stretched=\"True\">" +
                  Subreport("S", 0, 5, "Page2", true) + "</TvlxMasterData>") +
         Page("Page2",
              "<TvlxMasterData Name=\"D\" Top=\"20\" Height=\"20\" DataSetName=\"Items\" "
              "Columns=\"2\" ColumnWidth=\"50\">" +
                  Memo("Item", 0, 0, 40, 20, "[Items.&#34;n&#34;]") + "</TvlxMasterData>"));
    ASSERT_EQ(Prepare(), "");
    ASSERT_EQ(Store().Count(), 2);
    const std::string first = PrintedTexts(0);
    EXPECT_EQ(first.substr(0, 29), "1@0,5 2@50,5 3@0,25 4@50,25 5") << first;
    EXPECT_TRUE(first.ends_with("35@0,345 36@50,345")) << first;
    EXPECT_EQ(PrintedTexts(1), "37@0,0 38@50,0 39@0,20 40@50,20");
}

TEST_F(SubreportTest, SubreportsOnTheirOwnBreakPagesAndTheRunContinuesBelowTheFurthest)
{
    // Items (40 lines of 20) start 5 below the first M and fill three pages; Lines (3) end on
    // the first page. N follows the furthest end: page 3, below item 40.
    Load(Page("Page1",
              "<TvlxMasterData Name=\"M\" Top=\"20\" Height=\"30\" RowCount=\"1\">" +
                  Memo("Mark", 0, 0, 40, 20, "M[Line]") + Subreport("S1", 50, 5, "Page2", false) +
                  Subreport("S2", 200, 0, "Page3", false) + "</TvlxMasterData>" +
                  "<TvlxMasterData Name=\"N\" Top=\"60\" Height=\"20\" RowCount=\"1\">" +
                  Memo("Next", 0, 0, 40, 20, "N") + "</TvlxMasterData>") +
         Page("Page2",
              "<TvlxMasterData Name=\"D\" Top=\"20\" Height=\"20\" DataSetName=\"Items\">" +
                  Memo("Item", 0, 0, 40, 20, "[Items.&#34;n&#34;]") + "</TvlxMasterData>") +
         Page("Page3",
              "<TvlxMasterData Name=\"E\" Top=\"20\" Height=\"20\" DataSetName=\"Lines\">" +
                  Memo("Line", 0, 0, 40, 20, "L[Lines.&#34;n&#34;]") + "</TvlxMasterData>"));
    ASSERT_EQ(Prepare(), "");
    ASSERT_EQ(Store().Count(), 3);
    const std::string first = PrintedTexts(0);
    EXPECT_EQ(first.substr(0, 36), "M1@0,0 1@50,5 2@50,25 3@50,45 4@50,6");
    EXPECT_NE(first.find("18@50,345 L1@200,0 L2@200,20 L3@200,40"), std::string::npos) << first;
    EXPECT_EQ(PrintedTexts(1).substr(0, 20), "19@50,0 20@50,20 21@") << PrintedTexts(1);
    EXPECT_EQ(PrintedTexts(2), "37@50,0 38@50,20 39@50,40 40@50,60 N@0,80");
}

TEST_F(SubreportTest, NestingIsBoundedWithAClearError)
{
    // Page k holds a subreport printing page k + 1; the last page prints "end".
    const auto chain = [](size_t nesting) {
        std::string pages;
        for (size_t k = 1; k <= nesting; ++k) {
            const std::string n = std::to_string(k);
            pages += Page("P" + n,
                          "<TvlxMasterData Name=\"M" + n +
                              "\" Top=\"20\" Height=\"20\" RowCount=\"1\">" +
                              Subreport("S" + n, 0, 0, "P" + std::to_string(k + 1), false) +
                              "</TvlxMasterData>");
        }
        const std::string last = std::to_string(nesting + 1);
        return pages + Page("P" + last,
                            "<TvlxMasterData Name=\"M" + last +
                                "\" Top=\"20\" Height=\"20\" RowCount=\"1\">" +
                                Memo("End", 0, 0, 40, 20, "end") + "</TvlxMasterData>");
    };
    Load(chain(limits::SubreportMaxNesting));
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(PrintedTexts(0), "end@0,0");

    Load(chain(limits::SubreportMaxNesting + 1));
    EXPECT_NE(Prepare().find("Subreport S65 is nested more than 64 levels deep"),
              std::string::npos);
}

TEST_F(SubreportTest, SubreportsThatPrintEachOtherAreRefused)
{
    // P2 prints P3 and P3 prints P2: whichever link comes second is refused while loading.
    std::string message;
    try {
        Load(Page("P1",
                  "<TvlxMasterData Name=\"M1\" Top=\"20\" Height=\"20\" RowCount=\"1\">" +
                      Subreport("S1", 0, 0, "P2", true) + "</TvlxMasterData>") +
             Page("P2",
                  "<TvlxMasterData Name=\"M2\" Top=\"20\" Height=\"20\" RowCount=\"1\">" +
                      Subreport("S2", 0, 0, "P3", true) + "</TvlxMasterData>") +
             Page("P3",
                  "<TvlxMasterData Name=\"M3\" Top=\"20\" Height=\"20\" RowCount=\"1\">" +
                      Subreport("S3", 0, 0, "P2", false) + "</TvlxMasterData>"));
        message = Prepare();
    } catch (const Exception& e) {
        message = e.what();
    }
    // The refused link is reported (by its resource text) and nothing prints.
    EXPECT_EQ(message.rfind("The following error(s) have occured:\r\n", 0), 0u) << message;
    EXPECT_EQ(Store().Count(), 0);
}

} // namespace
} // namespace vl
