// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/slices/cube_measurement.hpp"

#include "core/common/error.hpp"
#include "core/measure/measurement_sequence.hpp"
#include "core/slices/cube_stack.hpp"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <variant>
#include <vector>

namespace dimora {
namespace {

// Slices decoded, or being decoded, ahead of the one being counted.
constexpr std::int32_t kSlicesAhead = 2;
// Threads that decode: slices alternate between them, each with a reader of
// its own (a multi-page TIFF is opened once per thread).
constexpr std::int32_t kDecoders = 2;

// Decodes the slices of a stack ahead of the consumer, who takes them in
// order; an error ends its thread's decoding and comes out in the slice's
// place, so errors surface in the order of the stack. Slices handed back are
// decoded into again.
class SliceDecoder {
public:
    explicit SliceDecoder(const CubeStack& stack) : total_(stack.sliceCount())
    {
        for (std::int32_t k = 0; k < std::min(kDecoders, total_); ++k)
            threads_.emplace_back(
                [this, &stack, k](const std::stop_token& stop) { decode(stack, k + 1, stop); });
    }

    // The next slice, in order; rethrows its decoding error.
    Bitmap next()
    {
        std::unique_lock lock(mutex_);
        const std::int32_t wanted = taken_ + 1;
        changed_.wait(lock, [&] { return ready_.contains(wanted); });
        auto node = ready_.extract(wanted);
        taken_ = wanted;
        changed_.notify_all();
        lock.unlock();
        if (auto* error = std::get_if<std::exception_ptr>(&node.mapped()))
            std::rethrow_exception(*error);
        return std::move(std::get<Bitmap>(node.mapped()));
    }

    // A slice counted and done with, whose memory the next decoding may use.
    void giveBack(Bitmap slice)
    {
        const std::lock_guard lock(mutex_);
        spare_.push_back(std::move(slice));
    }

private:
    using Item = std::variant<Bitmap, std::exception_ptr>;

    void decode(const CubeStack& stack, std::int32_t first, const std::stop_token& stop)
    {
        std::int32_t i = first;
        try {
            CubeSliceReader reader(stack);
            for (; i <= total_; i += kDecoders) {
                Bitmap reusable;
                {
                    std::unique_lock lock(mutex_);
                    if (!changed_.wait(lock, stop, [&] { return i <= taken_ + kSlicesAhead; }))
                        return;
                    if (!spare_.empty()) {
                        reusable = std::move(spare_.back());
                        spare_.pop_back();
                    }
                }
                put(i, reader.read(i, std::move(reusable)));
            }
        } catch (...) {
            put(i, std::current_exception());
        }
    }

    void put(std::int32_t i, Item item)
    {
        const std::lock_guard lock(mutex_);
        ready_.emplace(i, std::move(item));
        changed_.notify_all();
    }

    const std::int32_t total_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::map<std::int32_t, Item> ready_;
    std::vector<Bitmap> spare_;
    std::int32_t taken_ = 0;
    // Last, so that they stop and join before the rest goes away.
    std::vector<std::jthread> threads_;
};

// Slice i of the stack from the decoder. A slice that cannot be read is named
// by its path and number, since the reader's own message may name neither.
Bitmap nextSlice(SliceDecoder& decoder, const CubeStack& stack, std::int32_t i)
{
    try {
        return decoder.next();
    } catch (const Error&) {
        throw Error(cannotReadSliceMessage(stack.slicePath(i), i));
    }
}

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
    SliceDecoder decoder(stack);

    CubeStackCounts result;
    Bitmap slice = nextSlice(decoder, stack, 1);
    const std::int32_t width = slice.width();
    const std::int32_t height = slice.height();
    const Region region = settings.region.value_or(Region{0, 0, width, height});
    CubeCounter counter(region, width, height, total, settings.voxel);
    for (std::int32_t i = 1; i <= total; ++i) {
        if (stop.stop_requested())
            throw CubeRunStopped{};
        if (i > 1) {
            decoder.giveBack(std::move(slice));
            slice = nextSlice(decoder, stack, i);
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
