// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/count_report.hpp"

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

}  // namespace

CountReport reportOccupiedBoxes(const std::vector<std::int64_t>& sides,
                                const std::vector<std::int64_t>& counts, double coverage,
                                double zeroReportBelow)
{
    CountReport report;
    report.value2 = coverage;
    if (coverage < zeroReportBelow) {
        report.zeroReport = true;
        return report;
    }
    report.countList = countListLines(counts);
    report.fitPairs = pairsOf(sides, counts);
    return report;
}

CountReport reportBoxCounts(const BoxCounts& counts)
{
    return reportOccupiedBoxes(counts.sides, counts.counts, counts.coverage, kZeroReportCoverage);
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

}  // namespace dimora
