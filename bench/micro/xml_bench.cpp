// Throughput of the template XML reader and writer on a prepared-report-like document (about
// 50 MB of small items with short attribute texts), and the cost of one attribute lookup.
#include "base/stream.h"
#include "template/xml_document.h"
#include "template/xml_escape.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using vl::String;

// preparedreport(page0..pageN(m1..m40)), each object with a position, size and text.
std::string MakeDocument(size_t megabytes)
{
    vl::TvlxXMLDocument doc;
    auto& root = doc.Root();
    root.SetName(u"preparedreport");
    size_t approxBytes = 0;
    for (int p = 0; approxBytes < megabytes << 20; ++p) {
        auto& page = root.Add(u"page" + vl::IntToStr(p));
        for (int i = 0; i < 40; ++i) {
            auto& item = page.Add(u"m" + vl::IntToStr(i));
            item.SetAttribute(u"l", vl::IntToStr(10 + i * 7));
            item.SetAttribute(u"t", vl::IntToStr(p * 3 + i) + u".5");
            item.SetAttribute(u"w", u"120");
            item.SetAttribute(u"h", u"18.89");
            item.SetAttribute(u"x", u"Customer " + vl::IntToStr(p * 40 + i) + u" & Sons, Zagreb");
            approxBytes += 80;
        }
    }
    vl::MemoryStream out;
    doc.SaveToStream(out);
    return out.TakeBytes();
}

const std::string& Document()
{
    static const std::string bytes = MakeDocument(50);
    return bytes;
}

void BM_ReadDocument(benchmark::State& state)
{
    vl::MemoryStream stream(Document());
    for (auto _ : state) {
        stream.SetPosition(0);
        vl::TvlxXMLDocument doc;
        doc.LoadFromStream(stream);
        benchmark::DoNotOptimize(doc.Root().Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Document().size()));
}
BENCHMARK(BM_ReadDocument)->Unit(benchmark::kMillisecond);

void BM_WriteDocument(benchmark::State& state)
{
    vl::TvlxXMLDocument doc;
    vl::MemoryStream in(Document());
    doc.LoadFromStream(in);
    doc.SetAutoIndent(state.range(0) != 0);
    size_t written = 0;
    for (auto _ : state) {
        vl::MemoryStream out;
        doc.SaveToStream(out);
        written = out.Bytes().size();
        benchmark::DoNotOptimize(out.Bytes().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
}
BENCHMARK(BM_WriteDocument)->Arg(0)->Arg(1)->ArgName("indent")->Unit(benchmark::kMillisecond);

void BM_AttributeLookup(benchmark::State& state)
{
    vl::TvlxXMLItem item;
    item.SetText(uR"(l="10" t="123.5" w="120" h="18.89" x="Customer 17 &#38; Sons, Zagreb")");
    for (auto _ : state) {
        auto raw = item.FindAttribute(u"X");
        benchmark::DoNotOptimize(raw);
    }
}
BENCHMARK(BM_AttributeLookup);

void BM_AttributeValue(benchmark::State& state)
{
    vl::TvlxXMLItem item;
    item.SetText(uR"(l="10" t="123.5" w="120" h="18.89" x="Customer 17 &#38; Sons, Zagreb")");
    for (auto _ : state) {
        String value = item.Attribute(u"X");
        benchmark::DoNotOptimize(value.data());
    }
}
BENCHMARK(BM_AttributeValue);

void BM_EscapeUnescape(benchmark::State& state)
{
    const String text(u"Line one \"quoted\"\r\nLine two <b> & more text without anything special");
    for (auto _ : state) {
        String escaped = vl::XMLEscape(text);
        String back = vl::XMLUnescape(escaped);
        benchmark::DoNotOptimize(back.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
}
BENCHMARK(BM_EscapeUnescape);

} // namespace
