// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/arguments.hpp"

#include "cli/command_table.hpp"
#include "core/common/error.hpp"
#include "core/common/text.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <string_view>

namespace dimora::cli {
namespace {

std::int32_t integerValue(const std::string& option, const std::string& text)
{
    try {
        return parseInteger(text);
    } catch (const Error&) {
        throw UsageError(option + ": '" + text + "' is not an integer");
    }
}

Region parseRegion(const std::string& text)
{
    std::vector<std::int32_t> parts;
    std::size_t start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        parts.push_back(integerValue("--region", text.substr(start, comma - start)));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (parts.size() != 4)
        throw UsageError("--region takes L,T,W,H");
    return Region{parts[0], parts[1], parts[2], parts[3]};
}

// --voxel X,Y,Z: three positive lengths, X = Y. The texts go along, since
// k(s) is computed from them exactly.
VoxelSize parseVoxel(const std::string& text)
{
    std::vector<double> parts;
    std::vector<std::string> texts;
    std::size_t start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        const std::string part = text.substr(start, comma - start);
        double value = 0;
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || ec != std::errc() || end != part.data() + part.size() || !isVoxelEdge(value))
            throw UsageError("--voxel: '" + part + "' is not a positive number");
        parts.push_back(value);
        texts.push_back(part);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (parts.size() != 3)
        throw UsageError("--voxel takes X,Y,Z");
    VoxelSize voxel(parts[0], parts[1], parts[2]);
    if (voxelProblem(voxel) == VoxelProblem::NotSquare)
        throw UsageError("--voxel: pixels must be square (X = Y)");
    voxel.xText = texts[0];
    voxel.yText = texts[1];
    voxel.zText = texts[2];
    return voxel;
}

// --sides LIST: box sides in pixels, 1 or more, separated by commas.
std::vector<std::int64_t> parseSides(const std::string& text)
{
    std::vector<std::int64_t> sides;
    std::size_t start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        const std::int32_t side = integerValue("--sides", text.substr(start, comma - start));
        if (side < 1)
            throw UsageError("--sides takes box sides of 1 pixel or more");
        sides.push_back(side);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return sides;
}

// Whether an option takes a value (the next argument, or after "=").
enum class OptionValue { None, Required };

// An option and what it sets in the arguments.
struct Option {
    std::string_view name;
    OptionValue value;
    void (*apply)(Arguments& parsed, const std::string& value);
};

const Option* findOption(std::string_view name)
{
    static const Option options[] = {
        {"--json", OptionValue::None,
         [](Arguments& parsed, const std::string&) { parsed.form = ReportForm::Json; }},
        {"--recursive", OptionValue::None,
         [](Arguments& parsed, const std::string&) { parsed.folderWalk = FolderWalk::Recursive; }},
        {"--progress", OptionValue::None,
         [](Arguments& parsed, const std::string&) { parsed.progress = true; }},
        {"--no-progress", OptionValue::None,
         [](Arguments& parsed, const std::string&) { parsed.progress = false; }},
        {"--region", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) { parsed.region = parseRegion(value); }},
        {"--pixel-size", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) { parsed.pixelSize = value; }},
        {"--distance", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) { parsed.distance = value; }},
        {"--voxel", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) { parsed.voxel = parseVoxel(value); }},
        {"--grid", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) {
             if (value != "origin" && value != "min")
                 throw UsageError("--grid takes origin or min");
             parsed.grid = value == "min" ? GridPlacement::Min : GridPlacement::Origin;
         }},
        {"--range", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) {
             if (!(parsed.range = parseFitRange(value)))
                 throw UsageError("--range takes all, auto or S1-S2 (sides in pixels, 1 <= S1 <= S2)");
         }},
        {"--method", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) {
             if (!(parsed.lacunarityMethod = parseLacunarityMethod(value)))
                 throw UsageError("--method takes gliding or grid");
         }},
        {"--empty", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) {
             if (!(parsed.emptyBoxes = parseEmptyBoxes(value)))
                 throw UsageError("--empty takes include or exclude");
         }},
        {"--sides", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) { parsed.sides = parseSides(value); }},
        {"--mass", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) {
             if (value != "black" && value != "gray")
                 throw UsageError("--mass takes black or gray");
             parsed.mass = value == "gray" ? MassKind::Gray : MassKind::Black;
         }},
        {"--q", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) {
             if (!(parsed.q = parseQList(value)))
                 throw UsageError("--q takes numbers separated by commas, or FROM:TO:STEP (STEP > 0)");
         }},
        {"--mask", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) { parsed.mask = value; }},
        {"--labels", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) { parsed.labels = value; }},
        {"--threshold", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) {
             parsed.threshold = integerValue("--threshold", value);
         }},
        {"--page", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) {
             if ((parsed.page = integerValue("--page", value)) < 1)
                 throw UsageError("--page counts from 1");
         }},
        {"--jobs", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) {
             if ((parsed.jobs = integerValue("--jobs", value)) < 1)
                 throw UsageError("--jobs takes a number of 1 or more");
         }},
        {"--format", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) {
             if (value != "csv" && value != "jsonl")
                 throw UsageError("--format takes csv or jsonl");
             parsed.format = value;
         }},
        {"--output", OptionValue::Required,
         [](Arguments& parsed, const std::string& value) { parsed.output = value; }},
    };
    const auto found =
        std::find_if(std::begin(options), std::end(options), [&](const Option& o) { return o.name == name; });
    return found == std::end(options) ? nullptr : found;
}

}  // namespace

Arguments parseArguments(const std::vector<std::string>& args)
{
    if (args.empty())
        throw UsageError("missing command");
    Arguments parsed;
    if (args.size() == 1)
        if (const Command* alone = findCommand(args[0], Invocation::SoleOption)) {
            parsed.command = alone->name;
            return parsed;
        }
    const Command* command = findCommand(args[0]);
    if (!command)
        throw UsageError("unknown command '" + args[0] + "'");
    parsed.command = command->name;

    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string arg = args[i];
        const bool isOption = arg.size() > 1 && arg[0] == '-';
        if (!isOption) {
            parsed.operands.push_back(arg);
            continue;
        }
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
        }
        const Option* option = findOption(arg);
        if (!option ||
            std::find(command->options.begin(), command->options.end(), arg) == command->options.end())
            throw UsageError("option " + arg + " is not known to " + parsed.command);
        if (option->value == OptionValue::None) {
            if (inlineValue)
                throw UsageError(arg + " takes no value");
            option->apply(parsed, {});
            continue;
        }
        // Every other option takes the next argument as it is, even when it
        // begins with "-".
        std::string value;
        if (inlineValue) {
            value = *inlineValue;
        } else {
            if (i + 1 >= args.size())
                throw UsageError(arg + " needs a value");
            value = args[++i];
        }
        option->apply(parsed, value);
    }
    const bool enough = command->operandCount == OperandCount::AtLeast
                            ? parsed.operands.size() >= command->operands
                            : parsed.operands.size() == command->operands;
    if (!enough)
        throw UsageError(parsed.command + " takes " + std::to_string(command->operands) + " operand(s)");
    if (command->checkOperands)
        command->checkOperands(parsed);
    if (command->checkOptions)
        command->checkOptions(parsed);
    // One row per object replaces the single report: no region of its own,
    // no --json; the rows' --format and --output only with --labels.
    if (parsed.labels && (parsed.region || parsed.form == ReportForm::Json))
        throw UsageError("--labels takes no --region or --json");
    if (command->measureObject && !parsed.labels && (parsed.format || parsed.output))
        throw UsageError("--format and --output go with --labels");
    return parsed;
}

}  // namespace dimora::cli
