// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Lacunarity: how gappy a two-valued pattern is at each scale.
//
// Pixels and region:
// - A pixel is occupied when it is black (red byte 0), inside the region and,
//   with a mask, inside the mask. Pixels of the region outside the image
//   (the invalid colour) are never occupied.
// - The mass M of a box is the number of occupied pixels inside it.
// - Boxes lie wholly inside the region; partial boxes at its right and bottom
//   edges are never taken.
//
// Methods:
// - Gliding box (default): the box of side r takes every position inside the
//   region, stepping one pixel: (W − r + 1)(H − r + 1) positions.
// - Fixed grid: non-overlapping boxes tiled from the region's left and top
//   edges, floor(W / r) × floor(H / r) of them; empty boxes (M = 0) are taken
//   (include) or left out (exclude).
//
// Λ(r) = E[M²] / E[M]² over the boxes taken (Allain and Cloitre), the
// population moments; λ(r) = Λ(r) − 1, the squared coefficient of variation.
// Σ M and Σ M² are exact integer sums (128 bits where 64 could overflow),
// Λ = n·ΣM² / (ΣM)² with one division per side, so values are exact to the
// last digit of a double wherever numerator and denominator are.
//
// The slope is that of ln Λ against ln r (the same in any base) over the
// sides, with its standard error (see scaling_fit.hpp).
//
// Cost: gliding box, one summed-area table of the region (8 bytes per pixel)
// and one pass over it per side; grid, one pass over the region per side.

#include "core/image/bitmap.hpp"
#include "core/image/pixel_mask.hpp"
#include "core/image/region.hpp"
#include "core/measure/mass_messages.hpp"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace dimora {

enum class LacunarityMethod : std::uint8_t { Gliding, Grid };
enum class EmptyBoxes : std::uint8_t { Include, Exclude };

struct LacunaritySettings {
    LacunarityMethod method = LacunarityMethod::Gliding;
    EmptyBoxes empty = EmptyBoxes::Include;  // the grid method only
    std::vector<std::int64_t> sides;         // empty: defaultLacunaritySides
};

struct LacunaritySide {
    std::int64_t side = 0;
    double lacunarity = 0;   // Λ
    double lambda = 0;       // λ = Λ − 1
    std::int64_t boxes = 0;  // the boxes (positions) taken
};

struct LacunarityResult {
    Region region;
    LacunarityMethod method = LacunarityMethod::Gliding;
    EmptyBoxes empty = EmptyBoxes::Include;
    std::vector<LacunaritySide> sides;  // in the order asked
    double slope = 0;                   // of ln Λ against ln r
    std::optional<double> standardError;
    std::optional<double> rSquared;
    std::int64_t occupied = 0;  // occupied pixels in the region
};

// 1, 2, 4, … while r ≤ the shorter edge of the region / 2 (real half).
[[nodiscard]] std::vector<std::int64_t> defaultLacunaritySides(const Region& region);

// "gliding" / "grid", "include" / "exclude", and back; nothing for other texts.
[[nodiscard]] std::string_view lacunarityMethodName(LacunarityMethod method);
[[nodiscard]] std::string_view emptyBoxesName(EmptyBoxes empty);
[[nodiscard]] std::optional<LacunarityMethod> parseLacunarityMethod(std::string_view text);
[[nodiscard]] std::optional<EmptyBoxes> parseEmptyBoxes(std::string_view text);

// Measures the lacunarity of the black pixels of the region (mask: nullptr
// for none; otherwise of the image's size, its outside never occupied).
// Throws Error with:
// - msg::kNoOccupiedPixel when the region holds no occupied pixel;
// - msg::kBoxDoesNotFit (%s the side) for a side below 1 or above the
//   region's shorter edge;
// - msg::kBoxesAllEmpty (%s the side) when every box taken at a side is empty
//   (the occupied pixels lie only where no whole box reaches);
// - "不正な浮動小数点数演算命令" from the slope's fit for fewer than two sides.
[[nodiscard]] LacunarityResult measureLacunarity(const ImageView& image, const Region& region,
                                                 const LacunaritySettings& settings,
                                                 const PixelMask* mask = nullptr);

// Σ M, Σ M² and the number of boxes taken at one side, as exact integers.
struct LacunarityMoments {
    unsigned __int128 sum = 0;
    unsigned __int128 squares = 0;
    std::uint64_t boxes = 0;
};

// The sides measured: settings.sides, or else the region's default ones.
[[nodiscard]] std::vector<std::int64_t> lacunaritySides(const Region& region,
                                                        const LacunaritySettings& settings);

// The end of measureLacunarity, for counters that gather the boxes' masses
// themselves (the streaming fixed grid): its checks and errors in its order,
// given the region's occupied pixels, then momentsOf(sides) and the result.
[[nodiscard]] LacunarityResult finishLacunarity(
    const Region& region, const LacunaritySettings& settings, std::int64_t occupied,
    const std::function<std::vector<LacunarityMoments>(const std::vector<std::int64_t>& sides)>& momentsOf);

}  // namespace dimora
