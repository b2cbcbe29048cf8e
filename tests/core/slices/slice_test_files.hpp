// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Slice images made in code and written as the files of a stack.

#include "core/image/bitmap.hpp"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dimora::testing {

using BlackAt = std::function<bool(std::int32_t x, std::int32_t y)>;

inline const BlackAt kAllBlack = [](std::int32_t, std::int32_t) { return true; };
inline const BlackAt kAllWhite = [](std::int32_t, std::int32_t) { return false; };

// A 24-bit slice, black where `black` says so and white elsewhere.
[[nodiscard]] Bitmap sliceImage(std::int32_t width, std::int32_t height, const BlackAt& black);

// Writes a PNG (8-bit RGB) when the name ends in ".png" in any case, an
// RGB TIFF for ".tif", a colour JPEG for ".jpg", else a BMP.
void writeSlice(const std::string& path, const Bitmap& image);

// Writes the images as the pages of one RGB TIFF file.
void writeTiffPages(const std::string& path, const std::vector<Bitmap>& images);

}  // namespace dimora::testing
