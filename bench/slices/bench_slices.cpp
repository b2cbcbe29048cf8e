// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
//
// The slice-stack measurement over 100 PNG slices of 1024 × 1024 pixels,
// against what libpng alone needs to decode the same files (rows into one
// reused buffer, no conversion, no counting). The run decodes the next slices
// on other threads while one is counted, so on two free cores it takes less
// time than the decoding alone. process_cpu_ms is the CPU time of all threads.

#include "core/files/png_test_files.hpp"
#include "core/slices/slice_series.hpp"
#include "core/slices/slice_stack.hpp"

#include <benchmark/benchmark.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <random>

namespace dimora {
namespace {

constexpr std::uint32_t kEdge = 1024;
constexpr int kSlices = 100;

// The slices: 8-bit gray, black discs on white that drift from slice to slice,
// about a third of the pixels black.
const testing::ScratchFolder& sliceFolder()
{
    static const testing::ScratchFolder folder;
    static const bool written = [] {
        std::mt19937 random(1);
        struct Disc {
            double x, y, r;
        };
        std::vector<Disc> discs;
        for (int k = 0; k < 60; ++k)
            discs.push_back({static_cast<double>(random() % kEdge), static_cast<double>(random() % kEdge),
                             40.0 + random() % 80});
        for (int i = 1; i <= kSlices; ++i) {
            auto image = testing::blankImage(kEdge, kEdge, 8, PNG_COLOR_TYPE_GRAY);
            for (auto& row : image.rows)
                std::fill(row.begin(), row.end(), 255);
            for (const Disc& d : discs)
                for (double y = std::max(0.0, d.y - d.r); y < std::min<double>(kEdge, d.y + d.r); ++y) {
                    const double half = std::sqrt(std::max(0.0, d.r * d.r - (y - d.y) * (y - d.y)));
                    const auto from = static_cast<std::ptrdiff_t>(std::clamp(d.x - half, 0.0, double{kEdge}));
                    const auto to = static_cast<std::ptrdiff_t>(std::clamp(d.x + half, 0.0, double{kEdge}));
                    auto& row = image.rows[static_cast<std::size_t>(y)];
                    std::fill(row.begin() + from, row.begin() + std::max(from, to), 0);
                }
            testing::writeFile(folder.path() / (std::to_string(i) + ".png"), testing::encodePng(image));
            for (Disc& d : discs) {
                d.x += 3;
                d.y += 1;
            }
        }
        return true;
    }();
    (void)written;
    return folder;
}

// CPU time of all threads of the process per iteration: the benchmark's own
// CPU column counts the main thread only.
double processMillisecondsPerIteration(std::clock_t start, const benchmark::State& state)
{
    return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC /
           static_cast<double>(state.iterations());
}

bool decodeRows(png_structp png, png_infop info, std::vector<std::uint8_t>* row)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    png_read_update_info(png, info);
    row->resize(png_get_rowbytes(png, info));
    const png_uint_32 height = png_get_image_height(png, info);
    for (png_uint_32 y = 0; y < height; ++y)
        png_read_row(png, row->data(), nullptr);
    return true;
}

void BM_LibpngDecodeOnly(benchmark::State& state)
{
    const auto& folder = sliceFolder();
    std::vector<std::uint8_t> row;
    const std::clock_t start = std::clock();
    for (auto _ : state) {
        for (int i = 1; i <= kSlices; ++i) {
            std::FILE* file = std::fopen(folder.file(std::to_string(i) + ".png").c_str(), "rb");
            png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
            png_infop info = png_create_info_struct(png);
            png_init_io(png, file);
            if (!decodeRows(png, info, &row))
                state.SkipWithError("decode failed");
            png_destroy_read_struct(&png, &info, nullptr);
            std::fclose(file);
        }
        benchmark::DoNotOptimize(row.data());
    }
    state.counters["process_cpu_ms"] = processMillisecondsPerIteration(start, state);
}
BENCHMARK(BM_LibpngDecodeOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_SliceStack(benchmark::State& state)
{
    SliceSeriesSettings settings;
    settings.lastFile = sliceFolder().file(std::to_string(kSlices) + ".png");
    settings.firstFile = firstSliceFileName(settings.lastFile);
    double coverage = 0;
    const std::clock_t start = std::clock();
    for (auto _ : state) {
        SliceRun run;
        coverage = countSliceStack(settings, run).coverage;
        benchmark::DoNotOptimize(coverage);
    }
    state.counters["process_cpu_ms"] = processMillisecondsPerIteration(start, state);
    state.counters["coverage"] = coverage;
}
BENCHMARK(BM_SliceStack)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace
}  // namespace dimora

BENCHMARK_MAIN();
