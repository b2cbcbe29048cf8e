// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/image/labelled_objects.hpp"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace dimora {
namespace {

template <typename T> std::uint32_t sampleAt(const std::uint8_t* row, std::int32_t x)
{
    T value;
    std::memcpy(&value, row + static_cast<std::size_t>(x) * sizeof(T), sizeof(T));
    return value;
}

std::uint32_t labelAt(const SamplePlane& labels, const std::uint8_t* row, std::int32_t x)
{
    switch (labels.type()) {
    case SampleType::UInt8:
        return row[x];
    case SampleType::UInt16:
        return sampleAt<std::uint16_t>(row, x);
    default:
        return sampleAt<std::uint32_t>(row, x);
    }
}

struct Extent {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;  // right and bottom inclusive
    std::int64_t area = 0;
};

}  // namespace

std::vector<LabelledObject> findLabelledObjects(const SamplePlane& labels)
{
    std::unordered_map<std::uint32_t, Extent> extents;
    for (std::int32_t y = 0; y < labels.height(); ++y) {
        const std::uint8_t* row = labels.row(y);
        std::uint32_t last = 0;
        Extent* extent = nullptr;
        for (std::int32_t x = 0; x < labels.width(); ++x) {
            const std::uint32_t label = labelAt(labels, row, x);
            if (label == 0)
                continue;
            // Runs of one label are common: look it up once per run.
            if (extent == nullptr || label != last) {
                const auto [at, added] = extents.try_emplace(label, Extent{x, y, x, y, 0});
                extent = &at->second;
                last = label;
            }
            extent->left = std::min(extent->left, x);
            extent->right = std::max(extent->right, x);
            extent->bottom = y;
            ++extent->area;
        }
    }
    std::vector<LabelledObject> objects;
    objects.reserve(extents.size());
    for (const auto& [label, e] : extents)
        objects.push_back({label, Region{e.left, e.top, e.right - e.left + 1, e.bottom - e.top + 1}, e.area});
    std::sort(objects.begin(), objects.end(),
              [](const LabelledObject& a, const LabelledObject& b) { return a.label < b.label; });
    return objects;
}

PixelMask blankMaskFor(const SamplePlane& labels)
{
    PixelMask mask;
    mask.width = labels.width();
    mask.height = labels.height();
    mask.inside.assign(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height), 0);
    return mask;
}

void markObject(const SamplePlane& labels, const LabelledObject& object, const PixelMask* also,
                PixelMask& mask)
{
    const Region& box = object.bbox;
    for (std::int32_t y = box.top; y < box.top + box.height; ++y) {
        const std::uint8_t* row = labels.row(y);
        const std::size_t start = static_cast<std::size_t>(y) * static_cast<std::size_t>(mask.width);
        for (std::int32_t x = box.left; x < box.left + box.width; ++x)
            mask.inside[start + static_cast<std::size_t>(x)] =
                labelAt(labels, row, x) == object.label && (also == nullptr || also->at(x, y)) ? 1 : 0;
    }
}

void clearObject(const LabelledObject& object, PixelMask& mask)
{
    const Region& box = object.bbox;
    for (std::int32_t y = box.top; y < box.top + box.height; ++y)
        std::memset(mask.inside.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(mask.width) +
                        static_cast<std::size_t>(box.left),
                    0, static_cast<std::size_t>(box.width));
}

}  // namespace dimora
