// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The message texts of the lacunarity and the multifractal spectrum.

#include <string_view>

namespace dimora::msg {
inline constexpr std::string_view kNoOccupiedPixel = "領域に占有ピクセルがありません";
inline constexpr std::string_view kNoMass = "領域に質量がありません";
// %s the box side in pixels.
inline constexpr std::string_view kBoxDoesNotFit = "一辺 %s ピクセルの箱は領域に収まりません";
inline constexpr std::string_view kBoxesAllEmpty = "一辺 %s ピクセルの箱はすべて空です";
inline constexpr std::string_view kBadMass = "質量に負の値か数でない値があります";
}  // namespace dimora::msg
