// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// dimora3-cli batch: one measurement over many files, in parallel, with one
// row per file in the order the files were named.
//
// Files: each PATH that is a folder gives its image files (.bmp .png .tif
// .tiff .jpg .jpeg in any case; with --recursive also those of its
// subfolders) in byte-wise sorted path order, where the folder was named;
// other PATHs are taken as they are. A folder that cannot be read (the one
// named, or a subfolder) gives an error row of its own, in the sorted order,
// and the run goes on with the rest.
//
// Rows: JSON Lines (the single command's --json object with path, status
// and error; bytes of a file name that are not UTF-8 written as the escapes
// \udc80 to \udcff, Python's "surrogateescape", so that every row leads back
// to its file) or RFC 4180 CSV with a header row; a file that fails gives a
// row with its error text and the run goes on. Rows are written as soon as
// they and every row before them are done: to standard output, or to
// --output through a temporary file and a rename when the run ends. At most
// --jobs images are in memory at once. Rows that cannot be written end the
// run with an error.

#include "cli/arguments.hpp"
#include "cli/command_table.hpp"

#include <nlohmann/json_fwd.hpp>

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace dimora::cli {

// What one row is about: a file to measure, or a folder that cannot be read.
struct BatchEntry {
    std::string path;
    // For a folder that cannot be read: the operating system's reason.
    std::optional<std::string> unreadableFolder;

    bool operator==(const BatchEntry&) const = default;
};

// The rows that the PATHs give, in order; a PATH that is no folder is taken
// as a file, whether it exists or not.
[[nodiscard]] std::vector<BatchEntry> batchEntries(const std::vector<std::string>& paths, FolderWalk walk);

// The CSV header line of a measurement's columns and the line of one row
// (both end in CRLF, as RFC 4180 has it).
[[nodiscard]] std::string csvHeader(std::span<const BatchColumn> columns);
[[nodiscard]] std::string csvLine(const nlohmann::json& row, std::span<const BatchColumn> columns);

// Whether rows go out as JSON Lines: --format jsonl, or without --format an
// --output named .jsonl or .json; CSV otherwise.
[[nodiscard]] bool wantsJsonLines(const Arguments& arguments);

// The JSON Lines line of one row: compact JSON, UTF-8 as it is, each byte
// that is not part of valid UTF-8 as the escape \udcXX of its value
// (0x80 to 0xFF), and a final LF.
[[nodiscard]] std::string jsonLine(const nlohmann::json& row);

// Runs the batch command: rows to streams.out without --output, the bar to
// streams.err (shown by --progress, or by default unless --no-progress);
// returns its exit status (0 all done, 1 one or more rows are errors, 2 no
// file found). Throws Error when the rows cannot be written (to --output, or
// to the row stream), after the work stops.
int runBatch(const Arguments& arguments, const OutputStreams& streams);

// A CSV cell of a number in its shortest round-trip form (empty for
// anything else), and of an array of them joined by ';'.
[[nodiscard]] std::string csvNumber(const nlohmann::json& value);
[[nodiscard]] std::string csvNumbers(const nlohmann::json& values);

// The CSV columns of the rows of the dimension and length measurements.
[[nodiscard]] std::span<const BatchColumn> measurementColumns();

}  // namespace dimora::cli
