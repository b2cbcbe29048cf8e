// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/fit_range.hpp"

#include <charconv>
#include <cmath>

namespace dimora {
namespace {

std::optional<std::int64_t> wholeNumber(std::string_view text)
{
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 1)
        return std::nullopt;
    return value;
}

// The least-squares slope and r² over points, in plain doubles; nothing when
// the points have no spread in x or in y.
struct Line {
    double slope = 0;
    double rSquared = 0;
};

std::optional<Line> lineThrough(std::span<const LogPoint> points)
{
    const auto n = static_cast<double>(points.size());
    double meanX = 0, meanY = 0;
    for (const LogPoint& p : points) {
        meanX += p.x;
        meanY += p.y;
    }
    meanX /= n;
    meanY /= n;
    double sxx = 0, syy = 0, sxy = 0;
    for (const LogPoint& p : points) {
        sxx += (p.x - meanX) * (p.x - meanX);
        syy += (p.y - meanY) * (p.y - meanY);
        sxy += (p.x - meanX) * (p.y - meanY);
    }
    if (sxx <= 0 || syy <= 0)
        return std::nullopt;
    return Line{sxy / sxx, sxy * sxy / (sxx * syy)};
}

}  // namespace

std::optional<FitRange> parseFitRange(std::string_view text)
{
    if (text == "all")
        return FitRange{};
    if (text == "auto")
        return FitRange{FitRange::Kind::Auto};
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos)
        return std::nullopt;
    const auto low = wholeNumber(text.substr(0, dash));
    const auto high = wholeNumber(text.substr(dash + 1));
    if (!low || !high || *low > *high)
        return std::nullopt;
    return FitRange{FitRange::Kind::Sides, *low, *high};
}

std::vector<std::optional<double>> localSlopes(std::span<const SideCount> pairs)
{
    std::vector<std::optional<double>> slopes;
    for (std::size_t k = 0; k + 1 < pairs.size(); ++k) {
        const SideCount& a = pairs[k];
        const SideCount& b = pairs[k + 1];
        if (a.side <= 0 || b.side <= 0 || a.count <= 0 || b.count <= 0 || a.side == b.side) {
            slopes.emplace_back();
            continue;
        }
        const double dy = std::log10(static_cast<double>(b.count)) - std::log10(static_cast<double>(a.count));
        const double dx = std::log10(static_cast<double>(b.side)) - std::log10(static_cast<double>(a.side));
        slopes.emplace_back(-dy / dx);
    }
    return slopes;
}

std::optional<PairRun> plateauRun(std::span<const SideCount> pairs, double tolerance)
{
    const std::vector<std::optional<double>> slopes = localSlopes(pairs);
    std::optional<PairRun> best;
    double bestRSquared = 0;
    // Longest first; within one length, runs of smaller sides first, a later
    // run replacing the best only with a strictly higher r².
    for (std::size_t length = pairs.size(); length >= 3 && !best; --length) {
        for (std::size_t first = 0; first + length <= pairs.size(); ++first) {
            const std::span<const std::optional<double>> runSlopes(slopes.data() + first, length - 1);
            bool defined = true;
            for (const auto& d : runSlopes)
                defined = defined && d.has_value();
            if (!defined)
                continue;
            std::vector<LogPoint> points;
            for (std::size_t k = first; k < first + length; ++k)
                points.push_back({std::log10(static_cast<double>(pairs[k].side)),
                                  std::log10(static_cast<double>(pairs[k].count))});
            const std::optional<Line> line = lineThrough(points);
            if (!line)
                continue;
            bool level = true;
            for (const auto& d : runSlopes)
                level = level && std::abs(*d + line->slope) <= tolerance;
            if (level && (!best || line->rSquared > bestRSquared)) {
                best = PairRun{first, length};
                bestRSquared = line->rSquared;
            }
        }
    }
    return best;
}

PairRun selectRange(std::span<const SideCount> pairs, const FitRange& range)
{
    switch (range.kind) {
    case FitRange::Kind::All:
        break;
    case FitRange::Kind::Sides: {
        PairRun run{pairs.size(), 0};
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            if (pairs[k].side < range.low || pairs[k].side > range.high)
                continue;
            if (run.count == 0)
                run.first = k;
            run.count = k + 1 - run.first;
        }
        if (run.count == 0)
            run.first = 0;
        return run;
    }
    case FitRange::Kind::Auto:
        if (const auto run = plateauRun(pairs))
            return *run;
        break;
    }
    return {0, pairs.size()};
}

RangedFit fitOverRange(std::span<const SideCount> pairs, const FitRange& range)
{
    RangedFit result;
    result.run = selectRange(pairs, range);
    result.localSlopes = localSlopes(pairs);
    if (range.kind == FitRange::Kind::Auto) {
        result.rule = kPlateauRuleText;
        result.noPlateau = !plateauRun(pairs).has_value();
    }
    const std::span<const SideCount> fitted = pairs.subspan(result.run.first, result.run.count);
    result.fit = LogLogFit(fitted);
    result.uncertainty = fitUncertainty(fitted, result.fit.dimension);
    result.low = fitted.front().side;
    result.high = fitted.back().side;
    return result;
}

}  // namespace dimora
