// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/slices/slice_series.hpp"

#include "core/common/error.hpp"

#include <gtest/gtest.h>

#include <functional>

namespace dimora {
namespace {

std::string errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

TEST(FirstSliceFileName, FolderOfTheLastFileWithOneAndItsType)
{
    EXPECT_EQ(firstSliceFileName("/scan/25.PNG"), "/scan/1.png");
    EXPECT_EQ(firstSliceFileName("/scan/25.png"), "/scan/1.png");
    EXPECT_EQ(firstSliceFileName("/scan/12.bmp"), "/scan/1.bmp");
    EXPECT_EQ(firstSliceFileName("/scan/12.BMP"), "/scan/1.bmp");
    EXPECT_EQ(firstSliceFileName("/scan/picture.gif"), "/scan/1.bmp");
    // TIFF and JPEG series keep their extension as written.
    EXPECT_EQ(firstSliceFileName("/scan/picture.jpg"), "/scan/1.jpg");
    EXPECT_EQ(firstSliceFileName("/scan/40.TIFF"), "/scan/1.TIFF");
    EXPECT_EQ(firstSliceFileName("/scan/40.tif"), "/scan/1.tif");
    EXPECT_EQ(firstSliceFileName("/scan/9.JPEG"), "/scan/1.JPEG");
    EXPECT_EQ(firstSliceFileName("/scan.png/12"), "/scan.png/1.bmp");
    EXPECT_EQ(firstSliceFileName("relative/dir/3.Png"), "relative/dir/1.png");
    EXPECT_EQ(firstSliceFileName(""), "1.bmp");
}

TEST(SliceFileTypeOf, OnlyLowerCasePngIsPng)
{
    EXPECT_EQ(sliceFileTypeOf("/scan/1.png"), SliceFileType::Png);
    EXPECT_EQ(sliceFileTypeOf("1.png"), SliceFileType::Png);
    EXPECT_EQ(sliceFileTypeOf("/scan/1.PNG"), SliceFileType::Bmp);
    EXPECT_EQ(sliceFileTypeOf("/scan/1.bmp"), SliceFileType::Bmp);
    EXPECT_EQ(sliceFileTypeOf("/a.png/1"), SliceFileType::Bmp);
    EXPECT_EQ(sliceFileTypeOf("/scan/1.Tif"), SliceFileType::Tiff);
    EXPECT_EQ(sliceFileTypeOf("/scan/1.tiff"), SliceFileType::Tiff);
    EXPECT_EQ(sliceFileTypeOf("/scan/1.JPG"), SliceFileType::Jpeg);
    EXPECT_EQ(sliceFileTypeOf("/scan/1.jpeg"), SliceFileType::Jpeg);
}

TEST(SlicePath, FolderNumberAndExtension)
{
    EXPECT_EQ(slicePath("/scan/1.png", 12, SliceFileType::Png), "/scan/12.png");
    EXPECT_EQ(slicePath("/scan/1.bmp", 1, SliceFileType::Bmp), "/scan/1.bmp");
    EXPECT_EQ(slicePath("1.bmp", 100, SliceFileType::Bmp), "100.bmp");
    EXPECT_EQ(slicePath("/scan/1.TIF", 7, SliceFileType::Tiff), "/scan/7.TIF");
}

TEST(SliceCountOf, NameWithoutFolderAndExtensionAtMostOneHundred)
{
    EXPECT_EQ(sliceCountOf("/scan/25.PNG"), 25);
    EXPECT_EQ(sliceCountOf("/scan/100.bmp"), 100);
    EXPECT_EQ(sliceCountOf("/scan/120.bmp"), 100);
    EXPECT_EQ(sliceCountOf("/scan/-3.bmp"), -3);
    EXPECT_EQ(sliceCountOf("/scan/0.bmp"), 0);
    EXPECT_EQ(sliceCountOf("/scan.7/8"), 8);
    EXPECT_EQ(errorOf([] { (void)sliceCountOf("/scan/slice12.bmp"); }), "'slice12' は整数ではありません");
    EXPECT_EQ(errorOf([] { (void)sliceCountOf("/scan/1.2.bmp"); }), "'1.2' は整数ではありません");
    EXPECT_EQ(errorOf([] { (void)sliceCountOf(""); }), "'' は整数ではありません");
}

TEST(SliceSpacing, EmptyPixelSizeMeansOneAndTheDistanceIsNotRead)
{
    EXPECT_EQ(sliceSpacing("", ""), 1);
    EXPECT_EQ(sliceSpacing("", "not a number"), 1);
}

TEST(SliceSpacing, QuotientInExtendedPrecisionTruncated)
{
    EXPECT_EQ(sliceSpacing("0.1", "0.2"), 2);
    EXPECT_EQ(sliceSpacing("1", "2.99"), 2);
    EXPECT_EQ(sliceSpacing("2", "1"), 0);
    EXPECT_EQ(sliceSpacing("1", "-2.5"), -2);
    EXPECT_EQ(sliceSpacing(" 0.001", "1000 "), 1000000);
    // In double precision the first would be 2.9999999999999996 and the
    // second exactly 3: extended precision decides the other way round.
    EXPECT_EQ(sliceSpacing("0.1", "0.3"), 3);
    EXPECT_EQ(sliceSpacing("0.3", "0.9"), 2);
}

TEST(SliceSpacing, FailuresDistanceFirst)
{
    EXPECT_EQ(errorOf([] { (void)sliceSpacing("abc", "xyz"); }), "'xyz' は浮動小数点数ではありません");
    EXPECT_EQ(errorOf([] { (void)sliceSpacing("abc", "1"); }), "'abc' は浮動小数点数ではありません");
    EXPECT_EQ(errorOf([] { (void)sliceSpacing("0.1", ""); }), "'' は浮動小数点数ではありません");
    EXPECT_EQ(errorOf([] { (void)sliceSpacing("0", "5"); }), "0 による浮動小数点数除算");
    EXPECT_EQ(errorOf([] { (void)sliceSpacing("0", "0"); }), "不正な浮動小数点数演算命令");
    EXPECT_EQ(errorOf([] { (void)sliceSpacing("1e-30", "1"); }), "不正な浮動小数点数演算命令");
    EXPECT_EQ(errorOf([] { (void)sliceSpacing("1", "-3e9"); }), "不正な浮動小数点数演算命令");
}

TEST(SliceProgressPercent, IntegerPercentOfTheSlicesDone)
{
    EXPECT_EQ(sliceProgressPercent(1, 3), 33);
    EXPECT_EQ(sliceProgressPercent(2, 3), 66);
    EXPECT_EQ(sliceProgressPercent(3, 3), 100);
    EXPECT_EQ(sliceProgressPercent(0, 0), 0);
}

}  // namespace
}  // namespace dimora
