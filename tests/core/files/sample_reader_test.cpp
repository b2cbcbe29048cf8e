// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/sample_reader.hpp"

#include "core/common/error.hpp"
#include "core/files/image_file.hpp"
#include "png_test_files.hpp"
#include "sample_test_files.hpp"
#include "tiff_jpeg_test_files.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace dimora {
namespace {

using testing::GreyImage;
using testing::GreyTiffLayout;

// Values that use every byte of the type, its extremes included.
double patternValue(SampleType type, std::uint32_t x, std::uint32_t y)
{
    const std::uint64_t mix = (std::uint64_t{x} * 2654435761u + std::uint64_t{y} * 40503u + x * y) ^ (x << 9);
    switch (type) {
    case SampleType::UInt8:
        return x == 0 ? (y % 2 ? 255 : 0) : static_cast<double>(mix % 256);
    case SampleType::UInt16:
        return x == 0 ? (y % 2 ? 65535 : 0) : static_cast<double>(mix % 65536);
    case SampleType::UInt32:
        return x == 0 ? (y % 2 ? 4294967295.0 : 0) : static_cast<double>(mix % 4294967296u);
    case SampleType::Float32:
        // Small masses and negative values, exactly representable.
        return std::ldexp(static_cast<double>(mix % 2001) - 1000.0, -12);
    }
    return 0;
}

struct SampleCase {
    std::string name;
    bool png = false;
    SampleType type = SampleType::UInt8;
    GreyTiffLayout layout;
};

std::vector<SampleCase> sampleCases()
{
    std::vector<SampleCase> all = {
        {"Png8", true, SampleType::UInt8, {}},
        {"Png16", true, SampleType::UInt16, {}},
        {"Tiff8", false, SampleType::UInt8, {}},
        {"Tiff16", false, SampleType::UInt16, {}},
        {"Tiff16BigEndianTiledLzw", false, SampleType::UInt16, {true, true, COMPRESSION_LZW, 3, false}},
        {"Tiff16MinIsWhite", false, SampleType::UInt16, {false, false, COMPRESSION_NONE, 4, true}},
        {"Tiff8MinIsWhiteTiled", false, SampleType::UInt8, {true, false, COMPRESSION_NONE, 3, true}},
        {"Tiff32", false, SampleType::UInt32, {false, false, COMPRESSION_ADOBE_DEFLATE, 5, false}},
        {"Tiff32BigEndianTiled", false, SampleType::UInt32, {true, true, COMPRESSION_NONE, 3, false}},
        {"Tiff32MinIsWhite", false, SampleType::UInt32, {false, false, COMPRESSION_NONE, 3, true}},
        {"TiffFloat", false, SampleType::Float32, {false, false, COMPRESSION_NONE, 3, false}},
        {"TiffFloatBigEndianTiled", false, SampleType::Float32, {true, true, COMPRESSION_NONE, 3, false}},
    };
    return all;
}

class SampleFormats : public ::testing::TestWithParam<SampleCase> {};

TEST_P(SampleFormats, EverySampleReadsAtTheFilesDepth)
{
    const SampleCase& c = GetParam();
    const testing::ScratchFolder folder;
    const std::string path = folder.file(c.png ? "x.png" : "x.tif");
    const GreyImage image{37, 21, c.type, [&](auto x, auto y) { return patternValue(c.type, x, y); }};
    if (c.png)
        testing::writeGreyPng(path, image);
    else
        testing::writeGreyTiff(path, image, c.layout);

    const SamplePlane plane = loadSamplePlane(path);
    ASSERT_EQ(plane.width(), 37);
    ASSERT_EQ(plane.height(), 21);
    ASSERT_EQ(plane.type(), c.type);
    // min-is-white is inverted at the sample's depth, floats excepted.
    const double top = c.type == SampleType::UInt8    ? 255
                       : c.type == SampleType::UInt16 ? 65535
                                                      : 4294967295.0;
    const bool inverted = c.layout.minIsWhite && c.type != SampleType::Float32;
    for (std::uint32_t y = 0; y < 21; ++y)
        for (std::uint32_t x = 0; x < 37; ++x) {
            const double stored = patternValue(c.type, x, y);
            ASSERT_EQ(plane.value(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)),
                      inverted ? top - stored : stored)
                << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(SampleReader, SampleFormats, ::testing::ValuesIn(sampleCases()),
                         [](const auto& info) { return info.param.name; });

// Bilevel and sub-byte grey files read 0 exactly where the bitmap reads black
// and 255 where it reads white, whatever the photometric.
TEST(SampleReader, SubByteGreyReadsAsTheBitmapDoes)
{
    const testing::ScratchFolder folder;
    const auto bit = [](std::uint32_t x, std::uint32_t y) { return (x * 3 + y * 5) % 7 < 3 ? 1u : 0u; };
    std::vector<std::string> paths;
    for (const int depth : {1, 2, 4}) {
        testing::PngImage png = testing::blankImage(19, 9, depth, PNG_COLOR_TYPE_GRAY);
        for (std::uint32_t y = 0; y < 9; ++y)
            for (std::uint32_t x = 0; x < 19; ++x)
                testing::putSample(png.rows[y], depth, 1, x, 0,
                                   bit(x, y) * ((1u << depth) - 1) * (x % 2 ? 1 : 0));
        paths.push_back(folder.file(std::to_string(depth) + "p.png"));
        testing::writeFile(paths.back(), testing::encodePng(png));
    }
    for (const std::uint16_t photometric : {PHOTOMETRIC_MINISBLACK, PHOTOMETRIC_MINISWHITE})
        for (const std::uint16_t bits : {1, 2, 4}) {
            testing::TiffPage page;
            page.width = 19;
            page.height = 9;
            page.bits = bits;
            page.photometric = photometric;
            page.sample = [&](auto x, auto y, auto) {
                return bit(x, y) * ((1u << bits) - 1) - (x % 3 == 1 ? bit(x, y) : 0);
            };
            paths.push_back(folder.file(std::to_string(photometric * 100 + bits) + ".tif"));
            testing::writeFile(paths.back(), testing::encodeTiff({false, false, {page}}));
        }
    for (const std::string& path : paths) {
        const SamplePlane plane = loadSamplePlane(path);
        const Bitmap bitmap = loadImageFile(path);
        ASSERT_EQ(plane.type(), SampleType::UInt8) << path;
        for (std::int32_t y = 0; y < 9; ++y)
            for (std::int32_t x = 0; x < 19; ++x) {
                const Colour colour = bitmap.pixel(x, y);
                ASSERT_EQ(plane.value(x, y), colour & 0xFF) << path << " " << x << "," << y;
                ASSERT_EQ(colour, (colour & 0xFF) * 0x010101u) << path;
            }
    }
}

// What the reader gives for a file: "ok", the text of NotGreyImageError as
// "not grey: ...", or another error's text.
std::string outcomeOf(const std::string& path, std::int32_t page = 1)
{
    try {
        (void)loadSamplePlane(path, page);
        return "ok";
    } catch (const NotGreyImageError& e) {
        return std::string("not grey: ") + e.what();
    } catch (const Error& e) {
        return e.what();
    }
}

TEST(SampleReader, RefusesColourAndWhatItCannotRead)
{
    const testing::ScratchFolder folder;
    const auto write = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = folder.file(name);
        testing::writeFile(path, bytes);
        return path;
    };
    const auto tiff = [&](std::uint16_t bits, std::uint16_t samples, std::uint16_t photometric,
                          std::uint16_t format) {
        testing::TiffPage page;
        page.bits = bits;
        page.samples = samples;
        page.photometric = photometric;
        page.sampleFormat = format;
        page.sample = [](auto x, auto y, auto) { return x + y; };
        return testing::encodeTiff({false, false, {page}});
    };
    const auto notGrey = [](const std::string& path) {
        return "not grey: 画像ファイル " + path + " はグレーの PNG か TIFF ではありません";
    };
    const auto cannotRead = [](const std::string& path) {
        return "画像ファイル " + path + " を読み込めません";
    };

    for (const int type : {PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB_ALPHA}) {
        const std::string path =
            write(std::to_string(type) + "c.png", testing::encodePng(testing::blankImage(4, 3, 16, type)));
        EXPECT_EQ(outcomeOf(path), notGrey(path));
    }
    auto palette = testing::blankImage(4, 3, 8, PNG_COLOR_TYPE_PALETTE);
    palette.palette = {{0, 0, 0}, {255, 255, 255}};
    const std::string palettePng = write("p.png", testing::encodePng(palette));
    EXPECT_EQ(outcomeOf(palettePng), notGrey(palettePng));
    const std::string rgbTiff = write("rgb.tif", tiff(16, 3, PHOTOMETRIC_RGB, SAMPLEFORMAT_UINT));
    EXPECT_EQ(outcomeOf(rgbTiff), notGrey(rgbTiff));
    const std::string jpeg =
        write("g.jpg", testing::encodeJpeg(8, 8, 1, false, [](auto x, auto, auto) { return x; }));
    EXPECT_EQ(outcomeOf(jpeg), notGrey(jpeg));

    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::vector<std::uint8_t>>>{
             {"signed.tif", tiff(16, 1, PHOTOMETRIC_MINISBLACK, SAMPLEFORMAT_INT)},
             {"float16.tif", tiff(16, 1, PHOTOMETRIC_MINISBLACK, SAMPLEFORMAT_IEEEFP)},
             {"uint12.tif", tiff(12, 1, PHOTOMETRIC_MINISBLACK, SAMPLEFORMAT_UINT)}}) {
        const std::string path = write(name, bytes);
        EXPECT_EQ(outcomeOf(path), cannotRead(path));
    }
    const std::string grey = write("g.tif", tiff(16, 1, PHOTOMETRIC_MINISBLACK, SAMPLEFORMAT_UINT));
    EXPECT_EQ(outcomeOf(grey), "ok");
    EXPECT_EQ(outcomeOf(grey, 2), cannotRead(grey));
    const std::string missing = folder.file("missing.png");
    EXPECT_EQ(outcomeOf(missing), "ファイル " + missing + " は開けません");
}

// Every cut and many damaged bytes of a 16-bit file end in the reader's
// error or an image, never a crash.
TEST(SampleReader, DamagedFilesNeverCrash)
{
    const testing::ScratchFolder folder;
    const GreyImage image{23, 17, SampleType::UInt16, [](auto x, auto y) { return x * 2000 + y; }};
    for (const bool png : {true, false}) {
        const auto bytes = png ? testing::encodeGreyPng(image) : testing::encodeGreyTiff(image);
        const std::string path = folder.file(png ? "d.png" : "d.tif");
        const std::string refused = "画像ファイル " + path + " を読み込めません";
        for (std::size_t length = 8; length < bytes.size(); length += 5) {
            testing::writeFile(path, std::span(bytes.data(), length));
            const std::string outcome = outcomeOf(path);
            EXPECT_TRUE(outcome == refused || outcome == "ok") << length << ": " << outcome;
        }
        std::srand(11);
        for (int trial = 0; trial < 200; ++trial) {
            auto damaged = bytes;
            damaged[8 + static_cast<std::size_t>(std::rand()) % (damaged.size() - 8)] ^=
                static_cast<std::uint8_t>(1 + std::rand() % 255);
            testing::writeFile(path, damaged);
            const std::string outcome = outcomeOf(path);
            EXPECT_TRUE(outcome == refused || outcome == "ok" || outcome.rfind("not grey", 0) == 0)
                << trial << ": " << outcome;
        }
    }
}

}  // namespace
}  // namespace dimora
