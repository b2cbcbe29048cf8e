// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Turns a run of pixels of one image row into bits (see bit_rows.hpp), 1 for
// each pixel that passes a colour test, straight from the row's bytes in any
// pixel layout. The result is the test applied to the colour that pixel read
// returns, only much faster: palettes go through a table per palette entry
// (an index past the palette's end reads as black), masked layouts test the
// channel bits that reach the colour's bytes, 24-bit rows go through the
// vector scan of zero_byte_scan.hpp.

#include "core/image/colour.hpp"
#include "core/image/pixel_layout.hpp"

#include <array>
#include <cstdint>
#include <optional>

namespace dimora {

enum class PixelTest : std::uint8_t {
    BlackByRed,     // red byte 0 (isBlackByRed)
    NonBlackByRed,  // red byte 1 to 255 (isNonBlackByRed)
    BlackByColour,  // all three colour bytes 0 (isBlackByColour)
};

[[nodiscard]] bool passes(PixelTest test, Colour colour);

class RowClassifier {
public:
    RowClassifier(const PixelLayout& layout, PixelTest test);

    // Whether a pixel outside the image (the invalid colour) passes the test.
    [[nodiscard]] bool passesOutside() const { return passes(test_, kInvalidColour); }

    // Writes the bits of the pixels first .. first + count − 1 of a row, all
    // inside the image, to out[0 .. bitWords(count)): bit i for pixel
    // first + i. Bits past count in the last word are 0. Cost: one pass over
    // the run's bytes.
    void classify(const std::uint8_t* row, std::int64_t first, std::int64_t count, std::uint64_t* out) const;

    // For 1-bit rows: the stored bit value whose pixels pass the test, when
    // exactly one of the two does.
    [[nodiscard]] std::optional<bool> passingBitValue() const;

private:
    void classifyBlack(const std::uint8_t* row, std::int64_t first, std::int64_t count,
                       std::uint64_t* out) const;

    PixelFormat format_;
    PixelTest test_;
    // The black tests are computed directly; the non-black test as their
    // complement.
    bool complement_;
    bool blackByColour_;
    // Palettes: 1 where the entry is black.
    std::array<std::uint8_t, 256> blackIndex_{};
    // 1-bit rows: all ones where palette index 0 (1) is black, else 0.
    std::uint64_t blackWhereIndex0_ = 0;
    std::uint64_t blackWhereIndex1_ = 0;
    // Masked layouts: the channel bits that reach the tested colour bytes; the
    // pixel is black when all of them are 0.
    std::uint32_t significantBits_ = 0;
};

}  // namespace dimora
