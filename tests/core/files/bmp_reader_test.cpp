// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/bmp_reader.hpp"

#include "core/files/bmp_writer.hpp"
#include "core/files/mapped_bmp.hpp"
#include "core/image/image_test_support.hpp"

#include <gtest/gtest.h>

namespace dimora {
namespace {

using test::BmpFields;
using test::BudgetGuard;
using test::buildBmp;
using test::errorOf;
using test::paletteBytes;

const std::string kInvalid(msg::kInvalidBitmap);

std::string decodeError(const std::vector<std::uint8_t>& file)
{
    return errorOf([&] { (void)decodeBmp(file); });
}

// A 2 × 2 8-bit image with a 3-colour palette, rows bottom-up.
BmpFields smallIndexed()
{
    BmpFields f;
    f.width = 2;
    f.height = 2;
    f.bitsPerPixel = 8;
    f.coloursUsed = 3;
    f.palette = paletteBytes({0x0000FF, 0x00FF00, 0xFF0000});
    f.pixels = {0, 1, 0, 0, /* top row: */ 2, 0, 0, 0};
    return f;
}

TEST(BmpReader, CoreHeaderWithThreeBytePaletteEntries)
{
    BmpFields f;
    f.headerSize = 12;
    f.width = 3;
    f.height = 2;
    f.bitsPerPixel = 4;
    f.palette = paletteBytes({kBlack, 0x112233, kWhite}, 3);
    f.pixels = {0x12, 0x00, 0, 0, /* top row: */ 0x21, 0x10, 0, 0};
    const Bitmap b = decodeBmp(buildBmp(f));
    EXPECT_EQ(b.layout().palette(), (std::vector<Colour>{kBlack, 0x112233, kWhite}));
    EXPECT_EQ(b.pixel(0, 0), kWhite);
    EXPECT_EQ(b.pixel(1, 0), 0x112233u);
    EXPECT_EQ(b.pixel(2, 0), 0x112233u);
    EXPECT_EQ(b.pixel(0, 1), 0x112233u);
    EXPECT_EQ(b.pixel(1, 1), kWhite);
    EXPECT_EQ(b.pixel(2, 1), kBlack);
    EXPECT_EQ(b.rowOrder(), RowOrder::BottomUp);
}

TEST(BmpReader, TopDownRowsAndAPixelOffsetPastAGap)
{
    BmpFields f = smallIndexed();
    f.height = -2;
    const Bitmap down = decodeBmp(buildBmp(f));
    EXPECT_EQ(down.rowOrder(), RowOrder::TopDown);
    EXPECT_EQ(down.height(), 2);
    EXPECT_EQ(down.pixel(1, 0), 0x00FF00u);
    EXPECT_EQ(down.pixel(0, 1), 0xFF0000u);

    // 6 bytes of something between the palette and the pixels.
    BmpFields gap = smallIndexed();
    const std::size_t natural = 14 + 40 + gap.palette.size();
    gap.pixels.insert(gap.pixels.begin(), 6, 0xEE);
    gap.offsetOverride = static_cast<std::int64_t>(natural + 6);
    const Bitmap b = decodeBmp(buildBmp(gap));
    EXPECT_EQ(b.pixel(1, 1), 0x00FF00u);
    EXPECT_EQ(b.pixel(0, 0), 0xFF0000u);
}

TEST(BmpReader, PaletteSizeComesFromTheCountOrTheRoomBeforeThePixels)
{
    BmpFields f = smallIndexed();
    f.coloursUsed = 0;  // no count: as many entries as lie before the pixels
    EXPECT_EQ(decodeBmp(buildBmp(f)).layout().palette().size(), 3u);

    BmpFields counted = smallIndexed();
    counted.coloursUsed = 2;  // the third entry lies before the pixels but is not counted
    counted.pixels = {0, 1, 0, 0, 1, 0, 0, 0};
    EXPECT_EQ(decodeBmp(buildBmp(counted)).layout().palette(), (std::vector<Colour>{0x0000FF, 0x00FF00}));
    counted.pixels[4] = 2;
    EXPECT_EQ(decodeError(buildBmp(counted)), kInvalid);

    BmpFields longer = smallIndexed();
    longer.bitsPerPixel = 1;
    longer.coloursUsed = 3;  // more than 1 bit can index: the extra entry is skipped
    longer.pixels = {0x40, 0, 0, 0, 0x80, 0, 0, 0};
    const Bitmap b = decodeBmp(buildBmp(longer));
    EXPECT_EQ(b.layout().palette().size(), 2u);
    EXPECT_EQ(b.pixel(0, 0), 0x00FF00u);
    EXPECT_EQ(b.pixel(1, 1), 0x00FF00u);
}

TEST(BmpReader, IndicesPastThePaletteAreRefusedButPaddingBitsAreNot)
{
    BmpFields f;
    f.width = 3;
    f.height = 1;
    f.bitsPerPixel = 1;
    f.coloursUsed = 1;
    f.palette = paletteBytes({0x445566});
    f.pixels = {0x1F, 0xFF, 0xFF, 0xFF};  // three pixels of index 0, padding set
    EXPECT_EQ(decodeBmp(buildBmp(f)).pixel(2, 0), 0x445566u);
    f.pixels[0] = 0x20;
    EXPECT_EQ(decodeError(buildBmp(f)), kInvalid);

    BmpFields eight = smallIndexed();
    eight.pixels[1] = 3;
    EXPECT_EQ(decodeError(buildBmp(eight)), kInvalid);
}

TEST(BmpReader, MasksFromEachHeaderKind)
{
    const ChannelMasks masks{0x001F, 0x07E0, 0xF800, 0};         // blue on top
    const std::vector<std::uint8_t> pixel = {0x1F, 0xF8, 0, 0};  // red 31, blue 31

    BmpFields after40;
    after40.bitsPerPixel = 16;
    after40.compression = 3;
    after40.masksAfterHeader = {masks.red, masks.green, masks.blue};
    after40.pixels = pixel;
    const Bitmap a = decodeBmp(buildBmp(after40));
    EXPECT_EQ(a.layout(), PixelLayout::masked(16, masks));
    EXPECT_EQ(a.pixel(0, 0), makeColour(255, 0, 255));

    BmpFields alphaAfter40 = after40;
    alphaAfter40.compression = 6;
    alphaAfter40.masksAfterHeader.push_back(0x0000);
    alphaAfter40.masksAfterHeader[1] = 0x03E0;
    alphaAfter40.masksAfterHeader[3] = 0x0400;
    EXPECT_EQ(decodeBmp(buildBmp(alphaAfter40)).layout().masks().alpha, 0x0400u);

    for (const std::uint32_t size : {52u, 56u, 108u, 124u}) {
        SCOPED_TRACE(size);
        BmpFields inHeader;
        inHeader.headerSize = size;
        inHeader.bitsPerPixel = 32;
        inHeader.compression = 3;
        inHeader.headerMasks = {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF};
        inHeader.pixels = {0x77, 0x33, 0x22, 0x11};
        const Bitmap b = decodeBmp(buildBmp(inHeader));
        EXPECT_EQ(b.pixel(0, 0), makeColour(0x11, 0x22, 0x33));
        EXPECT_EQ(b.layout().masks().alpha, size == 52 ? 0u : 0xFFu);

        // Without BI_BITFIELDS the masks in the header are not used.
        inHeader.compression = 0;
        EXPECT_EQ(decodeBmp(buildBmp(inHeader)).pixel(0, 0), makeColour(0x22, 0x33, 0x77));
    }
}

TEST(BmpReader, PlainSixteenBitsAreFiveFiveFive)
{
    BmpFields f;
    f.width = 2;
    f.bitsPerPixel = 16;
    f.pixels = {0x00, 0xFC, 0x1F, 0x00};  // top bit set with red 31; blue 31
    const Bitmap b = decodeBmp(buildBmp(f));
    EXPECT_EQ(b.layout(), PixelLayout::masked(16, kMasks555));
    EXPECT_EQ(b.pixel(0, 0), makeColour(255, 0, 0));
    EXPECT_EQ(b.pixel(1, 0), makeColour(0, 0, 255));
}

TEST(BmpReader, RefusesWhatTheModelCannotHoldOrTheFileDoesNotHold)
{
    const auto with = [](auto change) {
        BmpFields f = smallIndexed();
        change(f);
        return buildBmp(f);
    };
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
        {"OS/2 2.x short header", with([](BmpFields& f) { f.headerSize = 16; })},
        {"OS/2 2.x header", with([](BmpFields& f) { f.headerSize = 64; })},
        {"odd header size", with([](BmpFields& f) { f.headerSize = 66; })},
        {"header size 0", with([](BmpFields& f) { f.headerSize = 0; })},
        {"two planes", with([](BmpFields& f) { f.planes = 2; })},
        {"2 bits", with([](BmpFields& f) { f.bitsPerPixel = 2; })},
        {"7 bits", with([](BmpFields& f) { f.bitsPerPixel = 7; })},
        {"64 bits", with([](BmpFields& f) { f.bitsPerPixel = 64; })},
        {"0 bits (JPEG)", with([](BmpFields& f) { f.bitsPerPixel = 0, f.compression = 4; })},
        {"PNG", with([](BmpFields& f) { f.compression = 5; })},
        {"RLE4 on 8 bits", with([](BmpFields& f) { f.compression = 2; })},
        {"bit fields on 8 bits", with([](BmpFields& f) { f.compression = 3; })},
        {"CMYK", with([](BmpFields& f) { f.compression = 11; })},
        {"width 0", with([](BmpFields& f) { f.width = 0; })},
        {"negative width", with([](BmpFields& f) { f.width = -2; })},
        {"height 0", with([](BmpFields& f) { f.height = 0; })},
        {"most negative height", with([](BmpFields& f) { f.height = INT32_MIN; })},
        {"huge width, small file", with([](BmpFields& f) { f.width = 1 << 30; })},
        {"absurd size", with([](BmpFields& f) { f.width = INT32_MAX, f.height = INT32_MAX; })},
        {"one row short", with([](BmpFields& f) { f.height = 3; })},
        {"offset past the end", with([](BmpFields& f) { f.offsetOverride = 1 << 20; })},
        {"offset inside the header", with([](BmpFields& f) { f.offsetOverride = 30; })},
        {"offset inside the palette", with([](BmpFields& f) { f.offsetOverride = 14 + 40 + 4; })},
        {"palette count too big", with([](BmpFields& f) { f.coloursUsed = 0x12345678; })},
        {"palette count one too many", with([](BmpFields& f) { f.coloursUsed = 4; })},
        {"top-down RLE", with([](BmpFields& f) {
             f.compression = 1, f.height = -2, f.pixels = {0, 1};
         })},
    };
    for (const auto& [name, file] : files) {
        SCOPED_TRACE(name);
        EXPECT_EQ(decodeError(file), kInvalid);
    }

    auto notBm = buildBmp(smallIndexed());
    notBm[1] = 'A';
    EXPECT_EQ(decodeError(notBm), kInvalid);
    EXPECT_EQ(decodeError({}), kInvalid);
    EXPECT_EQ(decodeError({'B', 'M', 0, 0}), kInvalid);
}

TEST(BmpReader, RefusesBadMasks)
{
    const auto masked = [](int bits, std::vector<std::uint32_t> masks, std::uint32_t compression = 3) {
        BmpFields f;
        f.bitsPerPixel = static_cast<std::uint16_t>(bits);
        f.compression = compression;
        f.masksAfterHeader = std::move(masks);
        f.pixels = {0, 0, 0, 0};
        return buildBmp(f);
    };
    EXPECT_EQ(decodeError(masked(16, {0xF800, 0x07E0, 0x001F})), "no error");
    EXPECT_EQ(decodeError(masked(16, {0xFF00, 0x00FF, 0x0000})), kInvalid);             // no blue
    EXPECT_EQ(decodeError(masked(16, {0xF800, 0x0FE0, 0x001F})), kInvalid);             // overlap
    EXPECT_EQ(decodeError(masked(16, {0xF000, 0x0F00, 0x0055})), kInvalid);             // scattered
    EXPECT_EQ(decodeError(masked(16, {0xF8000, 0x07E0, 0x001F})), kInvalid);            // past 16 bits
    EXPECT_EQ(decodeError(masked(16, {0x7C00, 0x03E0, 0x001F, 0x8001}, 6)), kInvalid);  // alpha overlaps
    EXPECT_EQ(decodeError(masked(24, {0xFF0000, 0xFF00, 0xFF})), kInvalid);             // 24 bits has none

    BmpFields v2;
    v2.headerSize = 52;
    v2.bitsPerPixel = 32;
    v2.compression = 6;  // a V2 header has no room for the alpha mask
    v2.headerMasks = {0xFF0000, 0xFF00, 0xFF};
    v2.pixels = {0, 0, 0, 0};
    EXPECT_EQ(decodeError(buildBmp(v2)), kInvalid);
}

TEST(BmpReader, ImagesBeyondTheMemoryBudgetAreRefused)
{
    const BudgetGuard guard;
    const Bitmap b = test::patternBitmap(20, 20, PixelLayout::rgb24());
    const auto file = encodeBmp(b);
    Bitmap::setMemoryBudget(b.byteCount());
    EXPECT_EQ(decodeError(file), "no error");
    Bitmap::setMemoryBudget(b.byteCount() - 1);
    EXPECT_EQ(decodeError(file), kInvalid);
}

// RLE streams written by hand: count/value pairs, escapes 0 0 (end of line),
// 0 1 (end of bitmap), 0 2 dx dy (delta), 0 n (n literal pixels).
std::vector<std::uint8_t> rleFile(int bits, std::int32_t width, std::int32_t height,
                                  std::vector<std::uint8_t> stream, std::size_t paletteSize = 16)
{
    BmpFields f;
    f.width = width;
    f.height = height;
    f.bitsPerPixel = static_cast<std::uint16_t>(bits);
    f.compression = bits == 8 ? 1 : 2;
    f.coloursUsed = static_cast<std::uint32_t>(paletteSize);
    f.palette = paletteBytes(test::rampPalette(paletteSize));
    f.pixels = std::move(stream);
    return buildBmp(f);
}

// The palette indices of a bitmap, top row first.
std::vector<std::vector<std::uint32_t>> indices(const Bitmap& b)
{
    std::vector<std::vector<std::uint32_t>> out;
    for (std::int32_t y = 0; y < b.height(); ++y) {
        out.emplace_back();
        for (std::int32_t x = 0; x < b.width(); ++x)
            out.back().push_back(b.layout().readValue(b.row(y), x));
    }
    return out;
}

TEST(BmpRle, EightBitRunsLiteralsDeltasAndAnEarlyEnd)
{
    // Bottom row: run of 2 × 5, literal 7 8 9 (padded), end of line; next row:
    // delta 1 right, run 1 × 4, end of bitmap: the rest stays index 0.
    const auto file = rleFile(8, 5, 3, {2, 5, 0, 3, 7, 8, 9, 0, 0, 0, 0, 2, 1, 0, 1, 4, 0, 1});
    const Bitmap b = decodeBmp(file);
    using Rows = std::vector<std::vector<std::uint32_t>>;
    EXPECT_EQ(indices(b), (Rows{{0, 0, 0, 0, 0}, {0, 4, 0, 0, 0}, {5, 5, 7, 8, 9}}));
    EXPECT_EQ(b.rowOrder(), RowOrder::BottomUp);
}

TEST(BmpRle, FourBitRunsAlternateTheirTwoIndices)
{
    // Run of 5 × 0x12 → 1 2 1 2 1; literal of 3: 0x34 0x50 (padded to 2 bytes);
    // end of line; delta to (2, 2); run 2 × 0xF0.
    const auto file = rleFile(4, 8, 3, {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 2, 2, 1, 2, 0xF0, 0, 1});
    using Rows = std::vector<std::vector<std::uint32_t>>;
    EXPECT_EQ(indices(decodeBmp(file)),
              (Rows{{0, 0, 15, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}, {1, 2, 1, 2, 1, 3, 4, 5}}));
}

TEST(BmpRle, StreamsThatLeaveTheImageAreRefused)
{
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> streams = {
        {"run past the row", {6, 1, 0, 1}},
        {"literal past the row", {3, 1, 0, 3, 1, 1, 1, 0, 0, 1}},
        {"delta past the right edge", {0, 2, 6, 0, 0, 1}},
        {"delta past the top", {0, 2, 0, 3, 0, 1}},
        {"pixels above the top row", {0, 0, 0, 0, 1, 1, 0, 1}},
        {"index past the palette", {1, 16, 0, 1}},
        {"literal cut short", {0, 4, 1, 1}},
        {"delta cut short", {0, 2, 1}},
        {"odd byte at the end", {5, 1, 0}},
        {"no end mark, rows missing", {5, 1, 0, 0}},
        {"empty stream", {}},
    };
    for (const auto& [name, stream] : streams) {
        SCOPED_TRACE(name);
        EXPECT_EQ(decodeError(rleFile(8, 5, 2, stream)), kInvalid);
    }
    // Without an end mark a stream is complete when every row has been written.
    EXPECT_EQ(decodeError(rleFile(8, 5, 2, {5, 1, 0, 0, 5, 2})), "no error");
    EXPECT_EQ(decodeError(rleFile(8, 5, 2, {5, 1, 0, 0, 5, 2, 0, 0})), "no error");
    // A palette without index 0 cannot show the pixels the stream skips.
    EXPECT_EQ(decodeError(rleFile(8, 5, 2, {0, 1}, 0)), kInvalid);
}

TEST(BmpRle, ATinyStreamCannotClaimAHugeImage)
{
    // 60000 × 60000 pixels fit the default budget, but not in 2 bytes.
    EXPECT_EQ(decodeError(rleFile(8, 60000, 60000, {0, 1})), kInvalid);
    EXPECT_EQ(decodeError(rleFile(8, 256, 256, {0, 1})), "no error");
}

TEST(BmpFile, LoadingGivesWhatDecodingGives)
{
    const test::ScratchFolder folder;
    const auto file = rleFile(4, 8, 3, {5, 0x12, 0, 0, 0, 1});
    test::writeFileBytes(folder.file("rle.bmp"), file);
    EXPECT_EQ(indices(loadBmpFile(folder.file("rle.bmp"))), indices(decodeBmp(file)));

    // Headers are read on their own; a long gap before the pixels is skipped.
    BmpFields gap = smallIndexed();
    const std::size_t natural = 14 + 40 + gap.palette.size();
    gap.pixels.insert(gap.pixels.begin(), 5000, 0xEE);
    gap.offsetOverride = static_cast<std::int64_t>(natural + 5000);
    test::writeFileBytes(folder.file("gap.bmp"), buildBmp(gap));
    const Bitmap gapped = loadBmpFile(folder.file("gap.bmp"));
    EXPECT_EQ(gapped.pixel(1, 1), 0x00FF00u);
    EXPECT_EQ(gapped.pixel(0, 0), 0xFF0000u);

    const Bitmap plain = test::patternBitmap(9, 4, PixelLayout::indexed(8, test::rampPalette(40)));
    test::writeFileBytes(folder.file("plain.bmp"), encodeBmp(plain));
    EXPECT_EQ(test::firstDifference(loadBmpFile(folder.file("plain.bmp")).view(), plain.view()), "");
}

TEST(BmpFile, FilesThatCannotBeOpenedNameTheirPathAsGiven)
{
    const test::ScratchFolder folder;
    const std::string missing = folder.file("nothing.bmp");
    EXPECT_EQ(errorOf([&] { (void)loadBmpFile(missing); }), "ファイル " + missing + " は開けません");
    EXPECT_EQ(errorOf([&] { MappedBmpFile m(missing); }), "ファイル " + missing + " は開けません");
    const std::string relative = "no/such/folder/pic.bmp";
    EXPECT_EQ(errorOf([&] { (void)loadBmpFile(relative); }), "ファイル no/such/folder/pic.bmp は開けません");
    const std::string folderPath = folder.path().string();
    EXPECT_EQ(errorOf([&] { (void)loadBmpFile(folderPath); }), "ファイル " + folderPath + " は開けません");

    test::writeFileBytes(folder.file("empty.bmp"), {});
    EXPECT_EQ(errorOf([&] { (void)loadBmpFile(folder.file("empty.bmp")); }), kInvalid);
    EXPECT_EQ(errorOf([&] { MappedBmpFile m(folder.file("empty.bmp")); }), kInvalid);
}

// Reads every pixel, so that a decoder that let a bad file through with a
// wrong size would be caught reading outside its memory.
void touchEveryPixel(const ImageView& v)
{
    std::uint32_t sum = 0;
    for (std::int32_t y = 0; y < v.height; ++y)
        for (std::int32_t x = 0; x < v.width; ++x)
            sum += v.pixel(x, y);
    EXPECT_GE(sum, 0u);
}

// Valid files of each kind for the damage tests.
std::vector<std::pair<std::string, std::vector<std::uint8_t>>> sampleFiles()
{
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
    for (const auto& [name, layout] : test::allLayouts())
        files.emplace_back(name, encodeBmp(test::patternBitmap(5, 3, layout)));
    files.emplace_back("rle8", rleFile(8, 5, 3, {2, 5, 0, 3, 7, 8, 9, 0, 0, 0, 0, 2, 1, 0, 1, 4, 0, 1}));
    files.emplace_back("rle4",
                       rleFile(4, 8, 3, {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 2, 2, 1, 2, 0xF0, 0, 1}));
    BmpFields core = smallIndexed();
    core.headerSize = 12;
    core.palette = paletteBytes({kBlack, kWhite, 0x808080}, 3);
    files.emplace_back("core", buildBmp(core));
    return files;
}

TEST(BmpDamage, EveryTruncationIsAnErrorOrAValidImage)
{
    for (const auto& [name, file] : sampleFiles()) {
        SCOPED_TRACE(name);
        for (std::size_t length = 0; length < file.size(); ++length) {
            const std::vector<std::uint8_t> cut(file.begin(),
                                                file.begin() + static_cast<std::ptrdiff_t>(length));
            try {
                touchEveryPixel(decodeBmp(cut).view());
            } catch (const Error& e) {
                EXPECT_EQ(std::string(e.what()), kInvalid);
            }
        }
    }
}

TEST(BmpDamage, EveryCorruptedByteIsAnErrorOrAValidImage)
{
    for (const auto& [name, file] : sampleFiles()) {
        SCOPED_TRACE(name);
        for (std::size_t at = 0; at < file.size(); ++at) {
            const std::uint8_t flipped = file[at] ^ 0x40;
            for (const std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0x01}, std::uint8_t{0x7F},
                                             std::uint8_t{0x80}, std::uint8_t{0xFF}, flipped}) {
                auto bad = file;
                bad[at] = value;
                try {
                    touchEveryPixel(decodeBmp(bad).view());
                } catch (const Error& e) {
                    EXPECT_EQ(std::string(e.what()), kInvalid);
                }
            }
        }
    }
}

}  // namespace
}  // namespace dimora
