// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Conversions between the core's bitmaps and Qt's images, for showing the
// working image and for the clipboard.

#include "core/image/bitmap.hpp"

#include <QImage>
#include <QRect>

// The bitmap as a QImage of the same size and colours. 24-bit, 8-bit and 1-bit
// layouts copy their rows as they are (the palettes become colour tables);
// the others are decoded pixel by pixel into 32-bit RGB. Throws
// dimora::Error(invalid bitmap) when Qt cannot allocate the image.
[[nodiscard]] QImage toQImage(const dimora::Bitmap& bitmap);

// The part of the bitmap inside `part` (clipped to the bitmap; a null image
// when nothing is left), as a QImage of that size: what the screen shows of a
// scrolled image. Cost: the pixels of the part only.
[[nodiscard]] QImage toQImage(const dimora::Bitmap& bitmap, const QRect& part);

// A 24-bit bitmap with the image's colours (alpha dropped); a null image
// gives the empty bitmap.
[[nodiscard]] dimora::Bitmap fromQImage(const QImage& image);
