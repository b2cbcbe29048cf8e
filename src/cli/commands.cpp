// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/commands.hpp"

#include "cli/decoding_image.hpp"
#include "cli/progress_bar.hpp"
#include "cli/reports.hpp"

#include "core/common/error.hpp"
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
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <variant>

#include <nlohmann/json.hpp>

#include <unistd.h>

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

std::string measureDimension(const Arguments& arguments, MeasurementKind kind)
{
    return dimensionReport(kind, measureDimensionOf(arguments.operands[0], arguments, kind), std::nullopt,
                           arguments.form);
}

std::string measureLength(const Arguments& arguments)
{
    const MeasuredImage image(arguments.operands[0], arguments.page);
    const ImageView view = image.view();
    const auto length = measureTotalLength(view, arguments.region);
    const Region scan = lengthScanRectangle(view.width, view.height, arguments.region);
    return lengthReport(scan, length, arguments.form);
}

std::string measureSlices(const Arguments& arguments)
{
    SliceSeriesSettings settings;
    settings.lastFile = arguments.operands[0];
    settings.firstFile = firstSliceFileName(settings.lastFile);
    settings.pixelSizeText = arguments.pixelSize.value_or("");
    settings.distanceText = arguments.distance.value_or("");
    settings.selection = arguments.region;
    SliceRun run;
    const SliceStackMeasurement result = measureSliceStack(settings, run);
    return dimensionReport(MeasurementKind::Slices, result.measurement,
                           SliceFacts{result.sliceCount, result.lastFile, result.spacing, {}, {}},
                           arguments.form);
}

std::string measureCubes(const Arguments& arguments)
{
    // Slices done, on a terminal only.
    std::optional<ProgressBar> bar;
    bool barFinished = false;
    const auto progress = [&](std::int32_t done, std::int32_t total) {
        if (!bar)
            bar.emplace(std::cerr, static_cast<std::size_t>(total),
                        isatty(STDERR_FILENO) == 1 ? BarVisibility::Shown : BarVisibility::Hidden, "slices");
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
    return dimensionReport(MeasurementKind::Cubes, result.measurement,
                           SliceFacts{counts.sliceCount, result.stack.lastFile, std::nullopt,
                                      std::array{voxel.x, voxel.y, voxel.z}, slicesPerBox},
                           arguments.form);
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

std::string refit(const Arguments& arguments)
{
    const auto lines = readCountList(arguments.operands[0]);
    std::vector<ChartPoint> points;
    const Recalculation recalculation = recalculateCountList(lines, points);
    return refitReport(recalculation, arguments.form);
}

std::string process(const Arguments& arguments)
{
    using Operation = std::function<void(Bitmap&)>;
    const std::int32_t threshold = arguments.threshold;
    const std::map<std::string, Operation> operations = {
        {"green",
         [threshold](Bitmap& b) {
             extractColour(b, {ExtractedChannel::Green, threshold});
         }},
        {"red",
         [threshold](Bitmap& b) {
             extractColour(b, {ExtractedChannel::Red, threshold});
         }},
        {"percent", convertToPercent},
        {"invert", invertColours},
        {"grayscale", convertToGrayscale},
        {"thin", thinFigures},
        {"median",
         [](Bitmap& b) {
             Bitmap scratch;
             medianFilter(b, scratch);
         }},
        {"denoise", removeIsolatedDots},
    };
    const auto& operation = operations.at(arguments.operands[0]);
    Bitmap image = loadImageFile(arguments.operands[1], arguments.page);
    operation(image);
    const std::string& output = arguments.operands[2];
    if (hasPngExtension(output))
        savePngFile(image, output);
    else
        saveBmpFile(image, output);
    return {};
}

std::string writeG1(const Arguments& arguments)
{
    const Bitmap image = loadImageFile(arguments.operands[0], arguments.page);
    saveG1File(image, arguments.operands[1]);
    return {};
}

}  // namespace

nlohmann::json measureFileJson(const std::string& measurement, const std::string& path,
                               const Arguments& arguments)
{
    if (measurement == "length") {
        const MeasuredImage image(path, arguments.page);
        const ImageView view = image.view();
        const auto length = measureTotalLength(view, arguments.region);
        return lengthJson(lengthScanRectangle(view.width, view.height, arguments.region), length);
    }
    const MeasurementKind kind = measurement == "black"      ? MeasurementKind::Black
                                 : measurement == "nonblack" ? MeasurementKind::NonBlack
                                                             : MeasurementKind::Gray;
    return dimensionJson(kind, measureDimensionOf(path, arguments, kind), std::nullopt);
}

std::string runCommand(const Arguments& arguments)
{
    const std::string& command = arguments.command;
    if (command == "help")
        return usageText();
    if (command == "version")
        return "dimora3-cli " + std::string(kVersion) + "\n";
    if (command == "black")
        return measureDimension(arguments, MeasurementKind::Black);
    if (command == "nonblack")
        return measureDimension(arguments, MeasurementKind::NonBlack);
    if (command == "gray")
        return measureDimension(arguments, MeasurementKind::Gray);
    if (command == "length")
        return measureLength(arguments);
    if (command == "slices")
        return measureSlices(arguments);
    if (command == "cubes")
        return measureCubes(arguments);
    if (command == "refit")
        return refit(arguments);
    if (command == "process")
        return process(arguments);
    if (command == "g1")
        return writeG1(arguments);
    fail("unknown command " + command);
}

}  // namespace dimora::cli
