// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// The lacunarity (gliding box at the default sides) and the multifractal
// spectrum (black mass, the default q list) against the black measurement,
// each from the same 2048² 24-bit BMP file in the page cache: load, then
// measure, as the command line runs them. Shape: rings, about 40 % black.

#include "core/files/bmp_reader.hpp"
#include "core/files/bmp_writer.hpp"
#include "core/measure/box_count.hpp"
#include "core/measure/lacunarity.hpp"
#include "core/measure/multifractal.hpp"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace dimora {
namespace {

constexpr int kEdge = 2048;

std::string imageFile()
{
    const char* tmp = std::getenv("TMPDIR");
    const std::filesystem::path path =
        std::filesystem::path(tmp != nullptr ? tmp : "/tmp") / "dimora-mass-2048-rings.bmp";
    if (!std::filesystem::exists(path)) {
        Bitmap image(kEdge, kEdge, PixelLayout::rgb24());
        for (int y = 0; y < kEdge; ++y) {
            std::uint8_t* row = image.row(y);
            for (int x = 0; x < kEdge; ++x) {
                const std::int64_t dx = x - kEdge / 2, dy = y - kEdge / 2;
                const std::uint8_t value = (dx * dx + dy * dy) / (kEdge * kEdge / 750) % 5 < 2 ? 0 : 255;
                row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = value;
            }
        }
        saveBmpFile(image, path.string());
    }
    return path.string();
}

const Region kWhole{0, 0, kEdge, kEdge};

void black(benchmark::State& state)
{
    const std::string path = imageFile();
    for (auto _ : state) {
        const Bitmap image = loadBmpFile(path);
        benchmark::DoNotOptimize(countBoxes(image.view(), kWhole, PixelClass::Black));
    }
}

void glidingLacunarity(benchmark::State& state)
{
    const std::string path = imageFile();
    for (auto _ : state) {
        const Bitmap image = loadBmpFile(path);
        benchmark::DoNotOptimize(measureLacunarity(image.view(), kWhole, {}));
    }
}

void multifractalSpectrum(benchmark::State& state)
{
    const std::string path = imageFile();
    for (auto _ : state) {
        const Bitmap image = loadBmpFile(path);
        benchmark::DoNotOptimize(measureMultifractal(image.view(), kWhole, {}));
    }
}

BENCHMARK(black)->Unit(benchmark::kMillisecond);
BENCHMARK(glidingLacunarity)->Unit(benchmark::kMillisecond);
BENCHMARK(multifractalSpectrum)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dimora

BENCHMARK_MAIN();
