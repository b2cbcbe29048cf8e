// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// How every dimension measurement ends once its boxes are counted, in one
// place for the desktop program, the command line and the slice stack. Each
// step is handed to a sink as it happens, so a front end shows exactly what
// was reached when a later step fails:
//
//   1. the report's lines are appended to the count list (cleared before
//      the counting by the caller);
//   2. a zero report writes ShowZeroResult's fields and ends here;
//   3. LogLogFit over the report's pairs               [may throw]
//   4. the four fields of ShowResult;
//   5. the recalculation over the count list as the sink holds it: the chart
//      points (also those found before a failure), then the fitted segment
//      and Edit3/Edit4                                  [may throw]

#include "core/measure/count_list.hpp"
#include "core/measure/count_report.hpp"
#include "core/measure/log_log_fit.hpp"
#include "core/measure/result_fields.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace dimora {

// The windows (or the report) that a measurement writes.
class MeasurementSink {
public:
    virtual ~MeasurementSink() = default;

    // Step 1: lines appended to the count list.
    virtual void appendCountLines(std::span<const std::string> lines) = 0;
    // The count list as it stands now, read by the recalculation.
    [[nodiscard]] virtual std::vector<std::string> countLines() const = 0;
    // Step 3: the fit succeeded.
    virtual void fitted(const FitResult& fit) { (void)fit; }
    // Steps 2 and 4: all four fields of the result window.
    virtual void showFields(const ResultFields& fields) = 0;
    // Step 5: the chart, with the fitted segment when the recalculation
    // succeeded, and its Edit3/Edit4 (absent on failure).
    virtual void showRecalculation(std::span<const ChartPoint> points, const Recalculation* result) = 0;
};

// Steps 1 to 5 for a measurement of a region of width × height.
void finishMeasurement(const CountReport& report, std::int64_t width, std::int64_t height,
                       MeasurementSink& sink);

// Step 5 alone: the count window's "再計算".
void recalculate(MeasurementSink& sink);

// A sink that keeps everything, for the command line and tests.
class MeasurementRecord : public MeasurementSink {
public:
    void appendCountLines(std::span<const std::string> lines) override;
    [[nodiscard]] std::vector<std::string> countLines() const override { return countList_; }
    void fitted(const FitResult& fit) override { fit_ = fit; }
    void showFields(const ResultFields& fields) override { fields_ = fields; }
    void showRecalculation(std::span<const ChartPoint> points, const Recalculation* result) override;

    // The measurement as the command line reports it.
    [[nodiscard]] DimensionMeasurement take(const Region& region, const CountReport& report) &&;

private:
    std::vector<std::string> countList_;
    std::optional<FitResult> fit_;
    ResultFields fields_;
    std::vector<ChartPoint> chartPoints_;
    ChartPoint lineStart_, lineEnd_;
};

// finishMeasurement into a MeasurementRecord: the whole measurement at once.
[[nodiscard]] DimensionMeasurement finishMeasurement(const Region& region, const CountReport& report);

}  // namespace dimora
