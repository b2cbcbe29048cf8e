// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/lacunarity.hpp"

#include "core/common/error.hpp"
#include "core/measure/occupied_pixels.hpp"
#include "core/measure/scaling_fit.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace dimora {
namespace {

using Wide = unsigned __int128;
using Moments = LacunarityMoments;

// The summed-area table of the occupied pixels: entry (x, y) of a
// (W + 1) × (H + 1) table is the number of occupied pixels above and left of
// pixel (x, y). Counts are below W × H, so 32-bit entries do wherever W × H
// fits: the box sums are differences, exact in wrapping unsigned arithmetic.
template <class Entry> class SummedArea {
public:
    SummedArea(const std::vector<std::uint8_t>& occupied, std::int64_t width, std::int64_t height)
        : stride_(static_cast<std::size_t>(width) + 1),
          table_(stride_ * (static_cast<std::size_t>(height) + 1), 0)
    {
        for (std::int64_t y = 0; y < height; ++y) {
            const std::uint8_t* in = occupied.data() + static_cast<std::size_t>(y) * (stride_ - 1);
            const Entry* above = row(y);
            Entry* out = table_.data() + static_cast<std::size_t>(y + 1) * stride_;
            Entry run = 0;
            for (std::size_t x = 0; x + 1 < stride_; ++x) {
                run += in[x];
                out[x + 1] = above[x + 1] + run;
            }
        }
    }

    [[nodiscard]] const Entry* row(std::int64_t y) const
    {
        return table_.data() + static_cast<std::size_t>(y) * stride_;
    }

private:
    std::size_t stride_;
    std::vector<Entry> table_;
};

// The boxes of side r at the given step (1: gliding, r: grid) whose top-left
// corners lie at x, y = 0, step, 2·step, … with the box inside W × H.
template <class Entry>
Moments boxMoments(const SummedArea<Entry>& table, std::int64_t width, std::int64_t height, std::int64_t r,
                   std::int64_t step, bool skipEmpty)
{
    Moments moments;
    const std::int64_t columns = (width - r) / step + 1;
    // A row's Σ M² fits 64 bits when columns · r⁴ does; otherwise each square
    // goes straight into the wide sum.
    const long double rowBound = static_cast<long double>(columns) * static_cast<long double>(r) *
                                 static_cast<long double>(r) * static_cast<long double>(r) *
                                 static_cast<long double>(r);
    const bool rowFits = rowBound < 1.8e19L;
    for (std::int64_t y = 0; y + r <= height; y += step) {
        const Entry* top = table.row(y);
        const Entry* bottom = table.row(y + r);
        std::uint64_t sum = 0, squares = 0, boxes = 0;
        Wide wideSquares = 0;
        if (step == 1 && !skipEmpty && rowFits) {
            // The gliding box's row: every position, no branch, so the loop
            // runs on vectors.
            const Entry* t = top;
            const Entry* b = bottom;
            for (std::int64_t x = 0; x < columns; ++x) {
                const auto mass =
                    static_cast<std::uint64_t>(static_cast<Entry>(b[x + r] - b[x] - t[x + r] + t[x]));
                sum += mass;
                squares += mass * mass;
            }
            moments.sum += sum;
            moments.squares += squares;
            moments.boxes += static_cast<std::uint64_t>(columns);
            continue;
        }
        for (std::int64_t i = 0; i < columns; ++i) {
            const std::int64_t x = i * step;
            const auto mass = static_cast<std::uint64_t>(
                static_cast<Entry>(bottom[x + r] - bottom[x] - top[x + r] + top[x]));
            sum += mass;
            if (rowFits)
                squares += mass * mass;
            else
                wideSquares += static_cast<Wide>(mass) * mass;
            boxes += (!skipEmpty || mass != 0) ? 1 : 0;
        }
        moments.sum += sum;
        moments.squares += rowFits ? static_cast<Wide>(squares) : wideSquares;
        moments.boxes += boxes;
    }
    return moments;
}

template <class Entry>
std::vector<Moments> allMoments(const std::vector<std::uint8_t>& occupied, const Region& region,
                                const LacunaritySettings& settings, const std::vector<std::int64_t>& sides)
{
    const SummedArea<Entry> table(occupied, region.width, region.height);
    std::vector<Moments> result;
    result.reserve(sides.size());
    const bool grid = settings.method == LacunarityMethod::Grid;
    for (const std::int64_t r : sides)
        result.push_back(boxMoments(table, region.width, region.height, r, grid ? r : 1,
                                    grid && settings.empty == EmptyBoxes::Exclude));
    return result;
}

}  // namespace

std::vector<std::int64_t> defaultLacunaritySides(const Region& region)
{
    std::vector<std::int64_t> sides;
    const std::int64_t shorter = std::min(region.width, region.height);
    for (std::int64_t r = 1; 2 * r <= shorter; r *= 2)
        sides.push_back(r);
    return sides;
}

std::string_view lacunarityMethodName(LacunarityMethod method)
{
    return method == LacunarityMethod::Grid ? "grid" : "gliding";
}

std::string_view emptyBoxesName(EmptyBoxes empty)
{
    return empty == EmptyBoxes::Exclude ? "exclude" : "include";
}

std::optional<LacunarityMethod> parseLacunarityMethod(std::string_view text)
{
    if (text == "gliding")
        return LacunarityMethod::Gliding;
    if (text == "grid")
        return LacunarityMethod::Grid;
    return std::nullopt;
}

std::optional<EmptyBoxes> parseEmptyBoxes(std::string_view text)
{
    if (text == "include")
        return EmptyBoxes::Include;
    if (text == "exclude")
        return EmptyBoxes::Exclude;
    return std::nullopt;
}

LacunarityResult measureLacunarity(const ImageView& image, const Region& region,
                                   const LacunaritySettings& settings, const PixelMask* mask)
{
    if (region.width <= 0 || region.height <= 0)
        fail(msg::kNoOccupiedPixel);
    const std::vector<std::uint8_t> occupied = occupiedPixels(image, region, mask);
    std::int64_t occupiedCount = 0;
    for (const std::uint8_t pixel : occupied)
        occupiedCount += pixel;
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(region.width) * static_cast<std::uint64_t>(region.height);
    return finishLacunarity(region, settings, occupiedCount, [&](const std::vector<std::int64_t>& sides) {
        return pixels < std::numeric_limits<std::uint32_t>::max()
                   ? allMoments<std::uint32_t>(occupied, region, settings, sides)
                   : allMoments<std::uint64_t>(occupied, region, settings, sides);
    });
}

std::vector<std::int64_t> lacunaritySides(const Region& region, const LacunaritySettings& settings)
{
    return settings.sides.empty() ? defaultLacunaritySides(region) : settings.sides;
}

LacunarityResult finishLacunarity(
    const Region& region, const LacunaritySettings& settings, std::int64_t occupied,
    const std::function<std::vector<LacunarityMoments>(const std::vector<std::int64_t>& sides)>& momentsOf)
{
    LacunarityResult result;
    result.region = region;
    result.method = settings.method;
    result.empty = settings.empty;
    result.occupied = occupied;
    if (region.width <= 0 || region.height <= 0 || occupied == 0)
        fail(msg::kNoOccupiedPixel);
    const std::vector<std::int64_t> sides = lacunaritySides(region, settings);
    const std::int64_t shorter = std::min(region.width, region.height);
    for (const std::int64_t r : sides)
        if (r < 1 || r > shorter)
            fail(msg::kBoxDoesNotFit, std::to_string(r));

    const std::vector<Moments> moments = momentsOf(sides);

    std::vector<double> x, y;
    for (std::size_t k = 0; k < sides.size(); ++k) {
        const Moments& m = moments[k];
        if (m.sum == 0)
            fail(msg::kBoxesAllEmpty, std::to_string(sides[k]));
        // Λ = E[M²] / E[M]² = n·ΣM² / (ΣM)², both exact integers.
        const Wide numerator = static_cast<Wide>(m.boxes) * m.squares;
        const Wide denominator = m.sum * m.sum;
        const auto lacunarity =
            static_cast<double>(static_cast<long double>(numerator) / static_cast<long double>(denominator));
        result.sides.push_back({sides[k], lacunarity, lacunarity - 1, static_cast<std::int64_t>(m.boxes)});
        x.push_back(std::log(static_cast<double>(sides[k])));
        y.push_back(std::log(lacunarity));
    }
    const ScalingFit fit = fitScaling(x, y);
    result.slope = fit.slope;
    result.standardError = fit.standardError;
    result.rSquared = fit.rSquared;
    return result;
}

}  // namespace dimora
