// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// The black measurement on its grid of least count against the origin grid,
// on 4096² and 8192² 24-bit images: the counting alone on an image in memory,
// and the whole of a measurement from a BMP file in the page cache (load,
// then count) as a command line would run it.
//
// Two shapes: a Sierpinski gasket (pixel (x, y) black when x AND y is 0) and
// rings (about 40 % black).

#include "core/files/bmp_reader.hpp"
#include "core/files/bmp_writer.hpp"
#include "core/measure/min_grid_count.hpp"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

namespace dimora {
namespace {

enum class Shape { Gasket, Rings };

bool blackAt(Shape shape, std::int64_t x, std::int64_t y, std::int64_t edge)
{
    if (shape == Shape::Gasket)
        return (x & y) == 0;
    const std::int64_t dx = x - edge / 2, dy = y - edge / 2;
    return (dx * dx + dy * dy) / (edge * edge / 750) % 5 < 2;
}

const Bitmap& image(int edge, Shape shape)
{
    static std::map<std::pair<int, Shape>, std::unique_ptr<Bitmap>> cache;
    auto& slot = cache[{edge, shape}];
    if (!slot) {
        slot = std::make_unique<Bitmap>(edge, edge, PixelLayout::rgb24());
        for (int y = 0; y < edge; ++y) {
            std::uint8_t* row = slot->row(y);
            for (int x = 0; x < edge; ++x) {
                const std::uint8_t value = blackAt(shape, x, y, edge) ? 0 : 255;
                row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = value;
            }
        }
    }
    return *slot;
}

std::string fileOf(int edge, Shape shape)
{
    const char* tmp = std::getenv("TMPDIR");
    const std::filesystem::path path =
        std::filesystem::path(tmp != nullptr ? tmp : "/tmp") /
        ("dimora-grid-" + std::to_string(edge) + (shape == Shape::Gasket ? "-gasket.bmp" : "-rings.bmp"));
    if (!std::filesystem::exists(path))
        saveBmpFile(image(edge, shape), path.string());
    return path.string();
}

void count(benchmark::State& state, GridPlacement placement)
{
    const auto edge = static_cast<int>(state.range(0));
    const Bitmap& bitmap = image(edge, static_cast<Shape>(state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            countBoxesOnGrid(bitmap.view(), {0, 0, edge, edge}, PixelClass::Black, placement));
    state.counters["MPixel"] = static_cast<double>(edge) * edge / 1e6;
}

void loadAndCount(benchmark::State& state, GridPlacement placement)
{
    const auto edge = static_cast<int>(state.range(0));
    const std::string path = fileOf(edge, static_cast<Shape>(state.range(1)));
    for (auto _ : state) {
        const Bitmap bitmap = loadBmpFile(path);
        benchmark::DoNotOptimize(
            countBoxesOnGrid(bitmap.view(), {0, 0, edge, edge}, PixelClass::Black, placement));
    }
}

void sizes(benchmark::internal::Benchmark* b)
{
    for (const int edge : {4096, 8192})
        for (const Shape shape : {Shape::Gasket, Shape::Rings})
            b->Args({edge, static_cast<int>(shape)});
    b->ArgNames({"edge", "rings"})->Unit(benchmark::kMillisecond);
}

BENCHMARK_CAPTURE(count, origin, GridPlacement::Origin)->Apply(sizes);
BENCHMARK_CAPTURE(count, min, GridPlacement::Min)->Apply(sizes);
BENCHMARK_CAPTURE(loadAndCount, origin, GridPlacement::Origin)->Apply(sizes);
BENCHMARK_CAPTURE(loadAndCount, min, GridPlacement::Min)->Apply(sizes);

}  // namespace
}  // namespace dimora

BENCHMARK_MAIN();
