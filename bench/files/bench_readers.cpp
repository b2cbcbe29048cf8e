// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
//
// The black measurement of an 8192 × 8192 8-bit gray TIFF (uncompressed and
// LZW) and JPEG, from the file to the result as dimora3-cli black runs it
// (counting each row as soon as it is decoded), and loading then measuring
// one after the other, against what libtiff and libjpeg-turbo alone need to
// decode the same file into fresh memory. The files are written into a
// scratch folder on the first run.

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "core/files/image_file.hpp"
#include "core/files/png_test_files.hpp"
#include "core/files/tiff_jpeg_test_files.hpp"
#include "core/measure/dimension_measurement.hpp"

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <nlohmann/json.hpp>

namespace dimora {
namespace {

constexpr std::uint32_t kEdge = 8192;

// Black rings on white, about 40 % black.
unsigned sample(std::uint32_t x, std::uint32_t y, unsigned)
{
    const auto dx = static_cast<std::int64_t>(x) - 4096, dy = static_cast<std::int64_t>(y) - 4096;
    return (dx * dx + dy * dy) / 90000 % 5 < 2 ? 0 : 255;
}

const testing::ScratchFolder& folder()
{
    static const testing::ScratchFolder scratch;
    static const bool written = [] {
        testing::TiffPage page;
        page.width = page.height = kEdge;
        page.sample = sample;
        testing::writeFile(scratch.path() / "plain.tif", testing::encodeTiff({false, false, {page}}));
        page.compression = COMPRESSION_LZW;
        testing::writeFile(scratch.path() / "lzw.tif", testing::encodeTiff({false, false, {page}}));
        testing::writeFile(scratch.path() / "gray.jpg", testing::encodeJpeg(kEdge, kEdge, 1, false, sample));
        return true;
    }();
    (void)written;
    return scratch;
}

const char* const kFiles[] = {"plain.tif", "lzw.tif", "gray.jpg"};

struct FreeMemory {
    void operator()(std::uint8_t* p) const { std::free(p); }
};

void libtiffDecode(const std::string& path)
{
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    const auto stripSize = TIFFStripSize(tif);
    const auto strips = TIFFNumberOfStrips(tif);
    std::unique_ptr<std::uint8_t, FreeMemory> pixels(static_cast<std::uint8_t*>(std::calloc(kEdge, kEdge)));
    for (tstrip_t s = 0; s < strips; ++s)
        TIFFReadEncodedStrip(
            tif, s, pixels.get() + static_cast<std::size_t>(s) * static_cast<std::size_t>(stripSize), -1);
    benchmark::DoNotOptimize(pixels.get());
    TIFFClose(tif);
}

void libjpegDecode(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    std::unique_ptr<std::uint8_t, FreeMemory> pixels(static_cast<std::uint8_t*>(std::calloc(kEdge, kEdge)));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.get() + static_cast<std::size_t>(info.output_scanline) * kEdge;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    benchmark::DoNotOptimize(pixels.get());
}

void BM_LibraryDecodeAlone(benchmark::State& state)
{
    const std::string path = (folder().path() / kFiles[state.range(0)]).string();
    state.SetLabel(kFiles[state.range(0)]);
    for (auto _ : state) {
        if (state.range(0) == 2)
            libjpegDecode(path);
        else
            libtiffDecode(path);
    }
}
BENCHMARK(BM_LibraryDecodeAlone)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BlackMeasurementFromTheFile(benchmark::State& state)
{
    const std::string path = (folder().path() / kFiles[state.range(0)]).string();
    state.SetLabel(kFiles[state.range(0)]);
    const cli::Arguments arguments;
    for (auto _ : state)
        benchmark::DoNotOptimize(cli::measureFileJson("black", path, arguments));
}
BENCHMARK(BM_BlackMeasurementFromTheFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadThenMeasure(benchmark::State& state)
{
    const std::string path = (folder().path() / kFiles[state.range(0)]).string();
    state.SetLabel(kFiles[state.range(0)]);
    for (auto _ : state) {
        const Bitmap image = loadImageFile(path);
        const auto m =
            measureTwoValued(image.view(), {0, 0, image.width(), image.height()}, PixelClass::Black);
        benchmark::DoNotOptimize(m.fields);
    }
}
BENCHMARK(BM_LoadThenMeasure)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadAlone(benchmark::State& state)
{
    const std::string path = (folder().path() / kFiles[state.range(0)]).string();
    state.SetLabel(kFiles[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(loadImageFile(path).data());
}
BENCHMARK(BM_LoadAlone)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace dimora

BENCHMARK_MAIN();
