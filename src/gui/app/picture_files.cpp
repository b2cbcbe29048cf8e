// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/working_picture.hpp"

#include "core/common/error.hpp"
#include "core/common/replace_file.hpp"
#include "core/files/bmp_reader.hpp"
#include "core/files/bmp_writer.hpp"

#include <QFile>
#include <QFileInfo>

#include <span>
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

}  // namespace

WorkingPicture loadPictureFile(const QString& path)
{
    const QString extension = QFileInfo(path).suffix();
    const QString kind = extension.toLower();
    if (kind == QLatin1String("bmp"))
        return WorkingPicture(dimora::loadBmpFile(path.toStdString()));
    if (kind == QLatin1String("ico"))
        return WorkingPicture::icon(readWholeFile(path));
    if (kind == QLatin1String("emf") || kind == QLatin1String("wmf"))
        return WorkingPicture::metafile(readWholeFile(path), kind);
    dimora::fail(dimora::msg::kUnknownExtension, extension.toStdString());
}

void savePictureFile(const WorkingPicture& picture, const QString& path)
{
    if (picture.kind() == PictureKind::Bitmap) {
        dimora::saveBmpFile(picture.pixels(), path.toStdString());
        return;
    }
    const QByteArray& bytes = picture.fileBytes();
    dimora::replaceFile(path.toStdString(),
                        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                  static_cast<std::size_t>(bytes.size())));
}
