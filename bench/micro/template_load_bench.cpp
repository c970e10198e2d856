// Loading a template of 10 000 text views (100 data bands of 100 memos with fonts, frames and
// display formats) into a report through the class registry and the class descriptions.
#include "base/stream.h"
#include "model/model_classes.h"
#include "model/report.h"
#include "platform/component/class_registry.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

std::string MakeTemplate(int bands, int memosPerBand)
{
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<TvlxReport Version=\"4.15.13\">"
        "<TvlxReportPage Name=\"Page1\" PaperSize=\"9\">";
    int memo = 0;
    for (int b = 0; b < bands; ++b) {
        xml += "<TvlxMasterData Name=\"MasterData" + std::to_string(b + 1) + "\" Top=\"" +
               std::to_string(20 * b) + "\" Width=\"718.1\" Height=\"18.9\" RowCount=\"1\">";
        for (int m = 0; m < memosPerBand; ++m, ++memo) {
            xml += "<TvlxMemoView Name=\"Memo" + std::to_string(memo + 1) + "\" Left=\"" +
                   std::to_string(7 * m) +
                   ",5\" Width=\"70\" Height=\"18.9\" Font.Name=\"Arial\" "
                   "Font.Height=\"-13\" Font.Style=\"1\" Frame.Typ=\"15\" HAlign=\"haRight\" "
                   "DisplayFormat.FormatStr=\"#,##0.00\" DisplayFormat.Kind=\"fkNumeric\" "
                   "Text=\"[Orders.&#34;Total&#34;] of row " +
                   std::to_string(memo) + "\"/>";
        }
        xml += "</TvlxMasterData>";
    }
    return xml + "</TvlxReportPage></TvlxReport>";
}

void BM_LoadTemplateOf10000Views(benchmark::State& state)
{
    static const bool registered = (vl::RegisterModelClasses(vl::ClassRegistry::Global()), true);
    (void)registered;
    const std::string xml = MakeTemplate(100, 100);
    vl::TvlxReport report;
    for (auto _ : state) {
        vl::MemoryStream input(xml);
        report.LoadFromStream(input);
        benchmark::DoNotOptimize(report.ObjectCount());
    }
    // Every view must have been made: a load that dropped objects would look fast.
    state.counters["objects"] = static_cast<double>(report.AllObjects().size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * xml.size()));
}
BENCHMARK(BM_LoadTemplateOf10000Views)->Unit(benchmark::kMillisecond);

} // namespace
