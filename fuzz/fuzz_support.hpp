// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Helpers shared by the fuzz targets: the memory budget they run under, a
// scratch file through which the file-based loaders see the same bytes as the
// in-memory decoders, and the checks that every decoded image goes through.
// A failed check prints what went wrong and aborts, which libFuzzer reports
// as a crash and saves the input.

#include "core/common/error.hpp"
#include "core/image/bitmap.hpp"
#include "core/measure/box_count.hpp"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <unistd.h>

namespace dimora::fuzz {

// The pixel memory one image may take while fuzzing. Above what most inputs
// can fill, so both sides of the budget are reached, yet small enough that
// the largest image a few bytes can claim (an RLE or deflate stream may
// describe millions of pixels) is made and checked in a few milliseconds.
inline constexpr std::uint64_t kFuzzMemoryBudget = std::uint64_t{16} << 20;

// Images up to this many pixels have every pixel read, are compared pixel by
// pixel and are measured; larger ones have their first and last rows and the
// ends of every row read.
inline constexpr std::int64_t kFullCheckPixels = std::int64_t{1} << 16;

[[noreturn]] inline void failCheck(const std::string& what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
    std::abort();
}

// Takes a plain text so that no message is built for checks that pass (they
// run once per pixel); checks whose message names something use failCheck.
inline void require(bool condition, const char* what)
{
    if (!condition)
        failCheck(what);
}

// What a reader made of the input: an image, or the message of its Error.
// Any other exception is not caught, so libFuzzer reports it.
template <typename Image> struct Outcome {
    std::optional<Image> image;
    std::string error;
};

template <typename Image> Outcome<Image> attempt(const std::function<Image()>& read)
{
    Outcome<Image> outcome;
    try {
        outcome.image.emplace(read());
    } catch (const Error& e) {
        outcome.error = e.what();
    }
    return outcome;
}

// A file in the temporary folder, rewritten for every input, removed when
// the fuzzer ends.
class ScratchFile {
public:
    explicit ScratchFile(const char* suffix)
    {
        path_ = "/tmp/dimora-fuzz-XXXXXX";
        path_ += suffix;
        const int fd = ::mkstemps(path_.data(), static_cast<int>(std::string(suffix).size()));
        require(fd >= 0, "cannot create a scratch file");
        ::close(fd);
    }
    ~ScratchFile() { ::unlink(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    void write(std::span<const std::uint8_t> bytes) const
    {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        require(file != nullptr, "cannot open the scratch file");
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        require(std::fclose(file) == 0 && written, "cannot write the scratch file");
    }
    [[nodiscard]] const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Reads the image's pixels and checks what any consistent image satisfies:
// positive size, colours with an empty top byte inside, the invalid colour
// just outside. Returns a sum of the colours read, so no read is skipped.
inline std::uint64_t checkView(const ImageView& view)
{
    require(view.width > 0 && view.height > 0, "a decoded image has no pixels");
    require(view.layout != nullptr && view.firstRow != nullptr, "a decoded image has no rows");
    std::uint64_t sum = 0;
    const auto read = [&](std::int32_t x, std::int32_t y) {
        const Colour c = view.pixel(x, y);
        require(c >> 24 == 0, "a pixel reads as an invalid colour");
        sum += c;
    };
    const bool full = std::int64_t{view.width} * view.height <= kFullCheckPixels;
    for (std::int32_t y = 0; y < view.height; ++y) {
        if (full || y == 0 || y == view.height - 1) {
            for (std::int32_t x = 0; x < view.width; ++x)
                read(x, y);
        } else {
            read(0, y);
            read(view.width - 1, y);
        }
    }
    require(view.pixel(-1, 0) == kInvalidColour && view.pixel(view.width, 0) == kInvalidColour &&
                view.pixel(0, view.height) == kInvalidColour,
            "a pixel outside the image is not the invalid colour");
    return sum;
}

// Checks a decoded bitmap: its memory matches its size and layout, every
// pixel reads (see checkView), and a small one can be measured.
inline void checkBitmap(const Bitmap& bitmap)
{
    const PixelLayout& layout = bitmap.layout();
    require(bitmap.stride() == layout.strideFor(bitmap.width()), "the stride does not fit the width");
    require(bitmap.byteCount() <= Bitmap::memoryBudget(), "a bitmap beyond the memory budget was made");
    const ImageView view = bitmap.view();
    checkView(view);
    if (std::int64_t{view.width} * view.height <= kFullCheckPixels) {
        const Region whole{0, 0, view.width, view.height};
        const BoxCounts counts = countBoxes(view, whole, PixelClass::Black);
        require(counts.coverage >= 0 && counts.coverage <= 100, "the coverage is not a percentage");
        for (const std::int64_t count : counts.counts)
            require(count >= 0 && count <= std::int64_t{view.width} * view.height,
                    "a box count is impossible");
    }
}

// Requires two views of the same input to agree in size and every pixel.
inline void requireSameImage(const ImageView& a, const ImageView& b, const std::string& what)
{
    if (a.width != b.width || a.height != b.height)
        failCheck(what + ": the sizes differ");
    const bool full = std::int64_t{a.width} * a.height <= kFullCheckPixels;
    for (std::int32_t y = 0; y < a.height; ++y) {
        if (!full && y != 0 && y != a.height - 1)
            continue;
        for (std::int32_t x = 0; x < a.width; ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                failCheck(what + ": the pixels differ at (" + std::to_string(x) + ", " + std::to_string(y) +
                          ")");
    }
}

// Requires a second reader to end as the first did: the same image or the
// same error message.
template <typename Image>
void requireSameOutcome(const Outcome<Bitmap>& first, const Outcome<Image>& second,
                        const std::function<ImageView(const Image&)>& viewOf, const std::string& what)
{
    if (first.image && !second.image)
        failCheck(what + " refuses an image that decodes: " + second.error);
    if (!first.image && second.image)
        failCheck(what + " accepts an image that is refused: " + first.error);
    if (first.image)
        requireSameImage(first.image->view(), viewOf(*second.image), what);
    else if (first.error != second.error)
        failCheck(what + " gives another message: " + second.error);
}

}  // namespace dimora::fuzz
