// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/measurement_sequence.hpp"

namespace dimora {

void finishMeasurement(const CountReport& report, std::int64_t width, std::int64_t height,
                       MeasurementSink& sink)
{
    sink.appendCountLines(report.countList);
    if (report.zeroReport) {
        sink.showFields(ShowZeroResult(width, height));
        return;
    }
    const FitResult fit = LogLogFit(report.fitPairs);
    sink.fitted(fit);
    sink.showFields(ShowResult(width, height, report.value2, fit.r, fit.n, fit.dimension));
    recalculate(sink);
}

void recalculate(MeasurementSink& sink)
{
    std::vector<ChartPoint> points;
    Recalculation result;
    try {
        result = recalculateCountList(sink.countLines(), points);
    } catch (...) {
        sink.showRecalculation(points, nullptr);
        throw;
    }
    sink.showRecalculation(points, &result);
}

void MeasurementRecord::appendCountLines(std::span<const std::string> lines)
{
    countList_.insert(countList_.end(), lines.begin(), lines.end());
}

void MeasurementRecord::showRecalculation(std::span<const ChartPoint> points, const Recalculation* result)
{
    chartPoints_.assign(points.begin(), points.end());
    if (!result)
        return;
    lineStart_ = result->lineStart;
    lineEnd_ = result->lineEnd;
    fields_.edit3 = result->fields.edit3;
    fields_.edit4 = result->fields.edit4;
}

DimensionMeasurement MeasurementRecord::take(const Region& region, const CountReport& report) &&
{
    DimensionMeasurement m;
    m.region = region;
    m.value2 = report.value2;
    if (!report.zeroReport) {
        for (const SideCount& pair : report.fitPairs) {
            m.sides.push_back(pair.side);
            m.counts.push_back(pair.count);
        }
    }
    m.countList = std::move(countList_);
    m.fit = fit_;
    m.fields = std::move(fields_);
    m.chartPoints = std::move(chartPoints_);
    m.lineStart = lineStart_;
    m.lineEnd = lineEnd_;
    return m;
}

DimensionMeasurement finishMeasurement(const Region& region, const CountReport& report)
{
    MeasurementRecord record;
    finishMeasurement(report, region.width, region.height, record);
    return std::move(record).take(region, report);
}

}  // namespace dimora
