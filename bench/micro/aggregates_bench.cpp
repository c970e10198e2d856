// Costs of report totals: the same report of N records prepared without totals and with ten of
// them in its footer, and the totals' own work per record (every total taking the value of its
// expression) measured alone.
#include "base/stream.h"
#include "engine/aggregates.h"
#include "engine/band_tree.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/model_classes.h"
#include "model/report.h"
#include "model/report_page.h"
#include "platform/component/class_registry.h"
#include "request/report_module.h"
#include "request/request_binding.h"
#include "request/table_builder.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

std::vector<vl::BuiltTable> MakeTable(int64_t records)
{
    std::string text = R"({"Sales":{"fields":[["region","string"],["amount","number"]],"data":[)";
    for (int64_t i = 0; i < records; ++i) {
        if (i) text += ",";
        text +=
            R"([")" + std::string(i % 2 ? "North" : "South") + R"(",)" + std::to_string(i) + ".25]";
    }
    text += "]}}";
    auto document = vl::JsonDocument::Parse(text);
    return vl::BuildTables(document->Root().GetObject(), 8000);
}

// Ten totals over two expressions, or none.
std::string FooterViews(bool withTotals)
{
    if (!withTotals) return {};
    const char* functions[] = {"SUM", "AVG", "MIN", "MAX"};
    std::string views;
    int n = 0;
    for (const char* expression :
         {"&lt;Sales.&quot;amount&quot;&gt;", "&lt;Sales.&quot;amount&quot;&gt; * 2"}) {
        for (const char* function : functions) {
            ++n;
            views += "<TvlxMemoView Name=\"Total" + std::to_string(n) + "\" Left=\"" +
                     std::to_string(n * 60) + "\" Width=\"60\" Height=\"18.9\" Text=\"[" +
                     function + "(" + expression + ")]\"/>";
        }
    }
    views += R"(<TvlxMemoView Name="Total9" Width="60" Height="18.9" Text="[COUNT()]"/>)";
    views +=
        R"(<TvlxMemoView Name="Total10" Width="60" Height="18.9" Text="[COUNT(MasterData1, 1)]"/>)";
    return views;
}

void LoadReport(vl::TvlxReport& report, bool withTotals)
{
    const std::string xml =
        R"(<?xml version="1.0" encoding="utf-8"?><TvlxReport PropData=")"
        R"(0844617461736574730101142300000044617461536574)"
        R"(3D2253616C65732220446174615365744E616D653D2253616C6573220000">)"
        R"(<TvlxReportPage Name="Page1" PaperWidth="210" PaperHeight="297">)"
        R"(<TvlxMasterData Name="MasterData1" Top="40" Height="18.9" Width="700" )"
        R"(DataSet="Sales" DataSetName="Sales">)"
        R"(<TvlxMemoView Name="Amount" Width="100" Height="18.9" )"
        R"(Text="[Sales.&quot;amount&quot;]"/></TvlxMasterData>)"
        R"(<TvlxFooter Name="Footer1" Top="80" Height="18.9" Width="700">)" +
        FooterViews(withTotals) + R"(</TvlxFooter></TvlxReportPage></TvlxReport>)";
    vl::MemoryStream stream;
    stream.Write(xml);
    stream.SetPosition(0);
    report.LoadFromStream(stream);
}

// The whole preparation; compare the two arguments for the share the totals take.
void BM_PrepareReport(benchmark::State& state)
{
    vl::RegisterModelClasses(vl::ClassRegistry::Global());
    const auto tables = MakeTable(state.range(0));
    vl::TReportGenerator module;
    vl::RegisterTables(module, tables);
    vl::TvlxReport& report = module.vlxReport1();
    LoadReport(report, state.range(1) != 0);
    for (auto _ : state)
        report.PrepareReport();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PrepareReport)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// Ten totals taking every record of the band, without printing anything.
void BM_TakeValues(benchmark::State& state)
{
    vl::RegisterModelClasses(vl::ClassRegistry::Global());
    const auto tables = MakeTable(state.range(0));
    vl::TReportGenerator module;
    vl::RegisterTables(module, tables);
    vl::TvlxReport& report = module.vlxReport1();
    LoadReport(report, true);
    report.PrepareScript();
    auto& page = *static_cast<vl::TvlxReportPage*>(report.FindObject(u"Page1"));
    vl::BuildBandTree(page, false, report.Errors());
    vl::TvlxAggregateList totals(report);
    totals.AddItems(page);
    auto& band = *page.FSubBands.front();
    vl::TvlxDataSet& sales = *module.FindTableAdapter(u"Sales");
    sales.Initialize();
    for (auto _ : state) {
        for (sales.First(); !sales.Eof(); sales.Next())
            totals.AddValue(band);
        totals.Reset(*band.FFooter);
    }
    sales.Finalize();
    state.SetItemsProcessed(state.iterations() * state.range(0) * int64_t(totals.Count()));
}
BENCHMARK(BM_TakeValues)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
