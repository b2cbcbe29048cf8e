// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Colours and the pixel tests that the measurements and operations share.
//
// A colour is 0x00BBGGRR: red in the low byte. A pixel read outside an image
// gives the invalid colour 0xFFFFFFFF (−1 as a signed integer), whose red byte
// 255 makes it non-black for every test below.

#include <cstdint>

namespace dimora {

using Colour = std::uint32_t;

inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kInvalidColour = 0xFFFFFFFF;

[[nodiscard]] constexpr Colour makeColour(unsigned red, unsigned green, unsigned blue)
{
    return (red & 0xFFu) | (green & 0xFFu) << 8 | (blue & 0xFFu) << 16;
}
[[nodiscard]] constexpr unsigned redOf(Colour c)
{
    return c & 0xFFu;
}
[[nodiscard]] constexpr unsigned greenOf(Colour c)
{
    return c >> 8 & 0xFFu;
}
[[nodiscard]] constexpr unsigned blueOf(Colour c)
{
    return c >> 16 & 0xFFu;
}

// Black by red byte: box counting of black, slice stacks.
[[nodiscard]] constexpr bool isBlackByRed(Colour c)
{
    return (c & 0xFFu) == 0;
}
// Non-black by red byte: the complement, box counting of non-black.
[[nodiscard]] constexpr bool isNonBlackByRed(Colour c)
{
    return (c & 0xFFu) != 0;
}
// Grey level: the red byte, for the grayscale measurement.
[[nodiscard]] constexpr unsigned greyLevel(Colour c)
{
    return c & 0xFFu;
}
// Black by colour: all three bytes zero, for the total length and thinning.
[[nodiscard]] constexpr bool isBlackByColour(Colour c)
{
    return (c & 0xFFFFFFu) == 0;
}
// Pure black: the whole 32-bit value zero, for the isolated dot removal.
[[nodiscard]] constexpr bool isPureBlack(Colour c)
{
    return c == 0;
}
// Dark by red byte: red 127 or less, for the G1 writer.
[[nodiscard]] constexpr bool isDarkByRed(Colour c)
{
    return (c & 0xFFu) <= 127;
}

}  // namespace dimora
