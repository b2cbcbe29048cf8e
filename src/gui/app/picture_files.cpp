// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/working_picture.hpp"

#include "core/common/error.hpp"
#include "core/common/replace_file.hpp"
#include "core/files/bmp_reader.hpp"
#include "core/files/bmp_writer.hpp"
#include "core/files/image_file.hpp"
#include "core/files/image_stream.hpp"
#include "core/files/png_writer.hpp"
#include "core/files/tiff_reader.hpp"

#include <QFile>
#include <QFileInfo>

#include <span>
#include <string>
#include <utility>

namespace {

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        dimora::fail(dimora::msg::kCannotOpenFile, path.toStdString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        dimora::fail(dimora::msg::kCannotOpenFile, path.toStdString());
    return bytes;
}

// The extensions, in lower case, of the files read by their content, so a
// PNG named *.jpg still opens.
bool isReadByContent(const QString& kind)
{
    return kind == QLatin1String("png") || kind == QLatin1String("tif") || kind == QLatin1String("tiff") ||
           kind == QLatin1String("jpg") || kind == QLatin1String("jpeg");
}

// Loads a bitmap; an image that only the memory budget keeps from being
// shown is refused with a message that says so and that the command line,
// which reads it a band of rows at a time, measures it.
template <typename Load> WorkingPicture loadBitmapPicture(const std::string& path, int page, Load load)
{
    try {
        return WorkingPicture(load());
    } catch (const dimora::Error&) {
        if (dimora::exceedsMemoryBudget(path, page))
            dimora::fail(dimora::msg::kImageTooLargeToShow, path);
        throw;
    }
}

}  // namespace

WorkingPicture loadPictureFile(const QString& path, int page)
{
    const QString extension = QFileInfo(path).suffix();
    const QString kind = extension.toLower();
    const std::string name = path.toStdString();
    if (kind == QLatin1String("bmp"))
        return loadBitmapPicture(name, 1, [&] { return dimora::loadBmpFile(name); });
    if (isReadByContent(kind))
        return loadBitmapPicture(name, page, [&] { return dimora::loadImageFile(name, page); });
    if (kind == QLatin1String("ico"))
        return WorkingPicture::icon(readWholeFile(path));
    if (kind == QLatin1String("emf") || kind == QLatin1String("wmf"))
        return WorkingPicture::metafile(readWholeFile(path), kind);
    dimora::fail(dimora::msg::kUnknownExtension, extension.toStdString());
}

int picturePageCount(const QString& path)
{
    if (!isReadByContent(QFileInfo(path).suffix().toLower()))
        return 1;
    try {
        const std::string name = path.toStdString();
        if (dimora::imageFileKindOf(name) != dimora::ImageFileKind::Tiff)
            return 1;
        return dimora::TiffPageReader(name).pageCount();
    } catch (const dimora::Error&) {
        return 1;
    }
}

void savePictureFile(const WorkingPicture& picture, const QString& path)
{
    if (picture.kind() == PictureKind::Bitmap) {
        const std::string name = path.toStdString();
        if (dimora::hasPngExtension(name))
            dimora::savePngFile(picture.pixels(), name);
        else
            dimora::saveBmpFile(picture.pixels(), name);
        return;
    }
    const QByteArray& bytes = picture.fileBytes();
    dimora::replaceFile(path.toStdString(),
                        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                  static_cast<std::size_t>(bytes.size())));
}
