// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/slices/cube_stack.hpp"

#include "core/common/error.hpp"
#include "core/files/image_file.hpp"
#include "core/files/png_reader.hpp"
#include "core/files/tiff_reader.hpp"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

namespace dimora {
namespace {

namespace fs = std::filesystem;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The series number of a file name without its extension: decimal digits
// only, at least 1, within 32 bits.
std::optional<std::int32_t> seriesNumber(std::string_view stem)
{
    if (stem.empty() || !std::all_of(stem.begin(), stem.end(), isDigit))
        return std::nullopt;
    std::int64_t number = 0;
    for (const char c : stem) {
        number = number * 10 + (c - '0');
        if (number > INT32_MAX)
            return std::nullopt;
    }
    if (number < 1)
        return std::nullopt;
    return static_cast<std::int32_t>(number);
}

}  // namespace

bool naturalLess(const std::string& a, const std::string& b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::size_t runA = std::find_if_not(a.begin() + i, a.end(), isDigit) - a.begin();
            const std::size_t runB = std::find_if_not(b.begin() + j, b.end(), isDigit) - b.begin();
            while (i + 1 < runA && a[i] == '0')
                ++i;
            while (j + 1 < runB && b[j] == '0')
                ++j;
            const std::string_view numberA(a.data() + i, runA - i);
            const std::string_view numberB(b.data() + j, runB - j);
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size();
            if (numberA != numberB)
                return numberA < numberB;
            i = runA;
            j = runB;
        } else {
            if (a[i] != b[j])
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            ++i;
            ++j;
        }
    }
    if (i < a.size() || j < b.size())
        return j < b.size();
    return a < b;
}

CubeStack CubeStack::find(const std::string& path)
{
    CubeStack stack;
    stack.path_ = path;
    std::error_code error;
    if (fs::is_directory(path, error)) {
        stack.kind_ = Kind::Folder;
        const std::string folder = path.ends_with('/') ? path : path + '/';
        for (const auto& entry : fs::directory_iterator(path, error)) {
            const std::string name = entry.path().filename().string();
            if (hasImageFileExtension(name) && !entry.is_directory(error))
                stack.files_.push_back(name);
        }
        if (stack.files_.empty())
            fail(msg::kNoImageFilesInFolder, path);
        std::sort(stack.files_.begin(), stack.files_.end(), naturalLess);
        for (std::string& name : stack.files_)
            name.insert(0, folder);
        stack.count_ = static_cast<std::int32_t>(std::min<std::size_t>(stack.files_.size(), INT32_MAX));
        return stack;
    }

    const auto slash = path.rfind('/');
    const std::string_view name = std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    const auto dot = name.rfind('.');
    const std::string_view stem = name.substr(0, dot);
    if (const auto number = seriesNumber(stem)) {
        stack.kind_ = Kind::Series;
        stack.folder_ = path.substr(0, path.size() - name.size());
        stack.extension_ = dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
        stack.count_ = *number;
        return stack;
    }

    stack.kind_ = Kind::Pages;
    stack.count_ = imageFileKindOf(path) == ImageFileKind::Tiff ? TiffPageReader(path).pageCount() : 1;
    return stack;
}

std::string CubeStack::slicePath(std::int32_t i) const
{
    switch (kind_) {
    case Kind::Folder:
        return files_.at(static_cast<std::size_t>(i - 1));
    case Kind::Series:
        return folder_ + std::to_string(i) + extension_;
    default:
        return path_;
    }
}

struct CubeSliceReader::Pages {
    std::optional<TiffPageReader> tiff;
};

CubeSliceReader::CubeSliceReader(const CubeStack& stack) : stack_(stack), pages_(std::make_unique<Pages>())
{
}

CubeSliceReader::~CubeSliceReader() = default;

Bitmap CubeSliceReader::read(std::int32_t i, Bitmap reusable)
{
    if (stack_.kind() != CubeStack::Kind::Pages) {
        const std::string path = stack_.slicePath(i);
        if (imageFileKindOf(path) == ImageFileKind::Png)
            return loadPngReusing(path, std::move(reusable));
        return loadImageFile(path);
    }
    if (stack_.sliceCount() == 1 && i == 1 && !pages_->tiff)
        return loadImageFile(stack_.slicePath(1));
    if (!pages_->tiff)
        pages_->tiff.emplace(stack_.slicePath(1));
    return pages_->tiff->read(i);
}

}  // namespace dimora
