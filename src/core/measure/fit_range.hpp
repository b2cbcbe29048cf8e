// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Which sides the log-log fit takes: all of them, those of a range of sides
// given by the user, or a range chosen from the local slopes.
//
// Local slope: between consecutive pairs k and k + 1,
//   d_k = −(log10 N_k+1 − log10 N_k) / (log10 s_k+1 − log10 s_k),
// the dimension that those two sides alone would give. Where box counting
// follows a power law the local slopes stand on a plateau; at small sides the
// pixel grid, at large sides the region's edge bend them away from it.
//
// The automatic range is a plateau of the local slopes, in the manner of the
// local-slope analysis of correlation and box-counting dimensions (J. Theiler,
// "Estimating fractal dimension", J. Opt. Soc. Am. A 7 (1990) 1055–1073;
// H. Kantz and T. Schreiber, "Nonlinear Time Series Analysis", Cambridge
// University Press, 1997, who read the dimension off the plateau of local
// slopes). The rule that picks the plateau is this program's own: the longest
// run of at least three consecutive sides whose local slopes all lie within
// kPlateauTolerance of the slope fitted over the run; among runs of that
// length the one with the higher r² (then the one of smaller sides). Where no
// run of three sides qualifies, every side is fitted.

#include "core/measure/fit_uncertainty.hpp"
#include "core/measure/log_log_fit.hpp"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dimora {

// How far (in dimension units) each local slope of a run may lie from the
// run's fitted slope. Chosen on the synthetic sets of known dimension of the
// accuracy table (bench/measure/accuracy_table.cpp): narrower bands let the
// log-periodic wobble of lacunar sets (Cantor dust, the Koch curve) split the
// plateau into short runs at arbitrary places; wider ones keep the bent ends.
inline constexpr double kPlateauTolerance = 0.3;

// The short text naming the automatic rule and its tolerance.
inline constexpr std::string_view kPlateauRuleText =
    "local-slope plateau (own rule after Theiler 1990): longest run of >= 3 sides whose local slopes all lie "
    "within 0.3 of the run's fitted slope; ties to the higher r^2";

// The note when no run qualifies and every side was fitted.
inline constexpr std::string_view kNoPlateauNote =
    "no run of three sides with local slopes within 0.3 of their fit: all sides fitted";

struct FitRange {
    enum class Kind : std::uint8_t { All, Sides, Auto };
    Kind kind = Kind::All;
    std::int64_t low = 0;  // Sides: the sides s with low ≤ s ≤ high
    std::int64_t high = 0;

    friend bool operator==(const FitRange&, const FitRange&) = default;
};

// "all", "auto" or "S1-S2" (whole numbers, 1 ≤ S1 ≤ S2); nothing for any
// other text.
[[nodiscard]] std::optional<FitRange> parseFitRange(std::string_view text);

// d_k for every pair of consecutive pairs (one fewer than the pairs); absent
// where a side or count is not positive or two sides are equal.
[[nodiscard]] std::vector<std::optional<double>> localSlopes(std::span<const SideCount> pairs);

// A run of consecutive pairs: [first, first + count).
struct PairRun {
    std::size_t first = 0;
    std::size_t count = 0;

    friend bool operator==(const PairRun&, const PairRun&) = default;
};

// The plateau run (see above), or nothing when no run of three qualifies.
[[nodiscard]] std::optional<PairRun> plateauRun(std::span<const SideCount> pairs,
                                                double tolerance = kPlateauTolerance);

// The pairs a range selects: for Sides those with low ≤ side ≤ high (they are
// consecutive in a list of growing sides; none when none is in range), for
// Auto the plateau run or all pairs, for All all pairs.
[[nodiscard]] PairRun selectRange(std::span<const SideCount> pairs, const FitRange& range);

struct RangedFit {
    PairRun run;           // the fitted pairs among the input
    std::int64_t low = 0;  // their smallest and largest side
    std::int64_t high = 0;
    std::vector<std::optional<double>> localSlopes;  // over all the input's pairs
    std::string rule;                                // Auto: kPlateauRuleText; else empty
    bool noPlateau = false;                          // Auto fell back on all sides
    FitResult fit;                                   // LogLogFit of the fitted pairs
    FitUncertainty uncertainty;                      // over the fitted pairs
};

// The fit over the range. Throws as LogLogFit over the selected pairs (so a
// range of fewer than two sides ends in the fit's own failure).
[[nodiscard]] RangedFit fitOverRange(std::span<const SideCount> pairs, const FitRange& range);

}  // namespace dimora
