// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// What counting hands on to the rest of a measurement, and what a whole
// measurement produced: the types that the measurement sequence and the
// measurements built on it (dimension_measurement.hpp, the slice and cube
// stacks) share, with the reports each kind of counting makes.

#include "core/image/region.hpp"
#include "core/measure/box_count.hpp"
#include "core/measure/count_list.hpp"
#include "core/measure/gray_box_count.hpp"
#include "core/measure/log_log_fit.hpp"
#include "core/measure/result_fields.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dimora {

// What the counting hands on to the count list, the fit and the result window.
struct CountReport {
    std::vector<std::string> countList;  // the lines to write, in order
    // Coverage under 0.001 %: the result window gets ShowZeroResult, and
    // nothing else happens (no line written, no fit, no recalculation).
    bool zeroReport = false;
    std::vector<SideCount> fitPairs;  // the pairs for LogLogFit
    double value2 = 0;                // Edit2's value: coverage or brightness difference
};

// Two-valued: one line per side, or nothing for the zero report.
[[nodiscard]] CountReport reportBoxCounts(const BoxCounts& counts);

// Counts of occupied boxes, in the plane or in space: nothing but the zero
// report when the coverage is under `zeroReportBelow` percent, else one line
// and one fit pair per side.
[[nodiscard]] CountReport reportOccupiedBoxes(const std::vector<std::int64_t>& sides,
                                              const std::vector<std::int64_t>& counts, double coverage,
                                              double zeroReportBelow);

// Grayscale: an empty line 0 (side 1 is not measured), then one line per side.
// There is no zero report.
[[nodiscard]] CountReport reportGrayCounts(const GrayCounts& counts);

// Everything a whole measurement produced.
struct DimensionMeasurement {
    Region region;
    std::vector<std::int64_t> sides;   // the sides that entered the fit
    std::vector<std::int64_t> counts;  // their counts
    std::vector<std::string> countList;
    double value2 = 0;                    // coverage (two-valued) or brightness difference (grayscale)
    std::optional<FitResult> fit;         // absent after a zero report
    ResultFields fields;                  // as the result window ends up, after the recalculation
    std::vector<ChartPoint> chartPoints;  // empty after a zero report
    ChartPoint lineStart, lineEnd;        // the fitted segment
};

}  // namespace dimora
