// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The choices of the two-valued measurements (black and non-black) beyond
// the default count: where the grid of boxes lands and which sides the fit
// takes. They are kept in the user's settings (QSettings, organisation and
// application "Dimora3", the file of the dialogs' folder; keys
// "Measurement/grid" = "origin" | "min" and "Measurement/range" = "all" |
// "auto" | "S1-S2"), so that they hold across runs. A missing or unreadable
// value reads as the default.

#include "core/measure/fit_range.hpp"
#include "core/measure/min_grid_count.hpp"

#include <QString>

struct TwoValuedChoices {
    dimora::GridPlacement grid = dimora::GridPlacement::Origin;
    dimora::FitRange range;  // All

    // The origin grid and every side: the measurement as it always was.
    [[nodiscard]] bool isDefault() const
    {
        return grid == dimora::GridPlacement::Origin && range.kind == dimora::FitRange::Kind::All;
    }

    friend bool operator==(const TwoValuedChoices&, const TwoValuedChoices&) = default;
};

// The range as the settings and the command line write it: "all", "auto" or
// "S1-S2".
[[nodiscard]] QString fitRangeText(const dimora::FitRange& range);

[[nodiscard]] TwoValuedChoices loadTwoValuedChoices();
void saveTwoValuedChoices(const TwoValuedChoices& choices);
