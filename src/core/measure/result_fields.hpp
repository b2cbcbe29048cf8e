// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The texts of the result window's four fields, formatted in this one place
// for the desktop program and the command line alike:
//   Edit1  size of the region:   " 640×480"   (a blank, width, "×" U+00D7, height)
//   Edit2  coverage or brightness difference, 1 decimal:   " 12.3"
//   Edit3  correlation, 4 decimals, then the number of points:   " -0.9988 (7)"
//   Edit4  fractal dimension, 4 decimals:   " 1.7235"
// Reals are in fixed notation with formatFixed (a first dropped digit of 5
// rounds away from zero); integers are plain digits.

#include <cstdint>
#include <string>

namespace dimora {

struct ResultFields {
    std::string edit1;
    std::string edit2;
    std::string edit3;
    std::string edit4;

    friend bool operator==(const ResultFields&, const ResultFields&) = default;
};

// The two fields that a fit writes, Edit3 and Edit4; the count window's
// recalculation rewrites exactly these.
struct FitFields {
    std::string edit3;
    std::string edit4;

    friend bool operator==(const FitFields&, const FitFields&) = default;
};

// Edit1: " W×H".
[[nodiscard]] std::string regionSizeText(std::int64_t width, std::int64_t height);

// Edit3 and Edit4 from the correlation r, the number of points n and the
// dimension.
[[nodiscard]] FitFields fitFieldTexts(double r, std::int32_t n, double dimension);

// All four fields of a measurement that was fitted. value2 is the coverage in
// percent or the brightness difference.
[[nodiscard]] ResultFields ShowResult(std::int64_t width, std::int64_t height, double value2, double r,
                                      std::int32_t n, double dimension);

// The fields of a measurement whose coverage was too small to fit:
// " W×H", " 0", "" (no blank) and " 0".
[[nodiscard]] ResultFields ShowZeroResult(std::int64_t width, std::int64_t height);

}  // namespace dimora
