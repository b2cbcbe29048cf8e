// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Images for the operation tests: every pixel layout the model holds, random
// bitmaps over them, small pictures drawn as text, and a byte-exact compare.

#include "core/image/bitmap.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace dimora::test {

struct LayoutCase {
    std::string name;
    PixelLayout layout;
    RowOrder order = RowOrder::BottomUp;
};

// 1, 4, 8 bits with full and short palettes, 16 bits 5-5-5 and 5-6-5, 24
// bits, 32 bits with alpha and with 10-bit channels; both row orders.
std::vector<LayoutCase> allLayouts();

// Every stored byte random: palette indices past the palette's end, alpha and
// padding bits included.
Bitmap randomBitmap(const LayoutCase& layout, std::int32_t width, std::int32_t height, std::mt19937& rng);

// Random stored bytes, then every pixel set to one of the given colours
// (weights by repetition), so a test can choose how much black there is.
Bitmap randomBitmapOf(const LayoutCase& layout, std::int32_t width, std::int32_t height,
                      const std::vector<Colour>& colours, std::mt19937& rng);

// A 24-bit picture from rows of text: '#' black, '.' white, other letters
// from a small legend (r red, g green, b blue, k near-black 0x010101).
Bitmap pictureBitmap(const std::vector<std::string>& rows, const LayoutCase& layout = {});

// The picture back as text: '#' for black by colour, '.' for white, '?' else.
std::vector<std::string> pictureOf(const Bitmap& image);

// Same size, layout, order and every stored byte; reports the first pixel
// that differs.
::testing::AssertionResult sameBitmap(const Bitmap& actual, const Bitmap& expected);

}  // namespace dimora::test
