// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/measure/measurement_windows.hpp"

#include "gui/measure/count_window.hpp"
#include "gui/measure/result_window.hpp"

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
    counts_.showChart(points, result);
    counts_.showUncertainty(result);
    if (result)
        results_.showFitFields(result->fields);
}
