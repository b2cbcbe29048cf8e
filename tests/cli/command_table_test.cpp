// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// The command table is the one list of dimora3-cli's commands: --help shows
// each of them, the parser takes exactly the options each entry names, and
// batch runs exactly the entries with a file measurement.

#include "cli/arguments.hpp"
#include "cli/command_table.hpp"
#include "cli/commands.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace dimora {
namespace {

using cli::Command;
using cli::Invocation;

// Operands that pass the entry's own checks.
std::vector<std::string> operandsFor(const Command& command)
{
    std::vector<std::string> operands(command.operands, "file");
    if (command.name == "process")
        operands[0] = std::string(cli::processOperations().front());
    if (command.name == "batch")
        operands[0] = std::string(cli::batchMeasurements().front()->name);
    return operands;
}

// The usage error of a command line, or "" when it parses.
std::string usageError(const std::vector<std::string>& args)
{
    try {
        (void)cli::parseArguments(args);
        return {};
    } catch (const cli::UsageError& e) {
        return e.what();
    }
}

TEST(CommandTable, HelpShowsEveryCommandAndTheParserTakesEachEntrysOptionsOnly)
{
    const std::map<std::string_view, std::string> values = {
        {"--region", "0,0,4,4"}, {"--page", "1"},       {"--voxel", "1,1,2"},   {"--threshold", "9"},
        {"--jobs", "2"},         {"--format", "jsonl"}, {"--output", "o.csv"},  {"--pixel-size", "0.5"},
        {"--distance", "1"},     {"--grid", "min"},     {"--range", "1-4"},     {"--mask", "m.png"},
        {"--labels", "l.png"},   {"--method", "grid"},  {"--empty", "include"}, {"--sides", "1,2"},
        {"--mass", "gray"},      {"--q", "0,1"},
    };
    std::vector<std::string_view> allOptions = {"--json", "--recursive", "--progress", "--no-progress"};
    for (const auto& [option, value] : values)
        allOptions.push_back(option);

    const std::string help = cli::usageText();
    for (const Command& command : cli::commandTable()) {
        const std::string name(command.name);
        if (command.invocation == Invocation::SoleOption) {
            EXPECT_NE(help.find(" " + name), std::string::npos) << name;
            EXPECT_EQ(cli::parseArguments({name}).command, name);
            if (!command.alias.empty()) {
                EXPECT_EQ(cli::parseArguments({std::string(command.alias)}).command, name);
            }
            EXPECT_NE(usageError({name, "file"}), "") << name;
            continue;
        }
        const bool named = help.find("dimora3-cli " + name + " ") != std::string::npos ||
                           help.find("dimora3-cli " + name + "|") != std::string::npos ||
                           help.find("|" + name + " ") != std::string::npos ||
                           help.find("|" + name + "|") != std::string::npos;
        EXPECT_TRUE(named) << name;

        std::vector<std::string> args = {name};
        for (const std::string& operand : operandsFor(command))
            args.push_back(operand);
        EXPECT_EQ(usageError(args), "") << name;
        // Every option that some entry takes, and every option of this one.
        std::vector<std::string_view> options = allOptions;
        options.insert(options.end(), command.options.begin(), command.options.end());
        for (const std::string_view option : options) {
            std::vector<std::string> withOption = args;
            withOption.emplace_back(option);
            if (values.contains(option))
                withOption.push_back(values.at(option));
            // The rows' --format and --output go with --labels.
            if (command.measureObject && (option == "--format" || option == "--output")) {
                withOption.emplace_back("--labels");
                withOption.emplace_back("l.png");
            }
            const bool taken =
                std::find(command.options.begin(), command.options.end(), option) != command.options.end();
            // batch passes a measurement's option on: to one that takes it.
            if (command.name == "batch")
                for (const Command* measurement : cli::batchMeasurements())
                    if (std::find(measurement->options.begin(), measurement->options.end(), option) !=
                        measurement->options.end()) {
                        withOption[1] = std::string(measurement->name);
                        break;
                    }
            EXPECT_EQ(usageError(withOption),
                      taken ? "" : "option " + std::string(option) + " is not known to " + name)
                << name << " " << option;
        }
        if (command.operandCount == cli::OperandCount::Exactly) {
            args.emplace_back("extra");
            EXPECT_EQ(usageError(args), name + " takes " + std::to_string(command.operands) + " operand(s)");
        }
    }
}

TEST(CommandTable, BatchRunsTheMeasurementsWithAFileObjectAndTheirColumns)
{
    std::string listed;
    for (const Command* measurement : cli::batchMeasurements()) {
        if (!listed.empty())
            listed += '|';
        listed += measurement->name;
    }
    EXPECT_NE(cli::usageText().find("batch " + listed + " PATH..."), std::string::npos) << listed;

    for (const Command& command : cli::commandTable()) {
        if (command.invocation == Invocation::SoleOption)
            continue;
        const std::string error = usageError({"batch", std::string(command.name), "file"});
        if (command.measureFile) {
            EXPECT_EQ(error, "") << command.name;
            EXPECT_FALSE(command.batchColumns.empty()) << command.name;
        } else {
            EXPECT_EQ(error.rfind("batch measures ", 0), 0u) << command.name;
            EXPECT_NE(error.find("not '" + std::string(command.name) + "'"), std::string::npos);
        }
    }
}

TEST(CommandTable, RunsTheNamedEntry)
{
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::runCommand(cli::parseArguments({"-h"}), {out, err}), 0);
    EXPECT_EQ(out.str(), cli::usageText());
    EXPECT_TRUE(err.str().empty());
}

}  // namespace
}  // namespace dimora
