// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/bmp_writer.hpp"

#include "core/files/bmp_reader.hpp"
#include "core/image/image_test_support.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace dimora {
namespace {

using test::allLayouts;
using test::errorOf;
using test::firstDifference;
using test::patternBitmap;
using test::ScratchFolder;

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}

void expectSameBitmap(const Bitmap& read, const Bitmap& written)
{
    EXPECT_EQ(read.layout(), written.layout());
    EXPECT_EQ(read.rowOrder(), written.rowOrder());
    EXPECT_EQ(firstDifference(read.view(), written.view()), "");
    ASSERT_EQ(read.byteCount(), written.byteCount());
    EXPECT_TRUE(std::equal(read.data(), read.data() + read.byteCount(), written.data()));
}

TEST(BmpRoundTrip, EveryLayoutOrderAndSmallSize)
{
    for (const auto& [name, layout] : allLayouts()) {
        for (const auto order : {RowOrder::BottomUp, RowOrder::TopDown}) {
            for (std::int32_t h = 1; h <= 11; ++h) {
                for (std::int32_t w = 1; w <= 11; ++w) {
                    SCOPED_TRACE(name + " " + std::to_string(w) + "x" + std::to_string(h) +
                                 (order == RowOrder::TopDown ? " top-down" : " bottom-up"));
                    const Bitmap written = patternBitmap(w, h, layout, order);
                    expectSameBitmap(decodeBmp(encodeBmp(written)), written);
                }
            }
        }
    }
}

TEST(BmpRoundTrip, VeryThinImages)
{
    for (const auto& [name, layout] : allLayouts()) {
        for (const auto& [w, h] : {std::pair{1, 1000}, {1000, 1}, {2, 517}, {517, 2}, {33, 1}}) {
            SCOPED_TRACE(name + " " + std::to_string(w) + "x" + std::to_string(h));
            const Bitmap written = patternBitmap(w, h, layout, RowOrder::TopDown);
            expectSameBitmap(decodeBmp(encodeBmp(written)), written);
        }
    }
}

TEST(BmpWriter, HeadersNameTheLayout)
{
    struct Case {
        PixelLayout layout;
        std::uint32_t headerSize, bits, compression, offset;
    };
    const Case cases[] = {
        {PixelLayout::indexed(4, test::rampPalette(5)), 40, 4, 0, 14 + 40 + 5 * 4},
        {PixelLayout::rgb24(), 40, 24, 0, 54},
        {PixelLayout::masked(16, kMasks555), 40, 16, 0, 54},
        {PixelLayout::masked(16, kMasks565), 40, 16, 3, 54 + 12},
        {PixelLayout::masked(32, kMasks888), 40, 32, 0, 54},
        {PixelLayout::masked(32, {0xFF000000, 0xFF0000, 0xFF00, 0}), 40, 32, 3, 54 + 12},
        {PixelLayout::masked(16, {0x0F00, 0x00F0, 0x000F, 0xF000}), 108, 16, 3, 14 + 108},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        const Bitmap b = patternBitmap(3, 2, c.layout, RowOrder::TopDown);
        const auto file = encodeBmp(b);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(le32(file, 2), file.size());
        EXPECT_EQ(le32(file, 10), c.offset);
        EXPECT_EQ(le32(file, 14), c.headerSize);
        EXPECT_EQ(static_cast<std::int32_t>(le32(file, 22)), -2);  // top-down
        EXPECT_EQ(file[28], c.bits);
        EXPECT_EQ(le32(file, 30), c.compression);
        EXPECT_EQ(file.size(), c.offset + b.byteCount());
        if (c.compression == 3) {
            EXPECT_EQ(le32(file, 54), c.layout.masks().red);
            EXPECT_EQ(le32(file, 58), c.layout.masks().green);
            EXPECT_EQ(le32(file, 62), c.layout.masks().blue);
        }
        if (c.headerSize == 108) {
            EXPECT_EQ(le32(file, 66), c.layout.masks().alpha);
        }
        if (c.layout.isIndexed()) {
            EXPECT_EQ(le32(file, 46), c.layout.palette().size());
        }
    }
}

TEST(BmpWriter, IndicesPastAShortPaletteStillGiveAValidFileWithTheSameColours)
{
    const auto layout = PixelLayout::indexed(4, {kWhite, 0x123456});
    Bitmap b(4, 1, layout);
    layout.writeValue(b.row(0), 0, 1);
    layout.writeValue(b.row(0), 1, 9);  // past the palette: reads black
    const Bitmap back = decodeBmp(encodeBmp(b));
    EXPECT_EQ(firstDifference(back.view(), b.view()), "");
    EXPECT_EQ(back.layout().palette().size(), 16u);
}

TEST(BmpSave, WritesTheEncodedBytesAndReplacesAnExistingFile)
{
    const ScratchFolder folder;
    const std::string path = folder.file("out.bmp");
    test::writeFileBytes(path, std::vector<std::uint8_t>(100000, 0x77));
    const Bitmap b = patternBitmap(13, 7, PixelLayout::masked(16, kMasks565));
    saveBmpFile(b, path);
    EXPECT_EQ(test::readFileBytes(path), encodeBmp(b));
    expectSameBitmap(loadBmpFile(path), b);
    EXPECT_EQ(folder.entryCount(), 1u);  // no temporary file left beside it
}

TEST(BmpSave, APathThatCannotBeCreatedGivesTheFileErrorAndLeavesNothing)
{
    const ScratchFolder folder;
    const std::string path = folder.file("missing/sub/x.bmp");
    const Bitmap b = patternBitmap(3, 3, PixelLayout::rgb24());
    EXPECT_EQ(errorOf([&] { saveBmpFile(b, path); }), "ファイル " + path + " を作成できません");
    EXPECT_EQ(folder.entryCount(), 0u);

    // A folder of that name cannot be replaced by the file.
    std::filesystem::create_directory(folder.path() / "dir.bmp");
    const std::string dir = folder.file("dir.bmp");
    EXPECT_EQ(errorOf([&] { saveBmpFile(b, dir); }), "ファイル " + dir + " を作成できません");
    EXPECT_TRUE(std::filesystem::is_directory(dir));
    EXPECT_EQ(folder.entryCount(), 1u);
}

TEST(BmpSave, AWriteThatFailsHalfwayKeepsTheOldFile)
{
    const ScratchFolder folder;
    const std::string path = folder.file("keep.bmp");
    const std::vector<std::uint8_t> old(500, 0x42);
    test::writeFileBytes(path, old);

    // Limit the size of files this process may write, so that the save fails
    // after its headers.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const Bitmap big = patternBitmap(200, 200, PixelLayout::rgb24());
    const std::string error = errorOf([&] { saveBmpFile(big, path); });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(error, "ファイル " + path + " を作成できません");
    EXPECT_EQ(test::readFileBytes(path), old);
    EXPECT_EQ(folder.entryCount(), 1u);
}

}  // namespace
}  // namespace dimora
