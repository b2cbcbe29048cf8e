// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/app/windows.hpp"
#include "core/measure/count_list.hpp"
#include "gui/measure/count_window.hpp"
#include "gui/measure/result_window.hpp"

#include <QLineEdit>

#include <string>
#include <vector>

namespace {

QPointF toQPoint(const dimora::ChartPoint& point)
{
    return {point.x, point.y};
}

std::vector<QPointF> toQPoints(const std::vector<dimora::ChartPoint>& points)
{
    std::vector<QPointF> converted;
    converted.reserve(points.size());
    for (const auto& point : points)
        converted.push_back(toQPoint(point));
    return converted;
}

} // namespace

void TForm4::recalculate()
{
    std::vector<std::string> lines;
    for (const QString& line : countLines())
        lines.push_back(line.toStdString());

    std::vector<dimora::ChartPoint> points;
    dimora::Recalculation result;
    try {
        result = dimora::recalculateCountList(lines, points);
    } catch (...) {
        // The points found before the failure stay on the chart; no line.
        plot(toQPoints(points), std::nullopt);
        throw;
    }
    plot(toQPoints(points), std::pair(toQPoint(result.lineStart), toQPoint(result.lineEnd)));
    TForm2& form2 = *windows().form2;
    form2.Edit3->setText(QString::fromStdString(result.fields.edit3));
    form2.Edit4->setText(QString::fromStdString(result.fields.edit4));
}
