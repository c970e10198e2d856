// Costs of the image code on the report's paths: encoding the raster fallback of a view as JPEG
// (text at three times its size, bar codes at twice) and decoding template pictures.
#include "platform/images/bitmap.h"
#include "platform/images/bmp_decoder.h"
#include "platform/images/jpeg_codec.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

// White with black bars of varying width: a bar code or lines of text at raster scale.
vl::Bitmap Bars(int width, int height)
{
    vl::Bitmap b(width, height);
    for (int y = 0; y < height; ++y) {
        uint32_t* row = b.Row(y);
        for (int x = 0; x < width; ++x)
            row[x] = (x / 3 + x / 7) % 2 && y % 40 < 30 ? 0xFF000000u : 0xFFFFFFFFu;
    }
    return b;
}

// Smooth colour gradients with a little noise: a photograph.
vl::Bitmap Photo(int width, int height)
{
    vl::Bitmap b(width, height);
    uint32_t seed = 7;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245 + 12345;
            const int noise = int(seed >> 28);
            b.SetPixel(x,
                       y,
                       vl::PremultipliedArgb(uint8_t((x * 255 / width + noise) & 0xFF),
                                             uint8_t((y * 255 / height + noise) & 0xFF),
                                             uint8_t(128 + noise)));
        }
    return b;
}

void BM_EncodeJpeg(benchmark::State& state, int width, int height, int quality)
{
    const vl::Bitmap bitmap = Bars(width, height);
    const std::vector<uint8_t> rgb = bitmap.RgbRows();
    size_t bytes = 0;
    for (auto _ : state) {
        std::string jpeg = vl::EncodeJpeg(rgb, width, height, quality);
        bytes = jpeg.size();
        benchmark::DoNotOptimize(jpeg);
    }
    state.counters["jpeg_bytes"] = double(bytes);
    state.SetItemsProcessed(int64_t(state.iterations()) * width * height);
}
// A 200 x 40 pixel memo with tags at scale 3; a 300 x 80 bar code at scale 2.
BENCHMARK_CAPTURE(BM_EncodeJpeg, Memo600x120Q90, 603, 123, 90)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EncodeJpeg, BarCode600x160Q95, 602, 162, 95)->Unit(benchmark::kMicrosecond);

void BM_RgbRows(benchmark::State& state)
{
    const vl::Bitmap bitmap = Bars(603, 123);
    for (auto _ : state)
        benchmark::DoNotOptimize(bitmap.RgbRows());
    state.SetItemsProcessed(int64_t(state.iterations()) * 603 * 123);
}
BENCHMARK(BM_RgbRows)->Unit(benchmark::kMicrosecond);

void BM_DecodeJpeg(benchmark::State& state)
{
    const std::string jpeg = vl::EncodeJpeg(Photo(1024, 768), 90);
    for (auto _ : state)
        benchmark::DoNotOptimize(vl::DecodeJpeg(jpeg));
    state.SetItemsProcessed(int64_t(state.iterations()) * 1024 * 768);
}
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);

void BM_DecodeBmp24(benchmark::State& state)
{
    const int width = 1024, height = 768;
    const uint32_t stride = width * 3;
    auto le32 = [](std::string& s, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s += char(v >> (8 * i));
    };
    std::string bmp = "BM";
    le32(bmp, 54 + stride * height);
    le32(bmp, 0);
    le32(bmp, 54);
    le32(bmp, 40);
    le32(bmp, width);
    le32(bmp, height);
    le32(bmp, 1 | 24 << 16);
    for (int i = 0; i < 6; ++i)
        le32(bmp, 0);
    for (uint32_t i = 0; i < stride * height; ++i)
        bmp += char(i * 31);
    for (auto _ : state)
        benchmark::DoNotOptimize(vl::DecodeBmp(bmp));
    state.SetItemsProcessed(int64_t(state.iterations()) * width * height);
}
BENCHMARK(BM_DecodeBmp24)->Unit(benchmark::kMillisecond);

} // namespace
