// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/zero_byte_scan.hpp"

#include "core/measure/bit_rows.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace dimora {
namespace {

// Every path this processor runs finds exactly the pixels whose tested bytes
// are 0, whatever their other bytes, and reads nothing past the pixels it was
// given.
TEST(ScanZeroPixels24, EveryPathFindsExactlyThePixelsWithZeroBytes)
{
    std::vector<ScanPath> paths = {ScanPath::Plain};
    if (fastestScanPath() >= ScanPath::Ssse3)
        paths.push_back(ScanPath::Ssse3);
    if (fastestScanPath() >= ScanPath::Avx2)
        paths.push_back(ScanPath::Avx2);

    std::mt19937 random(41);
    for (const double zeroChance : {0.3, 0.8}) {
        std::bernoulli_distribution zero(zeroChance);
        for (const std::int64_t count : {0, 1, 63, 64, 100, 128, 200, 64 * 9 + 5}) {
            // Exactly the pixels' bytes in a buffer of their own, so that any
            // read past them shows under the address sanitizer.
            std::vector<std::uint8_t> pixels(static_cast<std::size_t>(3 * count));
            for (auto& byte : pixels)
                byte = zero(random) ? 0 : static_cast<std::uint8_t>(1 + random() % 255);
            const auto byteOf = [&](std::int64_t pixel, int offset) {
                return pixels[static_cast<std::size_t>(3 * pixel + offset)];
            };
            for (const ZeroBytes which : {ZeroBytes::Red, ZeroBytes::AllThree}) {
                for (const ScanPath path : paths) {
                    std::vector<std::uint64_t> bits(bitWords(count) + 1, 0);
                    const std::int64_t done =
                        scanZeroPixels24(pixels.data(), count, bits.data(), which, path);
                    EXPECT_EQ(done, path == ScanPath::Plain ? 0 : count / 64 * 64) << static_cast<int>(path);
                    for (std::int64_t i = 0; i < done; ++i) {
                        const bool expected = which == ZeroBytes::Red
                                                  ? byteOf(i, 2) == 0
                                                  : (byteOf(i, 0) | byteOf(i, 1) | byteOf(i, 2)) == 0;
                        ASSERT_EQ(testBit(bits.data(), i), expected)
                            << "path " << static_cast<int>(path) << ", bytes " << static_cast<int>(which)
                            << ", pixel " << i;
                    }
                    EXPECT_EQ(bits[static_cast<std::size_t>(done / 64)], 0u) << "a word past the whole words";
                }
            }
        }
    }
}

}  // namespace
}  // namespace dimora
