// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/commands.hpp"

#include "cli/decoding_image.hpp"
#include "cli/progress_bar.hpp"
#include "cli/reports.hpp"

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

// The two-valued measurement of a TIFF or JPEG file counts each row as soon
// as the decoder has written it. Every outcome is that of decoding first and
// measuring then: a decoding error wins over the measurement's own.
DimensionMeasurement measureTwoValuedWhileDecoding(const std::string& path, const Arguments& arguments,
                                                   PixelClass pixelClass)
{
    DecodingImage image(path, arguments.page);
    const ImageView view = image.view();
    DimensionMeasurement measurement;
    try {
        measurement = measureTwoValued(view, regionOrWholeImage(arguments, view), pixelClass, image.gate());
    } catch (...) {
        image.finish();
        throw;
    }
    image.finish();
    return measurement;
}

DimensionMeasurement measureDimensionOf(const std::string& path, const Arguments& arguments,
                                        MeasurementKind kind)
{
    const ImageFileKind fileKind = imageFileKindOf(path);
    if (kind != MeasurementKind::Gray && (fileKind == ImageFileKind::Tiff || fileKind == ImageFileKind::Jpeg))
        return measureTwoValuedWhileDecoding(
            path, arguments, kind == MeasurementKind::Black ? PixelClass::Black : PixelClass::NonBlack);
    const MeasuredImage image(path, arguments.page);
    const ImageView view = image.view();
    const Region region = regionOrWholeImage(arguments, view);
    return kind == MeasurementKind::Gray
               ? measureGray(view, region)
               : measureTwoValued(view, region,
                                  kind == MeasurementKind::Black ? PixelClass::Black : PixelClass::NonBlack);
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
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
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
    return printReport(streams,
                       dimensionReport(kind, measureDimensionOf(arguments.operands[0], arguments, kind),
                                       std::nullopt, arguments.form));
}

int runLength(const Arguments& arguments, const OutputStreams& streams)
{
    const MeasuredImage image(arguments.operands[0], arguments.page);
    const ImageView view = image.view();
    const auto length = measureTotalLength(view, arguments.region);
    const Region scan = lengthScanRectangle(view.width, view.height, arguments.region);
    return printReport(streams, lengthReport(scan, length, arguments.form));
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
    const CubeCounts& counts = result.stack.counts;
    const VoxelSize& voxel = counts.voxel;
    std::vector<std::int64_t> slicesPerBox = counts.slicesPerBox;
    slicesPerBox.resize(result.measurement.sides.size());
    return printReport(streams,
                       dimensionReport(MeasurementKind::Cubes, result.measurement,
                                       SliceFacts{counts.sliceCount, result.stack.lastFile, std::nullopt,
                                                  std::array{voxel.x, voxel.y, voxel.z}, slicesPerBox},
                                       arguments.form));
}

int runRefit(const Arguments& arguments, const OutputStreams& streams)
{
    const auto lines = readCountList(arguments.operands[0]);
    std::vector<ChartPoint> points;
    const Recalculation recalculation = recalculateCountList(lines, points);
    return printReport(streams, refitReport(recalculation, arguments.form));
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

int runProcess(const Arguments& arguments, const OutputStreams& streams)
{
    const ProcessOperation* operation = findProcessOperation(arguments.operands[0]);
    if (!operation)
        fail("unknown operation " + arguments.operands[0]);
    Bitmap image = loadImageFile(arguments.operands[1], arguments.page);
    operation->apply(image, arguments.threshold);
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
    return dimensionJson(kind, measureDimensionOf(path, arguments, kind), std::nullopt);
}

nlohmann::json lengthFileJson(const std::string& path, const Arguments& arguments)
{
    const MeasuredImage image(path, arguments.page);
    const ImageView view = image.view();
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

}  // namespace dimora::cli
