// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// numpy arrays as the core's images and back. The module's __init__.py hands
// over only what these take (checked dtypes and shapes), so a mismatch here
// is a fault of the module and raises a plain ValueError.

#include "core/image/bitmap.hpp"

#include <pybind11/numpy.h>

#include <cstdint>

namespace dimora::python {

using ByteArray = pybind11::array_t<std::uint8_t, 0>;

// The layout under which a byte array of occupancy is viewed: 0 is white and
// every other byte black, so that the core's black pixels are the array's
// non-zero (True) elements.
[[nodiscard]] const PixelLayout& occupancyLayout();
// 8-bit grey: byte v reads as the colour (v, v, v).
[[nodiscard]] const PixelLayout& greyLayout();

// A view of an (H, W) byte array (or of plane z of a (Z, H, W) one) in the
// given layout, on the array's own memory: its elements must be contiguous
// within a row; rows may lie at any distance from each other.
[[nodiscard]] ImageView viewOf(const ByteArray& array, const PixelLayout& layout);
[[nodiscard]] ImageView planeOf(const ByteArray& stack, pybind11::ssize_t z, const PixelLayout& layout);

// A bitmap of an (H, W) grey or (H, W, 3) RGB byte array, a copy.
[[nodiscard]] Bitmap bitmapOf(const ByteArray& array);

// The array of a bitmap: (H, W) when its layout is a palette of greys (every
// two-valued and grey image the readers make), else (H, W, 3) RGB.
[[nodiscard]] ByteArray arrayOf(const Bitmap& bitmap);

}  // namespace dimora::python
