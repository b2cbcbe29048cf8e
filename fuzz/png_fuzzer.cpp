// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// Any bytes as a PNG file, through decodePng (from memory) and LoadPngBitmap
// (from a file, the slice measurement's path). Both must agree (the same
// image, or the same error), an image must be consistent (see
// fuzz_support.hpp), and a failed load must leave the caller's bitmap as it
// was.
//
// The checksum of every whole chunk is set right before decoding: mutated
// chunks would otherwise nearly all end at libpng's checksum test, long before
// the header and pixel handling under test. Damaged checksums are covered by
// the reader's tests.

#include "fuzz_support.hpp"

#include "core/files/png_reader.hpp"

#include <array>
#include <vector>

using namespace dimora;
using namespace dimora::fuzz;

namespace {

std::uint32_t crc32(const std::uint8_t* data, std::size_t length)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < length; ++i)
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return ~c;
}

// Rewrites the checksum of each chunk that lies whole inside the bytes
// (which hold at least the 8-byte signature).
void repairChecksums(std::vector<std::uint8_t>& png)
{
    std::size_t at = 8;
    while (png.size() - at >= 12) {
        const std::uint32_t length = std::uint32_t{png[at]} << 24 | std::uint32_t{png[at + 1]} << 16 |
                                     std::uint32_t{png[at + 2]} << 8 | png[at + 3];
        if (length > png.size() - at - 12)
            break;
        const std::uint32_t crc = crc32(png.data() + at + 4, length + 4);
        std::uint8_t* out = png.data() + at + 8 + length;
        for (int i = 0; i < 4; ++i)
            out[i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        at += 12 + std::size_t{length};
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Bitmap::setMemoryBudget(kFuzzMemoryBudget);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> bytes(data, data + size);
    if (size >= 8)
        repairChecksums(bytes);

    const auto decoded = attempt<Bitmap>([&] { return decodePng(bytes); });
    if (decoded.image) {
        checkBitmap(*decoded.image);
        require(decoded.image->layout().bitsPerPixel() == 24, "a PNG does not decode to 24 bits");
    } else if (decoded.error != msg::kPngReadError) {
        failCheck("decodePng fails with another message: " + decoded.error);
    }

    static const ScratchFile file(".png");
    file.write(bytes);
    // The caller's bitmap holds one red pixel, which a failure must leave.
    const auto loaded = attempt<Bitmap>([&] {
        Bitmap bitmap(1, 1, PixelLayout::rgb24());
        bitmap.setPixel(0, 0, makeColour(255, 0, 0));
        try {
            LoadPngBitmap(file.path(), bitmap);
        } catch (const Error&) {
            require(bitmap.width() == 1 && bitmap.height() == 1 &&
                        bitmap.pixel(0, 0) == makeColour(255, 0, 0),
                    "a failed load changes the caller's bitmap");
            throw;
        }
        return bitmap;
    });
    requireSameOutcome<Bitmap>(
        decoded, loaded, [](const Bitmap& b) { return b.view(); }, "LoadPngBitmap");
    return 0;
}
