// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/slices/slice_series.hpp"

#include "core/common/error.hpp"
#include "core/common/text.hpp"

#include <algorithm>
#include <cmath>

namespace dimora {
namespace {

std::string_view folderPart(std::string_view path)
{
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

std::string_view fileNamePart(std::string_view path)
{
    return path.substr(folderPart(path).size());
}

std::string_view extensionOf(std::string_view path)
{
    const std::string_view name = fileNamePart(path);
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return upper(x) == upper(y); });
}

// TIFF and JPEG series keep their extension as the user's files have it.
bool keepsItsExtension(std::string_view extension)
{
    return equalsIgnoringCase(extension, ".tif") || equalsIgnoringCase(extension, ".tiff") ||
           equalsIgnoringCase(extension, ".jpg") || equalsIgnoringCase(extension, ".jpeg");
}

}  // namespace

std::string firstSliceFileName(std::string_view lastFile)
{
    std::string first(folderPart(lastFile));
    const std::string_view extension = extensionOf(lastFile);
    if (keepsItsExtension(extension)) {
        first += '1';
        first += extension;
        return first;
    }
    first += equalsIgnoringCase(extension, ".png") ? "1.png" : "1.bmp";
    return first;
}

SliceFileType sliceFileTypeOf(std::string_view firstFile)
{
    const std::string_view extension = extensionOf(firstFile);
    if (extension == ".png")
        return SliceFileType::Png;
    if (equalsIgnoringCase(extension, ".tif") || equalsIgnoringCase(extension, ".tiff"))
        return SliceFileType::Tiff;
    if (equalsIgnoringCase(extension, ".jpg") || equalsIgnoringCase(extension, ".jpeg"))
        return SliceFileType::Jpeg;
    return SliceFileType::Bmp;
}

std::string slicePath(std::string_view firstFile, std::int32_t i, SliceFileType type)
{
    std::string path(folderPart(firstFile));
    path += std::to_string(i);
    switch (type) {
    case SliceFileType::Png:
        path += ".png";
        break;
    case SliceFileType::Bmp:
        path += ".bmp";
        break;
    default:
        path += extensionOf(firstFile);
        break;
    }
    return path;
}

std::int32_t sliceCountOf(std::string_view lastFile)
{
    std::string_view name = fileNamePart(lastFile);
    name.remove_suffix(extensionOf(lastFile).size());
    return std::min(parseInteger(name), kMaxSlices);
}

std::int32_t sliceSpacing(std::string_view pixelSizeText, std::string_view distanceText)
{
    if (pixelSizeText.empty())
        return 1;
    const long double distance = parseExtended(distanceText);
    const long double pixelSize = parseExtended(pixelSizeText);
    if (pixelSize == 0)
        fail(distance == 0 ? msg::kInvalidFloatOperation : msg::kFloatDivideByZero);
    const long double spacing = std::trunc(distance / pixelSize);
    // Converting a value outside the integer's range is an invalid operation,
    // not a silent wrap.
    if (!(spacing >= INT32_MIN && spacing <= INT32_MAX))
        fail(msg::kInvalidFloatOperation);
    return static_cast<std::int32_t>(spacing);
}

std::int32_t sliceProgressPercent(std::int32_t done, std::int32_t total)
{
    return total <= 0 ? 0 : static_cast<std::int32_t>(std::int64_t{done} * 100 / total);
}

}  // namespace dimora
