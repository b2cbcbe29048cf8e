// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/object_measurement.hpp"

#include "cli/batch.hpp"
#include "cli/commands.hpp"
#include "cli/reports.hpp"

#include "core/common/error.hpp"
#include "core/common/ordered_pipeline.hpp"
#include "core/common/replace_file.hpp"
#include "core/files/image_file.hpp"
#include "core/files/mask_reader.hpp"
#include "core/files/sample_reader.hpp"
#include "core/image/labelled_objects.hpp"
#include "core/measure/masked_counting.hpp"
#include "core/measure/measurement_sequence.hpp"
#include "core/measure/min_grid_count.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <ostream>
#include <thread>
#include <vector>

namespace dimora::cli {
namespace {

using json = nlohmann::json;

struct MaskedMeasurement {
    DimensionMeasurement measurement;
    FitChoices choices;
};

MaskedMeasurement measureMasked(MeasurementKind kind, const ImageView& view, const Region& region,
                                const PixelMask* mask, const Arguments& arguments)
{
    MaskedMeasurement result;
    if (kind == MeasurementKind::Gray) {
        result.measurement = measureGrayMasked(view, region, mask);
    } else {
        const PixelClass pixelClass =
            kind == MeasurementKind::Black ? PixelClass::Black : PixelClass::NonBlack;
        const GridPlacement grid = arguments.grid.value_or(GridPlacement::Origin);
        std::vector<GridOffset> offsets;
        if (grid == GridPlacement::Min) {
            MinGridCounts counts = countBoxesOnGrid(view, region, pixelClass, GridPlacement::Min, mask);
            const CountReport report = reportBoxCounts(counts);
            if (!report.zeroReport)
                offsets = std::move(counts.offsets);
            result.measurement = finishMeasurement(region, report);
        } else {
            result.measurement = measureTwoValuedMasked(view, region, pixelClass, mask);
        }
        result.choices.grid = grid;
        result.choices.gridGiven = arguments.grid.has_value();
        result.choices.offsets = std::move(offsets);
    }
    const FitChoices ranged = chooseFitRange(result.measurement, arguments);
    result.choices.ranged = ranged.ranged;
    result.choices.rangeGiven = ranged.rangeGiven;
    return result;
}

std::string cellOf(const json& row, const char* key)
{
    const auto at = row.find(key);
    if (at == row.end() || at->is_null())
        return {};
    if (at->is_array()) {
        std::string text;
        for (const json& value : *at) {
            if (!text.empty())
                text += ';';
            text += value.dump();
        }
        return text;
    }
    return at->dump();
}

// path, status, error, then label, bbox (L;T;W;H) and area, then the rest of
// the command's batch columns.
std::vector<BatchColumn> objectColumns(std::span<const BatchColumn> columns)
{
    static const BatchColumn added[] = {
        {"label", [](const json& row) { return cellOf(row, "label"); }},
        {"bbox", [](const json& row) { return cellOf(row, "bbox"); }},
        {"area", [](const json& row) { return cellOf(row, "area"); }},
    };
    std::vector<BatchColumn> all;
    for (const BatchColumn& column : columns) {
        all.push_back(column);
        if (column.name == "error")
            all.insert(all.end(), std::begin(added), std::end(added));
    }
    return all;
}

}  // namespace

ObjectImage::ObjectImage(std::string path, std::int32_t page)
    : path_(std::move(path)), page_(page), bitmap_(loadImageFile(path_, page_))
{
}

const SamplePlane& ObjectImage::samples() const
{
    std::call_once(samplesRead_, [&] { samples_ = loadSamplePlane(path_, page_); });
    return samples_;
}

json maskedDimensionJson(MeasurementKind kind, const ImageView& view, const Region& region,
                         const PixelMask* mask, const Arguments& arguments)
{
    const MaskedMeasurement measured = measureMasked(kind, view, region, mask, arguments);
    json out = dimensionJson(kind, measured.measurement, std::nullopt, measured.choices);
    if (mask != nullptr)
        out["maskArea"] = maskAreaIn(*mask, region);
    return out;
}

int runMaskedDimension(MeasurementKind kind, const Arguments& arguments, const OutputStreams& streams)
{
    const Bitmap image = loadImageFile(arguments.operands[0], arguments.page);
    const ImageView view = image.view();
    const PixelMask mask = readPixelMask(*arguments.mask, view.width, view.height);
    const Region region = arguments.region.value_or(Region{0, 0, view.width, view.height});
    if (arguments.form == ReportForm::Json)
        return printReport(streams, maskedDimensionJson(kind, view, region, &mask, arguments)
                                            .dump(2, ' ', false, json::error_handler_t::replace) +
                                        "\n");
    const MaskedMeasurement measured = measureMasked(kind, view, region, &mask, arguments);
    if (measured.choices.ranged && measured.choices.ranged->noPlateau)
        streams.err << "dimora3-cli: note: " << kNoPlateauNote << '\n';
    return printReport(streams, dimensionReport(kind, measured.measurement, std::nullopt, ReportForm::Text,
                                                measured.choices));
}

int runLabelledObjects(const Command& command, const Arguments& arguments, const OutputStreams& streams)
{
    const std::string& path = arguments.operands[0];
    const ObjectImage image(path, arguments.page);
    const ImageView view = image.bitmap().view();
    std::optional<PixelMask> mask;
    if (arguments.mask)
        mask = readPixelMask(*arguments.mask, view.width, view.height);
    const SamplePlane labels = readLabelImage(*arguments.labels, view.width, view.height);
    const std::vector<LabelledObject> objects = findLabelledObjects(labels);
    if (objects.empty()) {
        streams.err << "dimora3-cli: " << formatMessage(msg::kNoLabelledObjects, *arguments.labels) << '\n';
        return 2;
    }

    const bool jsonLines = wantsJsonLines(arguments);
    const std::vector<BatchColumn> columns = objectColumns(command.batchColumns);
    const auto cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t jobs = std::min<std::size_t>(objects.size(), cores);
    struct Row {
        std::string text;
        bool failed = false;
    };
    // Each worker keeps one mask of the image's size, set over one object's
    // box at a time.
    OrderedPipeline<Row> rows({.count = objects.size(), .workers = jobs, .ahead = 2 * jobs}, [&] {
        return [&, objectMask = blankMaskFor(labels)](std::size_t index, const Row&,
                                                      const std::stop_token&) mutable {
            const LabelledObject& object = objects[index];
            markObject(labels, object, mask ? &*mask : nullptr, objectMask);
            json row;
            try {
                row = command.measureObject(image, object.bbox, &objectMask, arguments);
                row["status"] = "ok";
            } catch (const std::bad_alloc&) {
                row = json::object();
                row["status"] = "error";
                row["error"] = "out of memory";
            } catch (const std::exception& e) {
                row = json::object();
                row["status"] = "error";
                row["error"] = errorReportText(e.what());
            }
            clearObject(object, objectMask);
            row["path"] = path;
            row["label"] = object.label;
            row["bbox"] = {object.bbox.left, object.bbox.top, object.bbox.width, object.bbox.height};
            row["area"] = object.area;
            return Row{jsonLines ? jsonLine(row) : csvLine(row, columns), row["status"] != "ok"};
        };
    });

    std::string collected;
    const auto emit = [&](const std::string& text) {
        if (arguments.output) {
            collected += text;
            return;
        }
        errno = 0;
        streams.out << text << std::flush;
        if (!streams.out)
            fail(fileErrorText(errno != 0 ? errno : EIO));
    };
    if (!jsonLines)
        emit(csvHeader(columns));
    bool anyFailed = false;
    for (std::size_t index = 0; index < objects.size(); ++index) {
        const Row done = rows.next().value();
        anyFailed = anyFailed || done.failed;
        emit(done.text);
    }
    if (arguments.output)
        replaceFile(*arguments.output,
                    std::span(reinterpret_cast<const std::uint8_t*>(collected.data()), collected.size()));
    return anyFailed ? 1 : 0;
}

}  // namespace dimora::cli
