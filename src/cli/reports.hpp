// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The command line's two ways of showing a result: a short report in the
// words of the result window, or one JSON object.

#include "core/measure/count_list.hpp"
#include "core/measure/dimension_measurement.hpp"
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

[[nodiscard]] std::string dimensionReport(MeasurementKind kind, const DimensionMeasurement& m,
                                          const std::optional<SliceFacts>& slices, ReportForm form);
[[nodiscard]] std::string lengthReport(const Region& scan, const std::optional<TotalLength>& length,
                                       ReportForm form);
[[nodiscard]] std::string refitReport(const Recalculation& recalculation, ReportForm form);

// The JSON objects of the two reports, for rows of many files.
[[nodiscard]] nlohmann::json dimensionJson(MeasurementKind kind, const DimensionMeasurement& m,
                                           const std::optional<SliceFacts>& slices);
[[nodiscard]] nlohmann::json lengthJson(const Region& scan, const std::optional<TotalLength>& length);

}  // namespace dimora::cli
