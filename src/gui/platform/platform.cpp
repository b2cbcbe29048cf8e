// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/platform/platform.hpp"

#include "gui/platform/desktop_platform.hpp"

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

FileDialogOptions openBitmap()
{
    return {FileDialogOptions::Kind::Open, QStringLiteral("OpenDialog1"),
            QStringLiteral("画像ファイル (*.bmp *.png *.tif *.tiff *.jpg *.jpeg);;PNGファイル (*.png);;"
                           "TIFFファイル (*.tif *.tiff);;JPEGファイル (*.jpg *.jpeg);;ビットマップ(*.bmp)"),
            QStringLiteral("BMP")};
}

FileDialogOptions saveBitmap()
{
    return {FileDialogOptions::Kind::Save, QStringLiteral("SaveDialog1"),
            QStringLiteral("ビットマップ(*.bmp);;PNGファイル (*.png)"), QStringLiteral("bmp")};
}

FileDialogOptions saveG1()
{
    return {FileDialogOptions::Kind::Save, QStringLiteral("SaveDialog2"),
            QStringLiteral("ベタファイル(*.g1)"), QStringLiteral("g1")};
}

}  // namespace fileDialogs
