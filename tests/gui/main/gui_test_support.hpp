// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Helpers of the desktop program's tests: the program's windows with a
// recording platform, images made in code and written as BMP files, and the
// texts of the windows.

#include "core/files/bmp_writer.hpp"
#include "core/image/bitmap.hpp"
#include "gui/app/file_commands.hpp"
#include "gui/app/main_window.hpp"
#include "gui/app/program.hpp"
#include "gui/measure/count_window.hpp"
#include "gui/measure/result_window.hpp"
#include "gui/platform/recording_platform.hpp"
#include "gui/user_settings_isolation.hpp"

#include <QApplication>
#include <QLineEdit>
#include <QLineSeries>
#include <QScatterSeries>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// Installs a fresh recording platform, creates the program with its twelve
// windows (its settings away from the user's) and shows those of the start;
// the destructor destroys the program and its windows again.
class ProgramWindows {
public:
    ProgramWindows() : recorder((keepUserSettingsAway(), installRecordingPlatform()))
    {
        program.showStartWindows();
    }
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    TForm1& form1() const { return *windows.form1; }
    TForm2& form2() const { return *windows.form2; }
    TForm4& form4() const { return *windows.form4; }
    FileCommands& files() const { return program.files(); }

    RecordingPlatform& recorder;
    Program program;
    const Windows& windows = program.windows();
};

// A 24-bit image of one colour, with the given pixels set to another.
inline dimora::Bitmap filledImage(int width, int height, dimora::Colour colour = dimora::kWhite)
{
    dimora::Bitmap image(width, height, dimora::PixelLayout::rgb24());
    image.fill(colour);
    return image;
}

inline void paintRect(dimora::Bitmap& image, int left, int top, int width, int height, dimora::Colour colour)
{
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            image.setPixel(x, y, colour);
}

// Writes the image as a BMP file in the folder and returns its path.
inline QString writeBmp(const QTemporaryDir& dir, const QString& name, const dimora::Bitmap& image)
{
    const QString path = dir.filePath(name);
    dimora::saveBmpFile(image, path.toStdString());
    return path;
}

// The four fields of the result window.
inline QStringList resultFields(const Windows& windows)
{
    const TForm2& form2 = *windows.form2;
    return {form2.Edit1->text(), form2.Edit2->text(), form2.Edit3->text(), form2.Edit4->text()};
}

inline void setResultFields(const Windows& windows, const QStringList& texts)
{
    TForm2& form2 = *windows.form2;
    form2.Edit1->setText(texts.value(0));
    form2.Edit2->setText(texts.value(1));
    form2.Edit3->setText(texts.value(2));
    form2.Edit4->setText(texts.value(3));
}

// True when no busy cursor is left on.
inline bool cursorIsNormal()
{
    return QApplication::overrideCursor() == nullptr;
}
