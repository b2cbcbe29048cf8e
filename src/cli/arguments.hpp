// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The command line of dimora3-cli, parsed without any library so that option
// values may begin with "-" (`--region -7,-5,41,30` is a region).

#include "cli/reports.hpp"
#include "core/image/region.hpp"
#include "core/measure/fit_range.hpp"
#include "core/measure/lacunarity.hpp"
#include "core/measure/min_grid_count.hpp"
#include "core/measure/multifractal.hpp"
#include "core/slices/cube_count.hpp"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace dimora::cli {

// A command line that cannot be run: exit status 2 with a usage line.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Which image files a folder named to batch gives: its own, or also those of
// its subfolders (--recursive).
enum class FolderWalk { TopLevel, Recursive };

struct Arguments {
    std::string command;                   // a name in the command table: "black", ..., "--help"
    std::vector<std::string> operands;     // IMAGE, LAST_SLICE, OPERATION INPUT OUTPUT, ...
    std::optional<Region> region;          // --region L,T,W,H
    std::optional<std::string> pixelSize;  // --pixel-size MM, taken as text
    std::optional<std::string> distance;   // --distance MM, taken as text
    std::int32_t threshold = 0;            // --threshold N
    std::int32_t page = 1;                 // --page N: the page of a multi-page TIFF
    VoxelSize voxel;                       // cubes: --voxel X,Y,Z
    std::optional<GridPlacement> grid;     // --grid origin|min
    std::optional<FitRange> range;         // --range all|auto|S1-S2
    std::optional<std::string> mask;       // --mask MASK
    std::optional<std::string> labels;     // --labels LABELS
    // lacunarity and multifractal
    std::optional<LacunarityMethod> lacunarityMethod;  // --method gliding|grid
    std::optional<EmptyBoxes> emptyBoxes;              // --empty include|exclude
    std::optional<std::vector<std::int64_t>> sides;    // --sides LIST
    std::optional<MassKind> mass;                      // --mass black|gray
    std::optional<std::vector<double>> q;              // --q LIST|FROM:TO:STEP
    // batch only
    std::int32_t jobs = 0;                         // --jobs N; 0: the number of cores
    std::optional<std::string> format;             // --format csv|jsonl
    std::optional<std::string> output;             // --output FILE
    FolderWalk folderWalk = FolderWalk::TopLevel;  // --recursive
    std::optional<bool> progress;                  // --progress / --no-progress
    ReportForm form = ReportForm::Text;            // --json: ReportForm::Json
};

// Parses argv[1..] by the command table. Throws UsageError for an unknown
// command or option, an option that the command does not take, a missing or
// extra operand, or a malformed option value.
[[nodiscard]] Arguments parseArguments(const std::vector<std::string>& args);

}  // namespace dimora::cli
