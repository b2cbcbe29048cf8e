// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/slices/cube_measurement.hpp"

#include "core/common/error.hpp"
#include "core/measure/measurement_sequence.hpp"
#include "core/slices/cube_stack.hpp"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <variant>

namespace dimora {
namespace {

// Slices decoded ahead of the one being counted.
constexpr std::size_t kSlicesAhead = 2;

// Decodes the slices of a stack in order on its own thread, at most
// kSlicesAhead ahead of the consumer; an error ends the decoding and comes
// out in the slice's place.
class SliceDecoder {
public:
    explicit SliceDecoder(const CubeStack& stack)
        : thread_([this, &stack](std::stop_token stop) { decode(stack, stop); })
    {
    }

    // The next slice, in order; rethrows its decoding error.
    Bitmap next()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !ready_.empty(); });
        Item item = std::move(ready_.front());
        ready_.pop_front();
        changed_.notify_all();
        lock.unlock();
        if (auto* error = std::get_if<std::exception_ptr>(&item))
            std::rethrow_exception(*error);
        return std::move(std::get<Bitmap>(item));
    }

private:
    using Item = std::variant<Bitmap, std::exception_ptr>;

    void decode(const CubeStack& stack, const std::stop_token& stop)
    {
        try {
            CubeSliceReader reader(stack);
            for (std::int32_t i = 1; i <= stack.sliceCount(); ++i) {
                Bitmap slice = reader.read(i);
                if (!put(std::move(slice), stop))
                    return;
            }
        } catch (...) {
            put(std::current_exception(), stop);
        }
    }

    bool put(Item item, const std::stop_token& stop)
    {
        std::unique_lock lock(mutex_);
        if (!changed_.wait(lock, stop, [this] { return ready_.size() < kSlicesAhead; }))
            return false;
        ready_.push_back(std::move(item));
        changed_.notify_all();
        return true;
    }

    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<Item> ready_;
    // Last, so that it stops and joins before the queue goes away.
    std::jthread thread_;
};

}  // namespace

CubeStackCounts countCubeStack(const CubeSettings& settings, const CubeProgress& progress,
                               std::stop_token stop)
{
    const CubeStack stack = CubeStack::find(settings.stack);
    const std::int32_t total = stack.sliceCount();
    SliceDecoder decoder(stack);

    CubeStackCounts result;
    Bitmap slice = decoder.next();
    const std::int32_t width = slice.width();
    const std::int32_t height = slice.height();
    const Region region = settings.region.value_or(Region{0, 0, width, height});
    CubeCounter counter(region, width, height, total, settings.voxel);
    for (std::int32_t i = 1; i <= total; ++i) {
        if (stop.stop_requested())
            throw CubeRunStopped{};
        if (i > 1)
            slice = decoder.next();
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
                                      std::stop_token stop)
{
    CubeStackMeasurement result;
    result.stack = countCubeStack(settings, progress, std::move(stop));
    result.measurement = finishMeasurement(result.stack.counts.region, reportCubeCounts(result.stack.counts));
    return result;
}

}  // namespace dimora
