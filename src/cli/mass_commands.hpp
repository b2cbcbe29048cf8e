// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The lacunarity and multifractal commands: their runners, the --json object
// of one file (also batch's rows) and batch's CSV columns.

#include "cli/arguments.hpp"
#include "cli/command_table.hpp"

#include <nlohmann/json_fwd.hpp>

#include <span>
#include <string>

namespace dimora::cli {

int runLacunarity(const Arguments& arguments, const OutputStreams& streams);
[[nodiscard]] nlohmann::json lacunarityFileJson(const std::string& path, const Arguments& arguments);
// path, status, error, width, height, method, empty, slope, standardError,
// sides, lacunarity (the last two joined by ';').
[[nodiscard]] std::span<const BatchColumn> lacunarityColumns();
// --empty is the grid method's: a usage error with the gliding box.
void checkLacunarityOptions(const Arguments& arguments);

int runMultifractal(const Arguments& arguments, const OutputStreams& streams);
[[nodiscard]] nlohmann::json multifractalFileJson(const std::string& path, const Arguments& arguments);
// path, status, error, width, height, mass, sides, q, Dq, tau, alpha, f,
// DqStandardError, alphaStandardError, fStandardError, rSquared (arrays
// joined by ';', a null element left empty).
[[nodiscard]] std::span<const BatchColumn> multifractalColumns();
// --range takes all or S1-S2 here: auto is a usage error.
void checkMultifractalOptions(const Arguments& arguments);

}  // namespace dimora::cli
