// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The commands of dimora3-cli, one entry each: the name, what the command
// line holds after it, the runner, the --json object of one file and the CSV
// columns of its batch rows. --help, the parser, the runner and batch read
// this table and list no command names of their own; a new command is a new
// entry (with its runner beside the others in commands.hpp, or in a file of
// its own when it is large).

#include "cli/arguments.hpp"
#include "cli/progress_bar.hpp"

#include <nlohmann/json_fwd.hpp>

#include <cstddef>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dimora {
struct PixelMask;
struct Region;
}  // namespace dimora

namespace dimora::cli {

class ObjectImage;

// Whether the report (or batch's rows) reaches the terminal that progress
// bars are drawn on; then a bar clears its line before each row.
enum class ScreenSharing { Separate, OneTerminal };

// Where a command writes.
struct OutputStreams {
    std::ostream& out;  // the report; batch's rows without --output
    std::ostream& err;  // progress bars
    // A bar that the command line does not ask for or refuse: shown when err
    // is a terminal.
    BarVisibility progressByDefault = BarVisibility::Hidden;
    ScreenSharing screen = ScreenSharing::Separate;
};

// How a command is named: a word followed by operands and options
// ("black IMAGE --json"), or an option that is the whole command line
// ("--help").
enum class Invocation { Word, SoleOption };

// How many operands a command takes: exactly its number, or that many or more.
enum class OperandCount { Exactly, AtLeast };

// One column of batch's CSV rows: its header and its cell in a row (the
// row's JSON object, or an error row's path, status and error).
struct BatchColumn {
    std::string_view name;
    std::string (*cell)(const nlohmann::json& row);
};

struct Command {
    std::string_view name;
    Invocation invocation = Invocation::Word;
    std::string_view alias = {};  // another spelling of a sole option ("-h")
    // --help's line after the name: the operands and options. Commands side
    // by side with the same synopsis share a line ("black|nonblack IMAGE ...").
    // A line break continues under the first line's command name;
    // kBatchMeasurements stands for the names of the commands batch runs.
    std::string synopsis = {};
    std::size_t operands = 0;
    OperandCount operandCount = OperandCount::Exactly;
    std::vector<std::string_view> options = {};  // the options it takes, as "--region"
    // Checks the operands beyond their number (an operation's name, batch's
    // measurement); throws UsageError.
    void (*checkOperands)(const Arguments& arguments) = nullptr;
    // Checks the options' values together (a value this command refuses, an
    // option that needs another); also run for batch's measurement. Throws
    // UsageError.
    void (*checkOptions)(const Arguments& arguments) = nullptr;
    // Runs the command; returns its exit status or throws dimora::Error.
    int (*run)(const Arguments& arguments, const OutputStreams& streams) = nullptr;
    // The --json object of one file, with the region and page of the
    // arguments; a command that has one is a measurement that batch runs.
    nlohmann::json (*measureFile)(const std::string& path, const Arguments& arguments) = nullptr;
    std::span<const BatchColumn> batchColumns = {};  // batch's CSV columns
    // The --json object of one object of --labels: the image's region under
    // the object's mask. A command that has one takes --labels (and its
    // rows' --format and --output).
    nlohmann::json (*measureObject)(const ObjectImage& image, const Region& region, const PixelMask* mask,
                                    const Arguments& arguments) = nullptr;
};

inline constexpr std::string_view kBatchMeasurements = "{measurements}";

// Every command, in --help's order.
[[nodiscard]] std::span<const Command> commandTable();

// The command that the first argument names (a word, or a sole option with
// its alias); nullptr when none does.
[[nodiscard]] const Command* findCommand(std::string_view name, Invocation invocation = Invocation::Word);

// The commands that batch runs (those with measureFile), in table order.
[[nodiscard]] std::vector<const Command*> batchMeasurements();

// The usage text printed by --help (and after a usage error): a line for each
// command, a few notes, and the sole options.
[[nodiscard]] std::string usageText();

// Runs the command that the parsed arguments name: its exit status, or
// dimora::Error.
int runCommand(const Arguments& arguments, const OutputStreams& streams);

}  // namespace dimora::cli
