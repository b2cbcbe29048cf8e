// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The measurements that need only a band of rows, taken as the file is
// decoded (streamImageFile into the core's streaming counters): the image is
// never held whole, so a file of any size is measured in memory bounded by
// its width, and the numbers are those of the whole-image measurements. A
// decoding error wins over the measurement's own, as when the file is
// decoded first.

#include "core/image/region.hpp"
#include "core/measure/box_count.hpp"
#include "core/measure/count_report.hpp"
#include "core/measure/total_length.hpp"

#include <cstdint>
#include <optional>
#include <string>

namespace dimora::cli {

// measureTwoValued and measureGray of page `page` of the file, over the
// region or (nullopt) the whole image.
[[nodiscard]] DimensionMeasurement streamTwoValued(const std::string& path, std::int32_t page,
                                                   const std::optional<Region>& region,
                                                   PixelClass pixelClass);
[[nodiscard]] DimensionMeasurement streamGray(const std::string& path, std::int32_t page,
                                              const std::optional<Region>& region);

struct StreamedLength {
    Region scan;                        // the scan rectangle
    std::optional<TotalLength> length;  // nothing when it is empty
};

// measureTotalLength of the file with the selection given or hidden.
[[nodiscard]] StreamedLength streamLength(const std::string& path, std::int32_t page,
                                          const std::optional<Region>& selection);

}  // namespace dimora::cli
