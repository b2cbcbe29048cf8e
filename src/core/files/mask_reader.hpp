// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Reading a mask image and a label image for a measured image of a known
// size.
//
// A mask pixel is inside unless it reads as black (0x000000 by the bitmap's
// reading rules, whatever the file's photometric or palette): the convention
// of ImageJ masks and numpy booleans. A grey PNG or TIFF deeper than 8 bits
// (16-bit, 32-bit unsigned or float) is read at its full depth instead, and
// is inside where its sample is not 0, so a 16-bit mask with small values
// keeps them.
//
// A label image is read at full depth (8- or 16-bit grey PNG or TIFF, 32-bit
// unsigned TIFF); every non-zero value is one object.
//
// Failures throw dimora::Error: the readers' own errors, a float label image
// ("画像ファイル %s を読み込めません"), a colour label image (the sample
// reader's NotGreyImageError), and a size other than the image's:
// "マスク %s の大きさが画像と違います", "ラベル画像 %s の大きさが画像と違います".

#include "core/image/pixel_mask.hpp"
#include "core/image/sample_plane.hpp"

#include <cstdint>
#include <string>

namespace dimora {

[[nodiscard]] PixelMask readPixelMask(const std::string& path, std::int32_t width, std::int32_t height);

[[nodiscard]] SamplePlane readLabelImage(const std::string& path, std::int32_t width, std::int32_t height);

}  // namespace dimora
