// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// How a dimension measurement ends, after its boxes are counted, in steps a
// front end can follow without holding any arithmetic of its own:
//
//   two-valued (black, non-black)           grayscale
//   counts = countBoxes(...)  [may throw]   counts = countGrayBoxes(...)
//   report = reportBoxCounts(counts)        report = reportGrayCounts(counts)
//   write report.countList into the count list (it was cleared first)
//   if report.zeroReport: fields = ShowZeroResult(W, H); done
//   fit = LogLogFit(report.fitPairs)        [may throw: the list stays written]
//   fields = ShowResult(W, H, report.value2, fit.r, fit.n, fit.dimension)
//   recalculateCountList(countList, chartPoints)   [may throw]
//   its fields replace Edit3 and Edit4
//
// measureTwoValued and measureGray run all of it at once for the command line,
// failing at the same steps with the same errors.

#include "core/image/bitmap.hpp"
#include "core/image/region.hpp"
#include "core/measure/box_count.hpp"
#include "core/measure/count_report.hpp"

namespace dimora {

// The whole measurement of a region at once (counting, then the measurement
// sequence into a record).
[[nodiscard]] DimensionMeasurement measureTwoValued(const ImageView& image, const Region& region,
                                                    PixelClass pixelClass, RowGate* gate = nullptr);
[[nodiscard]] DimensionMeasurement measureGray(const ImageView& image, const Region& region);

}  // namespace dimora
