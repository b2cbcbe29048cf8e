// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/count_list.hpp"

#include "core/common/error.hpp"
#include "core/common/text.hpp"

#include <algorithm>

namespace dimora {

Recalculation recalculateCountList(std::span<const std::string> lines, std::vector<ChartPoint>& points)
{
    points.clear();
    Recalculation result;
    std::int64_t side = 1;
    const std::size_t read = std::min(lines.size(), static_cast<std::size_t>(kCountListLinesRead));
    for (std::size_t k = 0; k < read; ++k, side *= 2) {
        if (lines[k].empty())
            continue;
        const SideCount pair{side, parseInteger64(lines[k])};
        points.push_back(logPointOf(pair));
        result.pairs.push_back(pair);
    }

    result.fit = LogLogFit(result.pairs);
    const double a = result.fit.intercept;
    const double b = result.fit.slope;
    result.lineStart = {0.0, a};
    if (b == 0.0)
        fail(a == 0.0 ? msg::kInvalidFloatOperation : msg::kFloatDivideByZero);
    result.lineEnd = {-a / b, 0.0};
    result.fields = fitFieldTexts(result.fit.r, result.fit.n, result.fit.dimension);
    return result;
}

std::vector<std::string> countListLines(std::span<const std::int64_t> counts)
{
    std::vector<std::string> lines;
    lines.reserve(counts.size());
    for (const std::int64_t count : counts)
        lines.push_back(std::to_string(count));
    return lines;
}

}  // namespace dimora
