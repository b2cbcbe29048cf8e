// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The image operations that prepare a picture for measurement. What they
// share:
//
// - Each rewrites a Bitmap in place over the whole image; none takes a
//   region. An empty image stays as it is.
// - Pixels are read as colours 0x00BBGGRR and written as colours: the layout
//   (bit depth, palette, masks, row order) never changes, and a layout that
//   cannot hold a written colour stores the nearest one it holds (palette:
//   smallest squared RGB distance, first entry on a tie; masked words: the
//   top bits of each channel). Alpha and unused bits of masked words, and
//   bits past the end of a row, are kept.
// - A position outside the image reads as the invalid colour 0xFFFFFFFF, −1
//   as a signed integer, where an operation looks past the edge.
// - Results are exactly those of reading and writing one pixel at a time in
//   the order each operation states; the operations get there row by row.
// - Only the median filter throws Error("ビットマップイメージが不正です"), when
//   its scratch copy cannot be allocated; any operation may throw
//   std::bad_alloc when memory for its row buffers runs out.

#include "core/imageops/colour_extraction.hpp"
#include "core/imageops/dot_removal.hpp"
#include "core/imageops/grayscale.hpp"
#include "core/imageops/inversion.hpp"
#include "core/imageops/median_filter.hpp"
#include "core/imageops/percent_conversion.hpp"
#include "core/imageops/thinning.hpp"
