// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/slices/slice_stack.hpp"

#include "core/common/error.hpp"
#include "core/files/png_test_files.hpp"
#include "core/slices/slice_series.hpp"
#include "core/slices/slice_test_files.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace dimora {
namespace {

using testing::BlackAt;
using testing::kAllBlack;
using testing::kAllWhite;
using testing::sliceImage;
using testing::writeSlice;

// A series in a scratch folder, settings as the dialog would hold them.
class Series {
public:
    // Slices 1 .. images.size(), named with the extension.
    Series(const std::vector<Bitmap>& images, const std::string& extension)
    {
        for (std::size_t i = 0; i < images.size(); ++i)
            writeSlice(file(std::to_string(i + 1) + extension), images[i]);
    }
    [[nodiscard]] std::string file(const std::string& name) const { return folder_.file(name); }
    [[nodiscard]] SliceSeriesSettings settings(const std::string& lastName, std::string pixelSize = "",
                                               std::string distance = "") const
    {
        SliceSeriesSettings s;
        s.lastFile = file(lastName);
        s.firstFile = firstSliceFileName(s.lastFile);
        s.pixelSizeText = std::move(pixelSize);
        s.distanceText = std::move(distance);
        return s;
    }

private:
    testing::ScratchFolder folder_;
};

std::vector<Bitmap> copies(std::size_t count, const Bitmap& image)
{
    return std::vector<Bitmap>(count, image);
}

struct Outcome {
    std::string error = "no error";
    SliceStackMeasurement result;
    SliceRun run;
    std::vector<std::pair<std::int32_t, std::int32_t>> progress;
};

Outcome measure(const SliceSeriesSettings& settings)
{
    Outcome o;
    try {
        o.result = measureSliceStack(settings, o.run, [&](std::int32_t done, std::int32_t total) {
            o.progress.emplace_back(done, total);
        });
    } catch (const Error& e) {
        o.error = e.what();
    }
    return o;
}

std::vector<std::string> lines(std::initializer_list<const char*> texts)
{
    return {texts.begin(), texts.end()};
}

// ---- The measurement ----------------------------------------------------------

class SliceKinds : public ::testing::TestWithParam<std::string> {};

TEST_P(SliceKinds, ThreeBlackSlices)
{
    const Series series(copies(3, sliceImage(64, 64, kAllBlack)), GetParam());
    const Outcome one = measure(series.settings("3" + GetParam()));
    ASSERT_EQ(one.error, "no error");
    EXPECT_EQ(one.result.measurement.countList, lines({"12288", "1536", "192", "24", "3"}));
    EXPECT_EQ(one.result.measurement.fields, (ResultFields{" 64×64", " 100.0", " -1.0000 (5)", " 3.0000"}));
    EXPECT_EQ(one.result.sliceCount, 3);
    EXPECT_EQ(one.result.spacing, 1);
    EXPECT_EQ(one.result.lastFile, series.file("3" + GetParam()));

    const Outcome two = measure(series.settings("3" + GetParam(), "0.1", "0.2"));
    ASSERT_EQ(two.error, "no error");
    EXPECT_EQ(two.result.measurement.countList, lines({"24576", "3072", "384", "48", "6"}));
    EXPECT_EQ(two.result.measurement.fields, one.result.measurement.fields);
    EXPECT_EQ(two.result.spacing, 2);
}

TEST_P(SliceKinds, OneBlackPixelPerSlice)
{
    const Series series(copies(3, sliceImage(64, 64, [](auto x, auto y) { return x == 20 && y == 41; })),
                        GetParam());
    SliceRun run;
    const SliceStackCounts counts = countSliceStack(series.settings("3" + GetParam()), run);
    EXPECT_EQ(counts.stackCounts, (std::vector<std::int64_t>{3, 3, 3, 3, 3}));
    EXPECT_EQ(counts.cubeCounts, (std::vector<std::int64_t>{3, 1, 0, 0, 0}));
    const CountReport report = reportSliceCounts(counts);
    EXPECT_EQ(report.countList, lines({"3", "1"}));

    const Outcome o = measure(series.settings("3" + GetParam()));
    ASSERT_EQ(o.error, "no error");
    EXPECT_EQ(o.result.measurement.fields, (ResultFields{" 64×64", " 0.0", " -1.0000 (2)", " 1.5850"}));
}

INSTANTIATE_TEST_SUITE_P(EveryLosslessKind, SliceKinds, ::testing::Values(".bmp", ".png", ".tif"),
                         [](const auto& info) { return info.param.substr(1); });

TEST(SliceStack, NineBlackVoxelsInAMillionGiveTheZeroReport)
{
    std::vector<Bitmap> images = copies(100, sliceImage(100, 100, kAllWhite));
    for (int k = 0; k < 9; ++k)
        images[static_cast<std::size_t>(k * 11)].setPixel(k * 7, k * 5, kBlack);
    const Series series(images, ".bmp");
    const Outcome o = measure(series.settings("100.bmp"));
    ASSERT_EQ(o.error, "no error");
    EXPECT_EQ(o.result.measurement.fields, (ResultFields{" 100×100", " 0", "", " 0"}));
    EXPECT_TRUE(o.result.measurement.countList.empty());
    EXPECT_FALSE(o.result.measurement.fit.has_value());
    EXPECT_NEAR(o.result.measurement.value2, 0.0009, 1e-12);
    EXPECT_EQ(o.progress.size(), 100u);
    EXPECT_EQ(o.progress.back(), std::pair(100, 100));
}

TEST(SliceStack, JpegSlicesAreReadByTheirExtension)
{
    // Solid black survives JPEG coding exactly.
    const Series series(copies(3, sliceImage(64, 64, kAllBlack)), ".jpg");
    const Outcome o = measure(series.settings("3.jpg"));
    ASSERT_EQ(o.error, "no error");
    EXPECT_EQ(o.result.measurement.countList, lines({"12288", "1536", "192", "24", "3"}));
    EXPECT_EQ(o.result.lastFile, series.file("3.jpg"));
}

TEST(SliceStack, ACoverageOfExactlyTheThresholdIsFitted)
{
    // One black voxel in 100 × 100 × 1 is 0.01 %: not below the threshold, so
    // its one cube count is listed and fitted (and one point cannot be).
    const Series series({sliceImage(100, 100, [](auto x, auto y) { return x == 50 && y == 50; })}, ".bmp");
    SliceRun run;
    const CountReport report = reportSliceCounts(countSliceStack(series.settings("1.bmp"), run));
    EXPECT_FALSE(report.zeroReport);
    EXPECT_EQ(report.countList, lines({"1"}));
    EXPECT_EQ(measure(series.settings("1.bmp")).error, "不正な浮動小数点数演算命令");
}

TEST(SliceStack, AtMostOneHundredSlicesAreRead)
{
    // Slice 1 is black, the others white; slices past 100 do not exist.
    std::vector<Bitmap> images = copies(100, sliceImage(8, 8, kAllWhite));
    images[0] = sliceImage(8, 8, kAllBlack);
    const Series series(images, ".bmp");
    const Outcome o = measure(series.settings("120.bmp"));
    ASSERT_EQ(o.error, "no error");
    EXPECT_EQ(o.result.sliceCount, 100);
    EXPECT_EQ(o.result.measurement.fields.edit2, " 1.0");
    EXPECT_EQ(o.result.lastFile, series.file("100.bmp"));
    EXPECT_EQ(o.run.sliceFileName, series.file("100.bmp"));
}

TEST(SliceStack, NegativeCountReadsOnlyTheFirstSlice)
{
    const Series series({sliceImage(16, 16, kAllBlack)}, ".bmp");
    const Outcome o = measure(series.settings("-3.bmp"));
    ASSERT_EQ(o.error, "no error");
    EXPECT_EQ(o.result.measurement.fields, (ResultFields{" 16×16", " 0", "", " 0"}));
    EXPECT_TRUE(o.progress.empty());
    EXPECT_FALSE(o.run.sliceFileName.has_value());
    EXPECT_EQ(o.result.lastFile, series.file("-3.bmp"));
    ASSERT_TRUE(o.run.workingImage.has_value());
    EXPECT_EQ(o.run.workingImage->pixel(3, 3), kBlack);
}

TEST(SliceStack, UpperCasePngPickReadsLowerCaseFiles)
{
    std::vector<Bitmap> images = copies(25, sliceImage(12, 12, kAllWhite));
    images[24] = sliceImage(12, 12, kAllBlack);
    const Series series(images, ".png");
    const Outcome o = measure(series.settings("25.PNG"));
    ASSERT_EQ(o.error, "no error");
    EXPECT_EQ(o.result.lastFile, series.file("25.png"));
    EXPECT_EQ(o.progress.size(), 25u);
    // 144 black voxels of 25 × 144.
    EXPECT_EQ(o.result.measurement.fields.edit2, " 4.0");
    EXPECT_EQ(o.run.workingImage->pixel(0, 0), kBlack);
}

TEST(SliceStack, FirstFileOtherThanSliceOneIsOnlyTheStart)
{
    // The first file sets the region; slice 1 is read from its own name.
    const Series series({sliceImage(8, 8, kAllWhite)}, ".png");
    writeSlice(series.file("start.png"), sliceImage(10, 10, kAllBlack));
    SliceSeriesSettings settings = series.settings("1.png");
    settings.firstFile = series.file("start.png");
    SliceRun run;
    const SliceStackCounts counts = countSliceStack(settings, run);
    EXPECT_EQ(counts.region, (Region{0, 0, 10, 10}));
    EXPECT_EQ(counts.stackCounts.front(), 0);
    EXPECT_EQ(run.workingImage->width(), 8);
}

TEST(SliceStack, SmallerLaterSliceAddsNothingOutsideIt)
{
    const Series series({sliceImage(64, 64, kAllWhite), sliceImage(16, 16, kAllBlack)}, ".bmp");
    SliceRun run;
    const SliceStackCounts counts = countSliceStack(series.settings("2.bmp"), run);
    EXPECT_EQ(counts.region, (Region{0, 0, 64, 64}));
    EXPECT_EQ(counts.stackCounts, (std::vector<std::int64_t>{256, 64, 16, 4, 1}));
    EXPECT_EQ(run.workingImage->width(), 16);
}

TEST(SliceStack, SelectionIsMeasuredInEverySlice)
{
    // Black only inside columns 10..19 and rows 5..14.
    const auto inside = [](std::int32_t x, std::int32_t y) { return x >= 10 && x < 20 && y >= 5 && y < 15; };
    const Series series(copies(2, sliceImage(40, 30, inside)), ".png");
    SliceSeriesSettings settings = series.settings("2.png");
    settings.selection = Region{10, 5, 10, 10};
    const Outcome o = measure(settings);
    ASSERT_EQ(o.error, "no error");
    EXPECT_EQ(o.result.measurement.region, (Region{10, 5, 10, 10}));
    EXPECT_EQ(o.result.measurement.fields.edit1, " 10×10");
    EXPECT_EQ(o.result.measurement.fields.edit2, " 100.0");
    // T = 200, 50, 18 (3 × 3 boxes of side 4 per slice).
    EXPECT_EQ(o.result.measurement.countList, lines({"200", "25", "4"}));

    // A selection reaching past the slices: the outside is never black.
    settings.selection = Region{30, 20, 20, 20};
    SliceRun run;
    const SliceStackCounts counts = countSliceStack(settings, run);
    EXPECT_EQ(counts.stackCounts, (std::vector<std::int64_t>{0, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(counts.coverage, 0.0);
}

TEST(SliceStack, CubeCountsBeyondThirtyTwoBits)
{
    const Series series(copies(3, sliceImage(64, 64, kAllBlack)), ".bmp");
    SliceRun run;
    const SliceStackCounts counts = countSliceStack(series.settings("3.bmp", "0.001", "1000"), run);
    EXPECT_EQ(counts.spacing, 1000000);
    EXPECT_EQ(counts.cubeCounts.front(), 12288000000);
    EXPECT_EQ(reportSliceCounts(counts).countList.front(), "12288000000");
}

// The sums of the fast counter against the box-by-box procedure: boxes column
// by column from the region's corner, each left at its first black pixel.
std::vector<std::int64_t> countBoxByBox(const std::vector<Bitmap>& slices, const Region& r)
{
    std::vector<std::int64_t> totals;
    for (std::int64_t s = 1; s < r.height / 2.0 && s < r.width / 2.0; s *= 2) {
        std::int64_t total = 0;
        for (const Bitmap& slice : slices)
            for (std::int64_t x = r.left; x < r.left + r.width; x += s)
                for (std::int64_t y = r.top; y < r.top + r.height; y += s) {
                    bool occupied = false;
                    for (std::int64_t i = 0; i < s && !occupied; ++i)
                        for (std::int64_t j = 0; j < s && !occupied; ++j)
                            if (x + i < r.left + r.width && y + j < r.top + r.height)
                                occupied = isBlackByRed(slice.pixel(static_cast<std::int32_t>(x + i),
                                                                    static_cast<std::int32_t>(y + j)));
                    total += occupied;
                }
        totals.push_back(total);
    }
    return totals;
}

TEST(SliceStack, SameSumsAsCountingBoxByBox)
{
    std::mt19937 random(7);
    // PNG slices of one size are decoded into the memory of slices already
    // counted, so stale pixels would show here too.
    for (int trial = 0; trial < 8; ++trial) {
        const std::string extension = trial < 4 ? ".bmp" : ".png";
        const auto width = static_cast<std::int32_t>(20 + random() % 60);
        const auto height = static_cast<std::int32_t>(20 + random() % 60);
        const unsigned density = 1 + random() % 20;
        std::vector<Bitmap> slices;
        for (int k = 0; k < 4; ++k) {
            // Slices of varying size, with dark colours that are not all black.
            const auto w = static_cast<std::int32_t>(width - k * (trial % 3) * 3);
            Bitmap image(w, height, PixelLayout::rgb24());
            for (std::int32_t y = 0; y < height; ++y)
                for (std::int32_t x = 0; x < w; ++x)
                    image.setPixel(x, y,
                                   random() % density == 0 ? makeColour(0, random() % 256, 255)
                                                           : makeColour(1 + random() % 255, 0, 0));
            slices.push_back(std::move(image));
        }
        const Series series(slices, extension);
        SliceSeriesSettings settings = series.settings("4" + extension);
        if (trial % 2 == 1)
            settings.selection = Region{static_cast<std::int32_t>(random() % 15) - 5,
                                        static_cast<std::int32_t>(random() % 15) - 5, width - 3, height + 4};
        SliceRun run;
        const SliceStackCounts counts = countSliceStack(settings, run);
        EXPECT_EQ(counts.stackCounts, countBoxByBox(slices, counts.region)) << trial;
    }
}

// ---- Failures, in the order of the run's steps ---------------------------------

TEST(SliceStackFailures, FirstFileMissing)
{
    const Series series({}, ".png");
    const Outcome png = measure(series.settings("3.png"));
    EXPECT_EQ(png.error, "Error Opening File " + series.file("1.png") + "!");
    EXPECT_FALSE(png.run.workingImage.has_value());
    const Outcome bmp = measure(series.settings("3.bmp"));
    EXPECT_EQ(bmp.error, "ファイル " + series.file("1.bmp") + " は開けません");
    EXPECT_FALSE(bmp.run.workingImage.has_value());
}

TEST(SliceStackFailures, SettingsAfterTheFirstSliceInOrder)
{
    const Series series(copies(2, sliceImage(8, 8, kAllBlack)), ".bmp");
    const Outcome name = measure(series.settings("two.bmp", "abc", "xyz"));
    EXPECT_EQ(name.error, "'two' は整数ではありません");
    ASSERT_TRUE(name.run.workingImage.has_value());
    EXPECT_EQ(name.run.workingImage->width(), 8);

    EXPECT_EQ(measure(series.settings("2.bmp", "abc", "xyz")).error, "'xyz' は浮動小数点数ではありません");
    EXPECT_EQ(measure(series.settings("2.bmp", "abc", "1")).error, "'abc' は浮動小数点数ではありません");
    EXPECT_EQ(measure(series.settings("2.bmp", "0", "1")).error, "0 による浮動小数点数除算");
    const Outcome zeroByZero = measure(series.settings("2.bmp", "0", "0"));
    EXPECT_EQ(zeroByZero.error, "不正な浮動小数点数演算命令");
    EXPECT_TRUE(zeroByZero.progress.empty());
}

TEST(SliceStackFailures, SliceCountZeroIsZeroByZero)
{
    const Series series({sliceImage(8, 8, kAllBlack)}, ".png");
    const Outcome o = measure(series.settings("0.png"));
    EXPECT_EQ(o.error, "不正な浮動小数点数演算命令");
    EXPECT_TRUE(o.run.workingImage.has_value());
}

TEST(SliceStackFailures, MissingSliceAfterTheOnesBeforeAreCounted)
{
    // Slice k has k black columns, so the working image tells which it is.
    std::vector<Bitmap> images;
    for (std::int32_t k = 1; k <= 5; ++k)
        images.push_back(sliceImage(16, 16, [k](std::int32_t x, std::int32_t) { return x < k; }));
    const Series series(images, ".png");
    std::filesystem::remove(series.file("3.png"));
    const Outcome o = measure(series.settings("5.png"));
    EXPECT_EQ(o.error, "Error Opening File " + series.file("3.png") + "!");
    EXPECT_EQ(o.progress, (std::vector<std::pair<std::int32_t, std::int32_t>>{{1, 5}, {2, 5}}));
    ASSERT_TRUE(o.run.workingImage.has_value());
    EXPECT_EQ(o.run.workingImage->pixel(1, 0), kBlack);
    EXPECT_EQ(o.run.workingImage->pixel(2, 0), kWhite);
    EXPECT_EQ(o.run.sliceFileName, series.file("3.png"));
}

TEST(SliceStackFailures, UnreadableSecondSliceSurfacesAfterTheFirstIsCounted)
{
    const Series series(copies(3, sliceImage(16, 16, kAllBlack)), ".png");
    auto bytes = testing::readFile(series.file("2.png"));
    bytes.resize(bytes.size() / 2);
    testing::writeFile(series.file("2.png"), bytes);
    const Outcome o = measure(series.settings("3.png"));
    EXPECT_EQ(o.error, "Error Reading File!");
    EXPECT_EQ(o.progress, (std::vector<std::pair<std::int32_t, std::int32_t>>{{1, 3}}));
    EXPECT_EQ(o.run.sliceFileName, series.file("2.png"));

    const Series bmp(copies(3, sliceImage(16, 16, kAllBlack)), ".bmp");
    testing::writeFile(bmp.file("2.bmp"), std::vector<std::uint8_t>{'B', 'M', 1, 2, 3});
    const Outcome b = measure(bmp.settings("3.bmp"));
    EXPECT_EQ(b.error, "ビットマップイメージが不正です");
    EXPECT_EQ(b.progress.size(), 1u);
}

TEST(SliceStackFailures, SpacingBelowOneLeavesNoPointToFit)
{
    const Series series(copies(3, sliceImage(64, 64, kAllBlack)), ".bmp");
    SliceRun run;
    const SliceStackCounts counts = countSliceStack(series.settings("3.bmp", "2", "1"), run);
    EXPECT_EQ(counts.spacing, 0);
    const CountReport report = reportSliceCounts(counts);
    EXPECT_FALSE(report.zeroReport);
    EXPECT_TRUE(report.countList.empty());
    EXPECT_EQ(measure(series.settings("3.bmp", "2", "1")).error, "不正な浮動小数点数演算命令");
    EXPECT_EQ(measure(series.settings("3.bmp", "1", "-1")).error, "不正な浮動小数点数演算命令");
}

TEST(SliceStackFailures, OnePointFitFailsAfterItsLineIsListed)
{
    // A 6 × 6 region: sides 1 and 2. One black pixel in one slice gives
    // c(1) = 1 and c(2) = 0, so the list holds one line and the fit fails.
    const Series series({sliceImage(6, 6, [](auto x, auto y) { return x == 0 && y == 0; })}, ".bmp");
    SliceRun run;
    const CountReport report = reportSliceCounts(countSliceStack(series.settings("1.bmp"), run));
    EXPECT_EQ(report.countList, lines({"1"}));
    EXPECT_EQ(measure(series.settings("1.bmp")).error, "不正な浮動小数点数演算命令");
}

}  // namespace
}  // namespace dimora
