// Costs of the prepared-page store: storing rows of a band with a few text views as differences
// from their source copies, and rebuilding the pages from them, as an export does.
#include "layout/preview_pages.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/memo_view.h"
#include "model/model_classes.h"
#include "model/report.h"
#include "model/report_page.h"
#include "platform/component/class_registry.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct Design
{
    Design()
    {
        vl::RegisterModelClasses(vl::ClassRegistry::Global());
        Report = std::make_unique<vl::TvlxReport>();
        Page = vl::TvlxComponent::Create<vl::TvlxReportPage>(Report.get());
        Page->SetName(u"Page1");
        Data = vl::TvlxComponent::Create<vl::TvlxMasterData>(Page);
        Data->SetName(u"MasterData1");
        Data->SetBounds(0, 0, 700, 20);
        for (int i = 0; i < 4; ++i) {
            auto* memo = vl::TvlxComponent::Create<vl::TvlxMemoView>(Data);
            memo->SetName(u"Memo" + vl::IntToStr(i + 1));
            memo->SetBounds(i * 170.0, 0, 160, 20);
            Memos[i] = memo;
        }
    }

    // Stores `rows` rows, 50 to a page.
    void Fill(vl::TvlxPreviewPages& store, int rows)
    {
        store.AddSourcePage(*Page);
        for (int row = 0; row < rows; ++row) {
            if (row % 50 == 0) store.AddPage(*Page);
            for (int i = 0; i < 4; ++i)
                Memos[i]->SetText(u"Row " + vl::IntToStr(row) + u" cell " + vl::IntToStr(i));
            Data->SetTop(20.0 * (row % 50));
            store.AddObject(*Data);
        }
    }

    std::unique_ptr<vl::TvlxReport> Report;
    vl::TvlxReportPage* Page = nullptr;
    vl::TvlxMasterData* Data = nullptr;
    vl::TvlxMemoView* Memos[4] = {};
};

void BM_StoreRows(benchmark::State& state)
{
    Design design;
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        vl::TvlxPreviewPages store(design.Report.get());
        design.Fill(store, rows);
        benchmark::DoNotOptimize(store.XMLSize());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_StoreRows)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_RebuildPages(benchmark::State& state)
{
    Design design;
    const int rows = static_cast<int>(state.range(0));
    vl::TvlxPreviewPages store(design.Report.get());
    design.Fill(store, rows);
    for (auto _ : state) {
        for (int page = 0; page < store.Count(); ++page)
            benchmark::DoNotOptimize(store.Page(page));
        store.ClearCache();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_RebuildPages)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
