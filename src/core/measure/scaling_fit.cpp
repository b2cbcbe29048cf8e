// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/scaling_fit.hpp"

#include "core/common/error.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace dimora {

ScalingFit fitScaling(std::span<const double> x, std::span<const double> y)
{
    const std::size_t n = std::min(x.size(), y.size());
    if (n < 2)
        fail(msg::kInvalidFloatOperation);
    double meanX = 0, meanY = 0;
    for (std::size_t i = 0; i < n; ++i) {
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
    if (!(sxx > 0))
        fail(msg::kInvalidFloatOperation);
    ScalingFit fit;
    fit.slope = sxy / sxx;
    fit.intercept = meanY - fit.slope * meanX;
    double residuals = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double e = y[i] - meanY - fit.slope * (x[i] - meanX);
        residuals += e * e;
    }
    if (syy > 0)
        fit.rSquared = std::min(1.0, sxy * sxy / (sxx * syy));
    if (n > 2)
        fit.standardError = syy > 0 ? std::sqrt(residuals / static_cast<double>(n - 2) / sxx) : 0.0;
    return fit;
}

}  // namespace dimora
