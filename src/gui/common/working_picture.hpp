// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The picture of the main window's image control: normally a bitmap (the
// working image), but opening or dropping a file named *.ico or *.emf/*.wmf
// makes it an icon or a metafile, kept as the file's bytes.
//
// Such a picture has no pixels: pixel access fails with
// "ビットマップを持っている時のみイメージの変更が可能です", while asking for the
// image's size (or its bitmap) replaces it by the empty 0 × 0 bitmap first.
//
// Copies share their bitmap until one of them is written: a file that open
// and drop load into both the working image and the scratch image is held
// once, and the copy is made only when a command first changes one of them.
// Reading through a const WorkingPicture never copies.

#include "core/image/bitmap.hpp"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>
#include <string_view>

inline constexpr std::string_view kBitmapOnlyMessage =
    "ビットマップを持っている時のみイメージの変更が可能です";
inline constexpr std::string_view kIconClipboardMessage = "クリップボードはアイコンには対応していません";

enum class PictureKind { Bitmap, Icon, Metafile };

class WorkingPicture {
public:
    // The empty 0 × 0 bitmap.
    WorkingPicture() = default;
    explicit WorkingPicture(dimora::Bitmap bitmap);
    // An icon or a metafile with the bytes of its file; `extension` ("emf" or
    // "wmf") tells the metafile's format.
    [[nodiscard]] static WorkingPicture icon(QByteArray fileBytes);
    [[nodiscard]] static WorkingPicture metafile(QByteArray fileBytes, const QString& extension);

    WorkingPicture(const WorkingPicture&) = default;
    WorkingPicture& operator=(const WorkingPicture&) = default;
    // A picture moved from is left as the empty bitmap.
    WorkingPicture(WorkingPicture&& other) noexcept;
    WorkingPicture& operator=(WorkingPicture&& other) noexcept;
    ~WorkingPicture() = default;

    [[nodiscard]] PictureKind kind() const { return kind_; }

    // The bitmap, to be changed as a whole or in place; an icon or metafile
    // is replaced by the empty bitmap first.
    [[nodiscard]] dimora::Bitmap& bitmap();

    // The bitmap, for pixel writes (and reads). Throws
    // Error(kBitmapOnlyMessage) when the picture is an icon or a metafile.
    [[nodiscard]] dimora::Bitmap& pixels();
    // The same for reading only.
    [[nodiscard]] const dimora::Bitmap& pixels() const;

    // Replaces an icon or metafile by the empty bitmap (what asking for the
    // image's size does); a bitmap stays as it is.
    void dropNonBitmap();

    // The file bytes of an icon or metafile (empty for a bitmap).
    [[nodiscard]] const QByteArray& fileBytes() const { return fileBytes_; }
    // The MIME type under which a metafile goes to the clipboard.
    [[nodiscard]] QString metafileMimeType() const;

    // The whole picture as a QImage: the bitmap's pixels, the icon's image,
    // nothing for a metafile. Costs a full conversion of a bitmap.
    [[nodiscard]] QImage displayImage() const;

    // The icon's picture as Qt decodes it (a null image for a bitmap, a
    // metafile, or an icon Qt cannot decode).
    [[nodiscard]] QImage iconImage() const;

private:
    // Makes the bitmap this picture's own before it is written.
    void detach();

    PictureKind kind_ = PictureKind::Bitmap;
    std::shared_ptr<dimora::Bitmap> bitmap_ = std::make_shared<dimora::Bitmap>();
    QByteArray fileBytes_;
    QString extension_;
};

// Loads a picture by the extension of the path, compared without regard to
// case: "bmp" a bitmap (BMP reader), "png", "tif", "tiff", "jpg", "jpeg" a
// bitmap read by the file's content (dimora::loadImageFile, page `page`),
// "ico" an icon, "emf" and "wmf" a metafile. Throws Error:
// "拡張子 .<ext> の画像形式は処理できません" for any other extension,
// "ファイル <path> は開けません" when the file cannot be read, and the
// readers' own texts for a file they refuse ("ビットマップイメージが不正です",
// "Error Reading File!", "画像ファイル <path> を読み込めません").
[[nodiscard]] WorkingPicture loadPictureFile(const QString& path, int page = 1);

// The pages that loadPictureFile can take from the file: a TIFF's page count
// when its name is one read by content, else 1 (also when the file cannot be
// read: loading it then says why).
[[nodiscard]] int picturePageCount(const QString& path);

// Writes the picture to the path: a bitmap as a PNG file when the name ends in
// ".png" (any case), else as a BMP file in its own pixel layout; an icon or
// metafile as its own file. Replaces an existing file
// without asking; throws Error("ファイル <path> を作成できません") when the
// file cannot be written (an existing file then stays as it was).
void savePictureFile(const WorkingPicture& picture, const QString& path);
