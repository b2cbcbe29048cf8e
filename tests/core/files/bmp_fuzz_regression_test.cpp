// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// Hostile BMP input through every way the program reads a BMP file (decoding
// bytes, loading a file, mapping a file): images beyond the memory budget and
// files shorter than their headers claim are refused with the usual message,
// and the inputs that fuzzing turned up end in an error or a valid image.

#include "core/files/bmp_reader.hpp"
#include "core/files/bmp_writer.hpp"
#include "core/files/mapped_bmp.hpp"
#include "core/image/image_test_support.hpp"

#include <gtest/gtest.h>

#include <optional>

namespace dimora {
namespace {

using test::BudgetGuard;
using test::errorOf;
using test::ScratchFolder;

const std::string kInvalid(msg::kInvalidBitmap);

// The outcome of each reader on the same bytes: "no error" or the message.
struct ReaderOutcomes {
    std::string decoded;
    std::string loaded;
    std::string mapped;
};

ReaderOutcomes readAllWays(const std::vector<std::uint8_t>& bytes)
{
    const ScratchFolder folder;
    const std::string path = folder.file("input.bmp");
    test::writeFileBytes(path, bytes);
    return {errorOf([&] { (void)decodeBmp(bytes); }), errorOf([&] { (void)loadBmpFile(path); }),
            errorOf([&] { MappedBmpFile mapped(path); })};
}

void expectRefusedByAll(const std::vector<std::uint8_t>& bytes, const std::string& what)
{
    const ReaderOutcomes outcome = readAllWays(bytes);
    EXPECT_EQ(outcome.decoded, kInvalid) << what;
    EXPECT_EQ(outcome.loaded, kInvalid) << what;
    EXPECT_EQ(outcome.mapped, kInvalid) << what;
}

// A valid 1000 × 1000 image with 1,000,000 bytes of pixels (8 bits, rows of
// exactly 1000 bytes), with a pattern so that a wrong row shows.
Bitmap millionBytePicture()
{
    Bitmap b(1000, 1000, PixelLayout::indexed(8, test::rampPalette(256)));
    for (std::int32_t y = 0; y < b.height(); ++y)
        for (std::int32_t x = 0; x < b.width(); ++x)
            b.layout().writeValue(b.row(y), x, static_cast<std::uint32_t>(x * 3 + y) % 256);
    return b;
}

// An RLE8 file of the given size whose stream fills each row with one run.
std::vector<std::uint8_t> rleFile(std::int32_t width, std::int32_t height)
{
    test::BmpFields f;
    f.width = width;
    f.height = height;
    f.bitsPerPixel = 8;
    f.compression = 1;
    f.coloursUsed = 2;
    f.palette = test::paletteBytes({kBlack, kWhite});
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t left = width; left > 0; left -= 255)
            f.pixels.insert(f.pixels.end(), {static_cast<std::uint8_t>(std::min(left, 255)), 1});
        f.pixels.insert(f.pixels.end(), {0, 0});
    }
    f.pixels.insert(f.pixels.end(), {0, 1});
    return test::buildBmp(f);
}

TEST(BmpLimits, ImagesBeyondASmallBudgetAreRefusedByEveryReader)
{
    const Bitmap picture = millionBytePicture();
    const auto plain = encodeBmp(picture);
    const auto rle = rleFile(1000, 1000);
    const std::uint64_t defaultBudget = Bitmap::memoryBudget();
    {
        const BudgetGuard guard;
        Bitmap::setMemoryBudget(999'999);
        expectRefusedByAll(plain, "plain");
        expectRefusedByAll(rle, "rle");

        // One byte more and both fit, and every reader gives the picture.
        Bitmap::setMemoryBudget(1'000'000);
        const ReaderOutcomes plainOutcome = readAllWays(plain);
        EXPECT_EQ(plainOutcome.decoded, "no error");
        EXPECT_EQ(plainOutcome.loaded, "no error");
        EXPECT_EQ(plainOutcome.mapped, "no error");
        EXPECT_EQ(test::firstDifference(decodeBmp(plain).view(), picture.view()), "");
        EXPECT_EQ(readAllWays(rle).decoded, "no error");
    }
    EXPECT_EQ(Bitmap::memoryBudget(), defaultBudget);
}

TEST(BmpLimits, AFileShorterThanItsHeaderClaimsIsRefusedNotReadPastItsEnd)
{
    const auto whole = encodeBmp(millionBytePicture());
    const std::size_t pixelOffset = whole.size() - 1'000'000;
    for (const std::size_t length : {whole.size() - 1, whole.size() - 1000, pixelOffset + 1, pixelOffset}) {
        const std::vector<std::uint8_t> cut(whole.begin(),
                                            whole.begin() + static_cast<std::ptrdiff_t>(length));
        expectRefusedByAll(cut, std::to_string(length) + " bytes");
    }
    // A header alone that claims the largest image the default budget allows.
    test::BmpFields huge;
    huge.width = 65535;
    huge.height = 65535;
    huge.pixels = {0, 0, 0, 0};
    expectRefusedByAll(test::buildBmp(huge), "a 65535 × 65535 header over 4 bytes");
}

}  // namespace
}  // namespace dimora
