// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/log_log_fit.hpp"

#include "core/common/error.hpp"
#include "core/measure/fit_uncertainty.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace dimora {
namespace {

// The old platform trapped floating-point faults instead of producing NaN or
// infinity; these helpers raise the same errors at the same operations.
double divide(double numerator, double denominator)
{
    if (denominator == 0.0)
        fail(numerator == 0.0 || std::isnan(numerator) ? msg::kInvalidFloatOperation
                                                       : msg::kFloatDivideByZero);
    return numerator / denominator;
}

double squareRoot(double value)
{
    if (value < 0.0 || std::isnan(value))
        fail(msg::kInvalidFloatOperation);
    return std::sqrt(value);
}

}  // namespace

double fitLogarithm(std::int64_t value)
{
    if (value == 0)
        fail(msg::kFloatDivideByZero);
    if (value < 0)
        fail(msg::kInvalidFloatOperation);
    return static_cast<double>(std::log10(static_cast<long double>(value)));
}

LogPoint logPointOf(const SideCount& pair)
{
    const double x = fitLogarithm(pair.side);
    const double y = fitLogarithm(pair.count);
    return {x, y};
}

namespace {

bool allAtOneHeight(std::span<const LogPoint> points)
{
    return std::all_of(points.begin(), points.end(),
                       [&](const LogPoint& p) { return p.y == points.front().y; });
}

// The line alone, without its uncertainty.
FitResult leastSquaresLine(std::span<const LogPoint> points)
{
    double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (const LogPoint& p : points) {
        sx += p.x;
        sxx += p.x * p.x;
        sy += p.y;
        syy += p.y * p.y;
        sxy += p.x * p.y;
    }
    const auto n = static_cast<double>(points.size());

    const double cxx = sxx - divide(sx * sx, n);
    const double cyy = syy - divide(sy * sy, n);
    const double cxy = sxy - divide(sx * sy, n);

    FitResult fit;
    fit.n = static_cast<std::int32_t>(points.size());
    // Points at one height have no spread in y: the correlation is zero over
    // zero. Round-off in Syy' and Sxy' must not decide that, so it is decided
    // here, whatever the height.
    if (allAtOneHeight(points))
        fail(msg::kInvalidFloatOperation);
    fit.r = divide(cxy, squareRoot(cxx * cyy));
    fit.slope = divide(cxy, cxx);
    fit.dimension = -fit.slope;
    fit.intercept = divide(sy, n) - divide(fit.slope * sx, n);
    return fit;
}

}  // namespace

FitResult fitStraightLine(std::span<const LogPoint> points)
{
    FitResult fit = leastSquaresLine(points);
    fit.uncertainty = fitUncertainty(points, fit.dimension);
    return fit;
}

FitResult LogLogFit(std::span<const SideCount> pairs)
{
    std::vector<LogPoint> points;
    points.reserve(pairs.size());
    for (const SideCount& pair : pairs)
        points.push_back(logPointOf(pair));
    FitResult fit = leastSquaresLine(points);
    fit.uncertainty = fitUncertainty(pairs, fit.dimension);
    return fit;
}

}  // namespace dimora
