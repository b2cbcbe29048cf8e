// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/common/error.hpp"
#include "core/files/g1_writer.hpp"
#include "gui/app/main_window.hpp"
#include "gui/app/windows.hpp"
#include "gui/common/bitmap_qimage.hpp"
#include "gui/common/command.hpp"
#include "gui/imageops/scratch_image_window.hpp"
#include "gui/platform/platform.hpp"

#include <utility>

// Open, save, G1, clipboard and dropped files. A file is loaded once into a
// picture of its own; only when that succeeded do the scratch image and the
// working image take it, so a failed load leaves both as they were.

void TForm1::Open1Click()
{
    const auto path = platform().askFileName(fileDialogs::openBitmap(), this);
    if (!path)
        return;
    openFile(*path);
}

void TForm1::openFile(const QString& path)
{
    const std::optional<int> page = choosePage(path);
    if (!page)
        return;
    currentFileName_ = path;
    runCommand([this, &page] {
        WorkingPicture loaded = loadPictureFile(currentFileName_, *page);
        windows().form6->setScratchPicture(loaded);
        setWorkingPicture(std::move(loaded), currentFileName_);
    });
}

void TForm1::FilesDropped(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    // Only the first file counts; the current file name stays as it was.
    const QString& path = paths.constFirst();
    const std::optional<int> page = choosePage(path);
    if (!page)
        return;
    runCommand([this, &path, &page] {
        WorkingPicture loaded = loadPictureFile(path, *page);
        windows().form6->setScratchPicture(loaded);
        setWorkingPicture(std::move(loaded), path);
    });
}

std::optional<int> TForm1::choosePage(const QString& path)
{
    // The pages are counted before the busy cursor: the question is the
    // user's turn. The page chosen is loaded as --page loads it.
    const int pages = picturePageCount(path);
    if (pages <= 1)
        return 1;
    return platform().askPage(path, pages, this);
}

void TForm1::Saveas1Click()
{
    const auto path = platform().askFileName(fileDialogs::saveBitmap(), this);
    if (!path)
        return;
    currentFileName_ = *path;
    Save1Click();
}

void TForm1::Save1Click()
{
    if (currentFileName_.isEmpty()) {
        Saveas1Click();
        return;
    }
    runCommand([this] {
        savePictureFile(picture_, currentFileName_);
        // The picture is now that file.
        showFileInTitle(currentFileName_);
    });
}

void TForm1::bb1Click()
{
    // A palette display only beeps.
    if (platform().screenColourDepth() <= 8) {
        platform().beep();
        return;
    }
    // Only a bitmap has pixels to write: an icon or a metafile says so before
    // the user is asked for a name.
    if (picture_.kind() != PictureKind::Bitmap) {
        runCommand([this] { (void)std::as_const(picture_).pixels(); }, BusyCursor::DontShow);
        return;
    }
    const auto path = platform().askFileName(fileDialogs::saveG1(), this);
    if (!path)
        return;
    runCommand([this, &path] { dimora::saveG1File(std::as_const(picture_).pixels(), path->toStdString()); });
}

void TForm1::Copy1Click()
{
    runCommand(
        [this] {
            switch (picture_.kind()) {
            case PictureKind::Icon:
                dimora::fail(kIconClipboardMessage);
            case PictureKind::Metafile:
                platform().setClipboardData(picture_.metafileMimeType(), picture_.fileBytes());
                return;
            case PictureKind::Bitmap:
                platform().setClipboardImage(toQImage(std::as_const(picture_).pixels()));
                return;
            }
        },
        BusyCursor::DontShow);
}

void TForm1::Paste1Click()
{
    runCommand(
        [this] {
            const QImage image = platform().clipboardImage();
            if (image.isNull())
                return;
            setWorkingImage(fromQImage(image));
        },
        BusyCursor::DontShow);
}
