// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/multifractal.hpp"

#include "core/common/error.hpp"
#include "core/measure/box_count.hpp"
#include "core/measure/occupied_pixels.hpp"
#include "core/measure/scaling_fit.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

namespace dimora {
namespace {

// q closer to 1 than this takes the limit form.
constexpr double kQIsOne = 1e-9;

// One distinct box mass and how many boxes hold it.
struct MassGroup {
    double logP = 0;  // ln(mass / total)
    double boxes = 0;
};

// The sums of one side for one q, against which the slopes are fitted.
struct SideSums {
    double logSum = 0;   // ln Σ P^q
    double muLogP = 0;   // Σ μ ln P
    double muLogMu = 0;  // Σ μ ln μ
};

// The masses of the whole boxes of one side, the side-s grid of box masses
// (row-major, columns × rows).
template <class Mass> struct MassGrid {
    std::int64_t columns = 0;
    std::int64_t rows = 0;
    std::vector<Mass> mass;

    // The grid of side 2s from that of side s, in place: each box sums the
    // 2 × 2 boxes it covers; a last odd column or row is no whole box.
    void halve()
    {
        const std::int64_t c2 = columns / 2, r2 = rows / 2;
        for (std::int64_t j = 0; j < r2; ++j) {
            const Mass* a = mass.data() + static_cast<std::size_t>(2 * j * columns);
            const Mass* b = a + columns;
            Mass* out = mass.data() + static_cast<std::size_t>(j * c2);
            for (std::int64_t i = 0; i < c2; ++i)
                out[i] = a[2 * i] + a[2 * i + 1] + b[2 * i] + b[2 * i + 1];
        }
        columns = c2;
        rows = r2;
        mass.resize(static_cast<std::size_t>(c2 * r2));
    }
};

// The non-empty masses of a grid grouped by value. Whole-number masses (the
// black mass, and integer samples) go through a histogram when its size stays
// within a few times the number of boxes; other masses stand one box a group.
template <class Mass>
std::vector<MassGroup> massGroups(const MassGrid<Mass>& grid, double total, bool integral)
{
    const double logTotal = std::log(total);
    std::vector<MassGroup> groups;
    double largest = 0;
    std::size_t nonEmpty = 0;
    for (const Mass m : grid.mass) {
        largest = std::max(largest, static_cast<double>(m));
        nonEmpty += m != 0 ? 1 : 0;
    }
    const double histogramLimit = std::max<double>(65536.0, 4.0 * static_cast<double>(grid.mass.size()));
    if (integral && largest < histogramLimit) {
        std::vector<std::uint64_t> histogram(static_cast<std::size_t>(largest) + 1, 0);
        for (const Mass m : grid.mass)
            ++histogram[static_cast<std::size_t>(m)];
        for (std::size_t v = 1; v < histogram.size(); ++v)
            if (histogram[v] != 0)
                groups.push_back(
                    {std::log(static_cast<double>(v)) - logTotal, static_cast<double>(histogram[v])});
        return groups;
    }
    groups.reserve(nonEmpty);
    for (const Mass m : grid.mass)
        if (m != 0)
            groups.push_back({std::log(static_cast<double>(m)) - logTotal, 1.0});
    return groups;
}

// The sums of one side for every q: one exp per group and q. The largest
// term is factored out (log-sum-exp), so large |q| neither overflows nor
// underflows.
std::vector<SideSums> sideSums(const std::vector<MassGroup>& groups, const std::vector<double>& qs)
{
    std::vector<SideSums> sums;
    sums.reserve(qs.size());
    std::vector<double> weights(groups.size());
    for (const double q : qs) {
        double shift = -HUGE_VAL;
        for (const MassGroup& g : groups)
            shift = std::max(shift, q * g.logP);
        double total = 0, weightedLogP = 0;
        for (std::size_t i = 0; i < groups.size(); ++i) {
            const double w = groups[i].boxes * std::exp(q * groups[i].logP - shift);
            total += w;
            weightedLogP += w * groups[i].logP;
        }
        SideSums s;
        s.logSum = shift + std::log(total);
        s.muLogP = weightedLogP / total;
        // ln μ = q ln P − ln Σ P^q, so Σ μ ln μ = q Σ μ ln P − ln Σ P^q.
        s.muLogMu = q * s.muLogP - s.logSum;
        sums.push_back(s);
    }
    return sums;
}

template <class Mass>
MultifractalResult spectrum(MassGrid<Mass> grid, const Region& region, MassKind kind,
                            const MultifractalSettings& settings, bool integral)
{
    MultifractalResult result;
    result.region = region;
    result.mass = kind;
    double total = 0;
    for (const Mass m : grid.mass)
        total += static_cast<double>(m);
    result.totalMass = total;
    if (!(total > 0))
        fail(kind == MassKind::Black ? msg::kNoOccupiedPixel : msg::kNoMass);
    if (settings.range.kind == FitRange::Kind::Auto)
        throw std::invalid_argument("multifractal: the automatic range is not offered");

    const std::vector<double> qs = settings.q.empty() ? defaultMultifractalQ() : settings.q;
    result.measuredSides = multifractalSides(region);
    std::vector<double> logSide;
    std::vector<std::vector<SideSums>> sums;  // [fitted side][q]
    std::int64_t side = 1;
    for (const std::int64_t s : result.measuredSides) {
        for (; side < s; side *= 2)
            grid.halve();
        const bool fitted = settings.range.kind == FitRange::Kind::All ||
                            (s >= settings.range.low && s <= settings.range.high);
        if (!fitted)
            continue;
        double sideTotal = 0;
        for (const Mass m : grid.mass)
            sideTotal += static_cast<double>(m);
        if (!(sideTotal > 0))
            fail(msg::kBoxesAllEmpty, std::to_string(s));
        result.sides.push_back(s);
        logSide.push_back(std::log(static_cast<double>(s)));
        sums.push_back(sideSums(massGroups(grid, sideTotal, integral), qs));
    }

    std::vector<double> y(sums.size());
    const auto fitOf = [&](std::size_t qi, double SideSums::*field) {
        for (std::size_t k = 0; k < sums.size(); ++k)
            y[k] = sums[k][qi].*field;
        return fitScaling(logSide, y);
    };
    for (std::size_t qi = 0; qi < qs.size(); ++qi) {
        const double q = qs[qi];
        MultifractalPoint point;
        point.q = q;
        const ScalingFit alpha = fitOf(qi, &SideSums::muLogP);
        const ScalingFit f = fitOf(qi, &SideSums::muLogMu);
        if (std::abs(q - 1) < kQIsOne) {
            // At q = 1, μ = P: Σ P ln P is the α sum itself.
            point.dq = alpha.slope;
            point.tau = 0;
            point.dqStandardError = alpha.standardError;
            point.tauStandardError = 0.0;
            point.rSquared = alpha.rSquared;
        } else {
            const ScalingFit tau = fitOf(qi, &SideSums::logSum);
            point.tau = tau.slope;
            point.dq = tau.slope / (q - 1);
            if (tau.standardError)
                point.dqStandardError = *tau.standardError / std::abs(q - 1);
            point.tauStandardError = tau.standardError;
            point.rSquared = tau.rSquared;
        }
        point.alpha = alpha.slope;
        point.alphaStandardError = alpha.standardError;
        point.alphaRSquared = alpha.rSquared;
        point.f = f.slope;
        point.fStandardError = f.standardError;
        point.fRSquared = f.rSquared;
        result.points.push_back(point);
    }
    return result;
}

// The side-1 grid of sample masses: samples of the plane inside the region
// and the mask, 0 elsewhere.
template <class Sample>
MassGrid<double> sampleGrid(const SamplePlane& samples, const Region& region, const PixelMask* mask)
{
    MassGrid<double> grid{
        region.width, region.height,
        std::vector<double>(static_cast<std::size_t>(region.width) * static_cast<std::size_t>(region.height),
                            0.0)};
    const std::int64_t x0 = std::max<std::int64_t>(region.left, 0);
    const std::int64_t x1 = std::min<std::int64_t>(std::int64_t{region.left} + region.width, samples.width());
    const std::int64_t y0 = std::max<std::int64_t>(region.top, 0);
    const std::int64_t y1 =
        std::min<std::int64_t>(std::int64_t{region.top} + region.height, samples.height());
    bool bad = false;
    for (std::int64_t y = y0; y < y1; ++y) {
        const std::uint8_t* row = samples.row(static_cast<std::int32_t>(y));
        double* out = grid.mass.data() + static_cast<std::size_t>((y - region.top) * region.width);
        for (std::int64_t x = x0; x < x1; ++x) {
            if (mask != nullptr && !mask->at(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)))
                continue;
            Sample sample;
            std::memcpy(&sample, row + static_cast<std::size_t>(x) * sizeof(Sample), sizeof sample);
            const auto value = static_cast<double>(sample);
            bad = bad || !(value >= 0) || !std::isfinite(value);
            out[x - region.left] = value;
        }
    }
    if (bad)
        fail(msg::kBadMass);
    return grid;
}

// Rounds a generated q to 12 significant digits, so 0.1 steps give 0.3, not
// 0.30000000000000004, and 1 is met exactly.
double tidy(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.12g", value);
    return std::strtod(text, nullptr);
}

std::optional<double> parseNumber(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace

std::vector<double> defaultMultifractalQ()
{
    std::vector<double> qs;
    for (int k = -20; k <= 20; ++k)
        qs.push_back(k * 0.5);
    return qs;
}

std::optional<std::vector<double>> parseQList(std::string_view text)
{
    std::vector<std::string_view> parts;
    const char separator = text.find(':') != std::string_view::npos ? ':' : ',';
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos)
            break;
        from = at + 1;
    }
    std::vector<double> values;
    for (const std::string_view part : parts) {
        const std::optional<double> value = parseNumber(part);
        if (!value)
            return std::nullopt;
        values.push_back(*value);
    }
    if (separator == ',')
        return values;
    if (values.size() != 3 || !(values[2] > 0) || values[0] > values[1])
        return std::nullopt;
    const double from = values[0], to = values[1], step = values[2];
    const double steps = std::floor((to - from) / step + 1e-9);
    if (steps > 100000)
        return std::nullopt;
    std::vector<double> qs;
    for (double k = 0; k <= steps; ++k)
        qs.push_back(tidy(from + k * step));
    return qs;
}

std::vector<std::int64_t> multifractalSides(const Region& region)
{
    std::vector<std::int64_t> sides;
    const std::int64_t shorter = std::min(region.width, region.height);
    for (std::int64_t s = 1; 4 * s <= shorter && s <= kLargestBoxSide; s *= 2)
        sides.push_back(s);
    return sides;
}

std::string_view massKindName(MassKind mass)
{
    return mass == MassKind::Gray ? "gray" : "black";
}

MultifractalResult measureMultifractal(const ImageView& image, const Region& region,
                                       const MultifractalSettings& settings, const PixelMask* mask)
{
    if (region.width <= 0 || region.height <= 0)
        fail(msg::kNoOccupiedPixel);
    const std::vector<std::uint8_t> occupied = occupiedPixels(image, region, mask);
    // Box masses are at most W × H: 32 bits each wherever that fits.
    if (static_cast<std::uint64_t>(occupied.size()) < std::numeric_limits<std::uint32_t>::max())
        return spectrum(MassGrid<std::uint32_t>{region.width, region.height,
                                                std::vector<std::uint32_t>(occupied.begin(), occupied.end())},
                        region, MassKind::Black, settings, true);
    return spectrum(MassGrid<std::uint64_t>{region.width, region.height,
                                            std::vector<std::uint64_t>(occupied.begin(), occupied.end())},
                    region, MassKind::Black, settings, true);
}

MultifractalResult measureMultifractal(const SamplePlane& samples, const Region& region,
                                       const MultifractalSettings& settings, const PixelMask* mask)
{
    if (region.width <= 0 || region.height <= 0)
        fail(msg::kNoMass);
    switch (samples.type()) {
    case SampleType::UInt8:
        return spectrum(sampleGrid<std::uint8_t>(samples, region, mask), region, MassKind::Gray, settings,
                        true);
    case SampleType::UInt16:
        return spectrum(sampleGrid<std::uint16_t>(samples, region, mask), region, MassKind::Gray, settings,
                        true);
    case SampleType::UInt32:
        return spectrum(sampleGrid<std::uint32_t>(samples, region, mask), region, MassKind::Gray, settings,
                        true);
    case SampleType::Float32:
        break;
    }
    return spectrum(sampleGrid<float>(samples, region, mask), region, MassKind::Gray, settings, false);
}

}  // namespace dimora
