// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Small PNG files made by the tests themselves with libpng, from raw PNG rows,
// and a scratch folder that removes itself.

#include <png.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace dimora::testing {

// An image as PNG stores it: rows of packed samples (big-endian 16-bit
// samples, sub-byte samples leftmost in the high bits), before filtering.
struct PngImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<std::uint8_t> paletteAlpha;         // tRNS of a palette image
    std::optional<png_color_16> transparentColour;  // tRNS of a gray or RGB image
    std::vector<std::vector<std::uint8_t>> rows;
};

// Samples per pixel of a colour type.
int channelsOf(int colourType);

// Sets sample `channel` of pixel x in a raw row.
void putSample(std::vector<std::uint8_t>& row, int bitDepth, int channels, std::uint32_t x, int channel,
               unsigned value);

// An image of the given kind whose rows are all zero.
PngImage blankImage(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType);

// The PNG file bytes of the image (empty when libpng refuses it).
std::vector<std::uint8_t> encodePng(const PngImage& image);

void writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> readFile(const std::filesystem::path& path);

// A fresh empty folder under the system's temporary folder, removed with
// everything in it when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace dimora::testing
