// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The program's twelve windows over a recording desktop, created for one test
// and destroyed after it, small image helpers and what the windows show.

#include "core/common/error.hpp"
#include "core/files/bmp_writer.hpp"
#include "core/image/bitmap.hpp"
#include "gui/app/file_commands.hpp"
#include "gui/app/main_window.hpp"
#include "gui/app/program.hpp"
#include "gui/measure/result_window.hpp"
#include "gui/platform/recording_platform.hpp"
#include "gui/user_settings_isolation.hpp"

#include <QLineEdit>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string_view>

class ProgramUnderTest {
public:
    ProgramUnderTest()
        : desktop((keepUserSettingsAway(), installRecordingPlatform())), program_(std::make_unique<Program>())
    {
    }
    ~ProgramUnderTest()
    {
        program_.reset();
        setPlatform(nullptr);
    }
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    RecordingPlatform& desktop;

private:
    std::unique_ptr<Program> program_;

public:
    // The windows of the program.
    const Windows& windows = program_->windows();
    [[nodiscard]] TForm1& form1() const { return *windows.form1; }
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

// Writes slices 1 .. count as BMP files into the folder; slice i is
// made by slice(i).
inline void writeBmpSeries(const QString& folder, int count, const std::function<dimora::Bitmap(int)>& slice)
{
    for (int i = 1; i <= count; ++i)
        dimora::saveBmpFile(slice(i), (folder + QStringLiteral("/%1.bmp").arg(i)).toStdString());
}

// The four fields of the result window.
inline QStringList resultFields(const Windows& windows)
{
    const TForm2& form2 = *windows.form2;
    return {form2.Edit1->text(), form2.Edit2->text(), form2.Edit3->text(), form2.Edit4->text()};
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
