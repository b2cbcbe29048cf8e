// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The multifractal spectrum of a mass: generalized dimensions D_q, τ(q), and
// α(q), f(α(q)) by the direct method of Chhabra and Jensen (Phys. Rev. Lett.
// 62 (1989) 1327).
//
// Mass:
// - black: every occupied pixel (black, red byte 0) has mass 1;
// - gray: each pixel's mass is its grey sample at the file's depth (a
//   SamplePlane), summed in double.
// Pixels outside the image, or outside the mask when one is given, have no
// mass. A negative or non-finite sample is an error (msg::kBadMass).
//
// Boxes: sides s = 1, 2, 4, … while s ≤ the shorter region edge / 4 (real
// quarter), up to 8192, tiled from the region's left and top edges, only
// boxes wholly inside the region. P_i = box mass / the mass of all those
// boxes; empty boxes are left out of every sum.
//
// For each q, with μ_i = P_i^q / Σ_j P_j^q and natural logarithms throughout,
// against ln s:
//   τ(q) = slope of ln Σ P_i^q,           D_q = τ(q) / (q − 1)   (q ≠ 1)
//   D_1  = slope of Σ P_i ln P_i,         τ(1) = 0
//   α(q) = slope of Σ μ_i ln P_i,         f(q) = slope of Σ μ_i ln μ_i
// Each slope with its standard error and r² (scaling_fit.hpp); D_q's standard
// error is the slope's over |q − 1| (for q = 1 the slope's own).
//
// Cost: one pass over the region, then per side and q one exp per distinct
// box mass (black masses are grouped by value, so every q is cheap).

#include "core/image/bitmap.hpp"
#include "core/image/pixel_mask.hpp"
#include "core/image/region.hpp"
#include "core/image/sample_plane.hpp"
#include "core/measure/fit_range.hpp"
#include "core/measure/mass_messages.hpp"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace dimora {

enum class MassKind : std::uint8_t { Black, Gray };

struct MultifractalSettings {
    std::vector<double> q;  // empty: defaultMultifractalQ
    FitRange range;         // All or Sides (Auto is refused)
};

struct MultifractalPoint {
    double q = 0;
    double dq = 0;
    double tau = 0;
    double alpha = 0;
    double f = 0;
    std::optional<double> dqStandardError;
    std::optional<double> tauStandardError;
    std::optional<double> alphaStandardError;
    std::optional<double> fStandardError;
    std::optional<double> rSquared;  // of the D_q (τ) fit
    std::optional<double> alphaRSquared;
    std::optional<double> fRSquared;
};

struct MultifractalResult {
    Region region;
    MassKind mass = MassKind::Black;
    std::vector<std::int64_t> measuredSides;  // every side measured
    std::vector<std::int64_t> sides;          // the sides fitted
    std::vector<MultifractalPoint> points;    // in the order of the q list
    double totalMass = 0;                     // the region's mass (inside the mask)
};

// −10, −9.5, …, 10.
[[nodiscard]] std::vector<double> defaultMultifractalQ();

// A q list: comma-separated numbers, or FROM:TO:STEP (STEP > 0, FROM ≤ TO;
// the values FROM + k·STEP up to TO, with a tolerance of STEP/1e9 at the
// end). Nothing for any other text.
[[nodiscard]] std::optional<std::vector<double>> parseQList(std::string_view text);

// 1, 2, 4, … while s ≤ shorter edge / 4, up to 8192.
[[nodiscard]] std::vector<std::int64_t> multifractalSides(const Region& region);

[[nodiscard]] std::string_view massKindName(MassKind mass);

// The spectrum of the black pixels (mass 1 each). Throws Error with
// msg::kNoOccupiedPixel when the region holds no occupied pixel,
// msg::kBoxesAllEmpty (%s the side) when the whole boxes of a side hold no
// mass, and "不正な浮動小数点数演算命令" when fewer than two sides are fitted.
[[nodiscard]] MultifractalResult measureMultifractal(const ImageView& image, const Region& region,
                                                     const MultifractalSettings& settings,
                                                     const PixelMask* mask = nullptr);

// The spectrum of the samples as masses. Throws as above, with
// msg::kNoMass instead of msg::kNoOccupiedPixel, and msg::kBadMass for a
// negative or non-finite sample inside the region and mask.
[[nodiscard]] MultifractalResult measureMultifractal(const SamplePlane& samples, const Region& region,
                                                     const MultifractalSettings& settings,
                                                     const PixelMask* mask = nullptr);

}  // namespace dimora
