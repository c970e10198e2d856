// Wrapping memo texts the way a report does: 100 000 cell texts of 10 to 200 characters, many of
// them repeated, into 60 mm columns at 10 pt, each through the full layout call sequence.
#include "layout/text_layout.h"

#include <benchmark/benchmark.h>
#include <random>

namespace {

using namespace vl;

constexpr int TextCount = 100000;
constexpr int DistinctTexts = 2000; // cells repeat: names, codes, descriptions
constexpr int ColumnPx = 227;       // 60 mm at 3.77953 pixels per millimetre

std::vector<String> MakeTexts()
{
    static const char16_t* Words[] = {u"invoice",
                                      u"total",
                                      u"customer",
                                      u"Zagreb",
                                      u"delivery",
                                      u"amount",
                                      u"1234.56",
                                      u"paid",
                                      u"Špansko",
                                      u"note",
                                      u"quantity",
                                      u"price",
                                      u"warehouse",
                                      u"EUR",
                                      u"order",
                                      u"Съешь",
                                      u"ещё",
                                      u"report"};
    std::mt19937 random(42);
    std::uniform_int_distribution<int> length(10, 200);
    std::uniform_int_distribution<size_t> word(0, std::size(Words) - 1);
    std::vector<String> distinct;
    for (int i = 0; i < DistinctTexts; ++i) {
        String text;
        size_t target = size_t(length(random));
        while (text.size() < target)
            text += (text.empty() ? u"" : u" ") + String(Words[word(random)]);
        text.resize(target);
        distinct.push_back(std::move(text));
    }
    std::uniform_int_distribution<int> pick(0, DistinctTexts - 1);
    std::vector<String> texts;
    texts.reserve(TextCount);
    for (int i = 0; i < TextCount; ++i)
        texts.push_back(distinct[size_t(pick(random))]);
    return texts;
}

void WrapMemoTexts(benchmark::State& state)
{
    std::vector<String> texts = MakeTexts();
    TvlxDrawText layout;
    LayoutFont font{.Name = u"Arial", .Size = 10};
    IntRect rect{0, 0, ColumnPx, 1000};
    size_t lines = 0;
    for (auto _ : state) {
        std::lock_guard lock(LayoutLock());
        for (const String& text : texts) {
            layout.SetFont(font);
            layout.SetOptions(true, false, false, false, true, true, 0);
            layout.SetGaps(0, 0, 2);
            layout.SetDimensions(1, 1, 1, rect, rect);
            layout.SetText(text);
            benchmark::DoNotOptimize(layout.CalcHeight());
            lines += layout.Lines().size();
        }
    }
    state.counters["texts"] = TextCount;
    state.counters["lines/text"] = double(lines) / double(TextCount) / double(state.iterations());
}
BENCHMARK(WrapMemoTexts)->Unit(benchmark::kMillisecond);

} // namespace
