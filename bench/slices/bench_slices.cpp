// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
//
// The slice-stack measurement over 100 PNG slices of 1024 × 1024 pixels,
// against what libpng alone needs to decode the same files (rows into one
// reused buffer, no conversion, no counting). The run decodes the next slices
// on other threads while one is counted, so on two free cores it takes less
// time than the decoding alone. process_cpu_ms is the CPU time of all threads.
//
// The cube count over 200 such slices against libpng alone on them, and over
// a 2000-page TIFF of 2048 × 2048 bilevel slices written here, each run in a
// child process whose peak resident memory (peak_rss_mib, the child's
// inherited pages included) shows that the stack is streamed.

#include "core/files/png_test_files.hpp"
#include "core/slices/cube_measurement.hpp"
#include "core/slices/slice_series.hpp"
#include "core/slices/slice_stack.hpp"

#include <benchmark/benchmark.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <random>

namespace dimora {
namespace {

constexpr std::uint32_t kEdge = 1024;
constexpr int kSlices = 100;
constexpr int kCubeSlices = 200;

// The slices: 8-bit gray, black discs on white that drift from slice to slice,
// about a third of the pixels black.
void writeDiscSlices(const testing::ScratchFolder& folder, int count)
{
    std::mt19937 random(1);
    struct Disc {
        double x, y, r;
    };
    std::vector<Disc> discs;
    for (int k = 0; k < 60; ++k)
        discs.push_back({static_cast<double>(random() % kEdge), static_cast<double>(random() % kEdge),
                         40.0 + random() % 80});
    for (int i = 1; i <= count; ++i) {
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
}

// The folder of `count` slices 1.png ... count.png, written once.
const testing::ScratchFolder& sliceFolder(int count = kSlices)
{
    static std::map<int, testing::ScratchFolder> folders;
    auto [place, added] = folders.try_emplace(count);
    if (added)
        writeDiscSlices(place->second, count);
    return place->second;
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
    const auto count = static_cast<int>(state.range(0));
    const auto& folder = sliceFolder(count);
    std::vector<std::uint8_t> row;
    const std::clock_t start = std::clock();
    for (auto _ : state) {
        for (int i = 1; i <= count; ++i) {
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
BENCHMARK(BM_LibpngDecodeOnly)
    ->Arg(kSlices)
    ->Arg(kCubeSlices)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);

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

// Runs `body` in a child process and gives its peak resident memory in MiB,
// or a negative number when the child failed.
double peakMemoryOfChild(const std::function<void()>& body)
{
    const pid_t child = fork();
    if (child == 0) {
        try {
            body();
        } catch (...) {
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_CubeStack(benchmark::State& state)
{
    const CubeSettings settings{sliceFolder(kCubeSlices).file(std::to_string(kCubeSlices) + ".png"), {}, {}};
    double dimension = 0;
    const std::clock_t start = std::clock();
    for (auto _ : state) {
        dimension = measureCubeStack(settings).measurement.fit.value().dimension;
        benchmark::DoNotOptimize(dimension);
    }
    state.counters["process_cpu_ms"] = processMillisecondsPerIteration(start, state);
    state.counters["dimension"] = dimension;
    state.counters["peak_rss_mib"] = peakMemoryOfChild([&] { (void)countCubeStack(settings); });
}
BENCHMARK(BM_CubeStack)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// A 2000-page bilevel TIFF of 2048 × 2048 slices through a few balls,
// Deflate-compressed: about 40 MB on disk, 1 GB of bits, 8 GiB as 8-bit pixels.
constexpr std::uint32_t kLargeEdge = 2048;
constexpr int kLargeSlices = 2000;

void writeBallStack(const std::string& path)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w8");
    std::vector<std::uint8_t> row(kLargeEdge / 8);
    struct Ball {
        double x, y, z, r;
    };
    std::mt19937 random(3);
    std::vector<Ball> balls;
    for (int k = 0; k < 40; ++k)
        balls.push_back({static_cast<double>(random() % kLargeEdge),
                         static_cast<double>(random() % kLargeEdge),
                         static_cast<double>(random() % kLargeSlices), 50.0 + random() % 400});
    for (int z = 0; z < kLargeSlices; ++z) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kLargeEdge);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kLargeEdge);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 64);
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        for (std::uint32_t y = 0; y < kLargeEdge; ++y) {
            std::fill(row.begin(), row.end(), 0);
            for (const Ball& b : balls) {
                const double dy = y - b.y, dz = z - b.z;
                const double h2 = b.r * b.r - dy * dy - dz * dz;
                if (h2 <= 0)
                    continue;
                const auto from =
                    static_cast<std::uint32_t>(std::clamp(b.x - std::sqrt(h2), 0.0, double{kLargeEdge}));
                const auto to =
                    static_cast<std::uint32_t>(std::clamp(b.x + std::sqrt(h2), 0.0, double{kLargeEdge}));
                for (std::uint32_t x = from; x < to; ++x)
                    row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
            TIFFWriteScanline(tif, row.data(), y, 0);
        }
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
}

void BM_CubeStackOf2000Slices(benchmark::State& state)
{
    static const testing::ScratchFolder folder;
    const std::string path = folder.file("balls.tif");
    if (!std::filesystem::exists(path))
        writeBallStack(path);
    const CubeSettings settings{path, {}, {}};
    double dimension = 0;
    for (auto _ : state) {
        dimension = measureCubeStack(settings).measurement.fit.value().dimension;
        benchmark::DoNotOptimize(dimension);
    }
    state.counters["dimension"] = dimension;
    state.counters["file_mib"] = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
    state.counters["peak_rss_mib"] = peakMemoryOfChild([&] { (void)countCubeStack(settings); });
}
BENCHMARK(BM_CubeStackOf2000Slices)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace dimora

BENCHMARK_MAIN();
