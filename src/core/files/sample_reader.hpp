// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Grey samples at the depth the file stores them, for the measurements that
// need the values themselves (masses, label images, masks at 16 bits):
//   PNG gray 8 bits        UInt8
//   PNG gray 16 bits       UInt16 (not reduced to the high byte)
//   PNG gray 1, 2, 4 bits  UInt8 widened by bit replication (1-bit white 255)
//   TIFF gray 8 bits       UInt8 (1, 2, 4 bits widened as above)
//   TIFF gray 16 bits      UInt16
//   TIFF gray 32 bits      UInt32 (unsigned integer samples)
//   TIFF gray 32-bit float Float32
// Bilevel files thus give 0 and 255 exactly where the bitmap reads black and
// white. A min-is-white TIFF is inverted as the bitmap reader inverts it
// (v → max − v at the sample's depth); its float samples are kept as stored,
// since a float has no maximum to invert against.
//
// Failures throw dimora::Error:
// - the file cannot be opened: "ファイル <path> は開けません";
// - a damaged or truncated PNG or TIFF, a page that does not exist, signed or
//   complex samples, a size whose samples exceed Bitmap::memoryBudget()
//   (checked before the plane is allocated): "画像ファイル <path> を読み込めません";
// - a file that is not a one-channel grey PNG or TIFF (colour, palette,
//   transparency, BMP, JPEG): NotGreyImageError, whose text is
//   "画像ファイル <path> はグレーの PNG か TIFF ではありません"; a caller that
//   has a message of its own for this case catches it.

#include "core/common/error.hpp"
#include "core/image/sample_plane.hpp"

#include <cstdint>
#include <string>

namespace dimora {

class NotGreyImageError : public Error {
public:
    using Error::Error;
};

// Page `page` (1 = the first; beyond 1 for TIFF only) of the image at path.
[[nodiscard]] SamplePlane loadSamplePlane(const std::string& path, std::int32_t page = 1);

}  // namespace dimora
