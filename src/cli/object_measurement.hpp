// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// --mask and --labels: a measurement under a mask, and one row per object of
// a label image.
//
// --labels LABELS: every non-zero label v of the label image (read at full
// depth; IMAGE's size) is measured with the mask "label = v" (and --mask
// when given) over its bounding box, on all cores, the rows in ascending
// order of v, written as batch writes rows (CSV or JSON Lines; --format,
// --output) with label, bbox and area added. Exit status as batch's; a label
// image without objects: a message and exit status 2.
//
// A command takes part by giving its table entry a measureObject: the --json
// object of one object, measured on the image with a region and a mask.

#include "cli/arguments.hpp"
#include "cli/command_table.hpp"

#include "core/image/bitmap.hpp"
#include "core/image/pixel_mask.hpp"
#include "core/image/sample_plane.hpp"

#include <nlohmann/json_fwd.hpp>

#include <memory>
#include <mutex>
#include <string>

namespace dimora::cli {

// The image every object of a run is measured on, read once: its bitmap,
// and its grey samples at full depth when a measurement asks for them.
class ObjectImage {
public:
    ObjectImage(std::string path, std::int32_t page);

    [[nodiscard]] const std::string& path() const { return path_; }
    [[nodiscard]] const Bitmap& bitmap() const { return bitmap_; }
    // Read on first use (from any thread); throws as loadSamplePlane does.
    [[nodiscard]] const SamplePlane& samples() const;

private:
    std::string path_;
    std::int32_t page_;
    Bitmap bitmap_;
    mutable std::once_flag samplesRead_;
    mutable SamplePlane samples_;
};

// The --json object of the dimension measurement `kind` of the image's
// region under the mask (nullptr: none), with maskArea when masked.
[[nodiscard]] nlohmann::json maskedDimensionJson(MeasurementKind kind, const ImageView& view,
                                                 const Region& region, const PixelMask* mask,
                                                 const Arguments& arguments);

// The single dimension command with --mask.
int runMaskedDimension(MeasurementKind kind, const Arguments& arguments, const OutputStreams& streams);

// The command with --labels: its rows, and batch's exit status (2 without
// objects).
int runLabelledObjects(const Command& command, const Arguments& arguments, const OutputStreams& streams);

}  // namespace dimora::cli
