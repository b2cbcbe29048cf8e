// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/batch_cells.hpp"
#include "cli/commands.hpp"
#include "cli/mass_commands.hpp"
#include "cli/object_measurement.hpp"
#include "core/files/image_file.hpp"
#include "core/files/image_stream.hpp"
#include "core/files/mask_reader.hpp"
#include "core/measure/lacunarity.hpp"
#include "core/measure/masked_counting.hpp"
#include "core/measure/streaming_counts.hpp"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <sstream>

namespace dimora::cli {
namespace {

using nlohmann::json;

json optionalNumber(const std::optional<double>& value)
{
    return value ? json(*value) : json(nullptr);
}

// The measurement, with the mask's pixels inside the region when masked.
struct Measured {
    LacunarityResult result;
    std::optional<std::int64_t> maskArea;
};

LacunaritySettings settingsOf(const Arguments& arguments)
{
    LacunaritySettings settings;
    settings.method = arguments.lacunarityMethod.value_or(LacunarityMethod::Gliding);
    settings.empty = arguments.emptyBoxes.value_or(EmptyBoxes::Include);
    settings.sides = arguments.sides.value_or(std::vector<std::int64_t>{});
    return settings;
}

Measured measureView(const ImageView& view, const Arguments& arguments, const PixelMask* mask = nullptr)
{
    const Region region = arguments.region.value_or(Region{0, 0, view.width, view.height});
    Measured measured{measureLacunarity(view, region, settingsOf(arguments), mask), std::nullopt};
    if (mask != nullptr)
        measured.maskArea = maskAreaIn(*mask, region);
    return measured;
}

Measured measureFile(const std::string& path, const Arguments& arguments)
{
    const LacunaritySettings settings = settingsOf(arguments);
    if (!arguments.mask && settings.method == LacunarityMethod::Grid) {
        // The fixed grid needs only a band of rows: counted as the file
        // decodes, the image never held whole.
        LacunarityGridSink sink(arguments.region, settings);
        streamImageFile(path, arguments.page, sink);
        return {sink.result(), std::nullopt};
    }
    const Bitmap image = loadImageFile(path, arguments.page);
    if (!arguments.mask)
        return measureView(image.view(), arguments);
    const PixelMask mask = readPixelMask(*arguments.mask, image.width(), image.height());
    return measureView(image.view(), arguments, &mask);
}

json lacunarityJson(const Measured& measured)
{
    const LacunarityResult& result = measured.result;
    json out;
    out["measurement"] = "lacunarity";
    out["region"] =
        json::array({result.region.left, result.region.top, result.region.width, result.region.height});
    out["method"] = lacunarityMethodName(result.method);
    out["empty"] = emptyBoxesName(result.empty);
    json sides = json::array(), values = json::array();
    for (const LacunaritySide& side : result.sides) {
        sides.push_back(side.side);
        values.push_back(side.lacunarity);
    }
    out["sides"] = sides;
    out["lacunarity"] = values;
    out["slope"] = result.slope;
    out["standardError"] = optionalNumber(result.standardError);
    if (measured.maskArea)
        out["maskArea"] = *measured.maskArea;
    return out;
}

// %.6g, the text report's numbers.
std::string shortNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string lacunarityText(const LacunarityResult& result)
{
    std::ostringstream text;
    const Region& r = result.region;
    text << "lacunarity: "
         << (result.method == LacunarityMethod::Gliding
                 ? std::string("gliding box")
                 : "fixed grid, empty boxes " +
                       std::string(result.empty == EmptyBoxes::Include ? "included" : "excluded"))
         << "\n"
         << "region: " << r.left << "," << r.top << "," << r.width << "," << r.height << "\n"
         << "side\tLambda\tlambda\n";
    for (const LacunaritySide& side : result.sides)
        text << side.side << "\t" << shortNumber(side.lacunarity) << "\t" << shortNumber(side.lambda) << "\n";
    text << "slope of log Lambda: " << shortNumber(result.slope);
    if (result.standardError)
        text << " +/- " << shortNumber(*result.standardError);
    text << "\n";
    return text.str();
}

const BatchColumn kColumns[] = {
    {"path", [](const json& row) { return cells::text(row, "path"); }},
    {"status", [](const json& row) { return cells::text(row, "status"); }},
    {"error", [](const json& row) { return cells::text(row, "error"); }},
    {"width", [](const json& row) { return cells::regionPart(row, 2); }},
    {"height", [](const json& row) { return cells::regionPart(row, 3); }},
    {"method", [](const json& row) { return cells::text(row, "method"); }},
    {"empty", [](const json& row) { return cells::text(row, "empty"); }},
    {"slope", [](const json& row) { return cells::number(row, "slope"); }},
    {"standardError", [](const json& row) { return cells::number(row, "standardError"); }},
    {"sides", [](const json& row) { return cells::numbers(row, "sides"); }},
    {"lacunarity", [](const json& row) { return cells::numbers(row, "lacunarity"); }},
};

}  // namespace

int runLacunarity(const Arguments& arguments, const OutputStreams& streams)
{
    const Measured result = measureFile(arguments.operands[0], arguments);
    return printReport(streams,
                       arguments.form == ReportForm::Json
                           ? lacunarityJson(result).dump(2, ' ', false, json::error_handler_t::replace) + "\n"
                           : lacunarityText(result.result));
}

json lacunarityFileJson(const std::string& path, const Arguments& arguments)
{
    return lacunarityJson(measureFile(path, arguments));
}

json lacunarityViewJson(const ImageView& view, const Arguments& arguments, const PixelMask* mask)
{
    return lacunarityJson(measureView(view, arguments, mask));
}

json lacunarityObjectJson(const ObjectImage& image, const Region& region, const PixelMask* mask,
                          const Arguments& arguments)
{
    Arguments inRegion = arguments;
    inRegion.region = region;
    return lacunarityJson(measureView(image.bitmap().view(), inRegion, mask));
}

std::span<const BatchColumn> lacunarityColumns()
{
    return kColumns;
}

void checkLacunarityOptions(const Arguments& arguments)
{
    if (arguments.emptyBoxes == EmptyBoxes::Exclude &&
        arguments.lacunarityMethod.value_or(LacunarityMethod::Gliding) != LacunarityMethod::Grid)
        throw UsageError("--empty applies to --method grid");
}

}  // namespace dimora::cli
