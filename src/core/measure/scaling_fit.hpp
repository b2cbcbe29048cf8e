// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The straight line through (x, y) points by least squares, with the standard
// error of its slope and r², for the scaling laws of the lacunarity and the
// multifractal spectrum (natural logarithms on both axes there, so a slope is
// the same in any base).
//
// Computed in double by two passes (means first, then centred sums and the
// residuals), as the dimension's uncertainty is. The standard error is
// sqrt(Σe² / (n − 2) / Sxx); with two points it is absent. r² is
// Sxy² / (Sxx·Syy); where y does not vary (a flat line, fitted exactly) it is
// absent and the standard error is 0.

#include <optional>
#include <span>

namespace dimora {

struct ScalingFit {
    double slope = 0;
    double intercept = 0;
    std::optional<double> standardError;
    std::optional<double> rSquared;
};

// Throws Error("不正な浮動小数点数演算命令") for fewer than two points or
// points that all have the same x, as the dimension's fit does.
[[nodiscard]] ScalingFit fitScaling(std::span<const double> x, std::span<const double> y);

}  // namespace dimora
