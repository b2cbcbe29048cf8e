// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/common/replace_file.hpp"

#include "core/common/error.hpp"
#include "core/files/png_test_files.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace dimora {
namespace {

namespace fs = std::filesystem;

const std::vector<std::uint8_t> kBytes = {'n', 'e', 'w', '\n'};

// A name in the folder that leads through `hops` symbolic links (`prefix`1,
// `prefix`2, …, each naming the next by a relative name) to `end`.
fs::path linkChainTo(const testing::ScratchFolder& folder, const fs::path& end, int hops,
                     const std::string& prefix = "link")
{
    fs::path next = end;
    for (int k = hops; k >= 1; --k) {
        const fs::path link = folder.path() / (prefix + std::to_string(k));
        fs::create_symlink(next, link);
        next = link.filename();
    }
    return folder.path() / next;
}

// Through one or more links to a regular file, the link stays and the file
// it leads to is replaced (a new file, its permission bits kept); a dangling
// link gets its file.
TEST(ReplaceFile, KeepsLinksAndReplacesTheFileTheyLeadTo)
{
    for (const int hops : {1, 3}) {
        testing::ScratchFolder folder;
        const fs::path file = folder.path() / "sub" / "file.bmp";
        fs::create_directory(file.parent_path());
        testing::writeFile(file, std::vector<std::uint8_t>(100, 'o'));
        fs::permissions(file, fs::perms(0640));
        struct stat before {};
        ASSERT_EQ(::stat(file.c_str(), &before), 0);
        const fs::path name = linkChainTo(folder, fs::path("sub") / "file.bmp", hops);

        replaceFile(name.string(), kBytes);
        EXPECT_TRUE(fs::is_symlink(name)) << hops;
        EXPECT_EQ(testing::readFile(file), kBytes);
        struct stat after {};
        ASSERT_EQ(::stat(file.c_str(), &after), 0);
        EXPECT_NE(after.st_ino, before.st_ino) << "written in place, not replaced";
        EXPECT_EQ(after.st_mode & 0777, 0640u);
        EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1);

        const fs::path dangling = linkChainTo(folder, fs::path("sub") / "new.bmp", 1, "dangling");
        replaceFile(dangling.string(), kBytes);
        EXPECT_TRUE(fs::is_symlink(dangling));
        EXPECT_EQ(testing::readFile(folder.path() / "sub" / "new.bmp"), kBytes);
    }
}

// A FIFO, a device and a link to either are written into, never replaced.
// (Devices only through links: a fault here must not replace /dev/null.)
TEST(ReplaceFile, WritesIntoFifosAndDevicesAndLinksToThem)
{
    for (const int hops : {0, 1, 2}) {
        testing::ScratchFolder folder;
        const fs::path fifo = folder.path() / "fifo";
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        // A reader waiting on the FIFO gets the bytes.
        const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        const fs::path name = hops == 0 ? fifo : linkChainTo(folder, "fifo", hops);
        replaceFile(name.string(), kBytes);
        std::vector<std::uint8_t> read(16);
        const auto count = ::read(reader, read.data(), read.size());
        ::close(reader);
        read.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
        EXPECT_EQ(read, kBytes) << hops;
        EXPECT_TRUE(fs::is_fifo(fifo));
        EXPECT_EQ(fs::is_symlink(name), hops > 0);

        if (hops > 0) {
            const fs::path null = linkChainTo(folder, "/dev/null", hops, "null");
            replaceFile(null.string(), kBytes);
            EXPECT_TRUE(fs::is_character_file("/dev/null"));
            EXPECT_TRUE(fs::is_symlink(null));
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 1 + hops * 2);
    }
}

// A device that refuses the bytes is a failed save, and stays what it was.
TEST(ReplaceFile, FailsOnAFullDeviceAndLeavesIt)
{
    testing::ScratchFolder folder;
    const fs::path full = linkChainTo(folder, "/dev/full", 1);
    try {
        replaceFile(full.string(), kBytes, SaveFailureText::SystemReason);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), fileErrorText(ENOSPC).c_str());
    }
    EXPECT_TRUE(fs::is_symlink(full));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 1);
}

}  // namespace
}  // namespace dimora
