// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The objects of a label image: every non-zero sample value is one object,
// with its bounding box and its pixel count, found in one pass; and the mask
// "label = v" of one object, written into a reused mask over its bounding box
// only, so that measuring many objects costs their boxes, not the image's
// area each.

#include "core/image/pixel_mask.hpp"
#include "core/image/region.hpp"
#include "core/image/sample_plane.hpp"

#include <cstdint>
#include <vector>

namespace dimora {

struct LabelledObject {
    std::uint32_t label = 0;
    Region bbox;            // left, top, width, height
    std::int64_t area = 0;  // pixels with this label
};

// The objects in ascending order of their labels. The plane holds integer
// samples (UInt8, UInt16 or UInt32).
[[nodiscard]] std::vector<LabelledObject> findLabelledObjects(const SamplePlane& labels);

// A mask of the labels' size, every pixel outside.
[[nodiscard]] PixelMask blankMaskFor(const SamplePlane& labels);

// Sets the pixels of the object's bounding box in `mask` (of the labels'
// size, outside there) to "label = v", and inside `also` too when given.
void markObject(const SamplePlane& labels, const LabelledObject& object, const PixelMask* also,
                PixelMask& mask);

// Sets the object's bounding box in `mask` back to outside.
void clearObject(const LabelledObject& object, PixelMask& mask);

}  // namespace dimora
