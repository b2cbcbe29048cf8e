// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/dimension_measurement.hpp"

#include "core/measure/measurement_sequence.hpp"

namespace dimora {

DimensionMeasurement measureTwoValued(const ImageView& image, const Region& region, PixelClass pixelClass,
                                      RowGate* gate)
{
    const BoxCounts counts = countBoxes(image, region, pixelClass, gate);
    return finishMeasurement(region, reportBoxCounts(counts));
}

DimensionMeasurement measureGray(const ImageView& image, const Region& region)
{
    const GrayCounts counts = countGrayBoxes(image, region);
    return finishMeasurement(region, reportGrayCounts(counts));
}

}  // namespace dimora
