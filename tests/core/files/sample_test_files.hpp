// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Grey images at full depth written by the tests: 8- and 16-bit grey PNG,
// 8-, 16- and 32-bit unsigned and 32-bit float grey TIFF, from a plane of
// values, so that a test can write a mass, a label image or a mask and know
// every sample it holds.

#include "core/image/sample_plane.hpp"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dimora::testing {

// The sample at (x, y), a value the type holds exactly.
using GreyAt = std::function<double(std::uint32_t x, std::uint32_t y)>;

struct GreyImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    SampleType type = SampleType::UInt8;
    GreyAt value;
};

// How a TIFF is laid out (the samples stay the same).
struct GreyTiffLayout {
    bool tiled = false;
    bool bigEndian = false;
    std::uint16_t compression = 1;  // COMPRESSION_NONE
    std::uint32_t rowsPerStrip = 3;
    bool minIsWhite = false;  // the samples are stored as given either way
};

// A grey PNG (UInt8 or UInt16 only).
std::vector<std::uint8_t> encodeGreyPng(const GreyImage& image);
// A grey TIFF of the image's type.
std::vector<std::uint8_t> encodeGreyTiff(const GreyImage& image, const GreyTiffLayout& layout = {});

void writeGreyPng(const std::string& path, const GreyImage& image);
void writeGreyTiff(const std::string& path, const GreyImage& image, const GreyTiffLayout& layout = {});

// The image as a sample plane, for comparing with what a reader gives.
SamplePlane planeOf(const GreyImage& image);

}  // namespace dimora::testing
