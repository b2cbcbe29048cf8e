// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The program's ten windows over a recording desktop, created for one test
// and destroyed after it, and small image helpers.

#include "core/common/error.hpp"
#include "core/image/bitmap.hpp"
#include "gui/app/main_window.hpp"
#include "gui/app/windows.hpp"
#include "gui/platform/recording_platform.hpp"

#include <QString>

#include <functional>
#include <string_view>

class ProgramUnderTest {
public:
    ProgramUnderTest() : desktop(installRecordingPlatform()) { createWindows(); }
    ~ProgramUnderTest()
    {
        destroyWindows();
        setPlatform(nullptr);
    }
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    RecordingPlatform& desktop;
    [[nodiscard]] TForm1& form1() const { return *windows().form1; }
};

// A 24-bit bitmap whose pixel (x, y) has the colour colourAt(x, y).
inline dimora::Bitmap makeBitmap(int width, int height,
                                 const std::function<dimora::Colour(int, int)>& colourAt)
{
    dimora::Bitmap bitmap(width, height, dimora::PixelLayout::rgb24());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.setPixel(x, y, colourAt(x, y));
    return bitmap;
}

// The text of the general error report of a message with one argument.
inline QString reportOf(std::string_view templ, std::string_view argument)
{
    return QString::fromStdString(dimora::errorReportText(dimora::formatMessage(templ, argument)));
}

inline QString reportOf(std::string_view message)
{
    return QString::fromStdString(dimora::errorReportText(message));
}
