// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The count list and its recalculation, as the count window runs it after
// every measurement and on its button "再計算".
//
// The count list is a list of text lines; line k (from 0) stands for box side
// 2^k by its position alone. A line is either empty (its side is left out) or
// the decimal text of a count; only a line without any character is empty, a
// line of blanks is not. Only lines 0 to 13 are read (sides 1 to 8192); a
// missing line reads as empty.
//
// The recalculation, in order:
//   1. for each line 0 .. 13: if it is not empty, convert it with parseInteger64
//      (its error text for anything else), add the chart point
//      (log10 side, log10 count) and the pair (side, count) to the fit;
//   2. LogLogFit over the pairs;
//   3. the fitted line from (0, a), where it meets side 1, to (−a / b, 0),
//      where it reaches a count of 1;
//   4. the texts of Edit3 and Edit4.
// Errors end it where they arise: a line that is not an integer, a count of 0
// ("0 による浮動小数点数除算"), a negative count ("不正な浮動小数点数演算命令"),
// then the fit's own failures (fewer than two counts, all counts equal). A flat
// fitted line (slope exactly 0) has no point of count 1 and fails in step 3.

#include "core/measure/log_log_fit.hpp"
#include "core/measure/result_fields.hpp"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dimora {

// Lines of the count list that the recalculation reads.
inline constexpr int kCountListLinesRead = 14;

// The box side that line k (from 0) of the count list stands for: 2^k. It is
// exact as a double for every line a list can hold, and a whole number of
// std::int64_t up to line 62.
[[nodiscard]] double countListSide(std::size_t line);

// The lines of a count list file: each line ends at LF (a CR stays in its
// line), and a final LF adds no line.
[[nodiscard]] std::vector<std::string> splitCountListText(std::string_view text);

// A point of the log-log chart.
using ChartPoint = LogPoint;

struct Recalculation {
    std::vector<SideCount> pairs;  // the sides and counts of the non-empty lines
    FitResult fit;
    ChartPoint lineStart;  // (0, a)
    ChartPoint lineEnd;    // (−a / b, 0)
    FitFields fields;      // Edit3 and Edit4
};

// Runs the recalculation on the lines of the count list. `points` is emptied
// first and then receives the chart points (the count window's point series)
// as they are found; when an error is thrown it still holds the points found
// before it, which the chart keeps.
[[nodiscard]] Recalculation recalculateCountList(std::span<const std::string> lines,
                                                 std::vector<ChartPoint>& points);

// The count list lines that a measurement writes: the decimal text of each
// count, plain digits.
[[nodiscard]] std::vector<std::string> countListLines(std::span<const std::int64_t> counts);

// The count list as CSV: the header "side,count,log10 side,log10 count",
// then one row per non-empty line, line k standing for side countListSide(k),
// logarithms with 6 decimals. A line that is an integer (parseInteger64) gives
// its value and, when it is positive, its logarithm; any other line is
// written as it stands (quoted when it holds a comma, a quote or a CR) with
// the logarithm of the count left empty. Rows end with "\n".
[[nodiscard]] std::string countListCsv(std::span<const std::string> lines);

}  // namespace dimora
