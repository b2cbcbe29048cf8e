// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// Any bytes as a TIFF file, first page and second page, through decodeTiff:
// an image must be consistent (see fuzz_support.hpp) and every failure must
// be the reader's one message. The first page is also streamed from a file
// into the box counter, as the command line measures it: a page that decodes
// must give the decoded image's counts (a streamed page need not fit the
// budget, so it may also measure one that does not decode).

#include "fuzz_support.hpp"

#include "core/files/tiff_reader.hpp"
#include "core/measure/streaming_counts.hpp"

using namespace dimora;
using namespace dimora::fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Bitmap::setMemoryBudget(kFuzzMemoryBudget);
    return 0;
}

namespace {

void checkStreamed(std::span<const std::uint8_t> bytes, const Outcome<Bitmap>& decoded)
{
    static const ScratchFile file(".tif");
    file.write(bytes);
    for (const PixelClass pixelClass : {PixelClass::Black, PixelClass::NonBlack}) {
        BoxCountSink sink(std::nullopt, pixelClass);
        try {
            streamTiffFile(file.path(), 1, sink);
        } catch (const Error& e) {
            if (e.what() != "画像ファイル " + file.path() + " を読み込めません")
                failCheck(std::string("streaming fails with another message: ") + e.what());
            if (decoded.image)
                failCheck(std::string("streaming refuses a page that decodes: ") + e.what());
            return;
        }
        if (!decoded.image)
            continue;
        const ImageView view = decoded.image->view();
        if (std::int64_t{view.width} * view.height > kFullCheckPixels)
            continue;
        const BoxCounts want = countBoxes(view, Region{0, 0, view.width, view.height}, pixelClass);
        if (sink.result().counts != want.counts)
            failCheck("the streamed counts differ from the decoded page's");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    for (const std::int32_t page : {1, 2}) {
        const auto decoded = attempt<Bitmap>([&] { return decodeTiff(bytes, "f.tif", page); });
        if (decoded.image)
            checkBitmap(*decoded.image);
        else if (decoded.error != "画像ファイル f.tif を読み込めません")
            failCheck("decodeTiff fails with another message: " + decoded.error);
        if (page == 1)
            checkStreamed(bytes, decoded);
    }
    return 0;
}
