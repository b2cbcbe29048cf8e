// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Grey samples at the depth the file stores them (8 or 16 bits, 32-bit
// unsigned integers, 32-bit floats), one per pixel, rows from the top. The
// bitmap model reduces every sample to 8 bits, which suits the two-valued and
// grey measurements; a mass (the multifractal spectrum) or a label image needs
// the values themselves.

#include <cstdint>
#include <cstring>
#include <vector>

namespace dimora {

enum class SampleType : std::uint8_t { UInt8, UInt16, UInt32, Float32 };

class SamplePlane {
public:
    SamplePlane() = default;
    // Every sample 0.
    SamplePlane(std::int32_t width, std::int32_t height, SampleType type)
        : width_(width), height_(height), type_(type),
          bytes_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * bytesPerSample(type))
    {
    }

    [[nodiscard]] std::int32_t width() const { return width_; }
    [[nodiscard]] std::int32_t height() const { return height_; }
    [[nodiscard]] SampleType type() const { return type_; }

    // The sample at (x, y) inside the plane, as a number.
    [[nodiscard]] double value(std::int32_t x, std::int32_t y) const
    {
        const std::uint8_t* at = bytes_.data() + offset(x, y);
        switch (type_) {
        case SampleType::UInt8:
            return *at;
        case SampleType::UInt16:
            return load<std::uint16_t>(at);
        case SampleType::UInt32:
            return load<std::uint32_t>(at);
        case SampleType::Float32:
            return load<float>(at);
        }
        return 0;
    }

    // The raw bytes of row y (native byte order), for readers filling it.
    [[nodiscard]] std::uint8_t* row(std::int32_t y) { return bytes_.data() + offset(0, y); }
    [[nodiscard]] const std::uint8_t* row(std::int32_t y) const { return bytes_.data() + offset(0, y); }

    [[nodiscard]] static std::size_t bytesPerSample(SampleType type)
    {
        return type == SampleType::UInt8 ? 1 : type == SampleType::UInt16 ? 2 : 4;
    }

private:
    [[nodiscard]] std::size_t offset(std::int32_t x, std::int32_t y) const
    {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                static_cast<std::size_t>(x)) *
               bytesPerSample(type_);
    }
    template <class T> [[nodiscard]] static T load(const std::uint8_t* at)
    {
        T value;
        std::memcpy(&value, at, sizeof value);
        return value;
    }

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    SampleType type_ = SampleType::UInt8;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace dimora
