// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/common/error.hpp"
#include "core/files/bmp_writer.hpp"
#include "core/files/image_file.hpp"
#include "core/files/image_stream.hpp"
#include "core/files/png_test_files.hpp"
#include "core/files/tiff_jpeg_test_files.hpp"
#include "core/measure/streaming_counts.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <variant>

namespace dimora {
namespace {

// A level 0 .. 255 for pixel (x, y): a fifth of the pixels 0, the others
// spread, with runs so that boxes of every side differ.
unsigned levelAt(std::uint32_t x, std::uint32_t y)
{
    std::uint32_t h = (x / 3 + 1) * 0x9E3779B1u ^ (y / 2 + 7) * 0x85EBCA77u ^ (x * y) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h % 5 == 0 ? 0 : (h >> 8) % 256;
}

struct Format {
    std::string name;
    // Writes a file of the size whose pixels follow levelAt.
    std::function<void(const std::string& path, std::uint32_t width, std::uint32_t height)> write;
};

void writeBmp(const std::string& path, std::uint32_t width, std::uint32_t height, const PixelLayout& layout,
              RowOrder order)
{
    Bitmap bitmap(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), layout, order);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned v = levelAt(x, y);
            // Red and the other channels apart, so that the red test and
            // the all-black test of the length differ.
            bitmap.setPixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
                            makeColour(v, (x % 7 == 0) ? 0 : v / 2, v % 3 == 0 ? 0 : 255 - v));
        }
    saveBmpFile(bitmap, path);
}

Format bmpFormat(const std::string& name, PixelLayout layout, RowOrder order)
{
    return {name, [=](const std::string& path, std::uint32_t w, std::uint32_t h) {
                writeBmp(path, w, h, layout, order);
            }};
}

std::vector<Colour> sixteenColours()
{
    std::vector<Colour> palette;
    for (unsigned i = 0; i < 16; ++i)
        palette.push_back(makeColour(i % 4 == 0 ? 0 : i * 16, i * 8, i % 3 == 0 ? 0 : 200));
    return palette;
}

// 256 entries whose red bytes are not their indices: gray levels come from
// the palette, not from the index.
std::vector<Colour> shuffledReds()
{
    std::vector<Colour> palette;
    for (unsigned i = 0; i < 256; ++i)
        palette.push_back(makeColour((i * 37 + 11) % 256, i, 0));
    return palette;
}

Format pngFormat(const std::string& name, int colourType, bool interlaced)
{
    return {name, [=](const std::string& path, std::uint32_t w, std::uint32_t h) {
                testing::PngImage image = testing::blankImage(w, h, 8, colourType);
                image.interlaced = interlaced;
                const int channels = testing::channelsOf(colourType);
                for (std::uint32_t y = 0; y < h; ++y)
                    for (std::uint32_t x = 0; x < w; ++x)
                        for (int c = 0; c < channels; ++c)
                            testing::putSample(image.rows[y], 8, channels, x, c,
                                               c == 0 ? levelAt(x, y) : levelAt(x + 5u * c, y));
                testing::writeFile(path, testing::encodePng(image));
            }};
}

Format tiffFormat(const std::string& name, std::uint16_t bits, std::uint16_t samples,
                  std::uint16_t photometric, bool tiled, std::uint16_t compression,
                  std::uint16_t planar = PLANARCONFIG_CONTIG)
{
    return {name, [=](const std::string& path, std::uint32_t w, std::uint32_t h) {
                testing::TiffPage page;
                page.width = w;
                page.height = h;
                page.bits = bits;
                page.samples = samples;
                page.photometric = photometric;
                page.tiled = tiled;
                page.compression = compression;
                page.planar = planar;
                page.rowsPerStrip = 5;
                const unsigned top = (1u << bits) - 1;
                page.sample = [=](std::uint32_t x, std::uint32_t y, unsigned s) {
                    return levelAt(x + 3 * s, y) * top / 255;
                };
                testing::writeFile(path, testing::encodeTiff({false, false, {page}}));
            }};
}

Format jpegFormat(const std::string& name, int components, bool progressive)
{
    return {name, [=](const std::string& path, std::uint32_t w, std::uint32_t h) {
                testing::writeFile(path,
                                   testing::encodeJpeg(w, h, components, progressive,
                                                       [](std::uint32_t x, std::uint32_t y, unsigned s) {
                                                           return levelAt(x + 2 * s, y);
                                                       }));
            }};
}

const Format kFormats[] = {
    bmpFormat("bmp1BottomUp", PixelLayout::indexed(1, {makeColour(0, 0, 0), makeColour(255, 255, 255)}),
              RowOrder::BottomUp),
    bmpFormat("bmp1TopDown", PixelLayout::indexed(1, {makeColour(255, 0, 0), makeColour(0, 9, 0)}),
              RowOrder::TopDown),
    bmpFormat("bmp4BottomUp", PixelLayout::indexed(4, sixteenColours()), RowOrder::BottomUp),
    bmpFormat("bmp8TopDown", PixelLayout::grey8(), RowOrder::TopDown),
    bmpFormat("bmp8Palette", PixelLayout::indexed(8, shuffledReds()), RowOrder::BottomUp),
    bmpFormat("bmp24BottomUp", PixelLayout::rgb24(), RowOrder::BottomUp),
    bmpFormat("bmp24TopDown", PixelLayout::rgb24(), RowOrder::TopDown),
    bmpFormat("bmp16BottomUp", PixelLayout::masked(16, kMasks565), RowOrder::BottomUp),
    pngFormat("pngGray", PNG_COLOR_TYPE_GRAY, false),
    pngFormat("pngRgb", PNG_COLOR_TYPE_RGB, false),
    pngFormat("pngGrayAlpha", PNG_COLOR_TYPE_GRAY_ALPHA, false),
    pngFormat("pngRgbInterlaced", PNG_COLOR_TYPE_RGB, true),
    tiffFormat("tiffBilevelStrips", 1, 1, PHOTOMETRIC_MINISWHITE, false, COMPRESSION_DEFLATE),
    tiffFormat("tiffBilevelTiles", 1, 1, PHOTOMETRIC_MINISBLACK, true, COMPRESSION_NONE),
    tiffFormat("tiffGrayStrips", 8, 1, PHOTOMETRIC_MINISBLACK, false, COMPRESSION_NONE),
    tiffFormat("tiffGray4Tiles", 4, 1, PHOTOMETRIC_MINISWHITE, true, COMPRESSION_LZW),
    tiffFormat("tiffRgbStrips", 8, 3, PHOTOMETRIC_RGB, false, COMPRESSION_DEFLATE),
    tiffFormat("tiffRgbTiles", 8, 3, PHOTOMETRIC_RGB, true, COMPRESSION_NONE),
    tiffFormat("tiffRgbPlanes", 16, 3, PHOTOMETRIC_RGB, false, COMPRESSION_NONE, PLANARCONFIG_SEPARATE),
    jpegFormat("jpegGray", 1, false),
    jpegFormat("jpegColour", 3, false),
    jpegFormat("jpegProgressive", 3, true),
};

struct Size {
    std::uint32_t width;
    std::uint32_t height;
};

// Sizes with odd edges, a single pixel, wider than tall and taller than wide,
// and more rows than one band of a reader.
const Size kSizes[] = {{1, 1}, {2, 3}, {37, 23}, {150, 9}, {11, 133}, {70, 70}};

// The regions measured on a W × H image: none (each measurement's default),
// the image, inside it, reaching past each edge, missing it, and empty.
std::vector<std::optional<Region>> regionsFor(std::int32_t w, std::int32_t h)
{
    return {std::nullopt,
            Region{0, 0, w, h},
            Region{w / 3, h / 4, w / 2 + 1, h / 2 + 1},
            Region{-3, -2, w + 7, h + 5},
            Region{w - 2, h - 3, 40, 30},
            Region{-9, h / 2, 20, h},
            Region{-50, -50, 20, 20},
            Region{1, 1, 0, 5}};
}

// What a measurement gave: its numbers, or its error's text.
template <typename T> std::variant<T, std::string> outcome(const std::function<T()>& measure)
{
    try {
        return measure();
    } catch (const Error& e) {
        return std::string(e.what());
    }
}

void PrintTo(const Format& format, std::ostream* out)
{
    *out << format.name;
}

void PrintTo(const Size& size, std::ostream* out)
{
    *out << size.width << " x " << size.height;
}

using Case = std::tuple<Format, Size>;

class StreamingMeasurement : public ::testing::TestWithParam<Case> {};

TEST_P(StreamingMeasurement, GivesTheWholeImageNumbers)
{
    const auto& [format, size] = GetParam();
    const testing::ScratchFolder folder;
    const std::string path = folder.file("image");
    format.write(path, size.width, size.height);
    const Bitmap whole = loadImageFile(path);
    const ImageView view = whole.view();
    ASSERT_EQ(view.width, static_cast<std::int32_t>(size.width));

    for (const std::optional<Region>& region : regionsFor(view.width, view.height)) {
        const Region boxRegion = region.value_or(Region{0, 0, view.width, view.height});
        const std::string where = region ? std::to_string(region->left) + "," + std::to_string(region->top) +
                                               "," + std::to_string(region->width) + "," +
                                               std::to_string(region->height)
                                         : "none";
        for (const PixelClass pixelClass : {PixelClass::Black, PixelClass::NonBlack}) {
            BoxCountSink sink(region, pixelClass);
            streamImageFile(path, 1, sink);
            const auto streamed = outcome<BoxCounts>([&] { return sink.result(); });
            const auto expected = outcome<BoxCounts>([&] { return countBoxes(view, boxRegion, pixelClass); });
            ASSERT_EQ(streamed.index(), expected.index()) << where;
            if (const auto* counts = std::get_if<BoxCounts>(&streamed)) {
                const auto& want = std::get<BoxCounts>(expected);
                EXPECT_EQ(counts->sides, want.sides) << where;
                EXPECT_EQ(counts->counts, want.counts)
                    << where << (pixelClass == PixelClass::Black ? " black" : " nonblack");
                EXPECT_EQ(counts->coverage, want.coverage) << where;
            } else {
                EXPECT_EQ(std::get<std::string>(streamed), std::get<std::string>(expected)) << where;
            }
        }

        GrayCountSink gray(region);
        streamImageFile(path, 1, gray);
        const GrayCounts grayCounts = gray.result();
        const GrayCounts grayWant = countGrayBoxes(view, boxRegion);
        EXPECT_EQ(grayCounts.sides, grayWant.sides) << where;
        EXPECT_EQ(grayCounts.counts, grayWant.counts) << where << " gray";
        EXPECT_EQ(grayCounts.brightnessDifference, grayWant.brightnessDifference) << where;

        for (const LacunaritySettings& settings :
             {LacunaritySettings{LacunarityMethod::Grid, EmptyBoxes::Include, {}},
              LacunaritySettings{LacunarityMethod::Grid, EmptyBoxes::Exclude, {3, 1, 5}}}) {
            LacunarityGridSink grid(region, settings);
            streamImageFile(path, 1, grid);
            const auto got = outcome<LacunarityResult>([&] { return grid.result(); });
            const auto want =
                outcome<LacunarityResult>([&] { return measureLacunarity(view, boxRegion, settings); });
            ASSERT_EQ(got.index(), want.index()) << where << " lacunarity";
            if (const auto* result = std::get_if<LacunarityResult>(&got)) {
                const auto& expected = std::get<LacunarityResult>(want);
                ASSERT_EQ(result->sides.size(), expected.sides.size()) << where;
                for (std::size_t k = 0; k < result->sides.size(); ++k) {
                    EXPECT_EQ(result->sides[k].lacunarity, expected.sides[k].lacunarity)
                        << where << " lacunarity";
                    EXPECT_EQ(result->sides[k].boxes, expected.sides[k].boxes) << where << " boxes";
                }
                EXPECT_EQ(result->occupied, expected.occupied) << where;
                EXPECT_EQ(result->slope, expected.slope) << where;
            } else {
                EXPECT_EQ(std::get<std::string>(got), std::get<std::string>(want)) << where;
            }
        }

        LengthSink length(region);
        streamImageFile(path, 1, length);
        const std::optional<TotalLength> lengthGot = length.result();
        const std::optional<TotalLength> lengthWant = measureTotalLength(view, region);
        EXPECT_EQ(length.scan(), lengthScanRectangle(view.width, view.height, region)) << where;
        ASSERT_EQ(lengthGot.has_value(), lengthWant.has_value()) << where;
        if (lengthGot) {
            EXPECT_EQ(lengthGot->sum, lengthWant->sum) << where << " length";
            EXPECT_EQ(lengthGot->field, lengthWant->field) << where;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FormatsAndSizes, StreamingMeasurement,
                         ::testing::Combine(::testing::ValuesIn(kFormats), ::testing::ValuesIn(kSizes)),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             const Size size = std::get<1>(info.param);
                             return std::get<0>(info.param).name + "_" + std::to_string(size.width) + "x" +
                                    std::to_string(size.height);
                         });

// A BMP of direct colours is read a band of rows at a time: rows enough for
// several bands, the last one short, in both row orders.
TEST(StreamingMeasurement, ReadsBmpRowsBandByBand)
{
    const testing::ScratchFolder folder;
    for (const RowOrder order : {RowOrder::BottomUp, RowOrder::TopDown}) {
        const std::string path = folder.file(order == RowOrder::BottomUp ? "up.bmp" : "down.bmp");
        bmpFormat("b", PixelLayout::rgb24(), order).write(path, 1000, 300);
        const Bitmap whole = loadImageFile(path);
        const Region region{0, 0, 1000, 300};
        BoxCountSink black(std::nullopt, PixelClass::Black);
        streamImageFile(path, 1, black);
        EXPECT_EQ(black.result().counts, countBoxes(whole.view(), region, PixelClass::Black).counts);
        LengthSink length(std::nullopt);
        streamImageFile(path, 1, length);
        EXPECT_EQ(length.result()->sum, measureTotalLength(whole.view(), std::nullopt)->sum);
    }
}

// Bilevel tiles wide enough, and bands of whole row pairs, are counted as
// they come, a pair of rows at a time: the vector steps and the rest of a
// tile, a last column of tiles cut by the image's edge and a last band of an
// odd number of rows, strips of an odd number of rows (row by row), both
// photometric senses; a region other than the image goes row by row.
TEST(StreamingMeasurement, CountsWideBilevelTilesAndBandsAsTheyCome)
{
    const testing::ScratchFolder folder;
    const std::string path = folder.file("tiles.tif");
    struct Layout {
        bool tiled;
        std::uint32_t width, height;  // of a tile, or (0, rows) of a strip
    };
    for (const Layout layout : {Layout{true, 512, 16}, Layout{true, 640, 32}, Layout{true, 128, 16},
                                Layout{false, 0, 16}, Layout{false, 0, 7}}) {
        for (const std::uint16_t photometric : {PHOTOMETRIC_MINISBLACK, PHOTOMETRIC_MINISWHITE}) {
            testing::TiffPage page;
            page.width = 1100;
            page.height = 75;
            page.bits = 1;
            page.photometric = photometric;
            page.tiled = layout.tiled;
            page.tileWidth = layout.width;
            page.tileHeight = layout.height;
            page.rowsPerStrip = layout.height;
            page.compression = COMPRESSION_DEFLATE;
            // About one pixel in a hundred set: boxes up to side 16 tell
            // where each pixel is.
            page.sample = [](std::uint32_t x, std::uint32_t y, unsigned) {
                return levelAt(x, y) == 0 && (x * 7 + y * 3) % 23 == 0 ? 1u : 0u;
            };
            testing::writeFile(path, testing::encodeTiff({false, false, {page}}));
            const Bitmap whole = loadImageFile(path);
            for (const std::optional<Region>& region :
                 {std::optional<Region>{}, std::optional<Region>{Region{0, 0, 1100, 75}},
                  std::optional<Region>{Region{8, 2, 700, 60}}}) {
                for (const PixelClass pixelClass : {PixelClass::Black, PixelClass::NonBlack}) {
                    BoxCountSink sink(region, pixelClass);
                    streamImageFile(path, 1, sink);
                    const BoxCounts want =
                        countBoxes(whole.view(), region.value_or(Region{0, 0, 1100, 75}), pixelClass);
                    EXPECT_EQ(sink.result().counts, want.counts)
                        << layout.width << " x " << layout.height << ", photometric " << photometric;
                }
            }
        }
    }
}

// A file that cannot be read gives the reader's own error, as loading it
// does, and a damaged file's rows never make a result.
TEST(StreamingMeasurement, FailsAsLoadingFails)
{
    const testing::ScratchFolder folder;
    const auto errorOf = [](const std::function<void()>& run) -> std::string {
        try {
            run();
        } catch (const Error& e) {
            return e.what();
        }
        return "no error";
    };
    kFormats[0].write(folder.file("good.bmp"), 40, 30);
    const std::vector<std::uint8_t> good = testing::readFile(folder.file("good.bmp"));
    tiffFormat("t", 8, 1, PHOTOMETRIC_MINISBLACK, false, COMPRESSION_DEFLATE)
        .write(folder.file("t.tif"), 40, 30);
    pngFormat("p", PNG_COLOR_TYPE_RGB, false).write(folder.file("p.png"), 40, 30);
    jpegFormat("j", 3, false).write(folder.file("j.jpg"), 40, 30);
    bmpFormat("b", PixelLayout::rgb24(), RowOrder::BottomUp).write(folder.file("rgb.bmp"), 40, 30);
    std::vector<std::string> paths = {folder.file("missing.png"), folder.file("missing.bmp")};
    for (const std::string name : {"good.bmp", "rgb.bmp", "t.tif", "p.png", "j.jpg"}) {
        // Cut short, and with its header alone.
        std::vector<std::uint8_t> bytes = testing::readFile(folder.file(name));
        for (const std::size_t keep : {bytes.size() * 2 / 3, std::size_t{40}}) {
            const std::string cut = folder.file("cut" + std::to_string(keep) + name);
            testing::writeFile(cut, std::span(bytes).first(keep));
            paths.push_back(cut);
        }
    }
    for (const std::string& path : paths) {
        const std::string loading = errorOf([&] { (void)loadImageFile(path); });
        BoxCountSink sink(std::nullopt, PixelClass::Black);
        const std::string streaming = errorOf([&] { streamImageFile(path, 1, sink); });
        EXPECT_EQ(streaming, loading) << path;
    }
    BoxCountSink sink(std::nullopt, PixelClass::Black);
    EXPECT_EQ(errorOf([&] { streamImageFile(folder.file("t.tif"), 2, sink); }),
              errorOf([&] { (void)loadImageFile(folder.file("t.tif"), 2); }));
}

// Sets the memory budget for one scope.
class BudgetOf {
public:
    explicit BudgetOf(std::uint64_t bytes) : saved_(Bitmap::memoryBudget())
    {
        Bitmap::setMemoryBudget(bytes);
    }
    ~BudgetOf() { Bitmap::setMemoryBudget(saved_); }
    BudgetOf(const BudgetOf&) = delete;
    BudgetOf& operator=(const BudgetOf&) = delete;

private:
    std::uint64_t saved_;
};

// An image whose pixels exceed the budget cannot be loaded, is known to be
// too large rather than damaged, and is still measured, to the numbers of the
// image loaded under a budget that holds it. A damaged file of a size the
// budget holds is not too large.
TEST(StreamingMeasurement, MeasuresImagesBeyondTheMemoryBudget)
{
    const testing::ScratchFolder folder;
    for (const Format& format : kFormats) {
        if (format.name == "pngRgbInterlaced")
            continue;  // decoded whole: never streamed
        const std::string path = folder.file(format.name);
        format.write(path, 1000, 400);
        const Bitmap image = loadImageFile(path);
        const BoxCounts expected = countBoxes(image.view(), {0, 0, 1000, 400}, PixelClass::Black);
        std::vector<std::uint8_t> bytes = testing::readFile(path);
        const std::string cut = folder.file("cut-" + format.name);
        testing::writeFile(cut, std::span(bytes).first(bytes.size() / 2));
        EXPECT_FALSE(exceedsMemoryBudget(path, 1)) << format.name;
        EXPECT_FALSE(exceedsMemoryBudget(cut, 1)) << format.name;

        // One byte short of the whole image; a band of rows still fits.
        const BudgetOf budget(image.byteCount() - 1);
        EXPECT_THROW((void)loadImageFile(path), Error) << format.name;
        EXPECT_TRUE(exceedsMemoryBudget(path, 1)) << format.name;
        BoxCountSink sink(std::nullopt, PixelClass::Black);
        streamImageFile(path, 1, sink);
        EXPECT_EQ(sink.result().counts, expected.counts) << format.name;
    }
    EXPECT_FALSE(exceedsMemoryBudget(folder.file("missing.png"), 1));
}

// A bilevel file far larger than the rows the counters keep is measured with
// the memory of a few strips: its pixels are never held whole.
TEST(StreamingMeasurement, KeepsOnlyABandOfALargeImage)
{
    constexpr std::uint32_t kWidth = 32768, kHeight = 8192, kRowsPerStrip = 16;
    testing::TiffPage page;
    page.width = kWidth;
    page.height = kHeight;
    page.bits = 1;
    page.photometric = PHOTOMETRIC_MINISBLACK;
    page.rowsPerStrip = kRowsPerStrip;
    // Every strip stores the same rows: black where a byte is 0.
    page.raw.resize(kWidth / 8 * kRowsPerStrip);
    std::int64_t blackPerStrip = 0;
    for (std::size_t i = 0; i < page.raw.size(); ++i) {
        page.raw[i] = (i * 7919 % 13 == 0) ? 0x00 : static_cast<std::uint8_t>(0xF0 | (i % 15));
        blackPerStrip += 8 - __builtin_popcount(page.raw[i]);
    }
    const testing::ScratchFolder folder;
    const std::string path = folder.file("large.tif");
    testing::writeFile(path, testing::encodeTiff({false, false, {page}}));
    page.raw.clear();
    page.raw.shrink_to_fit();

    if (!(std::ofstream("/proc/self/clear_refs") << "5"))
        GTEST_SKIP() << "no /proc/self/clear_refs";
    const std::uint64_t before = testing::memoryStatus("VmRSS");
    BoxCountSink sink(std::nullopt, PixelClass::Black);
    streamImageFile(path, 1, sink);
    const std::uint64_t peak = testing::memoryStatus("VmHWM");
    // The whole image would take 32 MiB.
    EXPECT_LT(peak, before + (std::uint64_t{6} << 20));
    const BoxCounts counts = sink.result();
    ASSERT_FALSE(counts.counts.empty());
    EXPECT_EQ(counts.counts[0], blackPerStrip * (kHeight / kRowsPerStrip));
}

}  // namespace
}  // namespace dimora
