// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The straight-line fit that ends every dimension measurement: log10(count)
// against log10(side) by least squares. The box counts fall as the side
// grows, so the slope is negative and the fractal dimension is its negation.
//
// Arithmetic: each logarithm is taken in extended precision and stored as a
// double; the five running sums and every later step are doubles, in this
// order:
//   Sxx' = Sxx − Sx·Sx / n,  Syy' = Syy − Sy·Sy / n,  Sxy' = Sxy − Sx·Sy / n
//   r = Sxy' / sqrt(Sxx' · Syy'),  b = Sxy' / Sxx',  a = Sy / n − b · Sx / n
//
// Floating-point faults are errors, raised at the first operation that
// faults, as Error with the program's texts:
//   zero divided by zero, the square root or logarithm of a negative number
//     → "不正な浮動小数点数演算命令"
//   a non-zero number divided by zero, the logarithm of 0
//     → "0 による浮動小数点数除算"
// So fewer than two pairs fail with the first text; a count of 0 fails with
// the second, a negative count with the first. Points that all have the same
// count (so the same y) fail with the first text where r is formed, whatever
// the count: zero spread is decided exactly, not left to round-off.

#include <cstdint>
#include <optional>
#include <span>

namespace dimora {

// One box side and the number of boxes of that side that were counted.
struct SideCount {
    std::int64_t side = 0;
    std::int64_t count = 0;

    friend bool operator==(const SideCount&, const SideCount&) = default;
};

// A point of the log-log plane: x = log10(side), y = log10(count).
struct LogPoint {
    double x = 0;
    double y = 0;

    friend bool operator==(const LogPoint&, const LogPoint&) = default;
};

// How sure a fitted dimension is; fit_uncertainty.hpp says how it is found.
struct FitUncertainty {
    std::optional<double> standardError;  // of the slope and of the dimension
    std::optional<double> ci95Low;        // dimension − t(0.975, n − 2) × standardError
    std::optional<double> ci95High;       // dimension + t(0.975, n − 2) × standardError
    double rSquared = 0;
};

struct FitResult {
    std::int32_t n = 0;          // number of points
    double r = 0;                // correlation coefficient
    double slope = 0;            // b, of the line y = a + b·x
    double intercept = 0;        // a, the line's y at x = 0 (side 1)
    double dimension = 0;        // D = −b
    FitUncertainty uncertainty;  // of the dimension, over the same points
};

// log10 of a count or side as the fit takes it: in extended precision,
// stored as a double. Throws for 0 and negative values (see above).
[[nodiscard]] double fitLogarithm(std::int64_t value);

// The point (log10 side, log10 count) of a pair; throws as fitLogarithm.
[[nodiscard]] LogPoint logPointOf(const SideCount& pair);

// The least-squares line through the points, by the steps above, with its
// uncertainty over the points. Throws for fewer than two points or points
// that all have the same y.
[[nodiscard]] FitResult fitStraightLine(std::span<const LogPoint> points);

// The fit of log10(count) against log10(side) over the pairs, in order: the
// logarithms of each pair, then the line; its uncertainty is that of
// fitUncertainty over the pairs. Cost: a few operations per pair.
[[nodiscard]] FitResult LogLogFit(std::span<const SideCount> pairs);

}  // namespace dimora
