#include "base/exception.h"
#include "base/limits.h"
#include "engine/aggregate_scan_internal.h"
#include "engine/aggregates.h"
#include "engine/engine.h"
#include "layout/preview_pages.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/memo_view.h"
#include "model/model_classes.h"
#include "model/report.h"
#include "platform/component/class_builder.h"
#include "platform/component/class_registry.h"
#include "request/dataset_adapter.h"
#include "request/report_module.h"
#include "request/request_binding.h"
#include "request/table_builder.h"
#include "template/prop_data.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl {
namespace {

// ---- The scan of expression texts

struct ScanCase
{
    const char16_t* Text;
    std::vector<String> Calls;
    std::vector<String> Variables;
};

TEST(AggregateScanTest, FindsCallsThroughQuotesBracketsAndVariables)
{
    const ScanCase cases[] = {
        {u"SUM(<T.\"a\">)", {u"SUM(<T.\"a\">)"}, {}},
        {u"'Total: ' + FormatFloat('0.00', sum(<T.\"a\">, Band1, 2))",
         {u"sum(<T.\"a\">, Band1, 2)"},
         {}},
        // Quoted texts are passed over, calls inside them are no calls.
        {u"'SUM(x)' + \"COUNT()\"", {}, {}},
        // Inside round and angle brackets, and with nested parentheses in the arguments.
        {u"IIF(a < b, MAX(Round((x))), <MIN(y)>)", {u"MAX(Round((x)))", u"MIN(y)"}, {u"a", u"b"}},
        // A call needs its parenthesis right after the name, and a closed one.
        {u"SUMX(1) + SUM (2) + COUNT(", {}, {}},
        {u"COUNT() + AVG(')')", {u"COUNT()", u"AVG(')')"}, {}},
        // Words that are variables are reported; digits belong to words.
        {u"Total2 * 3 + Rate", {}, {u"Total2", u"Rate"}},
        // Unbalanced brackets end the scan quietly.
        {u")))>>((<<'", {}, {}},
    };
    const auto isVariable = [](StringView word) {
        return word == u"Total2" || word == u"Rate" || word == u"a" || word == u"b";
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Text));
        AggregateScanResult result;
        ScanAggregateText(c.Text, isVariable, result);
        EXPECT_EQ(result.Calls, c.Calls);
        EXPECT_EQ(result.Variables, c.Variables);
    }
}

TEST(AggregateScanTest, DeepNestingIsScannedWithoutRecursion)
{
    String text(200000, u'(');
    text += u"SUM(x)";
    text += String(200000, u')');
    AggregateScanResult result;
    ScanAggregateText(
        text, [](StringView) { return false; }, result);
    EXPECT_EQ(result.Calls, std::vector<String>{u"SUM(x)"});
}

TEST(AggregateScanTest, SplitsCallsIntoNameAndArguments)
{
    struct Case
    {
        const char16_t* Call;
        const char16_t* Name;
        std::vector<String> Arguments;
    };
    const Case cases[] = {
        {u"sum ( <T.\"a\"> )", u"SUM", {u"<T.\"a\">"}},
        {u"SUM(Round(x, 2), Band1, 2)", u"SUM", {u"Round(x, 2)", u"Band1", u"2"}},
        {u"MAX(',', ')')", u"MAX", {u"','", u"')'"}},
        {u"COUNT()", u"COUNT", {u""}},
        {u"AVG(a, b, c, d)", u"AVG", {u"a", u"b", u"c"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Call));
        const AggregateCallParts parts = SplitAggregateCall(c.Call);
        EXPECT_EQ(parts.Name, c.Name);
        EXPECT_EQ(parts.Arguments, c.Arguments);
    }
}

// ---- Totals printed by the engine

// A test object that hides its band, before the band's views get their data, for the record
// whose field "n" of Nums is 20.
class TestHider : public TvlxReportComponent
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info =
            DescribeClass<TestHider, TvlxReportComponent>(u"TvlxTestHider").Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }

    void BeforePrint() override
    {
        TvlxReportComponent::BeforePrint();
        auto* report = static_cast<TvlxReport*>(Report());
        const Variant n = report->GetDataset(u"Nums")->FieldValue(u"n");
        Parent()->SetVisible(n.ToText() != u"20");
    }
};

// Nums: three records in two groups; Gaps: a Null between two values; Customers and their
// Orders for two footers of different bands.
const char* Data = R"({
  "Nums":{"fields":[["g","string"],["n","number"]],"data":[["A",10],["A",20],["B",30]]},
  "Gaps":{"fields":[["n","number"]],"data":[[10],[null],[30]]},
  "Customers":{"fields":[["id","number"]],"data":[[1],[2]]},
  "Orders":{"fields":[["customer_id","number"],["n","number"]],
            "data":[[1,1],[1,2],[2,4]]}})";

std::string ListBlock(StringView name, const std::vector<String>& items)
{
    PropDataWriter writer;
    writer.WriteName(name);
    writer.WriteListBegin();
    for (const String& item : items) {
        writer.WriteListBegin();
        writer.WriteWideString(item);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
    return ToUtf8(BytesToHex(writer.Bytes()));
}

std::string Escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '&':
            out += "&amp;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A text view named `name` showing `text` (plain text, escaped here).
std::string Memo(const std::string& name, const std::string& text, int left = 0)
{
    return "<TvlxMemoView Name=\"" + name + "\" Left=\"" + std::to_string(left) +
           "\" Width=\"60\" Height=\"20\" Text=\"" + Escaped(text) + "\"/>";
}

std::string Band(const std::string& cls,
                 const std::string& name,
                 int top,
                 const std::string& content,
                 const std::string& attrs = "",
                 int height = 20)
{
    return "<Tvlx" + cls + " Name=\"" + name + "\" Top=\"" + std::to_string(top) + "\" Height=\"" +
           std::to_string(height) + "\" Width=\"300\" " + attrs + ">" + content + "</Tvlx" + cls +
           ">";
}

class AggregatesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterModelClasses(ClassRegistry::Global());
        ClassRegistry::Global().Register(TestHider::StaticClass());
        auto document = JsonDocument::Parse(Data);
        Tables = BuildTables(document->Root().GetObject(), 8000);
        RegisterTables(Generator, Tables);
        Generator.Mapiraj(u"Customers", u"id", u"customer_id", u"Orders");
        Report().EngineOptions().NewSilentMode = TvlxSilentMode::simReThrow;
    }

    TvlxReport& Report() { return Generator.vlxReport1(); }

    void Load(const std::string& bands,
              const std::string& pageAttrs = "PaperHeight=\"100\"",
              const std::string& reportAttrs = "")
    {
        const std::string xml =
            "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TvlxReport " +
            reportAttrs + " PropData=\"" +
            ListBlock(u"Datasets",
                      {u"DataSet=\"Nums\" DataSetName=\"Nums\"",
                       u"DataSet=\"Gaps\" DataSetName=\"Gaps\"",
                       u"DataSet=\"Customers\" DataSetName=\"Customers\"",
                       u"DataSet=\"Orders\" DataSetName=\"Orders\""}) +
            "\"><TvlxReportPage Name=\"Page1\" PaperWidth=\"100\" " + pageAttrs + ">" + bands +
            "</TvlxReportPage></TvlxReport>";
        MemoryStream stream;
        stream.Write(xml);
        stream.SetPosition(0);
        Report().LoadFromStream(stream);
    }

    // Prepares the report: "" on success, else the error text.
    std::string Prepare()
    {
        try {
            Report().PrepareReport();
        } catch (const Exception& e) {
            return e.what();
        }
        return {};
    }

    // The printed texts of the views named with `prefix`, page by page: "Name=Text ...".
    std::vector<std::string> Printed(const std::string& prefix = "T")
    {
        std::vector<std::string> pages;
        TvlxPreviewPages& store = Report().PreviewPages();
        for (int32_t i = 0; i < store.Count(); ++i) {
            std::string line;
            for (TvlxComponent* obj : store.Page(i)->AllObjects()) {
                auto* memo = dynamic_cast<TvlxCustomMemoView*>(obj);
                const std::string name = ToUtf8(obj->Name());
                if (memo == nullptr || name.rfind(prefix, 0) != 0) continue;
                std::string text = ToUtf8(memo->Text());
                while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                    text.pop_back();
                line += (line.empty() ? "" : " ") + name + "=" + text;
            }
            pages.push_back(line);
        }
        return pages;
    }

    std::vector<BuiltTable> Tables;
    TReportGenerator Generator;
};

const std::string NumsBand = Band("MasterData",
                                  "MasterData1",
                                  40,
                                  Memo("Value", "[Nums.\"n\"]"),
                                  "DataSet=\"Nums\" DataSetName=\"Nums\"");

TEST_F(AggregatesTest, FooterTotalsOfAllFunctions)
{
    struct Case
    {
        const char* Name;
        std::string Source;
        std::string Footer;
        const char* Printed;
        std::string ReportAttrs = "";
    };
    const Case cases[] = {
        {"10, 20, 30",
         "Nums",
         Memo("TSum", "[SUM(<Nums.\"n\">)]") + Memo("TMax", "[MAX(<Nums.\"n\">)]", 60) +
             Memo("TMin", "[MIN(<Nums.\"n\">)]", 120) + Memo("TAvg", "[AVG(<Nums.\"n\">)]", 180) +
             Memo("TCount", "[COUNT(MasterData1)]", 240),
         "TSum=60 TMax=30 TMin=10 TAvg=20 TCount=3"},
        // The Null is not averaged, but the record is counted.
        {"10, Null, 30",
         "Gaps",
         Memo("TAvg", "[AVG(<Gaps.\"n\">)]") + Memo("TSum", "[SUM(<Gaps.\"n\">)]", 60) +
             Memo("TCount", "[COUNT()]", 120),
         "TAvg=20 TSum=40 TCount=3",
         "EngineOptions.ConvertNulls=\"False\""},
        // Expressions are evaluated per record; Booleans count as 1.
        {"expressions and Booleans",
         "Nums",
         Memo("TTwice", "[SUM(<Nums.\"n\"> * 2)]") + Memo("TBig", "[SUM(<Nums.\"n\"> > 15)]", 60) +
             Memo("TText", "Total: [SUM(<Nums.\"n\">)] of [COUNT()]", 120),
         "TTwice=120 TBig=2 TText=Total: 60 of 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Load(Band("MasterData",
                  "MasterData1",
                  40,
                  Memo("Value", "x"),
                  "DataSet=\"" + c.Source + "\" DataSetName=\"" + c.Source + "\"") +
                 Band("Footer", "Footer1", 80, c.Footer),
             "PaperHeight=\"100\"",
             c.ReportAttrs);
        ASSERT_EQ(Prepare(), "");
        EXPECT_EQ(Printed(), std::vector<std::string>{c.Printed});
    }
}

TEST_F(AggregatesTest, GroupSubtotalsRestartAndRunningTotalsGoOn)
{
    // The identical call in the group footer and in the band's footer gives two independent
    // totals; a SUM in the group header is not collected and prints nothing.
    Load(Band("GroupHeader",
              "GroupHeader1",
              20,
              Memo("THead", "[SUM(<Nums.\"n\">)]"),
              "Condition=\"Nums.&quot;g&quot;\"") +
             NumsBand +
             Band("GroupFooter",
                  "GroupFooter1",
                  60,
                  Memo("TGroup", "[SUM(<Nums.\"n\">)]") +
                      Memo("TRun", "[SUM(<Nums.\"n\">, MasterData1, 2)]", 60) +
                      Memo("TCount", "[COUNT(MasterData1)]", 120)) +
             Band("Footer", "Footer1", 80, Memo("TAll", "[SUM(<Nums.\"n\">)]")),
         "PaperHeight=\"200\"");
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(Printed(),
              std::vector<std::string>{"THead= TGroup=30 TRun=30 TCount=2 THead= TGroup=30 "
                                       "TRun=60 TCount=1 TAll=60"});
}

TEST_F(AggregatesTest, RecordsOfAnInvisibleBandCountOnlyWithFlags1)
{
    // The band hides its second record (20).
    Load(Band("MasterData",
              "MasterData1",
              40,
              "<TvlxTestHider Name=\"Hider\"/>" + Memo("Value", "[Nums.\"n\"]"),
              "DataSet=\"Nums\" DataSetName=\"Nums\"") +
         Band("Footer",
              "Footer1",
              80,
              Memo("TVisible", "[SUM(<Nums.\"n\">)]") +
                  Memo("TAll", "[SUM(<Nums.\"n\">, MasterData1, 1)]", 60) +
                  Memo("TCount", "[COUNT(MasterData1, 1)]", 120) +
                  Memo("TShown", "[COUNT(MasterData1)]", 180)));
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(Printed(), std::vector<std::string>{"TVisible=40 TAll=60 TCount=3 TShown=2"});
}

TEST_F(AggregatesTest, PageFooterShowsEachPagesSubtotal)
{
    // Records of 140 pixels: 10 and 20 fill page 1, 30 goes onto page 2. A footer left out on
    // the first page keeps its values for the second.
    struct Case
    {
        const char* PrintOnFirstPage;
        std::vector<std::string> Printed;
    };
    const Case cases[] = {
        {"True", {"TPage=30 TRun=30", "TPage=30 TRun=60"}},
        {"False", {"", "TPage=60 TRun=60"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.PrintOnFirstPage);
        Load(Band("MasterData",
                  "MasterData1",
                  40,
                  Memo("Value", "[Nums.\"n\"]"),
                  "DataSet=\"Nums\" DataSetName=\"Nums\"",
                  140) +
                 Band("PageFooter",
                      "PageFooter1",
                      300,
                      Memo("TPage", "[SUM(<Nums.\"n\">)]") +
                          Memo("TRun", "[SUM(<Nums.\"n\">, MasterData1, 2)]", 60),
                      "PrintOnFirstPage=\"" + std::string(c.PrintOnFirstPage) + "\""),
             "PaperHeight=\"100\"");
        ASSERT_EQ(Prepare(), "");
        EXPECT_EQ(Printed(), c.Printed);
    }
}

TEST_F(AggregatesTest, AKeptBlockThatMovesCountsOnItsNewPage)
{
    // The second customer fits below the first one's orders, its order does not: kept
    // together, the customer moves to page 2 and is counted there, not on page 1.
    struct Case
    {
        const char* KeepTogether;
        std::vector<std::string> Printed;
    };
    const Case cases[] = {
        {"True", {"TPage=1", "TPage=2"}},
        {"False", {"TPage=3", "TPage=0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.KeepTogether);
        Load(Band("MasterData",
                  "MasterData1",
                  20,
                  Memo("Value", "[Customers.\"id\"]"),
                  "DataSet=\"Customers\" DataSetName=\"Customers\" KeepTogether=\"" +
                      std::string(c.KeepTogether) + "\"") +
                 Band("DetailData",
                      "DetailData1",
                      40,
                      Memo("Order", "[Orders.\"n\"]"),
                      "DataSet=\"Orders\" DataSetName=\"Orders\"",
                      200) +
                 Band("PageFooter", "PageFooter1", 300, Memo("TPage", "[SUM(<Customers.\"id\">)]")),
             "PaperHeight=\"150\"");
        ASSERT_EQ(Prepare(), "");
        EXPECT_EQ(Printed(), c.Printed);
    }
}

TEST_F(AggregatesTest, ARecordKeptWithTheFooterCountsOnThePageItMovesTo)
{
    // Records of 140 pixels, two to a page; the tall footer does not fit below the third, so
    // with KeepFooter the third record goes along with it to page 3.
    struct Case
    {
        const char* KeepFooter;
        std::vector<std::string> Printed;
    };
    const Case cases[] = {
        {"True", {"TPage=30", "TPage=0", "TAll=60 TPage=30"}},
        {"False", {"TPage=30", "TPage=30", "TAll=60 TPage=0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.KeepFooter);
        Load(Band("MasterData",
                  "MasterData1",
                  40,
                  Memo("Value", "[Nums.\"n\"]"),
                  "DataSet=\"Nums\" DataSetName=\"Nums\" KeepFooter=\"" +
                      std::string(c.KeepFooter) + "\"",
                  140) +
                 Band("Footer", "Footer1", 200, Memo("TAll", "[SUM(<Nums.\"n\">)]"), "", 250) +
                 Band("PageFooter", "PageFooter1", 400, Memo("TPage", "[SUM(<Nums.\"n\">)]")),
             "PaperHeight=\"100\"");
        ASSERT_EQ(Prepare(), "");
        EXPECT_EQ(Printed(), c.Printed);
    }
}

TEST_F(AggregatesTest, DetailTotalsPerMasterRecordAndOverAll)
{
    // The detail footer restarts for each customer; the summary counts every order.
    Load(Band("MasterData",
              "MasterData1",
              20,
              Memo("Value", "[Customers.\"id\"]"),
              "DataSet=\"Customers\" DataSetName=\"Customers\"") +
             Band("DetailData",
                  "DetailData1",
                  40,
                  Memo("Order", "[Orders.\"n\"]"),
                  "DataSet=\"Orders\" DataSetName=\"Orders\"") +
             Band("Footer", "Footer2", 60, Memo("TDetail", "[SUM(<Orders.\"n\">)]")) +
             Band("ReportSummary",
                  "Summary1",
                  100,
                  Memo("TAll", "[SUM(<Orders.\"n\">, DetailData1)]") +
                      Memo("TCustomers", "[COUNT()]", 60)),
         "PaperHeight=\"200\"");
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(Printed(), std::vector<std::string>{"TDetail=3 TDetail=4 TAll=7 TCustomers=2"});
}

TEST_F(AggregatesTest, ADoublePassCountsEveryRecordOnce)
{
    Load(NumsBand +
             Band("Footer", "Footer1", 80, Memo("TSum", "[SUM(<Nums.\"n\">, MasterData1, 2)]")),
         "PaperHeight=\"100\"",
         "EngineOptions.DoublePass=\"True\"");
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(Printed(), std::vector<std::string>{"TSum=60"});
}

TEST_F(AggregatesTest, CallsInVariablesAreFoundAndLoopsEnd)
{
    // Total refers to Sum60, which holds the call; Loop names itself.
    Load(NumsBand + Band("Footer",
                         "Footer1",
                         80,
                         Memo("TVar", "[Total]") + Memo("TLoop", "[IIF(False, <Loop>, 1)]", 60)));
    Report().Variables().SetValue(u"Total", Variant(String(u"<Sum60> + 0")));
    Report().Variables().SetValue(u"Sum60", Variant(String(u"SUM(<Nums.\"n\">)")));
    Report().Variables().SetValue(u"Loop", Variant(String(u"<Loop> + <Loop>")));
    ASSERT_EQ(Prepare(), "");
    EXPECT_EQ(Printed(), std::vector<std::string>{"TVar=60 TLoop=1"});
}

TEST_F(AggregatesTest, BadFlagsAndBadValuesEndTheRunWithTheirReason)
{
    struct Case
    {
        const char* Name;
        std::string Footer;
        const char* Message;
    };
    const Case cases[] = {
        {"flags not an integer",
         Memo("TSum", "[SUM(<Nums.\"n\">, , x)]"),
         "'x' is not a valid integer value"},
        {"an expression that fails for one record",
         Memo("TSum", "[SUM(1 / (<Nums.\"n\"> - 20))]"),
         "TSum: Floating point division by zero"},
        {"a text among numbers", Memo("TSum", "[SUM(IIF(<Nums.\"n\"> = 20, 'abc', 1))]"), "TSum: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Load(NumsBand + Band("Footer", "Footer1", 80, c.Footer));
        EXPECT_NE(Prepare().find(c.Message), std::string::npos) << Prepare();
    }
}

// ---- Accumulators on their own

class AggregateItemTest : public AggregatesTest
{
protected:
    TvlxAggregateItem MakeItem(TvlxAggregateFunction function, const char16_t* expression)
    {
        TvlxAggregateItem item(Report(), function, &FBand);
        item.FExpression = expression;
        return item;
    }

    TvlxMasterData FBand;
};

TEST_F(AggregateItemTest, KeptValuesJoinThePageTotalWhenTheKeepEnds)
{
    TvlxAggregateItem item = MakeItem(TvlxAggregateFunction::agSum, u"5");
    item.FIsPageFooter = true;
    item.Calc();
    item.StartKeep();
    item.Calc();
    item.Calc();
    EXPECT_EQ(item.Value().ToText(), u"5"); // the block waits aside
    item.Reset();                           // the old page's footer printed
    item.EndKeep();                         // the block counts on the new page
    EXPECT_EQ(item.Value().ToText(), u"10");
}

TEST_F(AggregateItemTest, AWithdrawnValueMovesToTheNextTotal)
{
    TvlxAggregateItem item = MakeItem(TvlxAggregateFunction::agSum, u"5");
    item.Calc();
    item.Calc();
    item.DeleteValue();
    item.DeleteValue(); // one step only
    EXPECT_EQ(item.Value().ToText(), u"5");
    item.Reset();
    item.RestoreValue();
    item.RestoreValue();
    EXPECT_EQ(item.Value().ToText(), u"5");
    // Once printed and reset, a value can no longer be withdrawn.
    item.Reset();
    item.DeleteValue();
    item.RestoreValue();
    EXPECT_EQ(item.Value().ToText(), u"0");
}

TEST_F(AggregateItemTest, VerticalColumnsUpToTheLimit)
{
    TvlxAggregateItem item = MakeItem(TvlxAggregateFunction::agCount, u"");
    item.FVColumn = limits::AggregateMaxVerticalColumn;
    item.Calc();
    EXPECT_EQ(item.Value().ToText(), u"1");
    item.FVColumn = 1;
    EXPECT_EQ(item.Value().ToText(), u"0"); // each column counts on its own
    item.FVColumn = limits::AggregateMaxVerticalColumn + 1;
    EXPECT_THROW(item.Calc(), ELimitExceeded);
}

} // namespace
} // namespace vl
