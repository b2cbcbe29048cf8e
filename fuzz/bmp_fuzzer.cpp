// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// Any bytes as a BMP file, through the three ways the program reads one: the
// in-memory decoder, the file loader and the mapped view. They must agree
// (the same image, or the same error), an accepted image must be consistent
// (see fuzz_support.hpp), and saving it and reading it back must give it
// again. Errors are fine; a crash, a sanitizer report, a hang or memory
// beyond the budget is a fault.

#include "fuzz_support.hpp"

#include "core/files/bmp_reader.hpp"
#include "core/files/bmp_writer.hpp"
#include "core/files/mapped_bmp.hpp"

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
    const auto decoded = attempt<Bitmap>([&] { return decodeBmp(bytes); });
    if (decoded.image)
        checkBitmap(*decoded.image);
    else if (decoded.error != msg::kInvalidBitmap)
        failCheck("decodeBmp fails with another message: " + decoded.error);

    static const ScratchFile file(".bmp");
    file.write(bytes);
    const auto loaded = attempt<Bitmap>([&] { return loadBmpFile(file.path()); });
    requireSameOutcome<Bitmap>(
        decoded, loaded, [](const Bitmap& b) { return b.view(); }, "loadBmpFile");
    const auto mapped = attempt<MappedBmpFile>([&] { return MappedBmpFile(file.path()); });
    requireSameOutcome<MappedBmpFile>(
        decoded, mapped, [](const MappedBmpFile& m) { return m.view(); }, "MappedBmpFile");
    if (mapped.image)
        checkView(mapped.image->view());

    if (decoded.image && std::int64_t{decoded.image->width()} * decoded.image->height() <= kFullCheckPixels) {
        const auto again = attempt<Bitmap>([&] { return decodeBmp(encodeBmp(*decoded.image)); });
        if (!again.image)
            failCheck("a saved image does not read back: " + again.error);
        requireSameImage(decoded.image->view(), again.image->view(), "saved and read back");
        require(again.image->layout().bitsPerPixel() == decoded.image->layout().bitsPerPixel(),
                "saving changes the bit depth");
    }
    return 0;
}
