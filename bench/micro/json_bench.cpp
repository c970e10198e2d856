// Throughput of validating and walking a request: the JSON text of a large table, parsed and every
// string decoded to UTF-16, as the table builder will.
#include "platform/json/json_reader.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

std::string MakeRows(size_t rows)
{
    std::string text = R"({"report":"x","datasets":{"t":{"data":[)";
    for (size_t i = 0; i < rows; ++i) {
        if (i) text += ",\n";
        text += "[" + std::to_string(i) + R"(,"Customer )" + std::to_string(i) +
                R"(","Zagreb",12345.67,"2024-01-07",true,null,"alpha beta \"gamma\" račun"])";
    }
    text += "]}}}";
    return text;
}

void BM_ParseRequest(benchmark::State& state)
{
    const std::string text = MakeRows(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        auto doc = vl::JsonDocument::Parse(text);
        benchmark::DoNotOptimize(doc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseRequest)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ParseAndDecodeRows(benchmark::State& state)
{
    const std::string text = MakeRows(static_cast<size_t>(state.range(0)));
    vl::String scratch;
    for (auto _ : state) {
        auto doc = vl::JsonDocument::Parse(text);
        const auto data = doc->Root()
                              .GetObject()
                              .Find("datasets")
                              ->GetObject()
                              .Find("t")
                              ->GetObject()
                              .Find("data");
        double sum = 0;
        for (const auto& row : data->GetArray()) {
            for (const auto& cell : row.GetArray()) {
                if (cell.IsString()) {
                    scratch.clear();
                    cell.AppendString(scratch);
                } else if (cell.IsNumber()) {
                    sum += cell.GetNumber();
                }
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseAndDecodeRows)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
