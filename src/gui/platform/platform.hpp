// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// What the windows need from the desktop beyond their own widgets: file
// dialogs, the general error report, the clipboard, the alert beep, the
// screen's colour depth and the browser. Every command reaches them through
// platform(), so that the tests can put a recording stand-in in place of the
// real desktop (setPlatform) and run every command without a human.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class QWidget;

// One file dialog of a window: its name, its filters in the form
// "Description(*.ext)" separated by ";;" (the first one chosen at the start)
// and the extension appended to a typed name without one (in a save dialog,
// the extension of another chosen filter takes its place). A folder dialog
// shows folders only and uses neither filters nor extension.
struct FileDialogOptions {
    enum class Kind { Open, Save, Folder };
    Kind kind = Kind::Open;
    QString name;
    QString filter;
    QString defaultExtension;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Shows an open, save or folder dialog over the parent; the chosen path,
    // or nothing when the user cancels. An open dialog takes any typed name (a
    // missing file fails later, when it is loaded); a save dialog replaces an
    // existing file without asking; a folder dialog returns an existing folder.
    [[nodiscard]] virtual std::optional<QString> askFileName(const FileDialogOptions& dialog,
                                                             QWidget* parent) = 0;

    // Tells the user that the file at path has pageCount pages (more than
    // one) and asks which to open, the first offered: the chosen page
    // (1 = the first, as the command line's --page counts), or nothing when
    // the user cancels.
    [[nodiscard]] virtual std::optional<int> askPage(const QString& path, int pageCount, QWidget* parent) = 0;

    // The general error report: a modal box titled "Dimora3" with the error
    // icon, the text and one OK button. Returns when the user has closed it.
    virtual void showErrorReport(const QString& text) = 0;

    // The clipboard's image, or a null image when it holds none.
    [[nodiscard]] virtual QImage clipboardImage() = 0;
    virtual void setClipboardImage(const QImage& image) = 0;
    // Data of another kind (a metafile) under its MIME type.
    virtual void setClipboardData(const QString& mimeType, const QByteArray& data) = 0;
    virtual void setClipboardText(const QString& text) = 0;

    // The alert beep.
    virtual void beep() = 0;
    // Bits per pixel of the screen; 8 or less means a palette display.
    [[nodiscard]] virtual int screenColourDepth() = 0;
    // Opens the address with the desktop's default handler; false when that failed.
    virtual bool openUrl(const QUrl& url) = 0;
};

// The platform in use: the real desktop unless another was installed.
[[nodiscard]] Platform& platform();

// Makes `replacement` the platform in use until the next call; nullptr puts
// the real desktop back.
void setPlatform(std::unique_ptr<Platform> replacement);

// The names of the program's file dialogs, with their filters and extensions.
namespace fileDialogs {
// The filter of every image file the program reads, offered first wherever
// an image is opened.
[[nodiscard]] QString allImageFiles();
[[nodiscard]] FileDialogOptions openBitmap();  // OpenDialog1
[[nodiscard]] FileDialogOptions saveBitmap();  // SaveDialog1
[[nodiscard]] FileDialogOptions saveG1();      // SaveDialog2
// The count window's exports: the chart as a PNG or SVG image (by the chosen
// name's extension), the count list as CSV.
[[nodiscard]] FileDialogOptions saveChartImage();  // SaveDialog3
[[nodiscard]] FileDialogOptions saveCountsCsv();   // SaveDialog4
// The stack of a cube measurement: an image file (the last of a numbered
// series, or a multi-page TIFF) with the open command's filters and nothing
// appended to a typed name, or a folder of slices.
[[nodiscard]] FileDialogOptions openCubeStack();     // OpenDialog2
[[nodiscard]] FileDialogOptions chooseCubeFolder();  // FolderDialog1
}  // namespace fileDialogs
