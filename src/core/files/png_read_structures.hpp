// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// libpng's read and info structures for the PNG readers, with the handlers
// they share.
//
// libpng reports an error by calling onPngError, which must not return: it
// jumps back to the reader's setjmp. A long jump skips destructors, so the
// code that runs under the trap (libpng, its callbacks and the reader's
// guarded steps) creates no C++ object with a destructor; everything that
// owns memory is created between the guarded steps.

#include <png.h>

namespace dimora {

[[noreturn]] inline void onPngError(png_structp png, png_const_charp /*message*/)
{
    png_longjmp(png, 1);
}

// Warnings (a damaged ancillary chunk, a bad CRC in one) are not failures and
// must not reach the user.
inline void onPngWarning(png_structp, png_const_charp)
{
}

// The read and info structures, destroyed on every way out.
struct PngReadStructures {
    PngReadStructures()
    {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onPngError, onPngWarning);
        if (png)
            info = png_create_info_struct(png);
    }
    ~PngReadStructures()
    {
        if (png)
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
    PngReadStructures(const PngReadStructures&) = delete;
    PngReadStructures& operator=(const PngReadStructures&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

}  // namespace dimora
