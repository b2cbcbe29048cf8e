// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Integer division by a pixel's channel sum R + G + B (1 .. 765), which
// extraction and percent conversion need for every pixel: a multiply and a
// shift instead of a division, exact for every numerator up to 65535.
//
// With M = ceil(2^32 / s), a × M / 2^32 exceeds a / s by less than
// a / 2^32 < 1 / 65536, while the fraction of a / s is at most 1 − 1/765, so
// the floor never moves.

#include <array>
#include <cstdint>

namespace dimora::imageops {

inline constexpr unsigned kLargestChannelSum = 3 * 255;

constexpr std::array<std::uint64_t, kLargestChannelSum + 1> makeSumReciprocals()
{
    std::array<std::uint64_t, kLargestChannelSum + 1> reciprocals{};
    for (std::uint64_t s = 1; s <= kLargestChannelSum; ++s)
        reciprocals[s] = ((std::uint64_t{1} << 32) + s - 1) / s;
    return reciprocals;
}

inline constexpr std::array<std::uint64_t, kLargestChannelSum + 1> kSumReciprocals = makeSumReciprocals();

// numerator div sum, for numerator ≤ 65535 and 1 ≤ sum ≤ 765.
[[nodiscard]] inline unsigned divideBySum(unsigned numerator, unsigned sum)
{
    return static_cast<unsigned>(numerator * kSumReciprocals[sum] >> 32);
}

}  // namespace dimora::imageops
