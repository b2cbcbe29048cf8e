// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Thinning: reduces every pure black figure to lines one pixel wide, peeling
// black pixels off the figures' borders layer by layer while keeping each
// figure connected, keeping its holes and keeping the end points of lines.
//
// Foreground is a pixel whose colour has all three bytes zero; everything
// else, near-black greys included, is background and never changes, and so
// is everything outside the image (figures touching an edge are thinned as if
// the outside were white). Only foreground pixels are ever written, and only
// with white (the nearest colour the layout holds to white).
//
// The removal test is Hilditch's sequential one, run as a pipeline rather
// than as whole-image passes repeated until nothing changes: the image is
// read once from top to bottom into a window of the 50 newest rows, each new
// row lets passes 1 .. P advance by one row (pass t one row behind pass
// t − 1), and a row is written back when it leaves the window, 49 rows after
// it was read. P starts at 1 and after each row becomes one more than the
// highest pass that removed a pixel in that step, at most 48. So a figure
// loses at most 48 layers from each side (a black square 110 pixels wide
// keeps a solid 14 × 14 core), and on some images the adaptive pass count
// gives a result other than repeating whole-image passes would.
//
// Any width works: the window holds 50 rows of the image's width, as bit
// sets (about 50 × 3 × width / 8 bytes). Cost: one read and at most one write
// of every row; per row and pass a sweep of width / 64 words, plus the
// removal test (a table lookup) for each border pixel.

#include "core/image/bitmap.hpp"

namespace dimora {

void thinFigures(Bitmap& image);

}  // namespace dimora
