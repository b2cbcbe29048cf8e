// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/arguments.hpp"

#include "core/common/error.hpp"
#include "core/common/text.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <set>

namespace dimora::cli {
namespace {

struct CommandShape {
    std::size_t operands;
    std::set<std::string> options;
    bool moreOperands = false;  // the operands are the least number
};

const std::map<std::string, CommandShape>& commandShapes()
{
    static const std::map<std::string, CommandShape> shapes = {
        {"black", {1, {"--region", "--json", "--page"}}},
        {"nonblack", {1, {"--region", "--json", "--page"}}},
        {"gray", {1, {"--region", "--json", "--page"}}},
        {"length", {1, {"--region", "--json", "--page"}}},
        {"slices", {1, {"--pixel-size", "--distance", "--region", "--json"}}},
        {"cubes", {1, {"--voxel", "--region", "--json"}}},
        {"refit", {1, {"--json"}}},
        {"process", {3, {"--threshold", "--page"}}},
        {"g1", {2, {"--page"}}},
        {"batch",
         {2,
          {"--region", "--page", "--jobs", "--format", "--output", "--recursive", "--progress",
           "--no-progress"},
          true}},
    };
    return shapes;
}

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
        if (part.empty() || ec != std::errc() || end != part.data() + part.size() || !(value > 0) ||
            !std::isfinite(value))
            throw UsageError("--voxel: '" + part + "' is not a positive number");
        parts.push_back(value);
        texts.push_back(part);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (parts.size() != 3)
        throw UsageError("--voxel takes X,Y,Z");
    if (parts[0] != parts[1])
        throw UsageError("--voxel: pixels must be square (X = Y)");
    VoxelSize voxel(parts[0], parts[1], parts[2]);
    voxel.xText = texts[0];
    voxel.yText = texts[1];
    voxel.zText = texts[2];
    return voxel;
}

}  // namespace

std::string usageText()
{
    return "usage: dimora3-cli black|nonblack|gray|length IMAGE [--region L,T,W,H] [--page N] [--json]\n"
           "       dimora3-cli slices LAST_SLICE [--pixel-size MM] [--distance MM] [--region L,T,W,H] "
           "[--json]\n"
           "       dimora3-cli cubes STACK [--voxel X,Y,Z] [--region L,T,W,H] [--json]\n"
           "       dimora3-cli refit COUNT_LIST_FILE [--json]\n"
           "       dimora3-cli process green|red|percent|invert|grayscale|thin|median|denoise INPUT OUTPUT "
           "[--threshold N] [--page N]\n"
           "       dimora3-cli g1 INPUT OUTPUT [--page N]\n"
           "       dimora3-cli batch black|nonblack|gray|length PATH... [--region L,T,W,H] [--jobs N]\n"
           "                   [--format csv|jsonl] [--output FILE] [--recursive] "
           "[--progress|--no-progress]\n"
           "IMAGE, INPUT: BMP, PNG, TIFF or JPEG, told apart by content; --page N picks a page of a TIFF.\n"
           "process writes OUTPUT as PNG when its name ends in .png, else as BMP.\n"
           "STACK: a folder of slice images, the last file of a numbered series, or a multi-page TIFF.\n"
           "       dimora3-cli --help | --version\n";
}

Arguments parseArguments(const std::vector<std::string>& args)
{
    if (args.empty())
        throw UsageError("missing command");
    Arguments parsed;
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        parsed.command = "help";
        return parsed;
    }
    if (args.size() == 1 && args[0] == "--version") {
        parsed.command = "version";
        return parsed;
    }
    const auto shape = commandShapes().find(args[0]);
    if (shape == commandShapes().end())
        throw UsageError("unknown command '" + args[0] + "'");
    parsed.command = args[0];

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
        if (!shape->second.options.contains(arg))
            throw UsageError("option " + arg + " is not known to " + parsed.command);
        if (arg == "--json" || arg == "--recursive" || arg == "--progress" || arg == "--no-progress") {
            if (inlineValue)
                throw UsageError(arg + " takes no value");
            if (arg == "--json")
                parsed.form = ReportForm::Json;
            else if (arg == "--recursive")
                parsed.folderWalk = FolderWalk::Recursive;
            else
                parsed.progress = arg == "--progress";
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
        if (arg == "--region")
            parsed.region = parseRegion(value);
        else if (arg == "--pixel-size")
            parsed.pixelSize = value;
        else if (arg == "--distance")
            parsed.distance = value;
        else if (arg == "--voxel")
            parsed.voxel = parseVoxel(value);
        else if (arg == "--threshold")
            parsed.threshold = integerValue(arg, value);
        else if (arg == "--page" && (parsed.page = integerValue(arg, value)) < 1)
            throw UsageError("--page counts from 1");
        else if (arg == "--jobs" && (parsed.jobs = integerValue(arg, value)) < 1)
            throw UsageError("--jobs takes a number of 1 or more");
        else if (arg == "--format") {
            if (value != "csv" && value != "jsonl")
                throw UsageError("--format takes csv or jsonl");
            parsed.format = value;
        } else if (arg == "--output")
            parsed.output = value;
    }
    if (shape->second.moreOperands && parsed.operands.size() >= shape->second.operands) {
        static const std::set<std::string> measurements = {"black", "nonblack", "gray", "length"};
        if (!measurements.contains(parsed.operands[0]))
            throw UsageError("batch measures black, nonblack, gray or length, not '" + parsed.operands[0] +
                             "'");
        return parsed;
    }
    if (parsed.operands.size() != shape->second.operands)
        throw UsageError(parsed.command + " takes " + std::to_string(shape->second.operands) + " operand(s)");
    static const std::set<std::string> operations = {"green",     "red",  "percent", "invert",
                                                     "grayscale", "thin", "median",  "denoise"};
    if (parsed.command == "process" && !operations.contains(parsed.operands[0]))
        throw UsageError("unknown operation '" + parsed.operands[0] + "'");
    return parsed;
}

}  // namespace dimora::cli
