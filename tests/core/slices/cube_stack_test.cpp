// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/slices/cube_measurement.hpp"

#include "core/common/error.hpp"
#include "core/files/png_test_files.hpp"
#include "core/image/image_test_support.hpp"
#include "core/slices/cube_stack.hpp"
#include "core/slices/slice_test_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

namespace dimora {
namespace {

using testing::sliceImage;
using testing::writeSlice;

std::vector<Bitmap> randomSlices(int count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<Bitmap> slices;
    for (int z = 0; z < count; ++z)
        slices.push_back(sliceImage(40, 36, [&](std::int32_t x, std::int32_t y) {
            return (x * 7 + y * 3 + z * 5) % 11 < 2 || random() % 9 == 0;
        }));
    return slices;
}

CubeCounts countInMemory(const std::vector<Bitmap>& slices, const Region& region, const VoxelSize& voxel)
{
    CubeCounter counter(region, slices[0].width(), slices[0].height(),
                        static_cast<std::int32_t>(slices.size()), voxel);
    for (const Bitmap& slice : slices)
        counter.addSlice(slice.view());
    return counter.finish();
}

std::string errorOf(const CubeSettings& settings)
{
    return test::errorOf([&] { (void)countCubeStack(settings); });
}

TEST(CubeStack, NaturalOrderComparesNumbersAsNumbers)
{
    std::vector<std::string> names{"s10.png", "s2.png", "s02.png", "t1.png", "s1.png", "S3.png", "s2a.png"};
    std::sort(names.begin(), names.end(), naturalLess);
    EXPECT_EQ(names, (std::vector<std::string>{"S3.png", "s1.png", "s02.png", "s2.png", "s2a.png", "s10.png",
                                               "t1.png"}));
}

// Every way of giving a stack reads the same slices in the same order: the
// counts equal those of the slices counted in memory, with boxes two slices
// deep so that the order matters.
TEST(CubeStack, FoldersSeriesAndPagesGiveTheSlicesInOrder)
{
    const std::vector<Bitmap> slices = randomSlices(12, 3);
    const testing::ScratchFolder folder;
    const auto file = [&](const std::string& name) { return folder.file(name); };
    std::filesystem::create_directories(file("folder/sub.png"));
    std::filesystem::create_directories(file("series"));
    for (std::size_t i = 0; i < slices.size(); ++i) {
        // Folder files in natural order, whatever their format.
        const char* const extensions[] = {".png", ".BMP", ".tif"};
        writeSlice(file("folder/slice" + std::to_string(i + 1) + extensions[i % 3]), slices[i]);
        writeSlice(file("series/" + std::to_string(i + 1) + ".bmp"), slices[i]);
    }
    testing::writeFile(file("folder/notes.txt"), std::vector<std::uint8_t>{'x'});
    testing::writeTiffPages(file("stack.tif"), slices);

    const VoxelSize voxel{2, 2, 1};
    const Region region{-2, 3, 38, 36};
    const CubeCounts expected = countInMemory(slices, region, voxel);
    ASSERT_EQ(expected.slicesPerBox.front(), 2);
    for (const std::string& stack :
         {file("folder"), file("folder/"), file("series/12.bmp"), file("stack.tif")}) {
        SCOPED_TRACE(stack);
        std::vector<std::int32_t> progress;
        const CubeStackCounts counted =
            countCubeStack({stack, voxel, region}, [&](std::int32_t done, std::int32_t total) {
                EXPECT_EQ(total, 12);
                progress.push_back(done);
            });
        EXPECT_EQ(counted.counts.counts, expected.counts);
        EXPECT_EQ(counted.counts.occupiedVoxels, expected.occupiedVoxels);
        EXPECT_EQ(progress.size(), 12u);
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    }
    EXPECT_EQ(CubeStack::find(file("folder")).slicePath(10), file("folder/slice10.png"));
    EXPECT_EQ(countCubeStack({file("series/12.bmp"), voxel, region}).lastFile, file("series/12.bmp"));

    // A series name takes the slices up to its number, with no cap.
    const CubeStackCounts firstFive = countCubeStack({file("series/5.bmp"), {}, std::nullopt});
    EXPECT_EQ(firstFive.counts.sliceCount, 5);
    EXPECT_EQ(firstFive.counts.region.width, 40);
    EXPECT_EQ(countCubeStack({file("stack.tif"), {}, std::nullopt}).counts.sliceCount, 12);
}

TEST(CubeStack, ReportsWhatIsWrongWithTheStack)
{
    const testing::ScratchFolder folder;
    const auto file = [&](const std::string& name) { return folder.file(name); };
    std::filesystem::create_directories(file("empty"));
    EXPECT_EQ(errorOf({file("empty"), {}, std::nullopt}),
              "フォルダ " + file("empty") + " に画像ファイルがありません");

    writeSlice(file("1.png"), sliceImage(20, 20, testing::kAllBlack));
    EXPECT_EQ(errorOf({file("3.png"), {}, std::nullopt}),
              "スライス " + file("2.png") + " (2 枚目) を読み込めません");
    writeSlice(file("2.png"), sliceImage(20, 21, testing::kAllBlack));
    EXPECT_EQ(errorOf({file("2.png"), {}, std::nullopt}),
              "スライス " + file("2.png") + " の大きさが最初のスライスと違います");
    EXPECT_EQ(errorOf({file("none.tif"), {}, std::nullopt}),
              "ファイル " + file("none.tif") + " は開けません");
    EXPECT_EQ(errorOf({file("1.png"), {0, 0, 1}, std::nullopt}),
              "ボクセルの大きさは正の数でなければなりません");
}

TEST(CubeStack, NamesTheSliceThatCannotBeRead)
{
    const testing::ScratchFolder folder;
    // The folder holding the stack, the stack's path in it, the slice cut
    // short and its number: in a folder, in a series, first and last.
    const struct {
        std::string folder;
        std::string stack;
        std::string bad;
        int number;
    } cases[] = {
        {"folder", "", "6.png", 6},
        {"series", "7.png", "1.png", 1},
        {"a%d%s", "7.png", "7.png", 7},  // the path as it is, whatever it holds
    };
    for (const auto& c : cases) {
        const std::filesystem::path dir = folder.file(c.folder);
        std::filesystem::create_directories(dir);
        for (int i = 1; i <= 7; ++i)
            writeSlice((dir / (std::to_string(i) + ".png")).string(), sliceImage(20, 20, testing::kAllBlack));
        const std::filesystem::path bad = dir / c.bad;
        std::filesystem::resize_file(bad, std::filesystem::file_size(bad) / 2);
        const std::string stack = c.stack.empty() ? dir.string() : (dir / c.stack).string();
        const std::string expected =
            "スライス " + bad.string() + " (" + std::to_string(c.number) + " 枚目) を読み込めません";
        EXPECT_EQ(errorOf({stack, {}, std::nullopt}), expected);
        EXPECT_EQ(cannotReadSliceMessage(bad.string(), c.number), expected);
    }
}

TEST(CubeStack, StopsAtTheNextSliceWhenAsked)
{
    const testing::ScratchFolder folder;
    const std::vector<Bitmap> slices = randomSlices(30, 5);
    testing::writeTiffPages(folder.file("stack.tif"), slices);
    std::stop_source stop;
    std::int32_t last = 0;
    EXPECT_THROW((void)countCubeStack(
                     {folder.file("stack.tif"), {}, std::nullopt},
                     [&](std::int32_t done, std::int32_t) {
                         last = done;
                         if (done == 4)
                             stop.request_stop();
                     },
                     stop.get_token()),
                 CubeRunStopped);
    EXPECT_EQ(last, 4);
}

TEST(CubeStack, MeasurementFitsTheCubeCounts)
{
    const testing::ScratchFolder folder;
    const std::vector<Bitmap> slices = randomSlices(20, 9);
    testing::writeTiffPages(folder.file("stack.tif"), slices);
    const CubeStackMeasurement result = measureCubeStack({folder.file("stack.tif"), {}, std::nullopt});
    const CubeCounts expected = countInMemory(slices, {0, 0, 40, 36}, {});
    EXPECT_EQ(result.measurement.sides, expected.sides);
    EXPECT_EQ(result.measurement.counts, expected.counts);
    ASSERT_TRUE(result.measurement.fit);
    EXPECT_EQ(result.measurement.fields.edit1, " 40×36");
}

}  // namespace
}  // namespace dimora
