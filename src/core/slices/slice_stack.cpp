// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/slices/slice_stack.hpp"

#include "core/common/error.hpp"
#include "core/common/ordered_pipeline.hpp"
#include "core/files/bmp_reader.hpp"
#include "core/files/jpeg_reader.hpp"
#include "core/files/png_reader.hpp"
#include "core/files/tiff_reader.hpp"
#include "core/measure/box_count.hpp"
#include "core/measure/measurement_sequence.hpp"
#include "core/slices/slice_series.hpp"

#include <cstddef>
#include <stop_token>
#include <utility>

namespace dimora {
namespace {

// Slices up to this size are decoded two ahead of the one being counted,
// larger ones one ahead, so that at most four of them are in memory.
constexpr std::size_t kSmallSliceBytes = std::size_t{64} << 20;

// A PNG slice is decoded into the memory of a slice already counted when
// they have the same size.
Bitmap loadSlice(const std::string& path, SliceFileType type, Bitmap reusable)
{
    switch (type) {
    case SliceFileType::Bmp:
        return loadBmpFile(path);
    case SliceFileType::Tiff:
        return loadTiffFile(path);
    case SliceFileType::Jpeg:
        return loadJpegFile(path);
    default:
        return loadPngReusing(path, std::move(reusable));
    }
}

// Adds the black boxes of one slice to the stack counts, side by side.
void addSliceCounts(const Bitmap& slice, const Region& region, std::vector<std::int64_t>& stackCounts)
{
    // Without a side there is nothing to count (a region without pixels
    // included).
    if (stackCounts.empty())
        return;
    const BoxCounts counts = countBoxes(slice.view(), region, PixelClass::Black);
    for (std::size_t k = 0; k < stackCounts.size(); ++k)
        stackCounts[k] += counts.counts[k];
}

std::int64_t cubeCount(std::int64_t stackCount, std::int32_t spacing, std::int64_t side)
{
    std::int64_t product = 0;
    if (__builtin_mul_overflow(stackCount, std::int64_t{spacing}, &product))
        fail(msg::kInvalidFloatOperation);
    return product / side;
}

}  // namespace

SliceStackCounts countSliceStack(const SliceSeriesSettings& settings, SliceRun& run,
                                 const SliceProgress& progress)
{
    SliceStackCounts result;
    const SliceFileType type = sliceFileTypeOf(settings.firstFile);
    run.workingImage = loadSlice(settings.firstFile, type, Bitmap());
    const Bitmap& first = *run.workingImage;
    result.region = settings.selection.value_or(Region{0, 0, first.width(), first.height()});
    const Region& region = result.region;
    result.sliceCount = sliceCountOf(settings.lastFile);
    result.spacing = sliceSpacing(settings.pixelSizeText, settings.distanceText);
    const std::int32_t n = result.sliceCount;

    result.sides = boxSides(region.width, region.height, 1);
    result.stackCounts.assign(result.sides.size(), 0);

    // The slices after slice i are decoded on other threads while slice i is
    // counted, and taken in order, so their errors surface in the order of
    // the series. Slice 1 is normally the first file itself, which is not
    // decoded again; item k of the pipeline is slice k + 2.
    const std::size_t lookahead = run.workingImage->byteCount() <= kSmallSliceBytes ? 2 : 1;
    const auto slicePathOf = [&](std::int32_t i) { return slicePath(settings.firstFile, i, type); };
    OrderedPipeline<Bitmap> ahead(
        {.count = n > 1 ? static_cast<std::size_t>(n - 1) : 0, .workers = lookahead, .ahead = lookahead},
        [&] {
            return [&](std::size_t k, Bitmap reusable, const std::stop_token&) {
                return loadSlice(slicePathOf(static_cast<std::int32_t>(k) + 2), type, std::move(reusable));
            };
        });
    for (std::int32_t i = 1; i <= n; ++i) {
        run.sliceFileName = slicePathOf(i);
        if (i > 1 || *run.sliceFileName != settings.firstFile) {
            Bitmap slice = i == 1 ? loadSlice(*run.sliceFileName, type, Bitmap()) : ahead.next().value();
            // The slice done with is the memory of a later decoding.
            ahead.giveBack(std::exchange(*run.workingImage, std::move(slice)));
        }
        addSliceCounts(*run.workingImage, region, result.stackCounts);
        if (progress)
            progress(i, n);
    }

    const std::int64_t blackVoxels = result.stackCounts.empty() ? 0 : result.stackCounts.front();
    // W × H × N exactly (an extended mantissa holds 64 bits).
    const long double voxels = static_cast<long double>(region.width) * region.height * n;
    if (voxels == 0)
        fail(msg::kInvalidFloatOperation);
    result.coverage = static_cast<double>(blackVoxels / voxels * 100);

    for (std::size_t k = 0; k < result.sides.size(); ++k)
        result.cubeCounts.push_back(cubeCount(result.stackCounts[k], result.spacing, result.sides[k]));
    return result;
}

CountReport reportSliceCounts(const SliceStackCounts& counts)
{
    CountReport report;
    report.value2 = counts.coverage;
    if (counts.coverage < kSliceZeroReportCoverage) {
        report.zeroReport = true;
        return report;
    }
    for (std::size_t k = 0; k < counts.sides.size() && counts.cubeCounts[k] > 0; ++k) {
        report.countList.push_back(std::to_string(counts.cubeCounts[k]));
        report.fitPairs.push_back({counts.sides[k], counts.cubeCounts[k]});
    }
    return report;
}

SliceStackMeasurement measureSliceStack(const SliceSeriesSettings& settings, SliceRun& run,
                                        const SliceProgress& progress)
{
    const SliceStackCounts counts = countSliceStack(settings, run, progress);
    SliceStackMeasurement result;
    result.sliceCount = counts.sliceCount;
    result.spacing = counts.spacing;
    result.lastFile = run.sliceFileName.value_or(settings.lastFile);

    result.measurement = finishMeasurement(counts.region, reportSliceCounts(counts));
    return result;
}

}  // namespace dimora
