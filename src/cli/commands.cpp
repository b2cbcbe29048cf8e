// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/commands.hpp"

#include "cli/progress_bar.hpp"
#include "cli/reports.hpp"
#include "cli/streamed_measurement.hpp"

#include "core/common/error.hpp"
#include "core/common/replace_file.hpp"
#include "core/common/version.hpp"
#include "core/files/bmp_writer.hpp"
#include "core/files/g1_writer.hpp"
#include "core/files/image_file.hpp"
#include "core/files/mapped_bmp.hpp"
#include "core/files/png_reader.hpp"
#include "core/files/png_writer.hpp"
#include "core/imageops/imageops.hpp"
#include "core/measure/dimension_measurement.hpp"
#include "core/measure/measurement_sequence.hpp"
#include "core/measure/total_length.hpp"
#include "core/slices/cube_measurement.hpp"
#include "core/slices/slice_series.hpp"
#include "core/slices/slice_stack.hpp"

#include <array>
#include <cerrno>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <variant>

#include <nlohmann/json.hpp>

namespace dimora::cli {
namespace {

// An image to measure: a BMP file viewed where it lies (mapped, no copy of
// its pixels), or a decoded PNG, TIFF or JPEG file.
class MeasuredImage {
public:
    MeasuredImage(const std::string& path, std::int32_t page)
    {
        if (imageFileKindOf(path) == ImageFileKind::Bmp && page == 1)
            image_.emplace<MappedBmpFile>(path);
        else
            image_.emplace<Bitmap>(loadImageFile(path, page));
    }

    [[nodiscard]] ImageView view() const
    {
        if (const auto* bitmap = std::get_if<Bitmap>(&image_))
            return bitmap->view();
        return std::get<MappedBmpFile>(image_).view();
    }

private:
    std::variant<std::monostate, Bitmap, MappedBmpFile> image_;
};

Region regionOrWholeImage(const Arguments& arguments, const ImageView& view)
{
    return arguments.region.value_or(Region{0, 0, view.width, view.height});
}

// A dimension measurement with what --grid and --range made of it.
struct ChosenMeasurement {
    DimensionMeasurement measurement;
    FitChoices choices;
};

// The two-valued measurement on the grid of least count: every placement of
// each side is counted over the whole image, so a TIFF or JPEG is decoded
// first, under the memory budget, rather than counted while it decodes.
DimensionMeasurement measureOnMinGrid(const ImageView& view, const Region& region, PixelClass pixelClass,
                                      std::vector<GridOffset>& offsets)
{
    MinGridCounts counts = countBoxesOnGrid(view, region, pixelClass, GridPlacement::Min);
    const CountReport report = reportBoxCounts(counts);
    // One placement for each side of the count list (none after a zero report).
    if (!report.zeroReport)
        offsets = std::move(counts.offsets);
    return finishMeasurement(region, report);
}

// The fit over --range's sides (every side without it): after a fit, the
// local slopes and the range fitted; for a range other than all, the fitted
// pairs, the fit and Edit3/Edit4 become those over the range, while the count
// list stays whole.
std::optional<RangedFit> fitOverChosenRange(std::vector<SideCount>& pairs, FitResult& fit, FitFields& fields,
                                            const std::optional<FitRange>& range)
{
    const FitRange chosen = range.value_or(FitRange{});
    RangedFit ranged = fitOverRange(pairs, chosen);
    if (chosen.kind != FitRange::Kind::All) {
        const auto first = pairs.begin() + static_cast<std::ptrdiff_t>(ranged.run.first);
        pairs = std::vector<SideCount>(first, first + static_cast<std::ptrdiff_t>(ranged.run.count));
        fit = ranged.fit;
        fields = fitFieldTexts(fit.r, fit.n, fit.dimension);
    }
    return ranged;
}

std::optional<RangedFit> fitOverChosenRange(DimensionMeasurement& m, const std::optional<FitRange>& range)
{
    if (!m.fit)
        return std::nullopt;
    std::vector<SideCount> pairs;
    for (std::size_t k = 0; k < m.sides.size() && k < m.counts.size(); ++k)
        pairs.push_back({m.sides[k], m.counts[k]});
    FitFields fields{m.fields.edit3, m.fields.edit4};
    auto ranged = fitOverChosenRange(pairs, *m.fit, fields, range);
    m.sides.clear();
    m.counts.clear();
    for (const SideCount& pair : pairs) {
        m.sides.push_back(pair.side);
        m.counts.push_back(pair.count);
    }
    m.fields.edit3 = fields.edit3;
    m.fields.edit4 = fields.edit4;
    return ranged;
}

FitChoices rangeChoices(DimensionMeasurement& m, const Arguments& arguments)
{
    FitChoices choices;
    choices.ranged = fitOverChosenRange(m, arguments.range);
    choices.rangeGiven = arguments.range.has_value();
    return choices;
}

ChosenMeasurement measureDimensionOf(const std::string& path, const Arguments& arguments,
                                     MeasurementKind kind)
{
    ChosenMeasurement result;
    FitChoices choices;
    if (kind == MeasurementKind::Gray) {
        // Only a band of rows is needed: counted as the file decodes.
        result.measurement = streamGray(path, arguments.page, arguments.region);
    } else {
        const PixelClass pixelClass =
            kind == MeasurementKind::Black ? PixelClass::Black : PixelClass::NonBlack;
        const GridPlacement grid = arguments.grid.value_or(GridPlacement::Origin);
        if (grid == GridPlacement::Min) {
            const MeasuredImage image(path, arguments.page);
            const ImageView view = image.view();
            result.measurement =
                measureOnMinGrid(view, regionOrWholeImage(arguments, view), pixelClass, choices.offsets);
        } else {
            result.measurement = streamTwoValued(path, arguments.page, arguments.region, pixelClass);
        }
        choices.grid = grid;
        choices.gridGiven = arguments.grid.has_value();
    }
    choices.ranged = fitOverChosenRange(result.measurement, arguments.range);
    choices.rangeGiven = arguments.range.has_value();
    result.choices = std::move(choices);
    return result;
}

// The dimension measurement of an image in memory: as measureDimensionOf,
// without a file to decode while counting.
ChosenMeasurement measureDimensionOfView(const ImageView& view, const Arguments& arguments,
                                         MeasurementKind kind)
{
    ChosenMeasurement result;
    FitChoices choices;
    const Region region = regionOrWholeImage(arguments, view);
    if (kind == MeasurementKind::Gray) {
        result.measurement = measureGray(view, region);
    } else {
        const PixelClass pixelClass =
            kind == MeasurementKind::Black ? PixelClass::Black : PixelClass::NonBlack;
        const GridPlacement grid = arguments.grid.value_or(GridPlacement::Origin);
        result.measurement = grid == GridPlacement::Min
                                 ? measureOnMinGrid(view, region, pixelClass, choices.offsets)
                                 : measureTwoValued(view, region, pixelClass);
        choices.grid = grid;
        choices.gridGiven = arguments.grid.has_value();
    }
    choices.ranged = fitOverChosenRange(result.measurement, arguments.range);
    choices.rangeGiven = arguments.range.has_value();
    result.choices = std::move(choices);
    return result;
}

// The automatic range's note, when it found no plateau, goes with the text
// report to standard error (the JSON object carries it as rangeNote).
void noteRange(const FitChoices& choices, const Arguments& arguments, const OutputStreams& streams)
{
    if (arguments.form == ReportForm::Text && choices.ranged && choices.ranged->noPlateau)
        streams.err << "dimora3-cli: note: " << kNoPlateauNote << '\n';
}

// The count list file: lines end at LF, and a final LF adds no line.
std::vector<std::string> readCountList(const std::string& path)
{
    std::string text;
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            fail(msg::kCannotOpenFile, path);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return splitCountListText(text);
}

// An operation of process: the desktop command's rewriting of the working
// image (the threshold is that of the colour extractions).
struct ProcessOperation {
    std::string_view name;
    void (*apply)(Bitmap& image, std::int32_t threshold);
};

const ProcessOperation kProcessOperations[] = {
    {"green",
     [](Bitmap& b, std::int32_t threshold) {
         extractColour(b, {ExtractedChannel::Green, threshold});
     }},
    {"red",
     [](Bitmap& b, std::int32_t threshold) {
         extractColour(b, {ExtractedChannel::Red, threshold});
     }},
    {"percent", [](Bitmap& b, std::int32_t) { convertToPercent(b); }},
    {"invert", [](Bitmap& b, std::int32_t) { invertColours(b); }},
    {"grayscale", [](Bitmap& b, std::int32_t) { convertToGrayscale(b); }},
    {"thin", [](Bitmap& b, std::int32_t) { thinFigures(b); }},
    {"median",
     [](Bitmap& b, std::int32_t) {
         Bitmap scratch;
         medianFilter(b, scratch);
     }},
    {"denoise", [](Bitmap& b, std::int32_t) { removeIsolatedDots(b); }},
};

const ProcessOperation* findProcessOperation(const std::string& name)
{
    for (const ProcessOperation& operation : kProcessOperations)
        if (operation.name == name)
            return &operation;
    return nullptr;
}

}  // namespace

int printReport(const OutputStreams& streams, const std::string& text)
{
    errno = 0;
    streams.out << text << std::flush;
    if (!streams.out)
        fail(fileErrorText(errno != 0 ? errno : EIO));
    return 0;
}

int runDimension(MeasurementKind kind, const Arguments& arguments, const OutputStreams& streams)
{
    const ChosenMeasurement measured = measureDimensionOf(arguments.operands[0], arguments, kind);
    noteRange(measured.choices, arguments, streams);
    return printReport(
        streams, dimensionReport(kind, measured.measurement, std::nullopt, arguments.form, measured.choices));
}

int runLength(const Arguments& arguments, const OutputStreams& streams)
{
    const StreamedLength measured = streamLength(arguments.operands[0], arguments.page, arguments.region);
    return printReport(streams, lengthReport(measured.scan, measured.length, arguments.form));
}

int runSlices(const Arguments& arguments, const OutputStreams& streams)
{
    SliceSeriesSettings settings;
    settings.lastFile = arguments.operands[0];
    settings.firstFile = firstSliceFileName(settings.lastFile);
    settings.pixelSizeText = arguments.pixelSize.value_or("");
    settings.distanceText = arguments.distance.value_or("");
    settings.selection = arguments.region;
    SliceRun run;
    const SliceStackMeasurement result = measureSliceStack(settings, run);
    return printReport(streams,
                       dimensionReport(MeasurementKind::Slices, result.measurement,
                                       SliceFacts{result.sliceCount, result.lastFile, result.spacing, {}, {}},
                                       arguments.form));
}

int runCubes(const Arguments& arguments, const OutputStreams& streams)
{
    // Slices done, on a terminal only.
    std::optional<ProgressBar> bar;
    bool barFinished = false;
    const auto progress = [&](std::int32_t done, std::int32_t total) {
        if (!bar)
            bar.emplace(streams.err, static_cast<std::size_t>(total), streams.progressByDefault, "slices");
        bar->show(static_cast<std::size_t>(done));
        if (done == total) {
            bar->finish();
            barFinished = true;
        }
    };
    CubeStackMeasurement result;
    try {
        result = measureCubeStack({arguments.operands[0], arguments.voxel, arguments.region}, progress);
    } catch (...) {
        // The error's line starts on a line of its own.
        if (bar && !barFinished)
            bar->finish();
        throw;
    }
    const CubeFit fit = fitCubes(result, arguments);
    noteRange(fit.choices, arguments, streams);
    return printReport(streams, dimensionReport(MeasurementKind::Cubes, result.measurement, fit.facts,
                                                arguments.form, fit.choices));
}

CubeFit fitCubes(CubeStackMeasurement& result, const Arguments& arguments)
{
    const CubeCounts& counts = result.stack.counts;
    const VoxelSize& voxel = counts.voxel;
    // k(s) of each side measured; the fitted ones after the range is chosen.
    std::vector<std::int64_t> slicesPerBox = counts.slicesPerBox;
    slicesPerBox.resize(result.measurement.sides.size());
    CubeFit fit;
    fit.choices = rangeChoices(result.measurement, arguments);
    if (fit.choices.ranged) {
        const auto first = slicesPerBox.begin() + static_cast<std::ptrdiff_t>(fit.choices.ranged->run.first);
        slicesPerBox = std::vector<std::int64_t>(
            first, first + static_cast<std::ptrdiff_t>(fit.choices.ranged->run.count));
    }
    fit.facts = SliceFacts{counts.sliceCount, result.stack.lastFile, std::nullopt,
                           std::array{voxel.x, voxel.y, voxel.z}, slicesPerBox};
    return fit;
}

int runRefit(const Arguments& arguments, const OutputStreams& streams)
{
    const auto lines = readCountList(arguments.operands[0]);
    std::vector<ChartPoint> points;
    Recalculation recalculation = recalculateCountList(lines, points);
    FitChoices choices;
    choices.ranged =
        fitOverChosenRange(recalculation.pairs, recalculation.fit, recalculation.fields, arguments.range);
    choices.rangeGiven = arguments.range.has_value();
    noteRange(choices, arguments, streams);
    return printReport(streams, refitReport(recalculation, arguments.form, choices));
}

std::vector<std::string_view> processOperations()
{
    std::vector<std::string_view> names;
    for (const ProcessOperation& operation : kProcessOperations)
        names.push_back(operation.name);
    return names;
}

void checkProcessOperands(const Arguments& arguments)
{
    if (!findProcessOperation(arguments.operands[0]))
        throw UsageError("unknown operation '" + arguments.operands[0] + "'");
}

void applyProcessOperation(const std::string& name, Bitmap& image, std::int32_t threshold)
{
    const ProcessOperation* operation = findProcessOperation(name);
    if (!operation)
        fail("unknown operation " + name);
    operation->apply(image, threshold);
}

int runProcess(const Arguments& arguments, const OutputStreams& streams)
{
    if (!findProcessOperation(arguments.operands[0]))
        fail("unknown operation " + arguments.operands[0]);
    Bitmap image = loadImageFile(arguments.operands[1], arguments.page);
    applyProcessOperation(arguments.operands[0], image, arguments.threshold);
    const std::string& output = arguments.operands[2];
    if (hasPngExtension(output))
        savePngFile(image, output);
    else
        saveBmpFile(image, output);
    return printReport(streams, {});
}

int runG1(const Arguments& arguments, const OutputStreams& streams)
{
    const Bitmap image = loadImageFile(arguments.operands[0], arguments.page);
    saveG1File(image, arguments.operands[1]);
    return printReport(streams, {});
}

int runVersion(const Arguments&, const OutputStreams& streams)
{
    return printReport(streams, "dimora3-cli " + std::string(kVersion) + "\n");
}

nlohmann::json dimensionFileJson(MeasurementKind kind, const std::string& path, const Arguments& arguments)
{
    const ChosenMeasurement measured = measureDimensionOf(path, arguments, kind);
    return dimensionJson(kind, measured.measurement, std::nullopt, measured.choices);
}

nlohmann::json dimensionViewJson(MeasurementKind kind, const ImageView& view, const Arguments& arguments)
{
    const ChosenMeasurement measured = measureDimensionOfView(view, arguments, kind);
    return dimensionJson(kind, measured.measurement, std::nullopt, measured.choices);
}

nlohmann::json lengthFileJson(const std::string& path, const Arguments& arguments)
{
    const StreamedLength measured = streamLength(path, arguments.page, arguments.region);
    return lengthJson(measured.scan, measured.length);
}

nlohmann::json lengthViewJson(const ImageView& view, const Arguments& arguments)
{
    const auto length = measureTotalLength(view, arguments.region);
    return lengthJson(lengthScanRectangle(view.width, view.height, arguments.region), length);
}

nlohmann::json measureFileJson(const std::string& measurement, const std::string& path,
                               const Arguments& arguments)
{
    const Command* command = findCommand(measurement);
    if (!command || !command->measureFile)
        fail("unknown measurement " + measurement);
    return command->measureFile(path, arguments);
}

FitChoices chooseFitRange(DimensionMeasurement& m, const Arguments& arguments)
{
    return rangeChoices(m, arguments);
}

}  // namespace dimora::cli
