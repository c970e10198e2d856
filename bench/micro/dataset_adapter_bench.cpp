// Costs of reading a table through its dataset adapter, the way the engine does for every printed
// row: a walk from First to Eof reading each field by name, and the same walk over a detail table
// that follows its master.
#include "request/report_module.h"
#include "request/request_binding.h"
#include "request/table_builder.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

std::vector<vl::BuiltTable> MakeTables(size_t masters, size_t detailsPerMaster)
{
    std::string text = R"({"Customers":{"fields":[["id","number"],["name","string"],)"
                       R"(["city","string_40"],["active","boolean"]],"data":[)";
    for (size_t i = 0; i < masters; ++i) {
        if (i) text += ",";
        text +=
            "[" + std::to_string(i) + R"(,"Customer )" + std::to_string(i) + R"(","Zagreb",true])";
    }
    text += R"(]},"Orders":{"fields":[["customer_id","number"],["amount","number"],)"
            R"(["note","text"],["day","date"]],"data":[)";
    for (size_t i = 0; i < masters * detailsPerMaster; ++i) {
        if (i) text += ",";
        text += "[" + std::to_string(i % masters) + "," + std::to_string(i) + R"(.5,"note",)" +
                (i % 3 ? R"("2024-01-07")" : "null") + "]";
    }
    text += "]}}";
    auto document = vl::JsonDocument::Parse(text);
    return vl::BuildTables(document->Root().GetObject(), 8000);
}

void BM_WalkAndReadFields(benchmark::State& state)
{
    const auto tables = MakeTables(static_cast<size_t>(state.range(0)), 1);
    vl::TReportGenerator module;
    vl::RegisterTables(module, tables);
    vl::TvlxDBDataset& customers = *module.FindTableAdapter(u"Customers");
    customers.Initialize();
    for (auto _ : state) {
        for (customers.First(); !customers.Eof(); customers.Next()) {
            benchmark::DoNotOptimize(customers.FieldValue(u"id"));
            benchmark::DoNotOptimize(customers.FieldValue(u"name"));
            benchmark::DoNotOptimize(customers.FieldValue(u"City"));
            benchmark::DoNotOptimize(customers.FieldValue(u"active"));
        }
    }
    customers.Finalize();
    state.SetItemsProcessed(state.iterations() * state.range(0) * 4);
}
BENCHMARK(BM_WalkAndReadFields)->Arg(10000);

void BM_MasterDetailWalk(benchmark::State& state)
{
    const auto tables = MakeTables(static_cast<size_t>(state.range(0)), 5);
    vl::TReportGenerator module;
    vl::RegisterTables(module, tables);
    module.Mapiraj(u"Customers", u"id", u"customer_id", u"Orders");
    vl::TvlxDBDataset& customers = *module.FindTableAdapter(u"Customers");
    vl::TvlxDBDataset& orders = *module.FindTableAdapter(u"Orders");
    customers.Initialize();
    orders.Initialize();
    for (auto _ : state) {
        for (customers.First(); !customers.Eof(); customers.Next())
            for (orders.First(); !orders.Eof(); orders.Next())
                benchmark::DoNotOptimize(orders.FieldValue(u"amount"));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 5);
}
BENCHMARK(BM_MasterDetailWalk)->Arg(2000);

} // namespace
