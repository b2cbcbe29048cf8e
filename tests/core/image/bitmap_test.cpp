// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/image/bitmap.hpp"

#include "image_test_support.hpp"

#include <gtest/gtest.h>

namespace dimora {
namespace {

using test::allLayouts;
using test::BudgetGuard;
using test::errorOf;
using test::firstDifference;
using test::patternBitmap;

TEST(Bitmap, EmptyBitmapReadsInvalidEverywhere)
{
    const Bitmap b;
    EXPECT_TRUE(b.empty());
    EXPECT_EQ(b.width(), 0);
    EXPECT_EQ(b.height(), 0);
    EXPECT_EQ(b.pixel(0, 0), kInvalidColour);
    EXPECT_EQ(b.byteCount(), 0u);
    const Bitmap copy(b);
    EXPECT_TRUE(copy.empty());
}

TEST(Bitmap, OutsideReadsAreInvalidAndOutsideWritesChangeNothing)
{
    for (const auto& [name, layout] : allLayouts()) {
        SCOPED_TRACE(name);
        Bitmap b = patternBitmap(5, 3, layout);
        const Bitmap before(b);
        for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {5, 0}, {0, 3}, {INT32_MIN, INT32_MAX}}) {
            EXPECT_EQ(b.pixel(x, y), kInvalidColour);
            b.setPixel(x, y, kWhite);
        }
        EXPECT_EQ(std::vector<std::uint8_t>(b.data(), b.data() + b.byteCount()),
                  std::vector<std::uint8_t>(before.data(), before.data() + before.byteCount()));
        EXPECT_NE(b.pixel(4, 2), kInvalidColour);
    }
}

TEST(Bitmap, RowsFollowTheStoredOrder)
{
    const auto layout = PixelLayout::rgb24();
    Bitmap up(3, 4, layout, RowOrder::BottomUp);
    Bitmap down(3, 4, layout, RowOrder::TopDown);
    EXPECT_EQ(up.stride(), 12u);
    EXPECT_EQ(up.row(0), up.data() + 3 * 12);
    EXPECT_EQ(up.row(3), up.data());
    EXPECT_EQ(down.row(0), down.data());
    EXPECT_EQ(down.row(3), down.data() + 3 * 12);

    up.setPixel(1, 0, makeColour(9, 8, 7));
    EXPECT_EQ(up.data()[3 * 12 + 3], 7);  // top row last in memory, blue first
    const ImageView v = up.view();
    EXPECT_EQ(v.pixel(1, 0), makeColour(9, 8, 7));
    EXPECT_EQ(v.row(3), up.data());
    EXPECT_EQ(v.pixel(3, 0), kInvalidColour);
}

TEST(Bitmap, NewBitmapsHoldIndexZeroOrBlack)
{
    for (const auto& [name, layout] : allLayouts()) {
        SCOPED_TRACE(name);
        const Bitmap b(7, 2, layout);
        const Colour zero = layout.isIndexed() && !layout.palette().empty() ? layout.palette()[0] : kBlack;
        for (std::int32_t y = 0; y < 2; ++y)
            for (std::int32_t x = 0; x < 7; ++x)
                EXPECT_EQ(b.pixel(x, y), zero);
    }
}

TEST(Bitmap, CopiesKeepLayoutOrderAndPixelsAndAreIndependent)
{
    for (const auto& [name, layout] : allLayouts()) {
        for (const auto order : {RowOrder::BottomUp, RowOrder::TopDown}) {
            SCOPED_TRACE(name);
            Bitmap original = patternBitmap(6, 5, layout, order);
            Bitmap copy(original);
            EXPECT_EQ(copy.layout(), original.layout());
            EXPECT_EQ(copy.rowOrder(), order);
            EXPECT_EQ(firstDifference(copy.view(), original.view()), "");
            EXPECT_NE(copy.data(), original.data());

            Bitmap assigned(1, 1, PixelLayout::rgb24());
            assigned = original;
            EXPECT_EQ(assigned.layout(), original.layout());
            EXPECT_EQ(assigned.rowOrder(), order);
            EXPECT_EQ(firstDifference(assigned.view(), original.view()), "");

            const Colour was = original.pixel(2, 2);
            copy.setPixel(2, 2, was == kWhite ? kBlack : kWhite);
            EXPECT_EQ(original.pixel(2, 2), was);
        }
    }
}

TEST(Bitmap, FillStoresTheNearestColourAndKeepsAlpha)
{
    Bitmap vga(5, 3, PixelLayout::indexed(4, {kBlack, 0x0000FF, 0x00FF00, kWhite}), RowOrder::TopDown);
    vga.fill(0xF0F0F0);
    for (std::int32_t y = 0; y < 3; ++y)
        for (std::int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(vga.pixel(x, y), kWhite);

    const auto rgba = PixelLayout::masked(32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000});
    Bitmap alpha(3, 2, rgba);
    for (std::int32_t y = 0; y < 2; ++y)
        for (std::int32_t x = 0; x < 3; ++x)
            rgba.writeValue(alpha.row(y), x, 0x0u);
    alpha.row(1)[4 + 3] = 0x7E;  // alpha byte of pixel (1, 1)
    alpha.fill(makeColour(1, 2, 3));
    EXPECT_EQ(rgba.readValue(alpha.row(1), 1), 0x7E010203u);
    EXPECT_EQ(rgba.readValue(alpha.row(0), 1), 0x00010203u);
    EXPECT_EQ(alpha.pixel(2, 1), makeColour(1, 2, 3));
}

TEST(Bitmap, RefusesNegativeSizesAndImagesBeyondTheBudget)
{
    const BudgetGuard guard;
    const std::string invalid(msg::kInvalidBitmap);
    EXPECT_EQ(errorOf([] { Bitmap(-1, 5, PixelLayout::rgb24()); }), invalid);
    EXPECT_EQ(errorOf([] { Bitmap(5, -1, PixelLayout::rgb24()); }), invalid);
    EXPECT_EQ(errorOf([] { Bitmap(INT32_MAX, INT32_MAX, PixelLayout::rgb24()); }), invalid);

    Bitmap::setMemoryBudget(1000);
    EXPECT_EQ(Bitmap::pixelBytesFor(10, 25, PixelLayout::masked(32, kMasks888)), 1000u);
    EXPECT_EQ(errorOf([] { Bitmap(10, 25, PixelLayout::masked(32, kMasks888)); }), "no error");
    EXPECT_EQ(Bitmap::pixelBytesFor(10, 26, PixelLayout::masked(32, kMasks888)), 0u);
    EXPECT_EQ(errorOf([] { Bitmap(10, 26, PixelLayout::masked(32, kMasks888)); }), invalid);
    // Sizes with a zero side need no memory and are always allowed.
    EXPECT_EQ(errorOf([] { Bitmap(0, 1'000'000, PixelLayout::rgb24()); }), "no error");
}

}  // namespace
}  // namespace dimora
