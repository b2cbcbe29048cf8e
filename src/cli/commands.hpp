// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "cli/arguments.hpp"
#include "cli/command_table.hpp"
#include "cli/reports.hpp"
#include "core/image/bitmap.hpp"
#include "core/slices/cube_measurement.hpp"

#include <nlohmann/json_fwd.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace dimora::cli {

// The runners of the command table's entries: each writes its report on
// streams.out and returns the exit status, or throws dimora::Error when the
// command ends with an error; then nothing is printed and no output file is
// left half-written.
int runDimension(MeasurementKind kind, const Arguments& arguments, const OutputStreams& streams);
int runLength(const Arguments& arguments, const OutputStreams& streams);
int runSlices(const Arguments& arguments, const OutputStreams& streams);
// The bar of slices done goes to streams.err when progress is shown by default.
int runCubes(const Arguments& arguments, const OutputStreams& streams);
int runRefit(const Arguments& arguments, const OutputStreams& streams);
int runProcess(const Arguments& arguments, const OutputStreams& streams);
int runG1(const Arguments& arguments, const OutputStreams& streams);
int runVersion(const Arguments& arguments, const OutputStreams& streams);

// Writes a report on streams.out; throws Error when it cannot be written.
int printReport(const OutputStreams& streams, const std::string& text);

// The fit over --range's sides of a dimension measurement, as the commands
// choose it (the fields and fitted pairs become the range's).
[[nodiscard]] FitChoices chooseFitRange(DimensionMeasurement& m, const Arguments& arguments);

// A cube stack's fit over --range's sides and what its report adds to the
// measurement (the slices, the voxel, k(s) of each fitted side).
struct CubeFit {
    FitChoices choices;
    SliceFacts facts;
};
[[nodiscard]] CubeFit fitCubes(CubeStackMeasurement& result, const Arguments& arguments);

// Applies the operation of process named `name` to the image; throws Error
// for a name that is not one.
void applyProcessOperation(const std::string& name, Bitmap& image, std::int32_t threshold);

// The operations of process, in --help's order.
[[nodiscard]] std::vector<std::string_view> processOperations();
// Throws UsageError unless the first operand names an operation.
void checkProcessOperands(const Arguments& arguments);

// The --json objects of one file of the dimension measurements (black,
// nonblack, gray) and of length.
[[nodiscard]] nlohmann::json dimensionFileJson(MeasurementKind kind, const std::string& path,
                                               const Arguments& arguments);
[[nodiscard]] nlohmann::json lengthFileJson(const std::string& path, const Arguments& arguments);
// The same of an image in memory (the Python module's arrays), with the
// region, grid and range of the arguments; their operands and page are not
// read.
[[nodiscard]] nlohmann::json dimensionViewJson(MeasurementKind kind, const ImageView& view,
                                               const Arguments& arguments);
[[nodiscard]] nlohmann::json lengthViewJson(const ImageView& view, const Arguments& arguments);

// The --json object of the table's measurement `measurement` ("black",
// "nonblack", "gray", "length", ...) of one file, with the region and page of
// the arguments; throws as the single command would.
[[nodiscard]] nlohmann::json measureFileJson(const std::string& measurement, const std::string& path,
                                             const Arguments& arguments);

}  // namespace dimora::cli
