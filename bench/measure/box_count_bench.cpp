// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// The black measurement on large images, beside two yardsticks: the plain
// pixel-by-pixel procedure (core/measure/reference_box_count.hpp, the way the
// measurement is described, run only where it ends in reasonable time) and a
// plain sum over the same pixel bytes, the least any measurement that reads
// every pixel can cost.
//
// The images are Sierpinski triangles (pixel (x, y) black when x AND y is 0),
// a fractal whose boxes are mostly empty at small sides.

#include "core/measure/box_count.hpp"
#include "core/measure/gray_box_count.hpp"
#include "core/measure/reference_box_count.hpp"
#include "core/measure/reference_gray_box_count.hpp"
#include "core/measure/total_length.hpp"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <utility>

namespace dimora {
namespace {

enum class Depth { Rgb24, Indexed1 };

// Built once per size and depth and kept: building and first touching
// hundreds of megabytes takes longer than the measurements.
const Bitmap& sierpinski(int width, int height, Depth depth)
{
    static std::map<std::tuple<int, int, Depth>, std::unique_ptr<Bitmap>> cache;
    auto& slot = cache[{width, height, depth}];
    if (!slot) {
        const PixelLayout layout =
            depth == Depth::Rgb24 ? PixelLayout::rgb24() : PixelLayout::indexed(1, {kBlack, kWhite});
        slot = std::make_unique<Bitmap>(width, height, layout);
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = slot->row(y);
            for (int x = 0; x < width; ++x) {
                const bool black = (x & y) == 0;
                if (depth == Depth::Rgb24) {
                    const std::uint8_t value = black ? 0 : 255;
                    row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = value;
                } else if (!black) {
                    row[x >> 3] = static_cast<std::uint8_t>(row[x >> 3] | 0x80u >> (x & 7));
                }
            }
        }
    }
    return *slot;
}

void setBytes(benchmark::State& state, const Bitmap& bitmap)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bitmap.byteCount()));
    state.counters["MPixel"] = static_cast<double>(bitmap.width()) * bitmap.height() / 1e6;
}

void BM_BlackMeasure(benchmark::State& state, Depth depth)
{
    const Bitmap& bitmap =
        sierpinski(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), depth);
    const Region region{0, 0, bitmap.width(), bitmap.height()};
    for (auto _ : state)
        benchmark::DoNotOptimize(countBoxes(bitmap.view(), region, PixelClass::Black));
    setBytes(state, bitmap);
}

void BM_PixelByPixelProcedure(benchmark::State& state, Depth depth)
{
    const Bitmap& bitmap =
        sierpinski(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), depth);
    const Region region{0, 0, bitmap.width(), bitmap.height()};
    for (auto _ : state)
        benchmark::DoNotOptimize(reference::boxCounts(bitmap.view(), region, true));
    setBytes(state, bitmap);
}

// The memory floor: every pixel byte read once and summed.
void BM_SumOfPixelBytes(benchmark::State& state, Depth depth)
{
    const Bitmap& bitmap =
        sierpinski(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), depth);
    const auto* words = reinterpret_cast<const std::uint64_t*>(bitmap.data());
    const std::size_t count = bitmap.byteCount() / sizeof(std::uint64_t);
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < count; ++i)
            sum += words[i];
        benchmark::DoNotOptimize(sum);
    }
    setBytes(state, bitmap);
}

void BM_GrayMeasure(benchmark::State& state)
{
    const Bitmap& bitmap =
        sierpinski(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), Depth::Rgb24);
    for (auto _ : state)
        benchmark::DoNotOptimize(countGrayBoxes(bitmap.view(), {0, 0, bitmap.width(), bitmap.height()}));
    setBytes(state, bitmap);
}

void BM_TotalLength(benchmark::State& state)
{
    const Bitmap& bitmap =
        sierpinski(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), Depth::Rgb24);
    for (auto _ : state)
        benchmark::DoNotOptimize(measureTotalLength(bitmap.view(), std::nullopt));
    setBytes(state, bitmap);
}

void largeSizes(benchmark::internal::Benchmark* b)
{
    b->Args({2048, 2048})->Args({8192, 8192})->Args({16384, 12288})->Unit(benchmark::kMillisecond);
}

void referenceSizes(benchmark::internal::Benchmark* b)
{
    b->Args({2048, 2048})->Args({8192, 8192})->Unit(benchmark::kMillisecond)->Iterations(1);
}

BENCHMARK_CAPTURE(BM_SumOfPixelBytes, 24bit, Depth::Rgb24)->Apply(largeSizes);
BENCHMARK_CAPTURE(BM_BlackMeasure, 24bit, Depth::Rgb24)->Apply(largeSizes);
BENCHMARK_CAPTURE(BM_PixelByPixelProcedure, 24bit, Depth::Rgb24)->Apply(referenceSizes);
BENCHMARK_CAPTURE(BM_SumOfPixelBytes, 1bit, Depth::Indexed1)->Apply(largeSizes);
BENCHMARK_CAPTURE(BM_BlackMeasure, 1bit, Depth::Indexed1)->Apply(largeSizes);
BENCHMARK_CAPTURE(BM_PixelByPixelProcedure, 1bit, Depth::Indexed1)->Apply(referenceSizes);
BENCHMARK(BM_GrayMeasure)->Args({8192, 8192})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TotalLength)->Args({8192, 8192})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dimora

BENCHMARK_MAIN();
