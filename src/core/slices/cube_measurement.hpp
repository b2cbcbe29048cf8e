// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// A whole cube measurement over a stack (see cube_stack.hpp and
// cube_count.hpp), in this order, each step failing with its own error:
//   1. the stack found (CubeStack::find);
//   2. the first slice read (failing as in step 3); the region is the given
//      one, else the whole first slice;
//   3. every slice read and counted in turn; a slice that cannot be read
//      fails with "スライス %s (%d 枚目) を読み込めません", whatever the
//      reader said (%s its path as built from the stack's path, %d its number
//      from 1), and one of another size than the first with
//      "スライス %s の大きさが最初のスライスと違います";
//   4. the counts finished (coverage 0 / 0 fails);
// then, as every dimension measurement ends, the zero report under 0.01 % or
// the fit of log10 N(s) against log10 s.
//
// Slices are decoded on two other threads, each taking the next slice, at
// most two ahead of the one being counted (core/common/ordered_pipeline.hpp),
// so a run holds at most four decoded slices plus the occupancy grids.
// Progress is reported on the calling thread after each counted slice. A stop
// requested through the stop token ends the run at the next slice with
// CubeRunStopped.

#include "core/image/region.hpp"
#include "core/measure/dimension_measurement.hpp"
#include "core/slices/cube_count.hpp"

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>

namespace dimora {

struct CubeSettings {
    std::string stack;             // a folder, the last file of a series, or a TIFF
    VoxelSize voxel;               // X must equal Y
    std::optional<Region> region;  // else the whole first slice
};

// Called after each counted slice with the slices done and all of them.
using CubeProgress = std::function<void(std::int32_t done, std::int32_t total)>;

// Thrown when a run is stopped before its end.
struct CubeRunStopped {};

// Steps 1 to 4: the counts and the path of the last slice read.
struct CubeStackCounts {
    CubeCounts counts;
    std::string lastFile;
};

// The message of slice `number` (from 1) at `path` that cannot be read.
[[nodiscard]] std::string cannotReadSliceMessage(const std::string& path, std::int32_t number);

[[nodiscard]] CubeStackCounts countCubeStack(const CubeSettings& settings, const CubeProgress& progress = {},
                                             const std::stop_token& stop = {});

// A whole run with its fit and field texts, for the command line.
struct CubeStackMeasurement {
    CubeStackCounts stack;
    DimensionMeasurement measurement;  // sides and counts are those of the fit: N(s)
};

[[nodiscard]] CubeStackMeasurement measureCubeStack(const CubeSettings& settings,
                                                    const CubeProgress& progress = {},
                                                    const std::stop_token& stop = {});

}  // namespace dimora
