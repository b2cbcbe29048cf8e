// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// How sure a fitted dimension is: the standard error of the slope of
// log10(count) against log10(side) (the standard error of the dimension), the
// 95 % interval of the dimension from Student's t with n − 2 degrees of
// freedom, and r².
//
// Computed in double from the same pairs as the fit, by two passes (means
// first, then centred sums and the residuals of the line through the means),
// so it does not suffer the cancellation of the one-pass sums. It never
// fails: it is asked only after a fit succeeded, and with n = 2 (no degree
// of freedom left) the standard error and the interval are absent. The fit's
// own numbers are not touched. Every fit (FitResult) carries it, so front ends
// only format it.

#include "core/measure/log_log_fit.hpp"

#include <optional>
#include <span>

namespace dimora {

// The uncertainty of `dimension` (the fit's −slope) over the fitted pairs.
[[nodiscard]] FitUncertainty fitUncertainty(std::span<const SideCount> pairs, double dimension);

// The same over points of the plane, x against y; the interval is centred on
// `dimension`, the negated slope.
[[nodiscard]] FitUncertainty fitUncertainty(std::span<const LogPoint> points, double dimension);

}  // namespace dimora
