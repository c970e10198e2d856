// Costs of the PDF writer's building blocks: subsetting a font at the end of a document, MD5 (image
// digests) and RC4 (encrypted streams) over page-sized data, and coordinate text in content.
#include "base/stream.h"
#include "pdf/md5.h"
#include "pdf/pdf_export.h"
#include "pdf/pdf_objects.h"
#include "pdf/rc4.h"
#include "pdf/ttf_subset.h"
#include "pdf/view_render.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

std::string ReadFont(const char* path)
{
    vl::FileStream file(path, vl::FileStream::Mode::OpenRead);
    return std::string(file.ReadAll(size_t(1) << 30).View());
}

// A typical report uses one or two hundred glyphs of a face.
void BM_SubsetFont(benchmark::State& state, const char* path)
{
    const std::string font = ReadFont(path);
    std::vector<uint16_t> used;
    for (uint16_t g = 3; g < 600; g += 3)
        used.push_back(g);
    for (auto _ : state) {
        std::string subset = vl::SubsetTrueType(font, u"", std::nullopt, used);
        benchmark::DoNotOptimize(subset);
    }
    state.SetBytesProcessed(int64_t(state.iterations() * font.size()));
}
BENCHMARK_CAPTURE(BM_SubsetFont,
                  LiberationSans,
                  "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SubsetFont, DejaVuSans, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")
    ->Unit(benchmark::kMicrosecond);

void BM_Md5(benchmark::State& state)
{
    const std::string data(size_t(state.range(0)), 'x');
    for (auto _ : state)
        benchmark::DoNotOptimize(vl::Md5(data));
    state.SetBytesProcessed(int64_t(state.iterations() * data.size()));
}
BENCHMARK(BM_Md5)->Arg(1 << 20);

void BM_Rc4(benchmark::State& state)
{
    std::string data(size_t(state.range(0)), 'x');
    const uint8_t key[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    for (auto _ : state) {
        vl::TvlxRC4 rc4;
        rc4.Start(key, sizeof key);
        auto* bytes = reinterpret_cast<uint8_t*>(data.data());
        rc4.Crypt(bytes, bytes, data.size());
        benchmark::DoNotOptimize(data);
    }
    state.SetBytesProcessed(int64_t(state.iterations() * data.size()));
}
BENCHMARK(BM_Rc4)->Arg(1 << 20);

void BM_AppendCoord(benchmark::State& state)
{
    std::string out;
    double x = 12.345;
    for (auto _ : state) {
        out.clear();
        for (int i = 0; i < 1000; ++i) {
            vl::AppendCoord(out, x + i * 0.75);
            out += ' ';
        }
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(int64_t(state.iterations() * 1000));
}
BENCHMARK(BM_AppendCoord);

// Whole documents of list pages: 60 rows of four cells each per A4 page, texts that vary by row
// (so shaping is not only cache hits), compressed content, subset font embedded at the end.
void BM_TextPages(benchmark::State& state)
{
    const int pages = int(state.range(0));
    vl::TvlxFont font;
    font.SetName(u"Arial");
    vl::PdfTextObject cell;
    cell.Font = font;
    cell.Frame.Typ = vl::pfBottom;
    vl::FixedClock clock({2026, 1, 1, 0, 0, 0}, vl::Guid{});
    for (auto _ : state) {
        vl::MemoryStream out;
        vl::TvlxPDFExport writer(vl::TvlxCustomExportFilter::NoRegister{});
        writer.SetStream(&out);
        writer.SetClock(&clock);
        writer.SetEmbeddedFonts(true);
        writer.Start();
        int row = 0;
        for (int p = 0; p < pages; ++p) {
            writer.BeginPage({794, 1123, 10, 10, 10, 10, vl::clNone});
            for (int r = 0; r < 60; ++r, ++row) {
                for (int c = 0; c < 4; ++c) {
                    cell.Box = {38.0 + c * 180, 38.0 + r * 17, 180, 17};
                    cell.Text = c == 0 ? u"Customer " + vl::FromUtf8(std::to_string(row))
                                       : vl::FromUtf8(std::to_string(row * 37 % 1000 + c)) + u".00";
                    vl::WriteTextObject(writer, cell);
                }
            }
            writer.EndPage();
        }
        writer.Finish();
        benchmark::DoNotOptimize(out.Bytes().data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * pages);
    state.counters["text_runs/s"] =
        benchmark::Counter(double(state.iterations()) * pages * 240, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TextPages)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace
