// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "cli/arguments.hpp"

#include <nlohmann/json_fwd.hpp>

#include <string>

namespace dimora::cli {

// Runs one command and returns what it prints on standard output. Throws
// dimora::Error when the command ends with an error; then nothing is printed
// and no output file is left half-written.
[[nodiscard]] std::string runCommand(const Arguments& arguments);

// The --json object of one measurement ("black", "nonblack", "gray" or
// "length") of one file, with the region and page of the arguments; throws
// as the single command would.
[[nodiscard]] nlohmann::json measureFileJson(const std::string& measurement, const std::string& path,
                                             const Arguments& arguments);

}  // namespace dimora::cli
