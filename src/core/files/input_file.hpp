// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// A regular file opened for reading, for the image loaders: its size, and
// reads at an offset straight into the caller's memory. Failures to open or
// read give Error("ファイル %s は開けません") with the path as given; a file
// that ends before the bytes asked for gives the invalid-bitmap error (it
// shrank while being read).

#include <cstddef>
#include <cstdint>
#include <string>

namespace dimora {

class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    [[nodiscard]] std::uint64_t size() const { return size_; }
    [[nodiscard]] int descriptor() const { return fd_; }
    [[nodiscard]] const std::string& path() const { return path_; }

    // Reads exactly `count` bytes starting at `offset` into `target`.
    void readAt(std::uint64_t offset, void* target, std::size_t count) const;

    // Throws the cannot-open error for this file.
    [[noreturn]] void failToOpen() const;

private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace dimora
