// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The count window's recalculation over a range of sides: the list is read
// and fitted whole as always (its errors first), then the fit, the fitted
// segment and Edit3/Edit4 become those of the sides in the range, while the
// chart keeps every point. The local slopes are those of every pair of
// consecutive non-empty lines.

#include "core/measure/count_list.hpp"
#include "core/measure/fit_range.hpp"

#include <optional>
#include <span>
#include <string>
#include <vector>

struct RangedRecalculation {
    dimora::Recalculation recalculation;  // over the fitted sides
    dimora::PairRun run;                  // the fitted pairs among all of the list's pairs
    std::int64_t low = 0;                 // the smallest and largest fitted side
    std::int64_t high = 0;
    std::vector<std::optional<double>> localSlopes;
    bool automatic = false;  // chosen from the local slopes
    bool noPlateau = false;  // automatic, but no run of three sides qualified: all fitted
};

// `whole` is the list's recalculation over every non-empty line. For the
// range "all" the result is `whole` itself. Throws as the recalculation does
// over the sides in range (fewer than two of them: the fit's own failure).
[[nodiscard]] RangedRecalculation recalculateOverRange(std::span<const std::string> lines,
                                                       const dimora::Recalculation& whole,
                                                       const dimora::FitRange& range);
