// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The lacunarity and multifractal commands: their runners, the --json object
// of one file (also batch's rows) and batch's CSV columns.

#include "cli/arguments.hpp"
#include "cli/command_table.hpp"
#include "core/image/bitmap.hpp"
#include "core/image/pixel_mask.hpp"
#include "core/image/sample_plane.hpp"

#include <nlohmann/json_fwd.hpp>

#include <span>
#include <string>

namespace dimora::cli {

int runLacunarity(const Arguments& arguments, const OutputStreams& streams);
[[nodiscard]] nlohmann::json lacunarityFileJson(const std::string& path, const Arguments& arguments);
// path, status, error, width, height, method, empty, slope, standardError,
// sides, lacunarity (the last two joined by ';').
[[nodiscard]] std::span<const BatchColumn> lacunarityColumns();
// The --json object of an image in memory (the Python module's arrays), with
// the region and settings of the arguments, under the mask when one is given
// (maskArea added, as --mask adds it).
[[nodiscard]] nlohmann::json lacunarityViewJson(const ImageView& view, const Arguments& arguments,
                                                const PixelMask* mask = nullptr);
// --empty exclude is the grid method's: a usage error with the gliding box,
// which takes every position.
void checkLacunarityOptions(const Arguments& arguments);
// One object of --labels: the image's region under the object's mask.
[[nodiscard]] nlohmann::json lacunarityObjectJson(const ObjectImage& image, const Region& region,
                                                  const PixelMask* mask, const Arguments& arguments);

int runMultifractal(const Arguments& arguments, const OutputStreams& streams);
[[nodiscard]] nlohmann::json multifractalFileJson(const std::string& path, const Arguments& arguments);
// path, status, error, width, height, mass, sides, q, Dq, tau, alpha, f,
// DqStandardError, alphaStandardError, fStandardError, rSquared (arrays
// joined by ';', a null element left empty).
[[nodiscard]] std::span<const BatchColumn> multifractalColumns();
// The same of an image in memory: black mass from a view, grey mass from
// samples; under the mask when one is given.
[[nodiscard]] nlohmann::json multifractalViewJson(const ImageView& view, const Arguments& arguments,
                                                  const PixelMask* mask = nullptr);
[[nodiscard]] nlohmann::json multifractalSamplesJson(const SamplePlane& samples, const Arguments& arguments,
                                                     const PixelMask* mask = nullptr);
// --range takes all or S1-S2 here: auto is a usage error.
void checkMultifractalOptions(const Arguments& arguments);
// One object of --labels (--mass gray: the image's samples at full depth).
[[nodiscard]] nlohmann::json multifractalObjectJson(const ObjectImage& image, const Region& region,
                                                    const PixelMask* mask, const Arguments& arguments);

}  // namespace dimora::cli
