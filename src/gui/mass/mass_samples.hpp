// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The grey masses of the multifractal spectrum in the desktop program. The
// working picture holds 8-bit grey (a 16-bit file gives its high byte), so a
// mass is taken from the picture's file at its own depth, as long as the
// file still holds what the picture shows: its samples, cut to their top 8
// bits, are the picture's grey levels pixel for pixel. A picture changed
// since it was loaded (an image operation, a paste), one of no file, or one
// whose file is no grey PNG or TIFF (or has changed on disk) gives its own
// 8-bit grey levels instead, the red byte as the grayscale dimension reads it.

#include "core/image/bitmap.hpp"
#include "core/image/sample_plane.hpp"

#include <string>

enum class MassSource {
    FileSamples,   // the file's samples at their own depth
    PictureGreys,  // the working picture's 8-bit grey levels
};

struct GreyMasses {
    dimora::SamplePlane samples;
    MassSource source = MassSource::PictureGreys;
};

// True when every sample of the plane, cut to its top 8 bits, is the grey of
// the picture's pixel (red, green and blue bytes all equal to it) and the two
// have one size. Float samples never match: the picture cannot hold them.
[[nodiscard]] bool samplesShowPicture(const dimora::SamplePlane& samples, const dimora::Bitmap& picture);

// The picture's red bytes as 8-bit samples.
[[nodiscard]] dimora::SamplePlane pictureGreys(const dimora::Bitmap& picture);

// The masses of the picture loaded from `file` (empty: none), as the header
// says. A file that cannot be read as grey samples is no error here: the
// picture's own levels are taken.
[[nodiscard]] GreyMasses greyMasses(const dimora::Bitmap& picture, const std::string& file);
