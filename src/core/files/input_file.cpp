// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/input_file.hpp"

#include "core/common/error.hpp"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dimora {

InputFile::InputFile(const std::string& path) : path_(path)
{
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        failToOpen();
    struct stat st {};
    // Only regular files: a folder opens, but cannot be read.
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        failToOpen();
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
}

InputFile::~InputFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void InputFile::failToOpen() const
{
    fail(msg::kCannotOpenFile, path_);
}

void InputFile::readAt(std::uint64_t offset, void* target, std::size_t count) const
{
    auto* out = static_cast<std::uint8_t*>(target);
    while (count > 0) {
        const ssize_t got = ::pread(fd_, out, count, static_cast<off_t>(offset));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            failToOpen();
        }
        if (got == 0)
            fail(msg::kInvalidBitmap);
        out += got;
        offset += static_cast<std::uint64_t>(got);
        count -= static_cast<std::size_t>(got);
    }
}

}  // namespace dimora
