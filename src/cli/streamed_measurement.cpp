// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/streamed_measurement.hpp"

#include "core/files/image_stream.hpp"
#include "core/measure/measurement_sequence.hpp"
#include "core/measure/streaming_counts.hpp"

namespace dimora::cli {

DimensionMeasurement streamTwoValued(const std::string& path, std::int32_t page,
                                     const std::optional<Region>& region, PixelClass pixelClass)
{
    BoxCountSink sink(region, pixelClass);
    streamImageFile(path, page, sink);
    const BoxCounts counts = sink.result();
    return finishMeasurement(sink.region(), reportBoxCounts(counts));
}

DimensionMeasurement streamGray(const std::string& path, std::int32_t page,
                                const std::optional<Region>& region)
{
    GrayCountSink sink(region);
    streamImageFile(path, page, sink);
    const GrayCounts counts = sink.result();
    return finishMeasurement(sink.region(), reportGrayCounts(counts));
}

StreamedLength streamLength(const std::string& path, std::int32_t page,
                            const std::optional<Region>& selection)
{
    LengthSink sink(selection);
    streamImageFile(path, page, sink);
    return {sink.scan(), sink.result()};
}

}  // namespace dimora::cli
