// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/png_writer.hpp"

#include "core/common/error.hpp"
#include "core/files/png_reader.hpp"
#include "core/files/png_test_files.hpp"

#include <gtest/gtest.h>

namespace dimora {
namespace {

Bitmap pattern(PixelLayout layout, std::int32_t width, std::int32_t height)
{
    Bitmap bitmap(width, height, std::move(layout));
    const std::vector<Colour> colours = {kBlack, kWhite, makeColour(200, 10, 30), makeColour(5, 150, 250)};
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            bitmap.setPixel(x, y, colours[static_cast<std::size_t>(x * 3 + y) % colours.size()]);
    return bitmap;
}

// Every layout reads back through the PNG reader with the colours its pixels
// read as, over thin and odd sizes.
class PngWriterLayouts : public ::testing::TestWithParam<PixelLayout> {};

TEST_P(PngWriterLayouts, ReadBackAsTheSameColours)
{
    for (const auto& [width, height] : {std::pair{1, 1}, {7, 3}, {13, 1}, {1, 9}}) {
        const Bitmap bitmap = pattern(GetParam(), width, height);
        const Bitmap back = decodePng(encodePng(bitmap));
        ASSERT_EQ(back.width(), width);
        ASSERT_EQ(back.height(), height);
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x)
                ASSERT_EQ(back.pixel(x, y), bitmap.pixel(x, y))
                    << width << "×" << height << " at " << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(PngWriter, PngWriterLayouts,
                         ::testing::Values(PixelLayout::indexed(1, {kBlack, kWhite}),
                                           PixelLayout::indexed(4, {kBlack, kWhite, makeColour(200, 10, 30)}),
                                           PixelLayout::indexed(8, {kWhite, kBlack, makeColour(5, 150, 250),
                                                                    makeColour(200, 10, 30)}),
                                           PixelLayout::rgb24(), PixelLayout::masked(16, kMasks565),
                                           PixelLayout::masked(32, kMasks888)));

TEST(PngWriter, IndexedLayoutsKeepTheirDepthAsAPalettePng)
{
    const auto bytes = encodePng(pattern(PixelLayout::indexed(4, {kBlack, kWhite}), 5, 5));
    // IHDR: bit depth at byte 24, colour type at byte 25.
    EXPECT_EQ(bytes[24], 4);
    EXPECT_EQ(bytes[25], PNG_COLOR_TYPE_PALETTE);
    const auto rgb = encodePng(pattern(PixelLayout::masked(16, kMasks555), 5, 5));
    EXPECT_EQ(rgb[24], 8);
    EXPECT_EQ(rgb[25], PNG_COLOR_TYPE_RGB);
}

TEST(PngWriter, SavesThroughATemporaryFileAndNamesAFailure)
{
    testing::ScratchFolder folder;
    const std::string path = folder.file("out.png");
    savePngFile(pattern(PixelLayout::rgb24(), 3, 2), path);
    EXPECT_EQ(decodePng(testing::readFile(path)).pixel(1, 0), makeColour(5, 150, 250));
    const std::string missing = folder.file("none/out.png");
    try {
        savePngFile(pattern(PixelLayout::rgb24(), 3, 2), missing);
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "ファイル " + missing + " を作成できません");
    }
}

}  // namespace
}  // namespace dimora
