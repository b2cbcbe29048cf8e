// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/row_classifier.hpp"

#include "core/measure/bit_rows.hpp"
#include "test_images.hpp"

#include <gtest/gtest.h>

namespace dimora {
namespace {

// Every layout, every test, runs of every start and length (long enough for
// the 64-pixel fast paths): the bits equal the test on pixel read's colour.
TEST(RowClassifier, AgreesWithThePixelTestOnEveryLayout)
{
    std::mt19937 random(3);
    const PixelTest tests[] = {PixelTest::BlackByRed, PixelTest::NonBlackByRed, PixelTest::BlackByColour};
    for (const auto& [name, layout] : testing::allLayouts()) {
        for (const double zeroChance : {0.1, 0.6, 0.95}) {
            Bitmap bitmap(203, 3, layout);
            testing::fillRandomBytes(bitmap, random, zeroChance);
            for (const PixelTest test : tests) {
                const RowClassifier classifier(layout, test);
                EXPECT_EQ(classifier.passesOutside(), passes(test, kInvalidColour));
                for (std::int64_t first : {0, 1, 5, 8, 13, 64, 70}) {
                    for (std::int64_t count : {1, 7, 8, 63, 64, 65, 128, 133}) {
                        if (first + count > bitmap.width())
                            continue;
                        std::vector<std::uint64_t> bits(bitWords(count) + 1, ~std::uint64_t{0});
                        classifier.classify(bitmap.row(1), first, count, bits.data());
                        for (std::int64_t i = 0; i < count; ++i)
                            ASSERT_EQ(testBit(bits.data(), i),
                                      passes(test, bitmap.pixel(static_cast<int>(first + i), 1)))
                                << name << ", test " << static_cast<int>(test) << ", first " << first
                                << ", pixel " << i;
                        for (std::int64_t i = count; i < static_cast<std::int64_t>(bitWords(count)) * 64; ++i)
                            ASSERT_FALSE(testBit(bits.data(), i)) << name << ": bit past the run";
                        ASSERT_EQ(bits[bitWords(count)], ~std::uint64_t{0}) << name << ": word past the run";
                    }
                }
            }
        }
    }
}

TEST(RowClassifier, TellsCyanAndRedByteOneApartAsTheTestsDo)
{
    const Bitmap bitmap = testing::makeBitmap(4, 1, PixelLayout::rgb24(), [](int x, int) {
        const Colour colours[] = {0xFFFF00, 0x000001, kBlack, kWhite};
        return colours[x];
    });
    std::uint64_t bits = 0;
    RowClassifier(bitmap.layout(), PixelTest::BlackByRed).classify(bitmap.row(0), 0, 4, &bits);
    EXPECT_EQ(bits, 0b0101u);
    RowClassifier(bitmap.layout(), PixelTest::NonBlackByRed).classify(bitmap.row(0), 0, 4, &bits);
    EXPECT_EQ(bits, 0b1010u);
    RowClassifier(bitmap.layout(), PixelTest::BlackByColour).classify(bitmap.row(0), 0, 4, &bits);
    EXPECT_EQ(bits, 0b0100u);
}

}  // namespace
}  // namespace dimora
