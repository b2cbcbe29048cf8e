// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "cli/arguments.hpp"
#include "cli/command_table.hpp"
#include "cli/reports.hpp"

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

// The operations of process, in --help's order.
[[nodiscard]] std::vector<std::string_view> processOperations();
// Throws UsageError unless the first operand names an operation.
void checkProcessOperands(const Arguments& arguments);

// The --json objects of one file of the dimension measurements (black,
// nonblack, gray) and of length.
[[nodiscard]] nlohmann::json dimensionFileJson(MeasurementKind kind, const std::string& path,
                                               const Arguments& arguments);
[[nodiscard]] nlohmann::json lengthFileJson(const std::string& path, const Arguments& arguments);

// The --json object of the table's measurement `measurement` ("black",
// "nonblack", "gray", "length", ...) of one file, with the region and page of
// the arguments; throws as the single command would.
[[nodiscard]] nlohmann::json measureFileJson(const std::string& measurement, const std::string& path,
                                             const Arguments& arguments);

}  // namespace dimora::cli
