// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/image/pixel_layout.hpp"

#include "image_test_support.hpp"

#include <gtest/gtest.h>

#include <array>

namespace dimora {
namespace {

// The 16 colours of the classic VGA palette, white last.
const std::vector<Colour> kVga16 = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

TEST(PixelLayoutPalette, WhiteIntoSixteenColoursTakesTheNearestEntry)
{
    std::array<std::uint8_t, 8> row{};
    const auto vga = PixelLayout::indexed(4, kVga16);
    vga.write(row.data(), 3, kWhite);
    EXPECT_EQ(vga.readValue(row.data(), 3), 15u);
    EXPECT_EQ(vga.read(row.data(), 3), kWhite);

    // Without white the light grey (distance 3 × 63²) beats yellow, cyan and
    // magenta (255² each).
    std::vector<Colour> noWhite(kVga16.begin(), kVga16.end() - 1);
    const auto dim = PixelLayout::indexed(4, noWhite);
    dim.write(row.data(), 3, kWhite);
    EXPECT_EQ(dim.read(row.data(), 3), 0xC0C0C0u);
}

TEST(PixelLayoutPalette, MiddleGreyIntoOneBitPicksBySquaredDistance)
{
    std::array<std::uint8_t, 4> row{};
    const auto bw = PixelLayout::indexed(1, {kBlack, kWhite});
    // 0x80 is 128 from black and 127 from white.
    bw.write(row.data(), 0, 0x808080);
    EXPECT_EQ(bw.read(row.data(), 0), kWhite);
    bw.write(row.data(), 1, 0x7F7F7F);
    EXPECT_EQ(bw.read(row.data(), 1), kBlack);
    // Squared distance, not per-channel: one far channel outweighs two near ones.
    bw.write(row.data(), 2, makeColour(0, 0, 255));
    EXPECT_EQ(bw.read(row.data(), 2), kBlack);
    bw.write(row.data(), 3, makeColour(200, 200, 0));
    EXPECT_EQ(bw.read(row.data(), 3), kWhite);
}

TEST(PixelLayoutPalette, FirstEntryWinsATie)
{
    const Colour red16 = makeColour(16, 0, 0), blue16 = makeColour(0, 0, 16);
    EXPECT_EQ(PixelLayout::indexed(8, {red16, blue16}).nearestValue(kBlack), 0u);
    EXPECT_EQ(PixelLayout::indexed(8, {blue16, red16}).nearestValue(kBlack), 0u);
    EXPECT_EQ(PixelLayout::indexed(8, {kWhite, red16, red16}).nearestValue(red16), 1u);
}

TEST(PixelLayoutPalette, PixelsArePackedFromTheHighBitsAndIndicesPastThePaletteReadBlack)
{
    const auto four = PixelLayout::indexed(4, kVga16);
    std::array<std::uint8_t, 4> row{0xAB, 0xCD, 0, 0};
    EXPECT_EQ(four.readValue(row.data(), 0), 0xAu);
    EXPECT_EQ(four.readValue(row.data(), 3), 0xDu);
    four.writeValue(row.data(), 2, 0x1);
    EXPECT_EQ(row[1], 0x1D);
    four.writeValue(row.data(), 1, 0x7);
    EXPECT_EQ(row[0], 0xA7);

    const auto one = PixelLayout::indexed(1, {kWhite});
    std::array<std::uint8_t, 4> bits{0x40, 0, 0, 0};
    EXPECT_EQ(one.read(bits.data(), 0), kWhite);
    EXPECT_EQ(one.read(bits.data(), 1), kBlack);  // index 1, past a one-entry palette
    one.writeValue(bits.data(), 9, 1);
    EXPECT_EQ(bits[1], 0x40);
    EXPECT_EQ(bits[0], 0x40);
}

TEST(PixelLayoutMasked, FiveSixFiveKeepsTheTopBitsAndWidensByReplication)
{
    const auto rgb565 = PixelLayout::masked(16, kMasks565);
    std::array<std::uint8_t, 4> row{};
    rgb565.write(row.data(), 1, makeColour(0x87, 0x83, 0x0F));
    // Top bits: red 0x87 >> 3 = 16, green 0x83 >> 2 = 32, blue 0x0F >> 3 = 1.
    EXPECT_EQ(rgb565.readValue(row.data(), 1), (16u << 11) | (32u << 5) | 1u);
    EXPECT_EQ(row[2], 0x01);
    EXPECT_EQ(row[3], 0x84);
    // 10000 → 10000100, 100000 → 10000010, 00001 → 00001000.
    EXPECT_EQ(rgb565.read(row.data(), 1), makeColour(0x84, 0x82, 0x08));
    rgb565.write(row.data(), 0, kWhite);
    EXPECT_EQ(rgb565.readValue(row.data(), 0), 0xFFFFu);
    EXPECT_EQ(rgb565.read(row.data(), 0), kWhite);
}

TEST(PixelLayoutMasked, FiveFiveFiveLeavesTheSpareBitAndAlphaBitsAlone)
{
    const auto rgb555 = PixelLayout::masked(16, kMasks555);
    std::array<std::uint8_t, 4> row{0x00, 0x80, 0xFF, 0x7F};
    rgb555.write(row.data(), 0, makeColour(0xFF, 0, 0x08));
    EXPECT_EQ(rgb555.readValue(row.data(), 0), 0x8000u | 0x7C00u | 0x0001u);
    rgb555.write(row.data(), 1, kBlack);
    EXPECT_EQ(rgb555.readValue(row.data(), 1), 0u);  // the spare bit was already 0
    EXPECT_EQ(rgb555.read(row.data(), 0), makeColour(0xFF, 0, 0x08));

    const auto rgba = PixelLayout::masked(32, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000});
    std::array<std::uint8_t, 4> word{0x11, 0x22, 0x33, 0xAB};
    EXPECT_EQ(rgba.read(word.data(), 0), makeColour(0x33, 0x22, 0x11));
    rgba.write(word.data(), 0, makeColour(1, 2, 3));
    EXPECT_EQ(rgba.readValue(word.data(), 0), 0xAB010203u);
    EXPECT_EQ(rgba.read(word.data(), 0), makeColour(1, 2, 3));
}

TEST(PixelLayoutMasked, OddChannelWidthsWidenToEightBits)
{
    // 1, 2, 3 and 10 bits: replication below 8 bits, the top bits above.
    const auto narrow = PixelLayout::masked(16, {0x0001, 0x0006, 0x0038, 0});
    EXPECT_EQ(narrow.colourOfValue(0x0001 | 0x0004 | 0x0028), makeColour(0xFF, 0xAA, 0xB6));
    EXPECT_EQ(narrow.colourOfValue(0), kBlack);
    EXPECT_EQ(narrow.colourOfValue(0x003F), kWhite);
    const auto wide = PixelLayout::masked(32, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000});
    EXPECT_EQ(wide.colourOfValue(0x3FFu << 20 | 0x200u << 10 | 0x0FF), makeColour(0xFF, 0x80, 0x3F));
    // White fills a wide channel completely, so it reads back white.
    EXPECT_EQ(wide.nearestValue(kWhite), 0x3FFFFFFFu);
    EXPECT_EQ(wide.colourOfValue(wide.nearestValue(0x123456)), 0x123456u);
}

TEST(PixelLayoutRgb24, StoresBlueGreenRed)
{
    const auto rgb = PixelLayout::rgb24();
    std::array<std::uint8_t, 8> row{};
    rgb.write(row.data(), 1, makeColour(0x10, 0x20, 0x30));
    EXPECT_EQ(row[3], 0x30);
    EXPECT_EQ(row[4], 0x20);
    EXPECT_EQ(row[5], 0x10);
    EXPECT_EQ(row[0], 0);
    EXPECT_EQ(rgb.read(row.data(), 1), makeColour(0x10, 0x20, 0x30));
}

// In every layout a colour read back is one the layout holds exactly: writing
// it again changes nothing, and a write touches no other pixel.
TEST(PixelLayoutAll, WritesStoreHeldColoursAndTouchOnlyTheirPixel)
{
    for (const auto& [name, layout] : test::allLayouts()) {
        SCOPED_TRACE(name);
        std::vector<std::uint8_t> row(static_cast<std::size_t>(layout.strideFor(9)), 0x5A);
        for (int i = 0; i < 40; ++i) {
            const Colour c = test::patternColour(i, 3 * i);
            const std::vector<std::uint8_t> before = row;
            layout.write(row.data(), 4, c);
            const Colour held = layout.read(row.data(), 4);
            EXPECT_EQ(held & 0xFF000000u, 0u);
            for (int x = 0; x < 9; ++x) {
                if (x != 4) {
                    EXPECT_EQ(layout.readValue(row.data(), x), layout.readValue(before.data(), x));
                }
            }
            const std::uint32_t raw = layout.readValue(row.data(), 4);
            layout.write(row.data(), 4, held);
            EXPECT_EQ(layout.readValue(row.data(), 4), raw);
            if (layout.format() == PixelFormat::Rgb24 || layout.masks() == kMasks888) {
                EXPECT_EQ(held, c);
            }
        }
    }
}

TEST(PixelLayout, StridesArePaddedToFourBytes)
{
    EXPECT_EQ(PixelLayout::indexed(1, {}).strideFor(1), 4u);
    EXPECT_EQ(PixelLayout::indexed(1, {}).strideFor(33), 8u);
    EXPECT_EQ(PixelLayout::indexed(4, {}).strideFor(9), 8u);
    EXPECT_EQ(PixelLayout::rgb24().strideFor(5), 16u);
    EXPECT_EQ(PixelLayout::masked(16, kMasks555).strideFor(3), 8u);
    EXPECT_EQ(PixelLayout::rgb24().strideFor(INT32_MAX), (std::uint64_t{INT32_MAX} * 24 + 31) / 32 * 4);
    EXPECT_EQ(PixelLayout::rgb24().strideFor(0), 0u);
}

TEST(PixelLayout, ContiguousMasks)
{
    EXPECT_TRUE(PixelLayout::isContiguousMask(0));
    EXPECT_TRUE(PixelLayout::isContiguousMask(0x7C00));
    EXPECT_TRUE(PixelLayout::isContiguousMask(0xFFFFFFFF));
    EXPECT_TRUE(PixelLayout::isContiguousMask(0x80000000));
    EXPECT_FALSE(PixelLayout::isContiguousMask(0x0101));
    EXPECT_FALSE(PixelLayout::isContiguousMask(0xF0F0));
    EXPECT_FALSE(PixelLayout::isContiguousMask(0x80000001));
}

}  // namespace
}  // namespace dimora
