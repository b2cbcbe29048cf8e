// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/result_fields.hpp"

#include "core/common/text.hpp"

namespace dimora {
namespace {

// A field's text: one blank, then the value. (Built by appending: GCC 12
// warns wrongly about " " + std::string.)
std::string field(std::string_view value)
{
    std::string text = " ";
    text += value;
    return text;
}

}  // namespace

std::string regionSizeText(std::int64_t width, std::int64_t height)
{
    return field(std::to_string(width) + "×" + std::to_string(height));
}

FitFields fitFieldTexts(double r, std::int32_t n, double dimension)
{
    return {field(formatFixed(r, 4) + " (" + std::to_string(n) + ")"), field(formatFixed(dimension, 4))};
}

ResultFields ShowResult(std::int64_t width, std::int64_t height, double value2, double r, std::int32_t n,
                        double dimension)
{
    FitFields fit = fitFieldTexts(r, n, dimension);
    return {regionSizeText(width, height), field(formatFixed(value2, 1)), std::move(fit.edit3),
            std::move(fit.edit4)};
}

ResultFields ShowZeroResult(std::int64_t width, std::int64_t height)
{
    return {regionSizeText(width, height), field("0"), "", field("0")};
}

}  // namespace dimora
