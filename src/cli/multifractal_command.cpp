// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/batch_cells.hpp"
#include "cli/commands.hpp"
#include "cli/mass_commands.hpp"
#include "cli/object_measurement.hpp"
#include "core/files/image_file.hpp"
#include "core/files/mask_reader.hpp"
#include "core/files/sample_reader.hpp"
#include "core/measure/masked_counting.hpp"
#include "core/measure/multifractal.hpp"

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

MultifractalSettings settingsOf(const Arguments& arguments)
{
    MultifractalSettings settings;
    settings.q = arguments.q.value_or(std::vector<double>{});
    settings.range = arguments.range.value_or(FitRange{});
    return settings;
}

// The measurement, with the mask's pixels inside the region when masked.
struct Measured {
    MultifractalResult result;
    std::optional<std::int64_t> maskArea;
};

// The spectrum of the masses of a sample plane (grey) or a view (black).
template <class Masses>
Measured measureMasses(const Masses& masses, std::int32_t width, std::int32_t height,
                       const Arguments& arguments, const PixelMask* mask)
{
    const Region region = arguments.region.value_or(Region{0, 0, width, height});
    Measured measured{measureMultifractal(masses, region, settingsOf(arguments), mask), std::nullopt};
    if (mask != nullptr)
        measured.maskArea = maskAreaIn(*mask, region);
    return measured;
}

Measured measureSamples(const SamplePlane& samples, const Arguments& arguments,
                        const PixelMask* mask = nullptr)
{
    return measureMasses(samples, samples.width(), samples.height(), arguments, mask);
}

Measured measureView(const ImageView& view, const Arguments& arguments, const PixelMask* mask = nullptr)
{
    return measureMasses(view, view.width, view.height, arguments, mask);
}

Measured measureFile(const std::string& path, const Arguments& arguments)
{
    std::optional<PixelMask> mask;
    const auto maskOfSize = [&](std::int32_t width, std::int32_t height) -> const PixelMask* {
        if (!arguments.mask)
            return nullptr;
        mask = readPixelMask(*arguments.mask, width, height);
        return &*mask;
    };
    if (arguments.mass.value_or(MassKind::Black) == MassKind::Gray) {
        const SamplePlane samples = loadSamplePlane(path, arguments.page);
        return measureSamples(samples, arguments, maskOfSize(samples.width(), samples.height()));
    }
    const Bitmap image = loadImageFile(path, arguments.page);
    return measureView(image.view(), arguments, maskOfSize(image.width(), image.height()));
}

json multifractalJson(const Measured& measured)
{
    const MultifractalResult& result = measured.result;
    json out;
    out["measurement"] = "multifractal";
    out["region"] =
        json::array({result.region.left, result.region.top, result.region.width, result.region.height});
    out["mass"] = massKindName(result.mass);
    out["sides"] = result.sides;
    json q = json::array(), dq = json::array(), tau = json::array(), alpha = json::array(), f = json::array(),
         dqError = json::array(), alphaError = json::array(), fError = json::array(),
         rSquared = json::array();
    for (const MultifractalPoint& p : result.points) {
        q.push_back(p.q);
        dq.push_back(p.dq);
        tau.push_back(p.tau);
        alpha.push_back(p.alpha);
        f.push_back(p.f);
        dqError.push_back(optionalNumber(p.dqStandardError));
        alphaError.push_back(optionalNumber(p.alphaStandardError));
        fError.push_back(optionalNumber(p.fStandardError));
        rSquared.push_back(optionalNumber(p.rSquared));
    }
    out["q"] = q;
    out["Dq"] = dq;
    out["tau"] = tau;
    out["alpha"] = alpha;
    out["f"] = f;
    out["DqStandardError"] = dqError;
    out["alphaStandardError"] = alphaError;
    out["fStandardError"] = fError;
    out["rSquared"] = rSquared;
    if (measured.maskArea)
        out["maskArea"] = *measured.maskArea;
    return out;
}

std::string shortNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string shortNumber(const std::optional<double>& value)
{
    return value ? shortNumber(*value) : "-";
}

std::string multifractalText(const MultifractalResult& result)
{
    std::ostringstream text;
    const Region& r = result.region;
    text << "multifractal spectrum: mass " << massKindName(result.mass) << "\n"
         << "region: " << r.left << "," << r.top << "," << r.width << "," << r.height << "\n"
         << "sides:";
    for (const std::int64_t side : result.sides)
        text << " " << side;
    text << "\nq\tDq\t+/-\ttau\talpha\t+/-\tf\t+/-\tr^2\n";
    for (const MultifractalPoint& p : result.points)
        text << shortNumber(p.q) << "\t" << shortNumber(p.dq) << "\t" << shortNumber(p.dqStandardError)
             << "\t" << shortNumber(p.tau) << "\t" << shortNumber(p.alpha) << "\t"
             << shortNumber(p.alphaStandardError) << "\t" << shortNumber(p.f) << "\t"
             << shortNumber(p.fStandardError) << "\t" << shortNumber(p.rSquared) << "\n";
    return text.str();
}

const BatchColumn kColumns[] = {
    {"path", [](const json& row) { return cells::text(row, "path"); }},
    {"status", [](const json& row) { return cells::text(row, "status"); }},
    {"error", [](const json& row) { return cells::text(row, "error"); }},
    {"width", [](const json& row) { return cells::regionPart(row, 2); }},
    {"height", [](const json& row) { return cells::regionPart(row, 3); }},
    {"mass", [](const json& row) { return cells::text(row, "mass"); }},
    {"sides", [](const json& row) { return cells::numbers(row, "sides"); }},
    {"q", [](const json& row) { return cells::numbers(row, "q"); }},
    {"Dq", [](const json& row) { return cells::numbers(row, "Dq"); }},
    {"tau", [](const json& row) { return cells::numbers(row, "tau"); }},
    {"alpha", [](const json& row) { return cells::numbers(row, "alpha"); }},
    {"f", [](const json& row) { return cells::numbers(row, "f"); }},
    {"DqStandardError", [](const json& row) { return cells::numbers(row, "DqStandardError"); }},
    {"alphaStandardError", [](const json& row) { return cells::numbers(row, "alphaStandardError"); }},
    {"fStandardError", [](const json& row) { return cells::numbers(row, "fStandardError"); }},
    {"rSquared", [](const json& row) { return cells::numbers(row, "rSquared"); }},
};

}  // namespace

int runMultifractal(const Arguments& arguments, const OutputStreams& streams)
{
    const Measured result = measureFile(arguments.operands[0], arguments);
    return printReport(
        streams, arguments.form == ReportForm::Json
                     ? multifractalJson(result).dump(2, ' ', false, json::error_handler_t::replace) + "\n"
                     : multifractalText(result.result));
}

json multifractalFileJson(const std::string& path, const Arguments& arguments)
{
    return multifractalJson(measureFile(path, arguments));
}

json multifractalViewJson(const ImageView& view, const Arguments& arguments, const PixelMask* mask)
{
    return multifractalJson(measureView(view, arguments, mask));
}

json multifractalSamplesJson(const SamplePlane& samples, const Arguments& arguments, const PixelMask* mask)
{
    return multifractalJson(measureSamples(samples, arguments, mask));
}

json multifractalObjectJson(const ObjectImage& image, const Region& region, const PixelMask* mask,
                            const Arguments& arguments)
{
    Arguments inRegion = arguments;
    inRegion.region = region;
    if (arguments.mass.value_or(MassKind::Black) == MassKind::Gray)
        return multifractalJson(measureSamples(image.samples(), inRegion, mask));
    return multifractalJson(measureView(image.bitmap().view(), inRegion, mask));
}

std::span<const BatchColumn> multifractalColumns()
{
    return kColumns;
}

void checkMultifractalOptions(const Arguments& arguments)
{
    if (arguments.range && arguments.range->kind == FitRange::Kind::Auto)
        throw UsageError("multifractal's --range takes all or S1-S2");
}

}  // namespace dimora::cli
