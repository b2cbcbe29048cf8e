// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "measure/dimension_measurement.hpp"

namespace dimora {
namespace {

std::vector<SideCount> pairsOf(const std::vector<std::int64_t>& sides,
                               const std::vector<std::int64_t>& counts)
{
    std::vector<SideCount> pairs;
    for (std::size_t k = 0; k < sides.size(); ++k)
        pairs.push_back({sides[k], counts[k]});
    return pairs;
}

DimensionMeasurement finish(const Region& region, const std::vector<std::int64_t>& sides,
                            const std::vector<std::int64_t>& counts, CountReport report)
{
    DimensionMeasurement m;
    m.region = region;
    m.value2 = report.value2;
    if (report.zeroReport) {
        m.fields = ShowZeroResult(region.width, region.height);
        return m;
    }
    m.sides = sides;
    m.counts = counts;
    m.countList = std::move(report.countList);
    const FitResult fit = LogLogFit(report.fitPairs);
    m.fit = fit;
    m.fields = ShowResult(region.width, region.height, report.value2, fit.r, fit.n, fit.dimension);
    const Recalculation recalculation = recalculateCountList(m.countList, m.chartPoints);
    m.fields.edit3 = recalculation.fields.edit3;
    m.fields.edit4 = recalculation.fields.edit4;
    m.lineStart = recalculation.lineStart;
    m.lineEnd = recalculation.lineEnd;
    return m;
}

} // namespace

CountReport reportBoxCounts(const BoxCounts& counts)
{
    CountReport report;
    report.value2 = counts.coverage;
    if (counts.coverage < kZeroReportCoverage) {
        report.zeroReport = true;
        return report;
    }
    report.countList = countListLines(counts.counts);
    report.fitPairs = pairsOf(counts.sides, counts.counts);
    return report;
}

CountReport reportGrayCounts(const GrayCounts& counts)
{
    CountReport report;
    report.value2 = counts.brightnessDifference;
    report.countList.emplace_back();
    for (std::string& line : countListLines(counts.counts))
        report.countList.push_back(std::move(line));
    report.fitPairs = pairsOf(counts.sides, counts.counts);
    return report;
}

DimensionMeasurement measureTwoValued(const ImageView& image, const Region& region, PixelClass pixelClass)
{
    const BoxCounts counts = countBoxes(image, region, pixelClass);
    return finish(region, counts.sides, counts.counts, reportBoxCounts(counts));
}

DimensionMeasurement measureGray(const ImageView& image, const Region& region)
{
    const GrayCounts counts = countGrayBoxes(image, region);
    return finish(region, counts.sides, counts.counts, reportGrayCounts(counts));
}

} // namespace dimora
