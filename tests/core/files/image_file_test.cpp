// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/image_file.hpp"

#include "core/common/error.hpp"
#include "core/files/bmp_reader.hpp"
#include "core/files/png_reader.hpp"
#include "core/files/png_test_files.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace dimora {
namespace {

std::string loadError(const std::string& path)
{
    try {
        (void)loadImageFile(path);
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

std::vector<std::uint8_t> smallPng()
{
    testing::PngImage image = testing::blankImage(3, 2, 8, PNG_COLOR_TYPE_GRAY);
    image.rows = {{0, 100, 255}, {255, 0, 7}};
    return testing::encodePng(image);
}

const std::string kBmpSample = std::string(DIMORA_TEST_DATA) + "/bmpsuite/g/pal4.bmp";

TEST(LoadImageFile, ThePngSignatureDecidesNotTheName)
{
    testing::ScratchFolder folder;
    testing::writeFile(folder.file("picture.bmp"), smallPng());
    const Bitmap png = loadImageFile(folder.file("picture.bmp"));
    EXPECT_EQ(png.layout(), PixelLayout::rgb24());
    EXPECT_EQ(png.width(), 3);
    EXPECT_EQ(png.pixel(1, 0), makeColour(100, 100, 100));
    EXPECT_EQ(png.pixel(2, 1), makeColour(7, 7, 7));

    testing::writeFile(folder.file("picture.png"), testing::readFile(kBmpSample));
    const Bitmap bmp = loadImageFile(folder.file("picture.png"));
    const Bitmap reference = loadBmpFile(kBmpSample);
    EXPECT_EQ(bmp.layout(), reference.layout());
    ASSERT_EQ(bmp.width(), reference.width());
    for (std::int32_t y = 0; y < bmp.height(); ++y)
        for (std::int32_t x = 0; x < bmp.width(); ++x)
            ASSERT_EQ(bmp.pixel(x, y), reference.pixel(x, y));
}

TEST(LoadImageFile, APartialSignatureIsNoPng)
{
    testing::ScratchFolder folder;
    auto bytes = smallPng();
    bytes[7] ^= 1;
    testing::writeFile(folder.file("a.bmp"), bytes);
    EXPECT_EQ(loadError(folder.file("a.bmp")), "ビットマップイメージが不正です");
    const auto whole = smallPng();
    testing::writeFile(folder.file("b"), std::span(whole).first(7));
    EXPECT_EQ(loadError(folder.file("b")), "ビットマップイメージが不正です");
}

TEST(LoadImageFile, UnknownContentIsRefusedByTheReaderItsNameCallsFor)
{
    // Content that is none of the four formats: a text, a PNG whose signature
    // is one byte short, nothing at all.
    const std::string text = "some notes\n";
    const auto png = smallPng();
    const std::vector<std::vector<std::uint8_t>> contents = {
        {text.begin(), text.end()}, {png.begin(), png.begin() + 7}, {}};
    testing::ScratchFolder folder;
    for (std::size_t c = 0; c < contents.size(); ++c)
        for (const std::string name : {"x.png", "x.TIF", "x.tiff", "x.jpg", "x.JPEG", "x.bmp", "x", ".png"}) {
            std::filesystem::create_directories(folder.file(std::to_string(c)));
            const std::string path = folder.file(std::to_string(c) + "/" + name);
            testing::writeFile(path, contents[c]);
            const bool bmpName = name == "x.bmp" || name == "x" || name == ".png";
            EXPECT_EQ(loadError(path), bmpName ? "ビットマップイメージが不正です"
                                               : "画像ファイル " + path + " を読み込めません")
                << c << " " << name;
        }
}

TEST(LoadImageFile, FailuresOfEachKind)
{
    testing::ScratchFolder folder;
    const std::string missing = folder.file("missing.png");
    EXPECT_EQ(loadError(missing), "ファイル " + missing + " は開けません");
    EXPECT_EQ(loadError(folder.path().string()), "ファイル " + folder.path().string() + " は開けません");
    auto cut = smallPng();
    cut.resize(cut.size() / 2);
    testing::writeFile(folder.file("cut.bmp"), cut);
    EXPECT_EQ(loadError(folder.file("cut.bmp")), "Error Reading File!");
}

}  // namespace
}  // namespace dimora
