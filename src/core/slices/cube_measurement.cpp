// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/slices/cube_measurement.hpp"

#include "core/common/error.hpp"
#include "core/common/ordered_pipeline.hpp"
#include "core/measure/measurement_sequence.hpp"
#include "core/slices/cube_stack.hpp"

#include <cstddef>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

namespace dimora {
namespace {

// Slices decoded, or being decoded, ahead of the one being counted.
constexpr std::size_t kSlicesAhead = 2;
// Threads that decode, each taking the next slice with a reader of its own (a
// multi-page TIFF is opened once per thread).
constexpr std::size_t kDecoders = 2;

// The slices of a stack, decoded ahead on other threads and taken in order;
// slices handed back are decoded into again.
class SliceDecoder {
public:
    SliceDecoder(const CubeStack& stack, const std::stop_token& stop)
        : stack_(stack),
          ahead_(
              {.count = static_cast<std::size_t>(stack.sliceCount()),
               .workers = kDecoders,
               .ahead = kSlicesAhead},
              [&stack] {
                  return [reader = std::make_shared<CubeSliceReader>(stack)](std::size_t k, Bitmap reusable,
                                                                             const std::stop_token&) {
                      return reader->read(static_cast<std::int32_t>(k) + 1, std::move(reusable));
                  };
              },
              stop)
    {
    }

    // Slice i, the one after the last taken. A slice that cannot be read is
    // named by its path and number, since the reader's own message may name
    // neither. Throws CubeRunStopped when a stop comes first.
    Bitmap next(std::int32_t i)
    {
        std::optional<Bitmap> slice;
        try {
            slice = ahead_.next();
        } catch (const Error&) {
            throw Error(cannotReadSliceMessage(stack_.slicePath(i), i));
        }
        if (!slice)
            throw CubeRunStopped{};
        return std::move(*slice);
    }

    // A slice counted and done with, whose memory the next decoding may use.
    void giveBack(Bitmap slice) { ahead_.giveBack(std::move(slice)); }

private:
    const CubeStack& stack_;
    OrderedPipeline<Bitmap> ahead_;
};

}  // namespace

std::string cannotReadSliceMessage(const std::string& path, std::int32_t number)
{
    std::string text(msg::kCannotReadSlice);
    // The number first, so that a "%d" in the path stays as it is.
    text.replace(text.find("%d"), 2, std::to_string(number));
    return formatMessage(text, path);
}

CubeStackCounts countCubeStack(const CubeSettings& settings, const CubeProgress& progress,
                               const std::stop_token& stop)
{
    const CubeStack stack = CubeStack::find(settings.stack);
    const std::int32_t total = stack.sliceCount();
    SliceDecoder decoder(stack, stop);

    CubeStackCounts result;
    Bitmap slice = decoder.next(1);
    const std::int32_t width = slice.width();
    const std::int32_t height = slice.height();
    const Region region = settings.region.value_or(Region{0, 0, width, height});
    CubeCounter counter(region, width, height, total, settings.voxel);
    for (std::int32_t i = 1; i <= total; ++i) {
        if (stop.stop_requested())
            throw CubeRunStopped{};
        if (i > 1) {
            decoder.giveBack(std::move(slice));
            slice = decoder.next(i);
        }
        result.lastFile = stack.slicePath(i);
        if (slice.width() != width || slice.height() != height)
            fail(msg::kSliceSizeDiffers, result.lastFile);
        counter.addSlice(slice.view());
        if (progress)
            progress(i, total);
    }
    result.counts = counter.finish();
    return result;
}

CubeStackMeasurement measureCubeStack(const CubeSettings& settings, const CubeProgress& progress,
                                      const std::stop_token& stop)
{
    CubeStackMeasurement result;
    result.stack = countCubeStack(settings, progress, stop);
    result.measurement = finishMeasurement(result.stack.counts.region, reportCubeCounts(result.stack.counts));
    return result;
}

}  // namespace dimora
