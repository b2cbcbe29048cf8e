// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/measure/ranged_recalculation.hpp"

#include <algorithm>

RangedRecalculation recalculateOverRange(std::span<const std::string> lines,
                                         const dimora::Recalculation& whole, const dimora::FitRange& range)
{
    RangedRecalculation result;
    const dimora::RangedFit ranged = dimora::fitOverRange(whole.pairs, range);
    result.run = ranged.run;
    result.low = ranged.low;
    result.high = ranged.high;
    result.localSlopes = ranged.localSlopes;
    result.automatic = range.kind == dimora::FitRange::Kind::Auto;
    result.noPlateau = ranged.noPlateau;
    if (range.kind == dimora::FitRange::Kind::All) {
        result.recalculation = whole;
        return result;
    }
    // The list with the lines outside the range emptied: the recalculation
    // then fits, draws and writes exactly the range.
    std::vector<std::string> inRange;
    const std::size_t read = std::min(lines.size(), static_cast<std::size_t>(dimora::kCountListLinesRead));
    for (std::size_t k = 0; k < read; ++k) {
        const double side = dimora::countListSide(k);
        const bool kept = side >= static_cast<double>(ranged.low) && side <= static_cast<double>(ranged.high);
        inRange.push_back(kept ? lines[k] : std::string());
    }
    std::vector<dimora::ChartPoint> points;
    result.recalculation = dimora::recalculateCountList(inRange, points);
    return result;
}
