// Costs of band preparation's shift tree: building it once per run for a band of many views, and
// moving the views down it after the top row grew, which happens for every printed record.
#include "engine/shift_tree.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/memo_view.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

// A band holding `rows` rows of five text views of 100 x 20 pixels, rows 20 pixels apart.
std::unique_ptr<vl::TvlxBand> MakeGrid(int64_t rows)
{
    auto band = std::make_unique<vl::TvlxMasterData>();
    band->SetBounds(0, 0, 500, static_cast<double>(rows) * 20);
    for (int64_t row = 0; row < rows; ++row) {
        for (int column = 0; column < 5; ++column) {
            auto view = std::make_unique<vl::TvlxMemoView>();
            view->SetBounds(column * 100.0, static_cast<double>(row) * 20, 100, 20);
            band->AddChild(std::move(view));
        }
    }
    return band;
}

void BM_BuildShiftTree(benchmark::State& state)
{
    auto band = MakeGrid(state.range(0));
    for (auto _ : state) {
        band->FShiftChildren.clear();
        vl::BuildShiftTree(*band);
        benchmark::DoNotOptimize(band->FShiftChildren.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(band->ObjectCount()));
}
BENCHMARK(BM_BuildShiftTree)->Arg(10)->Arg(40)->Arg(100);

void BM_ShiftObjects(benchmark::State& state)
{
    auto band = MakeGrid(state.range(0));
    vl::BuildShiftTree(*band);
    for (auto _ : state) {
        for (size_t i = 0; i < 5; ++i)
            static_cast<vl::TvlxReportComponent*>(band->Object(i))->FShiftAmount = 1;
        vl::ShiftObjects(*band);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(band->ObjectCount()));
}
BENCHMARK(BM_ShiftObjects)->Arg(10)->Arg(40)->Arg(100);

} // namespace
