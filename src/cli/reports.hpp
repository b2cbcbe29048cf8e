// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The command line's two ways of showing a result: a short report in the
// words of the result window, or one JSON object.

#include "core/measure/count_list.hpp"
#include "core/measure/dimension_measurement.hpp"
#include "core/measure/fit_range.hpp"
#include "core/measure/min_grid_count.hpp"
#include "core/measure/total_length.hpp"

#include <nlohmann/json_fwd.hpp>

#include <array>
#include <optional>
#include <string>

namespace dimora::cli {

// How a report is written: the readable text, or one JSON object.
enum class ReportForm { Text, Json };

enum class MeasurementKind { Black, NonBlack, Gray, Slices, Cubes };

// What a measurement of a stack of slices adds to its report.
struct SliceFacts {
    std::int32_t slices = 0;
    std::string lastFile;
    std::optional<std::int32_t> spacing;  // slices: r in pixels
    // cubes: the voxel's X, Y, Z and k(s) for each fitted side
    std::optional<std::array<double, 3>> voxel;
    std::vector<std::int64_t> slicesPerBox;
};

// Where the grid landed and which sides the fit took (--grid, --range).
// JSON: `grid` and, for the grid of least count, `offsets`; after a fit
// `range`, `localSlopes`, and for the automatic range `rangeRule` (with
// `rangeNote` when it fell back on every side). The text report adds a line
// only for the options given.
struct FitChoices {
    std::optional<GridPlacement> grid;  // two-valued measurements
    std::vector<GridOffset> offsets;    // GridPlacement::Min: each side's placement
    std::optional<RangedFit> ranged;    // after a fit: the fit over the range
    bool gridGiven = false;             // --grid was on the command line
    bool rangeGiven = false;            // --range was
};

[[nodiscard]] std::string dimensionReport(MeasurementKind kind, const DimensionMeasurement& m,
                                          const std::optional<SliceFacts>& slices, ReportForm form,
                                          const FitChoices& choices = {});
[[nodiscard]] std::string lengthReport(const Region& scan, const std::optional<TotalLength>& length,
                                       ReportForm form);
[[nodiscard]] std::string refitReport(const Recalculation& recalculation, ReportForm form,
                                      const FitChoices& choices = {});

// The JSON objects of the two reports, for rows of many files.
[[nodiscard]] nlohmann::json dimensionJson(MeasurementKind kind, const DimensionMeasurement& m,
                                           const std::optional<SliceFacts>& slices,
                                           const FitChoices& choices = {});
[[nodiscard]] nlohmann::json lengthJson(const Region& scan, const std::optional<TotalLength>& length);

}  // namespace dimora::cli
