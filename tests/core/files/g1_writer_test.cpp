// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/g1_writer.hpp"

#include "core/common/error.hpp"
#include "core/common/replace_file.hpp"
#include "core/files/png_test_files.hpp"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

namespace dimora {
namespace {

Bitmap filled(std::int32_t width, std::int32_t height, Colour colour)
{
    Bitmap bitmap(width, height, PixelLayout::rgb24());
    bitmap.fill(colour);
    return bitmap;
}

bool allBytesAre(std::span<const std::uint8_t> bytes, std::uint8_t value)
{
    return std::all_of(bytes.begin(), bytes.end(), [&](std::uint8_t b) { return b == value; });
}

TEST(EncodeG1, WhiteIsZeroAndBlackIsOne)
{
    const auto white = encodeG1(filled(640, 400, kWhite));
    ASSERT_EQ(white.size(), 32000u);
    EXPECT_TRUE(allBytesAre(white, 0x00));
    const auto black = encodeG1(filled(640, 400, kBlack));
    ASSERT_EQ(black.size(), 32000u);
    EXPECT_TRUE(allBytesAre(black, 0xFF));
}

TEST(EncodeG1, LeftmostPixelIsTheHighBit)
{
    Bitmap image = filled(640, 400, kWhite);
    image.setPixel(9, 2, kBlack);
    const auto bytes = encodeG1(image);
    EXPECT_EQ(bytes[161], 0x40);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), 31999);

    image.setPixel(639, 399, kBlack);
    image.setPixel(0, 399, kBlack);
    const auto corners = encodeG1(image);
    EXPECT_EQ(corners[31999], 0x01);
    EXPECT_EQ(corners[31920], 0x80);
}

TEST(EncodeG1, OnlyTheRedByteDecides)
{
    Bitmap image = filled(16, 1, kWhite);
    image.setPixel(0, 0, 0x00FFFF7F);  // red 127, green and blue 255
    image.setPixel(1, 0, 0x00000080);  // red 128, otherwise black
    image.setPixel(2, 0, 0x00FFFF00);  // red 0
    const auto bytes = encodeG1(image);
    EXPECT_EQ(bytes[0], 0xA0);
}

TEST(EncodeG1, SmallImageIsPaddedWithZeroBits)
{
    const auto bytes = encodeG1(filled(100, 100, kBlack));
    for (std::size_t y = 0; y < 400; ++y) {
        const std::span<const std::uint8_t> row(bytes.data() + y * 80, 80);
        if (y < 100) {
            EXPECT_TRUE(allBytesAre(row.first(12), 0xFF)) << y;
            EXPECT_EQ(row[12], 0xF0) << y;
            EXPECT_TRUE(allBytesAre(row.subspan(13), 0x00)) << y;
        } else {
            EXPECT_TRUE(allBytesAre(row, 0x00)) << y;
        }
    }
}

TEST(EncodeG1, LargeImageIsCutAndOtherLayoutsReadAsColours)
{
    // A palette image larger than the raster: black on even rows only.
    Bitmap image(700, 450, PixelLayout::indexed(1, {kWhite, kBlack}));
    for (std::int32_t y = 0; y < image.height(); y += 2)
        for (std::int32_t x = 0; x < image.width(); ++x)
            image.setPixel(x, y, kBlack);
    const auto bytes = encodeG1(image);
    ASSERT_EQ(bytes.size(), 32000u);
    for (std::size_t y = 0; y < 400; ++y)
        EXPECT_TRUE(allBytesAre(std::span(bytes).subspan(y * 80, 80), y % 2 == 0 ? 0xFF : 0x00)) << y;
}

TEST(SaveG1File, WritesTheBytesAndReplacesAnOldFile)
{
    testing::ScratchFolder folder;
    const std::string path = folder.file("out.g1");
    testing::writeFile(path, std::vector<std::uint8_t>(50000, 0x55));
    Bitmap image = filled(640, 400, kWhite);
    image.setPixel(9, 2, kBlack);
    saveG1File(image, path);
    EXPECT_EQ(testing::readFile(path), encodeG1(image));
    // Nothing but the file is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

std::string saveError(const Bitmap& image, const std::string& path)
{
    try {
        saveG1File(image, path);
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

TEST(SaveG1File, FailureSaysWhatWentWrongAndLeavesNoTrace)
{
    testing::ScratchFolder folder;
    const Bitmap image = filled(10, 10, kBlack);

    EXPECT_EQ(saveError(image, folder.file("no such folder/out.g1")), "I/O エラー (2)");

    // A folder in the way of the target: the rename fails, the temporary
    // file goes and the folder stays.
    const std::string blocked = folder.file("blocked.g1");
    std::filesystem::create_directory(blocked);
    std::filesystem::create_directory(folder.path() / "blocked.g1" / "inside");
    EXPECT_EQ(saveError(image, blocked), "I/O エラー (" + std::to_string(EISDIR) + ")");
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(FileErrorText, NamesAccessAndSpaceAndOtherwiseTheNumber)
{
    EXPECT_EQ(fileErrorText(EACCES), "ファイルへのアクセスが拒否されました");
    EXPECT_EQ(fileErrorText(EROFS), "ファイルへのアクセスが拒否されました");
    EXPECT_EQ(fileErrorText(ENOSPC), "ディスクがいっぱいです");
    EXPECT_EQ(fileErrorText(EDQUOT), "ディスクがいっぱいです");
    EXPECT_EQ(fileErrorText(EIO), "I/O エラー (5)");
}

// A small tmpfs mounted on a scratch folder for the length of a test; needs
// the right to mount, so tests skip without it.
class SmallFileSystem {
public:
    SmallFileSystem(const std::filesystem::path& where, const char* options)
        : path_(where), mounted_(::mount("tmpfs", where.c_str(), "tmpfs", 0, options) == 0)
    {
    }
    ~SmallFileSystem()
    {
        if (mounted_)
            ::umount2(path_.c_str(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;
    [[nodiscard]] bool mounted() const { return mounted_; }

private:
    std::filesystem::path path_;
    bool mounted_;
};

TEST(SaveG1File, AReadOnlyFolderDeniesAccess)
{
    testing::ScratchFolder folder;
    const auto inside = folder.path() / "read-only";
    std::filesystem::create_directory(inside);
    std::filesystem::permissions(inside,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    // The superuser writes into any folder: a read-only file system stops it.
    std::optional<SmallFileSystem> readOnly;
    if (::geteuid() == 0) {
        readOnly.emplace(inside, "size=64k,mode=0555");
        if (!readOnly->mounted() ||
            ::mount(nullptr, inside.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            GTEST_SKIP() << "cannot mount a read-only file system here";
    }
    EXPECT_EQ(saveError(filled(10, 10, kBlack), (inside / "out.g1").string()),
              "ファイルへのアクセスが拒否されました");
    readOnly.reset();
    std::error_code ignored;
    std::filesystem::permissions(inside, std::filesystem::perms::owner_all, ignored);
}

TEST(SaveG1File, AFullFileSystemSaysTheDiskIsFullAndKeepsTheOldFile)
{
    testing::ScratchFolder folder;
    const auto inside = folder.path() / "small";
    std::filesystem::create_directory(inside);
    const SmallFileSystem small(inside, "size=16k");
    if (!small.mounted())
        GTEST_SKIP() << "cannot mount a small file system here";
    const std::string path = (inside / "out.g1").string();
    testing::writeFile(path, std::vector<std::uint8_t>{1, 2, 3});
    // 32,000 bytes do not fit in 16 KiB.
    EXPECT_EQ(saveError(filled(10, 10, kBlack), path), "ディスクがいっぱいです");
    EXPECT_EQ(testing::readFile(path), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(inside), {}), 1);
}

}  // namespace
}  // namespace dimora
