// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
//
// The BMP Suite's files (tests/data/bmpsuite): the good and questionable ones
// decode exactly unless they are one of the forms the model refuses, the bad
// ones are refused, and the mapped view agrees with loading everywhere.

#include "core/files/bmp_reader.hpp"
#include "core/files/mapped_bmp.hpp"
#include "core/image/image_test_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <set>

namespace dimora {
namespace {

using test::errorOf;
using test::firstDifference;
using test::suiteFile;

const std::string kInvalid(msg::kInvalidBitmap);

std::vector<std::string> suiteFolder(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(suiteFile(folder)))
        names.push_back(folder + "/" + entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The forms the model does not hold: 2-bit palettes, OS/2 2.x headers (one of
// them with Huffman compression, one with RLE24), embedded JPEG and PNG, 64 bits.
const std::set<std::string> kRefusedQuestionable = {
    "q/pal1huffmsb.bmp", "q/pal2.bmp",      "q/pal2color.bmp", "q/pal8os2v2-16.bmp", "q/pal8os2v2-sz.bmp",
    "q/pal8os2v2.bmp",   "q/rgb24jpeg.bmp", "q/rgb24png.bmp",  "q/rgb24rle24.bmp",   "q/rgba64.bmp",
};

// Bad files whose only fault is a field that decoding does not need: the
// image size, the densities, the file size. They are read.
const std::set<std::string> kReadableBad = {
    "b/badbitssize.bmp",
    "b/baddens1.bmp",
    "b/baddens2.bmp",
    "b/badfilesize.bmp",
};

std::string loadError(const std::string& name)
{
    return errorOf([&] { (void)loadBmpFile(suiteFile(name)); });
}

TEST(BmpSuite, GoodFilesAllDecode)
{
    const auto names = suiteFolder("g");
    EXPECT_EQ(names.size(), 27u);
    for (const auto& name : names)
        EXPECT_EQ(loadError(name), "no error") << name;
}

TEST(BmpSuite, QuestionableFilesDecodeUnlessTheModelCannotHoldThem)
{
    const auto names = suiteFolder("q");
    EXPECT_EQ(names.size(), 41u);
    for (const auto& name : names)
        EXPECT_EQ(loadError(name), kRefusedQuestionable.contains(name) ? kInvalid : "no error") << name;
}

TEST(BmpSuite, BadFilesAreRefused)
{
    const auto names = suiteFolder("b");
    EXPECT_EQ(names.size(), 20u);
    for (const auto& name : names)
        EXPECT_EQ(loadError(name), kReadableBad.contains(name) ? "no error" : kInvalid) << name;
}

// The suite draws one picture in every layout. Where the layout holds 8 bits
// per channel the pixels equal rgb24.bmp's.
TEST(BmpSuite, EightBitChannelFilesEqualTheTwentyFourBitPicture)
{
    const Bitmap reference = loadBmpFile(suiteFile("g/rgb24.bmp"));
    for (const char* name :
         {"g/rgb24pal.bmp", "g/rgb32.bmp", "g/rgb32bf.bmp", "g/rgb32bfdef.bmp", "q/rgb24largepal.bmp",
          "q/rgb24lprof.bmp", "q/rgb32-xbgr.bmp", "q/rgb32fakealpha.bmp", "q/rgb32h52.bmp"})
        EXPECT_EQ(firstDifference(loadBmpFile(suiteFile(name)).view(), reference.view()), "") << name;
}

// Bit replication: the n-bit value v widened to 8 bits.
unsigned widened(unsigned v, int n)
{
    unsigned out = 0;
    for (int bit = 7; bit >= 0; --bit) {
        // Bit `bit` of the result is bit (n − 1 − k mod n) of v, k counting from the top.
        const int k = 7 - bit;
        out |= ((v >> (n - 1 - k % n)) & 1u) << bit;
    }
    return out;
}

// Files with alpha draw part of the picture (the same rectangle in each)
// transparent or half transparent; only the opaque pixels are compared.
std::vector<bool> opaqueInAlphaFiles()
{
    const Bitmap b = loadBmpFile(suiteFile("q/rgba32-1.bmp"));
    std::vector<bool> opaque;
    for (std::int32_t y = 0; y < b.height(); ++y)
        for (std::int32_t x = 0; x < b.width(); ++x)
            opaque.push_back((b.layout().readValue(b.row(y), x) >> 24) == 0xFF);
    return opaque;
}

struct ChannelCheck {
    enum Kind { Rounded, WithinAStep } kind;
    const char* name;
};

// Masked files with channels of other widths. The suite rounds the picture
// to 4, 5 and 6-bit channels, so those equal the rounded rgb24 values widened
// by bit replication. Its wider channels (10, 11, 17, 18 bits) and the 7-bit
// ones come from finer values than rgb24's, and its 1, 2 and 3-bit channels
// are dithered: those are each within one step of the channel of rgb24.
TEST(BmpSuite, MaskedFilesMatchTheTwentyFourBitPictureChannelByChannel)
{
    const Bitmap reference = loadBmpFile(suiteFile("g/rgb24.bmp"));
    const std::vector<bool> opaque = opaqueInAlphaFiles();
    const ChannelCheck checks[] = {
        {ChannelCheck::Rounded, "g/rgb16.bmp"},
        {ChannelCheck::Rounded, "g/rgb16bfdef.bmp"},
        {ChannelCheck::Rounded, "g/rgb16-565.bmp"},
        {ChannelCheck::Rounded, "g/rgb16-565pal.bmp"},
        {ChannelCheck::Rounded, "q/rgb16faketrns.bmp"},
        {ChannelCheck::Rounded, "q/rgba16-5551.bmp"},
        {ChannelCheck::Rounded, "q/rgba16-4444.bmp"},
        {ChannelCheck::Rounded, "q/rgba32-1.bmp"},
        {ChannelCheck::Rounded, "q/rgba32-2.bmp"},
        {ChannelCheck::Rounded, "q/rgba32abf.bmp"},
        {ChannelCheck::Rounded, "q/rgba32h56.bmp"},
        {ChannelCheck::WithinAStep, "q/rgb32-111110.bmp"},
        {ChannelCheck::WithinAStep, "q/rgb32-7187.bmp"},
        {ChannelCheck::WithinAStep, "q/rgba32-1010102.bmp"},
        {ChannelCheck::WithinAStep, "q/rgba32-81284.bmp"},
        {ChannelCheck::WithinAStep, "q/rgba32-61754.bmp"},
        {ChannelCheck::WithinAStep, "q/rgb16-231.bmp"},
        {ChannelCheck::WithinAStep, "q/rgb16-3103.bmp"},
        {ChannelCheck::WithinAStep, "q/rgba16-1924.bmp"},
    };
    for (const auto& check : checks) {
        SCOPED_TRACE(check.name);
        const Bitmap b = loadBmpFile(suiteFile(check.name));
        const ChannelMasks masks = b.layout().masks();
        ASSERT_EQ(b.width(), reference.width());
        ASSERT_EQ(b.height(), reference.height());
        int compared = 0;
        for (std::int32_t y = 0; y < b.height(); ++y) {
            for (std::int32_t x = 0; x < b.width(); ++x) {
                if (masks.alpha != 0 && !opaque[static_cast<std::size_t>(y * b.width() + x)])
                    continue;
                ++compared;
                const Colour got = b.pixel(x, y), want = reference.pixel(x, y);
                const std::uint32_t channelMasks[] = {masks.red, masks.green, masks.blue};
                for (int c = 0; c < 3; ++c) {
                    const int n = std::popcount(channelMasks[c]);
                    const int shift = 8 * c;
                    const unsigned g = got >> shift & 0xFF, w = want >> shift & 0xFF;
                    if (check.kind == ChannelCheck::Rounded && n < 8) {
                        const auto q = static_cast<unsigned>(std::lround(w * ((1 << n) - 1) / 255.0));
                        ASSERT_EQ(g, widened(q, n)) << x << "," << y << " channel " << c;
                    } else if (check.kind == ChannelCheck::Rounded) {
                        ASSERT_EQ(g, w) << x << "," << y << " channel " << c;
                    } else {
                        const int step = n >= 8 ? 1 : (255 + (1 << n) - 2) / ((1 << n) - 1);
                        ASSERT_LE(std::abs(static_cast<int>(g) - static_cast<int>(w)), step)
                            << x << "," << y << " channel " << c;
                    }
                }
            }
        }
        EXPECT_GT(compared, 7000);
    }
}

// Indexed files: the same picture in every header, order and compression.
TEST(BmpSuite, PaletteFilesAgreeWithEachOther)
{
    const Bitmap pal8 = loadBmpFile(suiteFile("g/pal8.bmp"));
    for (const char* name :
         {"g/pal8-0.bmp", "g/pal8os2.bmp", "g/pal8rle.bmp", "g/pal8topdown.bmp", "g/pal8v4.bmp",
          "g/pal8v5.bmp", "q/pal8offs.bmp", "q/pal8os2-hs.bmp", "q/pal8os2-sz.bmp", "q/pal8os2sp.bmp",
          "q/pal8os2v2-40sz.bmp", "q/pal8oversizepal.bmp"})
        EXPECT_EQ(firstDifference(loadBmpFile(suiteFile(name)).view(), pal8.view()), "") << name;

    const Bitmap pal1 = loadBmpFile(suiteFile("g/pal1.bmp"));
    for (const char* name :
         {"g/pal1wb.bmp", "b/badbitssize.bmp", "b/baddens1.bmp", "b/baddens2.bmp", "b/badfilesize.bmp"})
        EXPECT_EQ(firstDifference(loadBmpFile(suiteFile(name)).view(), pal1.view()), "") << name;
    EXPECT_EQ(firstDifference(loadBmpFile(suiteFile("g/pal4rle.bmp")).view(),
                              loadBmpFile(suiteFile("g/pal4.bmp")).view()),
              "");

    // Narrower images are the top-left part of the same picture.
    for (const char* name : {"g/pal8w124.bmp", "g/pal8w125.bmp", "g/pal8w126.bmp"}) {
        SCOPED_TRACE(name);
        const Bitmap b = loadBmpFile(suiteFile(name));
        for (std::int32_t y = 0; y < b.height(); ++y)
            for (std::int32_t x = 0; x < b.width(); ++x)
                ASSERT_EQ(b.pixel(x, y), pal8.pixel(x, y));
    }

    // Blue and green in place of black and white, same indices.
    const Bitmap bg = loadBmpFile(suiteFile("g/pal1bg.bmp"));
    for (std::int32_t y = 0; y < bg.height(); ++y)
        for (std::int32_t x = 0; x < bg.width(); ++x)
            ASSERT_EQ(bg.pixel(x, y) == bg.layout().palette()[1], pal1.pixel(x, y) == kWhite);

    const Bitmap one = loadBmpFile(suiteFile("q/pal1p1.bmp"));
    ASSERT_EQ(one.layout().palette().size(), 1u);
    for (std::int32_t y = 0; y < one.height(); ++y)
        for (std::int32_t x = 0; x < one.width(); ++x)
            ASSERT_EQ(one.pixel(x, y), one.layout().palette()[0]);
}

// RLE files that skip pixels (by deltas, or by ending early): a skipped pixel
// is palette index 0, every other pixel is the full picture's.
TEST(BmpSuite, SkippedRlePixelsTakeIndexZero)
{
    const std::vector<bool> opaque = opaqueInAlphaFiles();
    struct Case {
        const char* name;
        const char* full;
        bool skipsTheTransparentPart;
    };
    for (const auto& c :
         {Case{"q/pal8rletrns.bmp", "g/pal8.bmp", true}, Case{"q/pal4rletrns.bmp", "g/pal4.bmp", true},
          Case{"q/pal8rlecut.bmp", "g/pal8.bmp", false}, Case{"q/pal4rlecut.bmp", "g/pal4.bmp", false}}) {
        SCOPED_TRACE(c.name);
        const Bitmap b = loadBmpFile(suiteFile(c.name));
        const Bitmap full = loadBmpFile(suiteFile(c.full));
        int skipped = 0;
        for (std::int32_t y = 0; y < b.height(); ++y) {
            for (std::int32_t x = 0; x < b.width(); ++x) {
                const bool zero = b.layout().readValue(b.row(y), x) == 0;
                const bool transparent = !opaque[static_cast<std::size_t>(y * b.width() + x)];
                if (c.skipsTheTransparentPart) {
                    ASSERT_EQ(zero, transparent) << x << "," << y;
                }
                if (!zero) {
                    ASSERT_EQ(b.pixel(x, y), full.pixel(x, y)) << x << "," << y;
                }
                skipped += zero;
            }
        }
        // The cut files end their stream a few rows below the top.
        if (!c.skipsTheTransparentPart) {
            EXPECT_GT(skipped, 4 * b.width());
            for (std::int32_t x = 0; x < b.width(); ++x)
                ASSERT_EQ(b.layout().readValue(b.row(0), x), 0u);
        }
    }
}

TEST(BmpSuite, LayoutsKeepTheFilesMasksAndPalettes)
{
    EXPECT_EQ(loadBmpFile(suiteFile("g/rgb16.bmp")).layout(), PixelLayout::masked(16, kMasks555));
    EXPECT_EQ(loadBmpFile(suiteFile("g/rgb16-565.bmp")).layout(), PixelLayout::masked(16, kMasks565));
    EXPECT_EQ(loadBmpFile(suiteFile("g/rgb32.bmp")).layout(), PixelLayout::masked(32, kMasks888));
    EXPECT_EQ(loadBmpFile(suiteFile("q/rgba16-1924.bmp")).layout().masks(),
              (ChannelMasks{0x0800, 0x01FF, 0x0600, 0xF000}));
    EXPECT_EQ(loadBmpFile(suiteFile("q/rgba32abf.bmp")).layout().masks(),
              (ChannelMasks{0xFF000000, 0x0000FF00, 0x000000FF, 0x00FF0000}));
    // A 40-byte header with bit fields has no alpha mask; the word after
    // the three masks is pixel data.
    EXPECT_EQ(loadBmpFile(suiteFile("q/rgb16-3103.bmp")).layout().masks().alpha, 0u);
    EXPECT_EQ(loadBmpFile(suiteFile("g/pal8.bmp")).layout().palette().size(), 252u);
    EXPECT_EQ(loadBmpFile(suiteFile("g/pal8-0.bmp")).layout().palette().size(), 256u);
    EXPECT_EQ(loadBmpFile(suiteFile("q/pal8os2sp.bmp")).layout().palette().size(), 252u);
    EXPECT_EQ(loadBmpFile(suiteFile("q/pal8offs.bmp")).layout().palette().size(), 252u);
    EXPECT_EQ(loadBmpFile(suiteFile("g/pal8topdown.bmp")).rowOrder(), RowOrder::TopDown);
}

TEST(MappedBmp, GivesTheSamePixelsAsLoadingForEverySuiteFile)
{
    for (const char* folder : {"g", "q", "b"}) {
        for (const auto& name : suiteFolder(folder)) {
            SCOPED_TRACE(name);
            std::optional<Bitmap> loaded;
            const std::string loadedError = errorOf([&] { loaded.emplace(loadBmpFile(suiteFile(name))); });
            std::optional<MappedBmpFile> mapped;
            const std::string mappedError = errorOf([&] { mapped.emplace(suiteFile(name)); });
            ASSERT_EQ(mappedError, loadedError);
            if (!loaded)
                continue;
            EXPECT_EQ(firstDifference(mapped->view(), loaded->view()), "");
            EXPECT_EQ(mapped->layout(), loaded->layout());
            const bool rle = name.find("rle") != std::string::npos;
            EXPECT_EQ(mapped->isMapped(), !rle);
        }
    }
}

TEST(MappedBmp, TheViewSurvivesAMoveWhenTakenAgain)
{
    MappedBmpFile first(suiteFile("g/rgb24.bmp"));
    const Bitmap loaded = loadBmpFile(suiteFile("g/rgb24.bmp"));
    MappedBmpFile moved(std::move(first));
    EXPECT_EQ(firstDifference(moved.view(), loaded.view()), "");
    MappedBmpFile other(suiteFile("g/pal8rle.bmp"));
    other = std::move(moved);
    EXPECT_EQ(firstDifference(other.view(), loaded.view()), "");
    EXPECT_TRUE(other.isMapped());
}

}  // namespace
}  // namespace dimora
