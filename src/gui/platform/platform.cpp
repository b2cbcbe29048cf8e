// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/platform/platform.hpp"

#include "gui/platform/desktop_platform.hpp"

#include <QCoreApplication>
#include <QStringList>

namespace {

std::unique_ptr<Platform>& installed()
{
    static std::unique_ptr<Platform> current;
    return current;
}

}  // namespace

Platform& platform()
{
    auto& current = installed();
    if (!current)
        current = std::make_unique<DesktopPlatform>();
    return *current;
}

void setPlatform(std::unique_ptr<Platform> replacement)
{
    installed() = std::move(replacement);
}

namespace fileDialogs {

namespace {

QString joined(const QStringList& filters)
{
    return filters.join(QStringLiteral(";;"));
}

}  // namespace

QString allImageFiles()
{
    return QCoreApplication::translate("fileDialogs", "画像ファイル (*.bmp *.png *.tif *.tiff *.jpg *.jpeg)");
}

FileDialogOptions openBitmap()
{
    return {FileDialogOptions::Kind::Open, QStringLiteral("OpenDialog1"),
            joined({allImageFiles(), QCoreApplication::translate("fileDialogs", "PNGファイル (*.png)"),
                    QCoreApplication::translate("fileDialogs", "TIFFファイル (*.tif *.tiff)"),
                    QCoreApplication::translate("fileDialogs", "JPEGファイル (*.jpg *.jpeg)"),
                    QCoreApplication::translate("fileDialogs", "ビットマップ(*.bmp)")}),
            QStringLiteral("BMP")};
}

FileDialogOptions saveBitmap()
{
    return {FileDialogOptions::Kind::Save, QStringLiteral("SaveDialog1"),
            joined({QCoreApplication::translate("fileDialogs", "ビットマップ(*.bmp)"),
                    QCoreApplication::translate("fileDialogs", "PNGファイル (*.png)")}),
            QStringLiteral("bmp")};
}

FileDialogOptions saveG1()
{
    return {FileDialogOptions::Kind::Save, QStringLiteral("SaveDialog2"),
            QCoreApplication::translate("fileDialogs", "ベタファイル(*.g1)"), QStringLiteral("g1")};
}

FileDialogOptions saveChartImage()
{
    return {FileDialogOptions::Kind::Save, QStringLiteral("SaveDialog3"),
            joined({QCoreApplication::translate("fileDialogs", "PNGファイル (*.png)"),
                    QCoreApplication::translate("fileDialogs", "SVGファイル (*.svg)")}),
            QStringLiteral("png")};
}

FileDialogOptions saveCountsCsv()
{
    return {FileDialogOptions::Kind::Save, QStringLiteral("SaveDialog4"),
            QCoreApplication::translate("fileDialogs", "CSVファイル (*.csv)"), QStringLiteral("csv")};
}

FileDialogOptions openCubeStack()
{
    return {FileDialogOptions::Kind::Open, QStringLiteral("OpenDialog2"), openBitmap().filter, QString()};
}

FileDialogOptions chooseCubeFolder()
{
    return {FileDialogOptions::Kind::Folder, QStringLiteral("FolderDialog1"), QString(), QString()};
}

}  // namespace fileDialogs
