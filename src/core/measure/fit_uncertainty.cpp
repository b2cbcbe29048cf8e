// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/fit_uncertainty.hpp"

#include <boost/math/distributions/students_t.hpp>

#include <cmath>
#include <vector>

namespace dimora {

FitUncertainty fitUncertainty(std::span<const SideCount> pairs, double dimension)
{
    std::vector<LogPoint> points;
    points.reserve(pairs.size());
    for (const SideCount& pair : pairs)
        points.push_back(
            {std::log10(static_cast<double>(pair.side)), std::log10(static_cast<double>(pair.count))});
    return fitUncertainty(points, dimension);
}

FitUncertainty fitUncertainty(std::span<const LogPoint> points, double dimension)
{
    FitUncertainty result;
    const std::size_t n = points.size();
    if (n < 2)
        return result;
    std::vector<double> x(n), y(n);
    double meanX = 0, meanY = 0;
    for (std::size_t i = 0; i < n; ++i) {
        x[i] = points[i].x;
        y[i] = points[i].y;
        meanX += x[i];
        meanY += y[i];
    }
    meanX /= static_cast<double>(n);
    meanY /= static_cast<double>(n);
    double sxx = 0, syy = 0, sxy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sxx += (x[i] - meanX) * (x[i] - meanX);
        syy += (y[i] - meanY) * (y[i] - meanY);
        sxy += (x[i] - meanX) * (y[i] - meanY);
    }
    if (sxx <= 0 || syy <= 0)
        return result;
    const double slope = sxy / sxx;
    double residuals = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double e = y[i] - meanY - slope * (x[i] - meanX);
        residuals += e * e;
    }
    result.rSquared = std::min(1.0, sxy * sxy / (sxx * syy));
    if (n == 2)
        return result;
    const double freedom = static_cast<double>(n - 2);
    const double standardError = std::sqrt(residuals / freedom / sxx);
    const double t = boost::math::quantile(boost::math::students_t(freedom), 0.975);
    result.standardError = standardError;
    result.ci95Low = dimension - t * standardError;
    result.ci95High = dimension + t * standardError;
    return result;
}

}  // namespace dimora
