// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Images of known lacunarity and multifractal spectrum: the Sierpinski carpet,
// a carpet of three quadrants out of four, and the binomial cascade.

#include "core/image/bitmap.hpp"
#include "core/image/sample_plane.hpp"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace dimora::testing {

// 3^level square, black where the pixel lies in no removed middle square.
inline Bitmap sierpinskiCarpet(int level)
{
    int edge = 1;
    for (int k = 0; k < level; ++k)
        edge *= 3;
    Bitmap bitmap(edge, edge, PixelLayout::rgb24());
    for (int y = 0; y < edge; ++y)
        for (int x = 0; x < edge; ++x) {
            bool hole = false;
            for (int a = x, b = y; a > 0 || b > 0; a /= 3, b /= 3)
                hole = hole || (a % 3 == 1 && b % 3 == 1);
            bitmap.setPixel(x, y, hole ? kWhite : kBlack);
        }
    return bitmap;
}

// 2^level square, black where no binary digit pair of (x, y) is (1, 1): the
// lower-right quadrant removed at every scale, a uniform set of dimension
// log 3 / log 2 on boxes of side 2^k.
inline Bitmap threeQuadrantCarpet(int level)
{
    const int edge = 1 << level;
    Bitmap bitmap(edge, edge, PixelLayout::rgb24());
    for (int y = 0; y < edge; ++y)
        for (int x = 0; x < edge; ++x)
            bitmap.setPixel(x, y, (x & y) == 0 ? kBlack : kWhite);
    return bitmap;
}

// The binomial cascade of 2^level square with the quadrant weights
// {upper left, upper right, lower left, lower right} = weights / 10 (whole
// numbers 1 to 9 summing to 10): each pixel's mass is the product of the
// weights of the quadrants it lies in at every level. UInt32 stores the
// product of the whole weights exactly; UInt16 scales it so that the largest
// mass is 65535 and rounds up, so that no pixel loses its mass.
inline SamplePlane binomialCascade(int level, std::array<int, 4> weights, SampleType type)
{
    const int edge = 1 << level;
    SamplePlane plane(edge, edge, type);
    double largest = 1;
    for (int k = 0; k < level; ++k)
        largest *= std::max(std::max(weights[0], weights[1]), std::max(weights[2], weights[3]));
    for (int y = 0; y < edge; ++y)
        for (int x = 0; x < edge; ++x) {
            std::uint64_t mass = 1;
            for (int k = 0; k < level; ++k)
                mass *= static_cast<std::uint64_t>(weights[((y >> k) & 1) * 2 + ((x >> k) & 1)]);
            std::uint8_t* at = plane.row(y) + static_cast<std::size_t>(x) * SamplePlane::bytesPerSample(type);
            if (type == SampleType::UInt32) {
                const auto value = static_cast<std::uint32_t>(mass);
                std::memcpy(at, &value, sizeof value);
            } else if (type == SampleType::UInt16) {
                const auto value =
                    static_cast<std::uint16_t>(std::ceil(static_cast<double>(mass) / largest * 65535));
                std::memcpy(at, &value, sizeof value);
            } else if (type == SampleType::Float32) {
                const auto value = static_cast<float>(static_cast<double>(mass) / largest);
                std::memcpy(at, &value, sizeof value);
            }
        }
    return plane;
}

}  // namespace dimora::testing
