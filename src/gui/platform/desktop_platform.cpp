// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/platform/desktop_platform.hpp"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>

std::optional<QString> DesktopPlatform::askFileName(const FileDialogOptions& dialog, QWidget* parent)
{
    QFileDialog box(parent);
    box.setObjectName(dialog.name);
    box.setOption(QFileDialog::DontUseNativeDialog);
    box.setNameFilter(dialog.filter);
    box.setDefaultSuffix(dialog.defaultExtension);
    if (dialog.kind == FileDialogOptions::Kind::Open) {
        box.setAcceptMode(QFileDialog::AcceptOpen);
        // A typed name need not exist: a missing file fails when it is loaded.
        box.setFileMode(QFileDialog::AnyFile);
    } else {
        box.setAcceptMode(QFileDialog::AcceptSave);
        box.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return std::nullopt;
    return box.selectedFiles().constFirst();
}

void DesktopPlatform::showErrorReport(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Dimora3"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("errorReport"));
    box.exec();
}

QImage DesktopPlatform::clipboardImage()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasImage())
        return {};
    return QApplication::clipboard()->image();
}

void DesktopPlatform::setClipboardImage(const QImage& image)
{
    QApplication::clipboard()->setImage(image);
}

void DesktopPlatform::setClipboardData(const QString& mimeType, const QByteArray& data)
{
    auto* mime = new QMimeData;
    mime->setData(mimeType, data);
    QApplication::clipboard()->setMimeData(mime);
}

void DesktopPlatform::setClipboardText(const QString& text)
{
    QApplication::clipboard()->setText(text);
}

void DesktopPlatform::beep()
{
    QApplication::beep();
}

int DesktopPlatform::screenColourDepth()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->depth() : 32;
}

bool DesktopPlatform::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}
