// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/mass/mass_samples.hpp"

#include "core/common/error.hpp"
#include "core/files/sample_reader.hpp"
#include "core/image/colour.hpp"

#include <cstdint>
#include <optional>
#include <utility>

namespace {

// The top 8 bits of an integer sample; nothing for a float sample.
std::optional<unsigned> topByte(const dimora::SamplePlane& samples, std::int32_t x, std::int32_t y)
{
    const auto value = static_cast<std::uint32_t>(samples.value(x, y));
    switch (samples.type()) {
    case dimora::SampleType::UInt8:
        return value;
    case dimora::SampleType::UInt16:
        return value >> 8;
    case dimora::SampleType::UInt32:
        return value >> 24;
    case dimora::SampleType::Float32:
        break;
    }
    return std::nullopt;
}

}  // namespace

bool samplesShowPicture(const dimora::SamplePlane& samples, const dimora::Bitmap& picture)
{
    if (samples.width() != picture.width() || samples.height() != picture.height() ||
        samples.type() == dimora::SampleType::Float32)
        return false;
    for (std::int32_t y = 0; y < picture.height(); ++y)
        for (std::int32_t x = 0; x < picture.width(); ++x) {
            const dimora::Colour colour = picture.pixel(x, y);
            const unsigned grey = dimora::redOf(colour);
            if (dimora::greenOf(colour) != grey || dimora::blueOf(colour) != grey ||
                topByte(samples, x, y) != grey)
                return false;
        }
    return true;
}

dimora::SamplePlane pictureGreys(const dimora::Bitmap& picture)
{
    dimora::SamplePlane samples(picture.width(), picture.height(), dimora::SampleType::UInt8);
    for (std::int32_t y = 0; y < picture.height(); ++y) {
        std::uint8_t* row = samples.row(y);
        for (std::int32_t x = 0; x < picture.width(); ++x)
            row[x] = static_cast<std::uint8_t>(dimora::redOf(picture.pixel(x, y)));
    }
    return samples;
}

GreyMasses greyMasses(const dimora::Bitmap& picture, const std::string& file)
{
    if (!file.empty()) {
        try {
            dimora::SamplePlane samples = dimora::loadSamplePlane(file);
            if (samplesShowPicture(samples, picture))
                return {std::move(samples), MassSource::FileSamples};
        } catch (const dimora::Error&) {
            // Not a grey PNG or TIFF, or gone: the picture's levels serve.
        }
    }
    return {pictureGreys(picture), MassSource::PictureGreys};
}
