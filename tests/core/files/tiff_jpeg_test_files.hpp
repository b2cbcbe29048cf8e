// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// TIFF and JPEG files made by the tests (and the fuzzers' seeds) with libtiff
// and libjpeg themselves, from a function that gives each pixel's samples.

#include <tiffio.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dimora::testing {

// Sample s (0 .. samples − 1) of pixel (x, y), in the page's bits per sample.
using SampleAt = std::function<unsigned(std::uint32_t x, std::uint32_t y, unsigned s)>;

struct TiffPage {
    std::uint32_t width = 13;
    std::uint32_t height = 11;
    std::uint16_t bits = 8;
    std::uint16_t samples = 1;
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint16_t compression = COMPRESSION_NONE;
    std::vector<std::uint16_t> extraSamples;      // EXTRASAMPLE_* of the samples past the colour ones
    std::vector<std::uint16_t> red, green, blue;  // the colour map of a palette page
    bool tiled = false;                           // tiles, else strips
    std::uint32_t tileWidth = 16;
    std::uint32_t tileHeight = 16;
    std::uint32_t rowsPerStrip = 3;
    // When not empty: the stored bytes of every strip or tile, written as
    // they are whatever the tags claim (no samples are encoded).
    std::vector<std::uint8_t> raw;
    SampleAt sample;
};

struct TiffFile {
    bool bigEndian = false;
    bool bigTiff = false;
    std::vector<TiffPage> pages;
};

// The file's bytes (empty when libtiff refuses to write it). A single page
// with raw bytes, or with tile sides that are not multiples of 16 (which
// libtiff reads but will not write), is assembled byte by byte instead, as a
// little-endian classic TIFF with uncompressed samples.
std::vector<std::uint8_t> encodeTiff(const TiffFile& file);

// A JPEG of the given components (1: gray, 3: colour from RGB samples; 4:
// CMYK) at quality 90, baseline or progressive.
std::vector<std::uint8_t> encodeJpeg(std::uint32_t width, std::uint32_t height, int components,
                                     bool progressive, const SampleAt& sample);

// A value of this process's /proc status in bytes ("VmRSS", "VmHWM"); 0
// when it is missing. Writing 5 to /proc/self/clear_refs resets VmHWM to the
// present VmRSS, so that a peak can be measured from there.
std::uint64_t memoryStatus(const std::string& key);

}  // namespace dimora::testing
