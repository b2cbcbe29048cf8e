// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// Hostile PNG input through both ways the program reads a PNG file (decoding
// bytes, loading a file into the caller's bitmap): images beyond the memory
// budget and files cut short are refused with "Error Reading File!" and leave
// the caller's bitmap alone, and the inputs that fuzzing turned up end in an
// error or a valid image.

#include "core/files/png_reader.hpp"

#include "core/common/error.hpp"
#include "core/files/png_test_files.hpp"
#include "core/image/image_test_support.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <sys/resource.h>

namespace dimora {
namespace {

using testing::PngImage;

const std::string kReadError(msg::kPngReadError);
const Colour kMarker = makeColour(12, 34, 56);

// A 1 × 1 bitmap that a failed load must leave as it is.
Bitmap markerBitmap()
{
    Bitmap b(1, 1, PixelLayout::rgb24());
    b.setPixel(0, 0, kMarker);
    return b;
}

bool isMarker(const Bitmap& b)
{
    return b.width() == 1 && b.height() == 1 && b.pixel(0, 0) == kMarker;
}

// Decodes the bytes and loads them from a file; both must agree. Returns
// "no error" or the message; `loaded` receives the load's bitmap.
std::string readBothWays(const std::vector<std::uint8_t>& bytes, Bitmap& loaded)
{
    std::string decodeError = "no error";
    std::string loadError = "no error";
    try {
        (void)decodePng(bytes);
    } catch (const Error& e) {
        decodeError = e.what();
    }
    const testing::ScratchFolder folder;
    testing::writeFile(folder.file("input.png"), bytes);
    try {
        LoadPngBitmap(folder.file("input.png"), loaded);
    } catch (const Error& e) {
        loadError = e.what();
    }
    EXPECT_EQ(decodeError, loadError);
    return loadError;
}

// A valid 1000 × 1000 RGB image: a gradient, so that a wrong row shows.
std::vector<std::uint8_t> millionPixelPng()
{
    PngImage image = testing::blankImage(1000, 1000, 8, PNG_COLOR_TYPE_RGB);
    for (std::uint32_t y = 0; y < image.height; ++y)
        for (std::uint32_t x = 0; x < image.width; ++x)
            testing::putSample(image.rows[y], 8, 3, x, static_cast<int>(y % 3), (x + y) % 256);
    return testing::encodePng(image);
}

TEST(PngLimits, AValidImageBeyondASmallBudgetIsRefusedAndLeavesTheBitmap)
{
    const auto png = millionPixelPng();
    ASSERT_FALSE(png.empty());
    const std::uint64_t defaultBudget = Bitmap::memoryBudget();
    {
        const test::BudgetGuard guard;
        // Less than the 3,000,000 bytes of the 24-bit bitmap itself.
        Bitmap::setMemoryBudget(2'999'999);
        Bitmap bitmap = markerBitmap();
        EXPECT_EQ(readBothWays(png, bitmap), kReadError);
        EXPECT_TRUE(isMarker(bitmap));
    }
    EXPECT_EQ(Bitmap::memoryBudget(), defaultBudget);

    // Under the default budget the same file reads, every pixel in place.
    Bitmap bitmap = markerBitmap();
    ASSERT_EQ(readBothWays(png, bitmap), "no error");
    ASSERT_EQ(bitmap.width(), 1000);
    ASSERT_EQ(bitmap.height(), 1000);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{999, 0}, std::pair{0, 999}, std::pair{999, 998}}) {
        const unsigned value = static_cast<unsigned>((x + y) % 256);
        const unsigned channel = static_cast<unsigned>(y % 3);
        EXPECT_EQ(bitmap.pixel(x, y), value << (8 * channel)) << x << ", " << y;
    }
}

TEST(PngLimits, AFileCutShortIsRefusedAndLeavesTheBitmap)
{
    const auto whole = millionPixelPng();
    // Cut inside the header, halfway and near the end of the image data (the
    // last 12 bytes are the end chunk, the 4 before them a checksum).
    for (const std::size_t length : {std::size_t{20}, whole.size() / 2, whole.size() - 20}) {
        const std::vector<std::uint8_t> cut(whole.begin(),
                                            whole.begin() + static_cast<std::ptrdiff_t>(length));
        Bitmap bitmap = markerBitmap();
        EXPECT_EQ(readBothWays(cut, bitmap), kReadError) << length;
        EXPECT_TRUE(isMarker(bitmap)) << length;
    }
}

// The most memory this process has held at any moment so far, in bytes.
std::uint64_t peakMemory()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;
}

// Found by fuzzing (as decoded: the fuzzer sets chunk checksums right): an
// 8 × 32 gray image whose second chunk, sPLT, claims 1,095,582,976 bytes in a
// file of 67. libpng only warned about the length, then allocated and cleared
// a buffer that large before it found the file at its end.
constexpr std::array<std::uint8_t, 67> kHugeSuggestedPalette = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00,
    0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x20, 0x02, 0x00, 0x00, 0x00, 0x00, 0x40, 0x2B, 0x7E, 0xAD, 0x41,
    0x4D, 0x41, 0x00, 0x73, 0x50, 0x4C, 0x54, 0x1F, 0x63, 0x90, 0xB9, 0x07, 0x00, 0xBD, 0x49, 0x7F, 0x81,
    0x8B, 0x09, 0x89, 0xA9, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

TEST(PngFuzzRegression, AnAncillaryChunkClaimingGigabytesIsRefusedWithoutTakingThem)
{
    const std::uint64_t before = peakMemory();
    // The same claim from other ancillary chunks, known to libpng or not, up
    // to the largest length a chunk can state.
    for (const char* type : {"sPLT", "tEXt", "zTXt", "iTXt", "iCCP", "eXIf", "prVt"}) {
        for (const std::uint32_t length : {0x414D4100u, 0x7FFFFFFFu}) {
            std::vector<std::uint8_t> bytes(kHugeSuggestedPalette.begin(), kHugeSuggestedPalette.end());
            for (int i = 0; i < 4; ++i)
                bytes[33 + i] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
            std::memcpy(bytes.data() + 37, type, 4);
            Bitmap bitmap = markerBitmap();
            EXPECT_EQ(readBothWays(bytes, bitmap), kReadError) << type << " " << length;
            EXPECT_TRUE(isMarker(bitmap)) << type << " " << length;
        }
    }
    EXPECT_LT(peakMemory() - before, std::uint64_t{64} << 20);
}

}  // namespace
}  // namespace dimora
