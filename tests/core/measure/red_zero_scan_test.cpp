// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "measure/red_zero_scan.hpp"

#include "measure/bit_rows.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace dimora {
namespace {

// Every path this processor runs finds exactly the pixels whose red byte is 0,
// whatever their other bytes, and reads nothing past the pixels it was given.
TEST(ScanRedZero24, EveryPathFindsTheRedZeroPixels)
{
    std::vector<ScanPath> paths = {ScanPath::Plain};
    if (fastestScanPath() >= ScanPath::Ssse3)
        paths.push_back(ScanPath::Ssse3);
    if (fastestScanPath() >= ScanPath::Avx2)
        paths.push_back(ScanPath::Avx2);

    std::mt19937 random(41);
    std::bernoulli_distribution zero(0.4);
    for (const std::int64_t count : {0, 1, 63, 64, 100, 128, 200, 64 * 9 + 5}) {
        // Exactly the pixels' bytes in a buffer of their own, so that any read
        // past them shows under the address sanitizer.
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(3 * count));
        for (auto& byte : pixels)
            byte = zero(random) ? 0 : static_cast<std::uint8_t>(random() % 256);
        for (const ScanPath path : paths) {
            std::vector<std::uint64_t> bits(bitWords(count) + 1, 0);
            const std::int64_t done = scanRedZero24(pixels.data(), count, bits.data(), path);
            EXPECT_EQ(done, path == ScanPath::Plain ? 0 : count / 64 * 64) << static_cast<int>(path);
            for (std::int64_t i = 0; i < done; ++i)
                ASSERT_EQ(testBit(bits.data(), i), pixels[static_cast<std::size_t>(3 * i + 2)] == 0)
                    << "path " << static_cast<int>(path) << ", pixel " << i;
            EXPECT_EQ(bits[static_cast<std::size_t>(done / 64)], 0u)
                << "a word past the whole words was written";
        }
    }
}

} // namespace
} // namespace dimora
