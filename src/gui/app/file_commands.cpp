// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/app/file_commands.hpp"

#include "core/common/error.hpp"
#include "core/files/g1_writer.hpp"
#include "gui/common/bitmap_qimage.hpp"
#include "gui/common/command.hpp"
#include "gui/common/workspace.hpp"
#include "gui/imageops/scratch_image_window.hpp"
#include "gui/platform/platform.hpp"

#include <QWidget>

#include <utility>

void FileCommands::Open1Click()
{
    const auto path = platform().askFileName(fileDialogs::openBitmap(), &workspace_.mainWindow());
    if (!path)
        return;
    openFile(*path);
}

void FileCommands::load(const QString& path, int page)
{
    WorkingPicture loaded = loadPictureFile(path, page);
    scratch_.setScratchPicture(loaded);
    workspace_.setWorkingPicture(std::move(loaded), path);
}

void FileCommands::openFile(const QString& path)
{
    const std::optional<int> page = choosePage(path);
    if (!page)
        return;
    workspace_.setCurrentFileName(path);
    runCommand([this, &page] { load(workspace_.currentFileName(), *page); });
}

void FileCommands::FilesDropped(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    // Only the first file counts; the current file name stays as it was.
    const QString& path = paths.constFirst();
    const std::optional<int> page = choosePage(path);
    if (!page)
        return;
    runCommand([this, &path, &page] { load(path, *page); });
}

std::optional<int> FileCommands::choosePage(const QString& path)
{
    // The pages are counted before the busy cursor: the question is the
    // user's turn. The page chosen is loaded as --page loads it.
    const int pages = picturePageCount(path);
    if (pages <= 1)
        return 1;
    return platform().askPage(path, pages, &workspace_.mainWindow());
}

void FileCommands::Saveas1Click()
{
    const auto path = platform().askFileName(fileDialogs::saveBitmap(), &workspace_.mainWindow());
    if (!path)
        return;
    workspace_.setCurrentFileName(*path);
    Save1Click();
}

void FileCommands::Save1Click()
{
    if (workspace_.currentFileName().isEmpty()) {
        Saveas1Click();
        return;
    }
    runCommand([this] {
        savePictureFile(workspace_.workingPicture(), workspace_.currentFileName());
        // The picture is now that file.
        workspace_.showFileInTitle(workspace_.currentFileName());
    });
}

void FileCommands::bb1Click()
{
    // A palette display only beeps.
    if (platform().screenColourDepth() <= 8) {
        platform().beep();
        return;
    }
    const WorkingPicture& picture = std::as_const(workspace_).workingPicture();
    // Only a bitmap has pixels to write: an icon or a metafile says so before
    // the user is asked for a name.
    if (picture.kind() != PictureKind::Bitmap) {
        runCommand([&picture] { (void)picture.pixels(); }, BusyCursor::DontShow);
        return;
    }
    const auto path = platform().askFileName(fileDialogs::saveG1(), &workspace_.mainWindow());
    if (!path)
        return;
    runCommand([&picture, &path] { dimora::saveG1File(picture.pixels(), path->toStdString()); });
}

void FileCommands::Exit1Click()
{
    workspace_.mainWindow().close();
}

void FileCommands::Copy1Click()
{
    runCommand(
        [this] {
            const WorkingPicture& picture = std::as_const(workspace_).workingPicture();
            switch (picture.kind()) {
            case PictureKind::Icon:
                dimora::fail(kIconClipboardMessage);
            case PictureKind::Metafile:
                platform().setClipboardData(picture.metafileMimeType(), picture.fileBytes());
                return;
            case PictureKind::Bitmap:
                platform().setClipboardImage(toQImage(picture.pixels()));
                return;
            }
        },
        BusyCursor::DontShow);
}

void FileCommands::Paste1Click()
{
    runCommand(
        [this] {
            const QImage image = platform().clipboardImage();
            if (image.isNull())
                return;
            workspace_.setWorkingImage(fromQImage(image));
        },
        BusyCursor::DontShow);
}
