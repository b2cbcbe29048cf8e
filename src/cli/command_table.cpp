// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/command_table.hpp"

#include "cli/batch.hpp"
#include "cli/commands.hpp"
#include "cli/mass_commands.hpp"
#include "cli/object_measurement.hpp"
#include "core/common/error.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>

namespace dimora::cli {
namespace {

template <MeasurementKind kind> int runDimensionOf(const Arguments& arguments, const OutputStreams& streams)
{
    if (arguments.mask)
        return runMaskedDimension(kind, arguments, streams);
    return runDimension(kind, arguments, streams);
}

template <MeasurementKind kind>
nlohmann::json dimensionFileJsonOf(const std::string& path, const Arguments& arguments)
{
    return dimensionFileJson(kind, path, arguments);
}

template <MeasurementKind kind>
nlohmann::json dimensionObjectJsonOf(const ObjectImage& image, const Region& region, const PixelMask* mask,
                                     const Arguments& arguments)
{
    return maskedDimensionJson(kind, image.bitmap().view(), region, mask, arguments);
}

int runHelp(const Arguments&, const OutputStreams& streams)
{
    return printReport(streams, usageText());
}

int runBatchCommand(const Arguments& arguments, const OutputStreams& streams)
{
    const int status = runBatch(arguments, streams);
    if (status == 2)
        streams.err << "dimora3-cli: no image file found\n";
    return status;
}

// "a, b, c or d"
std::string listedNames(const std::vector<const Command*>& commands)
{
    std::string text;
    for (std::size_t k = 0; k < commands.size(); ++k) {
        if (k > 0)
            text += k + 1 == commands.size() ? " or " : ", ";
        text += commands[k]->name;
    }
    return text;
}

void checkBatchOperands(const Arguments& arguments)
{
    const Command* measurement = findCommand(arguments.operands[0]);
    if (!measurement || !measurement->measureFile)
        throw UsageError("batch measures " + listedNames(batchMeasurements()) + ", not '" +
                         arguments.operands[0] + "'");
    // batch hands the measurement's own options on to it: the measurement
    // must take them.
    const auto refuseUnlessTaken = [&](bool given, std::string_view option) {
        const auto& taken = measurement->options;
        if (given && std::find(taken.begin(), taken.end(), option) == taken.end())
            throw UsageError("option " + std::string(option) + " is not known to " +
                             std::string(measurement->name));
    };
    refuseUnlessTaken(arguments.grid.has_value(), "--grid");
    refuseUnlessTaken(arguments.range.has_value(), "--range");
    refuseUnlessTaken(arguments.lacunarityMethod.has_value(), "--method");
    refuseUnlessTaken(arguments.emptyBoxes.has_value(), "--empty");
    refuseUnlessTaken(arguments.sides.has_value(), "--sides");
    refuseUnlessTaken(arguments.mass.has_value(), "--mass");
    refuseUnlessTaken(arguments.q.has_value(), "--q");
    if (measurement->checkOptions)
        measurement->checkOptions(arguments);
}

std::string joined(const std::vector<std::string_view>& names, std::string_view separator)
{
    std::string text;
    for (const std::string_view name : names) {
        if (!text.empty())
            text += separator;
        text += name;
    }
    return text;
}

const std::vector<Command>& commands()
{
    static const std::vector<Command> table = [] {
        const std::string imageSynopsis = "IMAGE [--region L,T,W,H] [--page N] [--json]";
        const std::string objectSynopsis =
            "[--mask MASK] [--labels LABELS [--format csv|jsonl] [--output FILE]]";
        const std::vector<std::string_view> imageOptions = {"--region", "--json", "--page"};
        // The two-valued measurements choose the grid's placement; every
        // dimension measurement chooses the sides its fit takes.
        const std::string rangeSynopsis = "[--range all|auto|S1-S2]";
        const std::string twoValuedSynopsis =
            imageSynopsis + "\n[--grid origin|min] " + rangeSynopsis + "\n" + objectSynopsis;
        // The dimension measurements take a mask, or measure each object of
        // a label image.
        const std::vector<std::string_view> twoValuedOptions = {"--region", "--json",   "--page",
                                                                "--grid",   "--range",  "--mask",
                                                                "--labels", "--format", "--output"};
        const std::vector<std::string_view> grayOptions = {"--region", "--json",   "--page",   "--range",
                                                           "--mask",   "--labels", "--format", "--output"};
        std::vector<Command> list;
        list.push_back({.name = "black",
                        .synopsis = twoValuedSynopsis,
                        .operands = 1,
                        .options = twoValuedOptions,
                        .run = runDimensionOf<MeasurementKind::Black>,
                        .measureFile = dimensionFileJsonOf<MeasurementKind::Black>,
                        .batchColumns = measurementColumns(),
                        .measureObject = dimensionObjectJsonOf<MeasurementKind::Black>});
        list.push_back({.name = "nonblack",
                        .synopsis = twoValuedSynopsis,
                        .operands = 1,
                        .options = twoValuedOptions,
                        .run = runDimensionOf<MeasurementKind::NonBlack>,
                        .measureFile = dimensionFileJsonOf<MeasurementKind::NonBlack>,
                        .batchColumns = measurementColumns(),
                        .measureObject = dimensionObjectJsonOf<MeasurementKind::NonBlack>});
        list.push_back({.name = "gray",
                        .synopsis = imageSynopsis + "\n" + rangeSynopsis + "\n" + objectSynopsis,
                        .operands = 1,
                        .options = grayOptions,
                        .run = runDimensionOf<MeasurementKind::Gray>,
                        .measureFile = dimensionFileJsonOf<MeasurementKind::Gray>,
                        .batchColumns = measurementColumns(),
                        .measureObject = dimensionObjectJsonOf<MeasurementKind::Gray>});
        list.push_back({.name = "length",
                        .synopsis = imageSynopsis,
                        .operands = 1,
                        .options = imageOptions,
                        .run = runLength,
                        .measureFile = lengthFileJson,
                        .batchColumns = measurementColumns()});
        list.push_back({.name = "lacunarity",
                        .synopsis = "IMAGE [--method gliding|grid] [--empty include|exclude]\n"
                                    "[--sides LIST] [--region L,T,W,H] [--mask MASK] [--page N] [--json]\n"
                                    "[--labels LABELS [--format csv|jsonl] [--output FILE]]",
                        .operands = 1,
                        .options = {"--method", "--empty", "--sides", "--region", "--mask", "--page",
                                    "--json", "--labels", "--format", "--output"},
                        .checkOptions = checkLacunarityOptions,
                        .run = runLacunarity,
                        .measureFile = lacunarityFileJson,
                        .batchColumns = lacunarityColumns(),
                        .measureObject = lacunarityObjectJson});
        list.push_back({.name = "multifractal",
                        .synopsis =
                            "IMAGE [--mass black|gray] [--q LIST|FROM:TO:STEP]\n"
                            "[--region L,T,W,H] [--range all|S1-S2] [--mask MASK] [--page N] [--json]\n"
                            "[--labels LABELS [--format csv|jsonl] [--output FILE]]",
                        .operands = 1,
                        .options = {"--mass", "--q", "--region", "--range", "--mask", "--page", "--json",
                                    "--labels", "--format", "--output"},
                        .checkOptions = checkMultifractalOptions,
                        .run = runMultifractal,
                        .measureFile = multifractalFileJson,
                        .batchColumns = multifractalColumns(),
                        .measureObject = multifractalObjectJson});
        list.push_back(
            {.name = "slices",
             .synopsis = "LAST_SLICE [--pixel-size MM] [--distance MM] [--region L,T,W,H] [--json]",
             .operands = 1,
             .options = {"--pixel-size", "--distance", "--region", "--json"},
             .run = runSlices});
        list.push_back({.name = "cubes",
                        .synopsis = "STACK [--voxel X,Y,Z] [--region L,T,W,H] [--json]\n" + rangeSynopsis,
                        .operands = 1,
                        .options = {"--voxel", "--region", "--json", "--range"},
                        .run = runCubes});
        list.push_back({.name = "refit",
                        .synopsis = "COUNT_LIST_FILE " + rangeSynopsis + " [--json]",
                        .operands = 1,
                        .options = {"--json", "--range"},
                        .run = runRefit});
        list.push_back(
            {.name = "process",
             .synopsis = joined(processOperations(), "|") + " INPUT OUTPUT [--threshold N] [--page N]",
             .operands = 3,
             .options = {"--threshold", "--page"},
             .checkOperands = checkProcessOperands,
             .run = runProcess});
        list.push_back({.name = "g1",
                        .synopsis = "INPUT OUTPUT [--page N]",
                        .operands = 2,
                        .options = {"--page"},
                        .run = runG1});
        list.push_back(
            {.name = "batch",
             .synopsis = std::string(kBatchMeasurements) +
                         " PATH... [--region L,T,W,H] [--jobs N]\n"
                         "[--grid origin|min] [--range all|auto|S1-S2]\n"
                         "[--method gliding|grid] [--empty include|exclude] [--sides LIST]\n"
                         "[--mass black|gray] [--q LIST|FROM:TO:STEP]\n"
                         "[--format csv|jsonl] [--output FILE] [--recursive] [--progress|--no-progress]",
             .operands = 2,
             .operandCount = OperandCount::AtLeast,
             .options = {"--region", "--page", "--grid", "--range", "--method", "--empty", "--sides",
                         "--mass", "--q", "--jobs", "--format", "--output", "--recursive", "--progress",
                         "--no-progress"},
             .checkOperands = checkBatchOperands,
             .run = runBatchCommand});
        list.push_back(
            {.name = "--help", .invocation = Invocation::SoleOption, .alias = "-h", .run = runHelp});
        list.push_back({.name = "--version", .invocation = Invocation::SoleOption, .run = runVersion});
        return list;
    }();
    return table;
}

}  // namespace

std::span<const Command> commandTable()
{
    return commands();
}

const Command* findCommand(std::string_view name, Invocation invocation)
{
    for (const Command& command : commandTable())
        if (command.invocation == invocation &&
            (command.name == name || (!command.alias.empty() && command.alias == name)))
            return &command;
    return nullptr;
}

std::vector<const Command*> batchMeasurements()
{
    std::vector<const Command*> measurements;
    for (const Command& command : commandTable())
        if (command.measureFile)
            measurements.push_back(&command);
    return measurements;
}

std::string usageText()
{
    std::vector<std::string_view> measurementNames;
    for (const Command* measurement : batchMeasurements())
        measurementNames.push_back(measurement->name);
    const std::string lead = "       dimora3-cli ";
    std::string text;
    std::vector<std::string_view> soleOptions;
    const std::span<const Command> table = commandTable();
    for (std::size_t k = 0; k < table.size(); ++k) {
        const Command& command = table[k];
        if (command.invocation == Invocation::SoleOption) {
            soleOptions.push_back(command.name);
            continue;
        }
        // Side by side commands with one synopsis share its line.
        std::vector<std::string_view> names = {command.name};
        while (k + 1 < table.size() && table[k + 1].invocation == Invocation::Word &&
               table[k + 1].synopsis == command.synopsis)
            names.push_back(table[++k].name);
        std::string synopsis = command.synopsis;
        if (const auto at = synopsis.find(kBatchMeasurements); at != std::string::npos)
            synopsis.replace(at, kBatchMeasurements.size(), joined(measurementNames, "|"));
        for (auto at = synopsis.find('\n'); at != std::string::npos; at = synopsis.find('\n', at + 1))
            synopsis.insert(at + 1, std::string(lead.size(), ' '));
        text += (text.empty() ? "usage: dimora3-cli " : lead) + joined(names, "|") + " " + synopsis + "\n";
    }
    text += "IMAGE, INPUT: BMP, PNG, TIFF or JPEG, told apart by content; --page N picks a page of a TIFF.\n"
            "process writes OUTPUT as PNG when its name ends in .png, else as BMP.\n"
            "STACK: a folder of slice images, the last file of a numbered series, or a multi-page TIFF.\n";
    text += lead + joined(soleOptions, " | ") + "\n";
    return text;
}

int runCommand(const Arguments& arguments, const OutputStreams& streams)
{
    const Command* command = findCommand(arguments.command);
    if (!command)
        command = findCommand(arguments.command, Invocation::SoleOption);
    if (!command)
        fail("unknown command " + arguments.command);
    if (arguments.labels && command->measureObject)
        return runLabelledObjects(*command, arguments, streams);
    return command->run(arguments, streams);
}

}  // namespace dimora::cli
