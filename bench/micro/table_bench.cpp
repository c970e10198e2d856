// Building the tables of a request: 100 000 rows of eight mixed columns (texts, numbers, dates,
// times, booleans, nulls) from an already parsed request, and the memory the tables keep
// compared with the JSON text they came from.
#include "platform/json/json_reader.h"
#include "request/table_builder.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

namespace {

std::string MakeRequest(size_t rows)
{
    std::string text = R"({"report":"x","datasets":{"rows":{"fields":[["id","number"],)"
                       R"(["name","string"],["city","string_40"],["amount","number"],)"
                       R"(["created","date"],["active","boolean"],["note","text"],)"
                       R"(["at","time"]],"data":[)";
    static const char* const Cities[] = {"Zagreb", "Split", "Rijeka", "Šibenik"};
    char line[256];
    for (size_t i = 0; i < rows; ++i) {
        const char* note = i % 7 == 0 ? "null" : R"("alpha beta \"gamma\" račun")";
        std::snprintf(line,
                      sizeof line,
                      R"(%s[%zu,"Customer %07zu","%s",%zu.%02zu,"20%02zu-%02zu-%02zu",%s,%s,)"
                      R"("%02zu:%02zu:00"])",
                      i ? ",\n" : "",
                      i,
                      i,
                      Cities[i % 4],
                      (i * 7919) % 1000000,
                      i % 100,
                      10 + i % 20,
                      1 + i % 12,
                      1 + i % 28,
                      i % 3 ? "true" : "false",
                      note,
                      i % 24,
                      i % 60);
        text += line;
    }
    text += "]}}}";
    return text;
}

void BM_BuildTables(benchmark::State& state)
{
    const std::string text = MakeRequest(static_cast<size_t>(state.range(0)));
    const auto document = vl::JsonDocument::Parse(text);
    const auto datasets = document->Root().GetObject().Find("datasets")->GetObject();
    size_t tableBytes = 0;
    for (auto _ : state) {
        auto tables = vl::BuildTables(datasets, 8000);
        tableBytes = tables[0].Table->MemoryUsage();
        benchmark::DoNotOptimize(tables);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["json_MB"] = static_cast<double>(text.size()) / 1e6;
    state.counters["table_MB"] = static_cast<double>(tableBytes) / 1e6;
}
BENCHMARK(BM_BuildTables)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ParseAndBuildTables(benchmark::State& state)
{
    const std::string text = MakeRequest(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        const auto document = vl::JsonDocument::Parse(text);
        auto tables =
            vl::BuildTables(document->Root().GetObject().Find("datasets")->GetObject(), 8000);
        benchmark::DoNotOptimize(tables);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseAndBuildTables)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LinkAndWalkDetail(benchmark::State& state)
{
    // Each of 1000 masters walks its 100 detail rows.
    std::string text = R"({"m":{"fields":[["id","number"]],"data":[)";
    for (int i = 0; i < 1000; ++i)
        text += (i ? ",[" : "[") + std::to_string(i) + "]";
    text += R"(]},"d":{"fields":[["m","number"],["v","string"]],"data":[)";
    for (int i = 0; i < 100000; ++i)
        text += (i ? ",[" : "[") + std::to_string(i * 7 % 1000) + R"(,"x"])";
    text += "]}}";
    const auto document = vl::JsonDocument::Parse(text);
    auto tables = vl::BuildTables(document->Root().GetObject(), 8000);
    vl::TClientDataSet& master = *tables[0].Table;
    vl::TClientDataSet& detail = *tables[1].Table;
    for (auto _ : state) {
        vl::TDataSource source(&master);
        detail.SetIndexFieldNames(u"m;__id");
        detail.SetMasterFields(u"id");
        detail.SetMasterSource(&source);
        int64_t rows = 0;
        for (master.First(); !master.Eof(); master.Next())
            for (detail.First(); !detail.Eof(); detail.Next())
                ++rows;
        detail.SetMasterSource(nullptr);
        detail.SetIndexFieldNames(u"");
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_LinkAndWalkDetail)->Unit(benchmark::kMillisecond);

} // namespace
