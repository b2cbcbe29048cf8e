// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/count_list.hpp"

#include "core/common/csv.hpp"
#include "core/common/error.hpp"
#include "core/common/text.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

namespace dimora {
namespace {

std::optional<std::int64_t> integerOf(const std::string& line)
{
    try {
        return parseInteger64(line);
    } catch (const Error&) {
        return std::nullopt;
    }
}

std::string fixed(double value)
{
    return formatFixed(value, 6);
}

}  // namespace

double countListSide(std::size_t line)
{
    return std::ldexp(1.0, static_cast<int>(line));
}

std::vector<std::string> splitCountListText(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

Recalculation recalculateCountList(std::span<const std::string> lines, std::vector<ChartPoint>& points)
{
    points.clear();
    Recalculation result;
    const std::size_t read = std::min(lines.size(), static_cast<std::size_t>(kCountListLinesRead));
    for (std::size_t k = 0; k < read; ++k) {
        if (lines[k].empty())
            continue;
        const SideCount pair{static_cast<std::int64_t>(countListSide(k)), parseInteger64(lines[k])};
        points.push_back(logPointOf(pair));
        result.pairs.push_back(pair);
    }

    result.fit = LogLogFit(result.pairs);
    const double a = result.fit.intercept;
    const double b = result.fit.slope;
    result.lineStart = {0.0, a};
    if (b == 0.0)
        fail(a == 0.0 ? msg::kInvalidFloatOperation : msg::kFloatDivideByZero);
    result.lineEnd = {-a / b, 0.0};
    result.fields = fitFieldTexts(result.fit.r, result.fit.n, result.fit.dimension);
    return result;
}

std::vector<std::string> countListLines(std::span<const std::int64_t> counts)
{
    std::vector<std::string> lines;
    lines.reserve(counts.size());
    for (const std::int64_t count : counts)
        lines.push_back(std::to_string(count));
    return lines;
}

std::string countListCsv(std::span<const std::string> lines)
{
    std::string csv = csvRecord(std::vector<std::string>{"side", "count", "log10 side", "log10 count"},
                                CsvQuoting::WhenNeeded, "\n");
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const std::string& line = lines[k];
        if (line.empty())
            continue;
        const double side = countListSide(k);
        std::string count = line;
        std::string logCount;
        if (const std::optional<std::int64_t> value = integerOf(line)) {
            count = std::to_string(*value);
            if (*value > 0)
                logCount = fixed(std::log10(static_cast<double>(*value)));
        }
        csv += csvRecord(
            std::vector<std::string>{formatFixed(side, 0), count, fixed(std::log10(side)), logCount},
            CsvQuoting::WhenNeeded, "\n");
    }
    return csv;
}

}  // namespace dimora
