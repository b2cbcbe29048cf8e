// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The three-dimensional box counting of a stack of two-valued slices read
// from a numbered series of PNG or BMP files (see slice_series.hpp).
//
// Each slice is box-counted in two dimensions over one region, with the black
// pixels (red byte 0; pixels of the region outside a slice are never black)
// and the sides of the two-valued measurement (1, 2, 4, ... while
// s < W / 2 and s < H / 2). The counts of all slices are summed per side into
// T(s), and with the spacing r of the slices in pixels the number of occupied
// cubes of side s is c(s) = T(s) × r div s. The dimension is the negated slope
// of log10 c(s) against log10 s.
//
// A run, in this order, each step failing with its own error:
//   1. the first file loaded (it becomes the working image): PNG when the
//      first file's extension is exactly ".png" (LoadPngBitmap), TIFF (first
//      page) or JPEG for their extensions, else BMP (loadBmpFile), with their
//      errors;
//   2. the region: the selection when one is given, else the whole first
//      slice;
//   3. the slice count N from the last file's name (sliceCountOf);
//   4. the spacing r (sliceSpacing);
//   5. slices 1 to N loaded and counted in turn (none when N ≤ 0); each
//      becomes the working image, its path the slice file name;
//   6. the coverage T(1) / (W × H × N) × 100, the product in 64 bits; 0 / 0
//      (N = 0, or a region without pixels) fails with
//      "不正な浮動小数点数演算命令", and so does a product T(s) × r beyond
//      64 bits.
// Then, as every dimension measurement ends (see measure/
// dimension_measurement.hpp): a coverage under 0.01 % gives the zero report;
// otherwise the count list gets c(s) for s = 1, 2, 4, ... up to the first
// c(s) ≤ 0 (excluded), and those pairs are fitted; fewer than two of them
// fail the fit with "不正な浮動小数点数演算命令", which is the outcome
// whenever r ≤ 0.
//
// The working image: the caller passes a SliceRun, which the run updates as it
// goes, so that when an error ends it the caller still has the last slice
// that loaded (and the path of the slice being read), just as when it ends
// normally.
//
// Cost: while slice i is counted (about one pass over its region), the next
// slices are decoded on other threads: two ahead for slices up to 64 MiB of
// pixels, one ahead for larger ones. They are taken in order, so an error of
// slice i + 1 surfaces only after slice i is counted, as it would one slice at
// a time. A PNG slice is decoded into the memory of a slice already counted
// when the two have the same size. The first slice is decoded once. For 100
// gray slices of 1024 × 1024 on two cores this takes less time than libpng
// alone needs to decode them one after another (bench/slices).

#include "core/image/bitmap.hpp"
#include "core/image/region.hpp"
#include "core/measure/dimension_measurement.hpp"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dimora {

// What the settings dialog holds when the run starts.
struct SliceSeriesSettings {
    std::string firstFile;            // the series' folder and "1.png", "1.bmp", "1.tif", ...
    std::string lastFile;             // the file the user picked (the slice file name)
    std::string pixelSizeText;        // millimetres; may be empty
    std::string distanceText;         // millimetres
    std::optional<Region> selection;  // the analysis region while the selection is shown
};

// What the run hands back, also when it ends with an error.
struct SliceRun {
    // The last slice that loaded (the working image from then on); empty when
    // not even the first file loaded.
    std::optional<Bitmap> workingImage;
    // The path of the last slice the run went to read (the slice file name
    // from then on); empty when no slice was read in step 5.
    std::optional<std::string> sliceFileName;
};

// Called after each counted slice with the slices done and N; the desktop
// program shows sliceProgressPercent(done, total).
using SliceProgress = std::function<void(std::int32_t done, std::int32_t total)>;

struct SliceStackCounts {
    std::int32_t sliceCount = 0;  // N
    std::int32_t spacing = 0;     // r, in pixels
    Region region;
    std::vector<std::int64_t> sides;        // every side counted
    std::vector<std::int64_t> stackCounts;  // T(s), over all slices
    std::vector<std::int64_t> cubeCounts;   // c(s) = T(s) × r div s
    double coverage = 0;                    // percentage of black voxels
};

// Below this coverage (in percent) the run ends with the zero report.
inline constexpr double kSliceZeroReportCoverage = 0.01;

// Steps 1 to 6.
[[nodiscard]] SliceStackCounts countSliceStack(const SliceSeriesSettings& settings, SliceRun& run,
                                               const SliceProgress& progress = {});

// The count list, the fit pairs and the coverage for the result window, as for
// the two-valued measurement: nothing but the zero report under 0.01 %, else
// the lines and pairs of c(s) up to the first c(s) ≤ 0.
[[nodiscard]] CountReport reportSliceCounts(const SliceStackCounts& counts);

// A whole run with its fit and field texts, for the command line.
struct SliceStackMeasurement {
    std::int32_t sliceCount = 0;
    std::int32_t spacing = 0;
    std::string lastFile;              // the path of the last slice read
    DimensionMeasurement measurement;  // sides and counts are those of the fit: c(s)
};

[[nodiscard]] SliceStackMeasurement measureSliceStack(const SliceSeriesSettings& settings, SliceRun& run,
                                                      const SliceProgress& progress = {});

}  // namespace dimora
