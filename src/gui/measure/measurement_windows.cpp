// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/measure/measurement_windows.hpp"

#include "gui/measure/count_window.hpp"
#include "gui/measure/ranged_recalculation.hpp"
#include "gui/measure/result_window.hpp"

#include <optional>

void MeasurementWindows::appendCountLines(std::span<const std::string> lines)
{
    for (const std::string& line : lines)
        counts_.appendCountLine(QString::fromStdString(line));
}

std::vector<std::string> MeasurementWindows::countLines() const
{
    std::vector<std::string> lines;
    for (const QString& line : counts_.countLines())
        lines.push_back(line.toStdString());
    return lines;
}

void MeasurementWindows::showFields(const dimora::ResultFields& fields)
{
    results_.showFields(fields);
}

void MeasurementWindows::showRecalculation(std::span<const dimora::ChartPoint> points,
                                           const dimora::Recalculation* result)
{
    if (!counts_.choices().isDefault()) {
        showRangedRecalculation(points, result);
        return;
    }
    counts_.showChart(points, result);
    counts_.showUncertainty(result);
    if (result)
        results_.showFitFields(result->fields);
}

void MeasurementWindows::showRangedRecalculation(std::span<const dimora::ChartPoint> points,
                                                 const dimora::Recalculation* whole)
{
    std::optional<RangedRecalculation> ranged;
    if (whole) {
        try {
            ranged = recalculateOverRange(countLines(), *whole, counts_.choices().range);
        } catch (...) {
            // The range's fit failed: the points stay, without a line.
            showRangedRecalculation(points, nullptr);
            throw;
        }
    }
    const dimora::Recalculation* result = ranged ? &ranged->recalculation : nullptr;
    counts_.showChart(points, result);
    counts_.showUncertainty(result);
    counts_.showRange(ranged ? &*ranged : nullptr);
    if (result)
        results_.showFitFields(result->fields);
}
