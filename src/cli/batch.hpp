// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// dimora3-cli batch: one measurement over many files, in parallel, with one
// row per file in the order the files were named.
//
// Files: each PATH that is a folder gives its image files (.bmp .png .tif
// .tiff .jpg .jpeg in any case; with --recursive also those of its
// subfolders) in byte-wise sorted path order, where the folder was named;
// other PATHs are taken as they are.
//
// Rows: JSON Lines (the single command's --json object with path, status
// and error) or RFC 4180 CSV with a header row; a file that fails gives a row
// with its error text and the run goes on. Rows are written as soon as they
// and every row before them are done: to standard output, or to --output
// through a temporary file and a rename when the run ends. At most --jobs
// images are in memory at once.

#include "cli/arguments.hpp"

#include <nlohmann/json_fwd.hpp>

#include <iosfwd>
#include <string>
#include <vector>

namespace dimora::cli {

// The files that the PATHs name, in order; a PATH that is no folder is taken
// as a file, whether it exists or not.
[[nodiscard]] std::vector<std::string> batchFiles(const std::vector<std::string>& paths, bool recursive);

// The CSV header line and the line of one row (both end in CRLF, as RFC 4180
// has it).
[[nodiscard]] std::string csvHeader();
[[nodiscard]] std::string csvLine(const nlohmann::json& row);

// Runs the batch command; returns its exit status (0 all done, 1 one or more
// files failed, 2 no file found). Progress goes to `progress` when asked.
int runBatch(const Arguments& arguments, std::ostream& out, std::ostream& progress, bool progressIsTerminal);

}  // namespace dimora::cli
