// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// How every dimension measurement writes its outcome into the windows, after
// the core has counted the boxes: the lines of the count list, then either the
// zero report or the fit, the four result fields and the count window's
// recalculation (which plots the chart and rewrites the correlation and the
// dimension). Errors of the fit or the recalculation propagate to the command,
// with the windows as far as they were written.

#include "core/measure/dimension_measurement.hpp"
#include "core/measure/result_fields.hpp"

#include <cstdint>

// Appends the report's lines to the count list (cleared by the caller) and
// finishes the measurement of a region of width × height.
void showCountReport(const dimora::CountReport& report, std::int32_t width, std::int32_t height);

// Writes all four fields of the result window.
void writeResultFields(const dimora::ResultFields& fields);
