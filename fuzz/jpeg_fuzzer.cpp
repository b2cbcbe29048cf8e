// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// Any bytes as a JPEG file through decodeJpeg: an image must be consistent
// (see fuzz_support.hpp), 8-bit gray or 24-bit, and every failure must be the
// reader's one message.

#include "fuzz_support.hpp"

#include "core/files/jpeg_reader.hpp"

using namespace dimora;
using namespace dimora::fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Bitmap::setMemoryBudget(kFuzzMemoryBudget);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto decoded = attempt<Bitmap>([&] { return decodeJpeg(std::span(data, size), "f.jpg"); });
    if (decoded.image) {
        checkBitmap(*decoded.image);
        const int bits = decoded.image->layout().bitsPerPixel();
        require(bits == 8 || bits == 24, "a JPEG decodes to neither 8 nor 24 bits");
    } else if (decoded.error != "画像ファイル f.jpg を読み込めません") {
        failCheck("decodeJpeg fails with another message: " + decoded.error);
    }
    return 0;
}
