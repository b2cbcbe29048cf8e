// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Where the slices of a cube measurement come from, given one path:
//   - a folder: its image files (.bmp .png .tif .tiff .jpg .jpeg, any case;
//     not its subfolders) in natural order, runs of digits compared as
//     numbers ("2.png" before "10.png"), ties byte-wise;
//   - the last file of a numbered series: a file whose name without its
//     extension is a decimal number N ≥ 1 gives 1.EXT ... N.EXT in its folder,
//     EXT as written, with no cap on N;
//   - else a multi-page TIFF: every page a slice; any other image file is a
//     stack of one slice.
// Slice files are read by their content (loadImageFile), a TIFF slice file by
// its first page.

#include "core/image/bitmap.hpp"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dimora {

class CubeStack {
public:
    enum class Kind : std::uint8_t { Folder, Series, Pages };

    // Finds the slices of `path`. Throws Error: "フォルダ %s に画像ファイルが
    // ありません" for a folder without image files; the reader's error when
    // `path` is neither a folder nor a series name and cannot be read (a
    // missing file: "ファイル %s は開けません").
    [[nodiscard]] static CubeStack find(const std::string& path);

    [[nodiscard]] Kind kind() const { return kind_; }
    [[nodiscard]] std::int32_t sliceCount() const { return count_; }
    // The path of slice i (1-based) as built from the given path; for pages,
    // the TIFF file's path.
    [[nodiscard]] std::string slicePath(std::int32_t i) const;

private:
    Kind kind_ = Kind::Pages;
    std::string path_;                // as given
    std::string folder_, extension_;  // a series: "dir/" and ".EXT"
    std::vector<std::string> files_;  // a folder's files
    std::int32_t count_ = 0;
};

// Reads slices of a stack in increasing order; a multi-page TIFF stays open
// between pages.
class CubeSliceReader {
public:
    explicit CubeSliceReader(const CubeStack& stack);
    ~CubeSliceReader();
    CubeSliceReader(const CubeSliceReader&) = delete;
    CubeSliceReader& operator=(const CubeSliceReader&) = delete;

    // Slice i (1-based), i increasing from call to call. A PNG slice is
    // decoded into `reusable` when that has its size (see loadPngReusing).
    // Throws the reader's error.
    [[nodiscard]] Bitmap read(std::int32_t i, Bitmap reusable = Bitmap());

private:
    const CubeStack& stack_;
    struct Pages;
    std::unique_ptr<Pages> pages_;
};

// Natural order of file names: runs of decimal digits compare as numbers
// (leading zeros ignored, fewer digits first), other bytes as bytes; equal
// names in that order compare byte-wise.
[[nodiscard]] bool naturalLess(const std::string& a, const std::string& b);

}  // namespace dimora
