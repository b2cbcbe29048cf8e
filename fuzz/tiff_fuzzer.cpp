// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// Any bytes as a TIFF file, first page and second page, through decodeTiff:
// an image must be consistent (see fuzz_support.hpp) and every failure must
// be the reader's one message.

#include "fuzz_support.hpp"

#include "core/files/tiff_reader.hpp"

using namespace dimora;
using namespace dimora::fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Bitmap::setMemoryBudget(kFuzzMemoryBudget);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    for (const std::int32_t page : {1, 2}) {
        const auto decoded = attempt<Bitmap>([&] { return decodeTiff(bytes, "f.tif", page); });
        if (decoded.image)
            checkBitmap(*decoded.image);
        else if (decoded.error != "画像ファイル f.tif を読み込めません")
            failCheck("decodeTiff fails with another message: " + decoded.error);
    }
    return 0;
}
