// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The windows that every dimension measurement writes, as the core's
// measurement sequence (dimora::finishMeasurement, dimora::recalculate) sees
// them: the count list, the chart and the uncertainty line of the count window, the four fields of
// the result window. Under the count window's choices other than the
// default (a two-valued measurement's grid and range), the recalculation
// shown is that over the range, with the local slopes. Each step reaches the windows as the sequence hands it
// over, so a step that fails leaves them as far as they were written.

#include "core/measure/measurement_sequence.hpp"

#include <span>
#include <string>
#include <vector>

class TForm2;
class TForm4;

class MeasurementWindows final : public dimora::MeasurementSink {
public:
    MeasurementWindows(TForm4& counts, TForm2& results) : counts_(counts), results_(results) {}

    // Appended to the count list one by one.
    void appendCountLines(std::span<const std::string> lines) override;
    // The count list as it stands, edits by the user included.
    [[nodiscard]] std::vector<std::string> countLines() const override;
    void showFields(const dimora::ResultFields& fields) override;
    // The chart and the uncertainty line, then (after a successful
    // recalculation) Edit3 and Edit4.
    void showRecalculation(std::span<const dimora::ChartPoint> points,
                           const dimora::Recalculation* result) override;

private:
    void showRangedRecalculation(std::span<const dimora::ChartPoint> points,
                                 const dimora::Recalculation* whole);

    TForm4& counts_;
    TForm2& results_;
};
