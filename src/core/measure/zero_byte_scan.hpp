// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The hot loop of the measurements on 24-bit images: which pixels of a row
// have their red byte 0 (black by red byte), or all three colour bytes 0
// (black by colour), 64 pixels to a word of bits (see bit_rows.hpp), with the
// vector instructions the processor has.

#include <cstdint>

namespace dimora {

enum class ScanPath : std::uint8_t {
    Plain,  // no vector instructions: does nothing, the caller's loop does all
    Ssse3,  // 16 pixels at a time
    Avx2,   // 32 pixels at a time
};

enum class ZeroBytes : std::uint8_t {
    Red,       // byte 2 of the pixel
    AllThree,  // bytes 0, 1 and 2
};

// The best path this processor runs.
[[nodiscard]] ScanPath fastestScanPath();

// Sets bit i of out[i / 64] when the chosen bytes of 24-bit pixel i are 0,
// for whole words of 64 pixels only, and returns the number of pixels done: a
// multiple of 64, 0 on the plain path. Reads only the bytes of those pixels.
// The path must be one the processor runs.
std::int64_t scanZeroPixels24(const std::uint8_t* pixels, std::int64_t count, std::uint64_t* out,
                              ZeroBytes which, ScanPath path);

}  // namespace dimora
