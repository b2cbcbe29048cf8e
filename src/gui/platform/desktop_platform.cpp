// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/platform/desktop_platform.hpp"

#include "gui/platform/dialog_folder.hpp"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>

namespace {

// The extension that a save appends to a typed name without one: the
// dialog's own under its first filter, else that of the chosen filter's first
// pattern (a save as PNG appends "png").
QString saveExtension(const FileDialogOptions& dialog, const QString& chosenFilter)
{
    const QStringList filters = dialog.filter.split(QStringLiteral(";;"));
    const qsizetype dot = chosenFilter.indexOf(QStringLiteral("(*."));
    if (filters.indexOf(chosenFilter) <= 0 || dot < 0)
        return dialog.defaultExtension;
    const qsizetype start = dot + 3;
    qsizetype end = start;
    while (end < chosenFilter.size() && chosenFilter.at(end).isLetterOrNumber())
        ++end;
    return chosenFilter.mid(start, end - start);
}

}  // namespace

std::optional<QString> DesktopPlatform::askFileName(const FileDialogOptions& dialog, QWidget* parent)
{
    // Every dialog starts where the user last chose something, also in an
    // earlier run.
    const QString startFolder = lastDialogFolder();
    if (dialog.kind == FileDialogOptions::Kind::Folder) {
        const QString folder = QFileDialog::getExistingDirectory(
            parent, QString(), startFolder, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
        if (folder.isEmpty())
            return std::nullopt;
        rememberDialogChoice(folder, dialog.kind);
        return folder;
    }
    QFileDialog box(parent);
    box.setObjectName(dialog.name);
    box.setOption(QFileDialog::DontUseNativeDialog);
    if (!startFolder.isEmpty())
        box.setDirectory(startFolder);
    box.setNameFilter(dialog.filter);
    if (dialog.kind == FileDialogOptions::Kind::Open) {
        box.setDefaultSuffix(dialog.defaultExtension);
        box.setAcceptMode(QFileDialog::AcceptOpen);
        // A typed name need not exist: a missing file fails when it is loaded.
        box.setFileMode(QFileDialog::AnyFile);
    } else {
        box.setAcceptMode(QFileDialog::AcceptSave);
        box.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = box.selectedFiles().constFirst();
    rememberDialogChoice(chosen, dialog.kind);
    if (dialog.kind == FileDialogOptions::Kind::Open || !QFileInfo(chosen).suffix().isEmpty())
        return chosen;
    return chosen + QLatin1Char('.') + saveExtension(dialog, box.selectedNameFilter());
}

std::optional<int> DesktopPlatform::askPage(const QString& path, int pageCount, QWidget* parent)
{
    QInputDialog box(parent);
    box.setObjectName(QStringLiteral("PageDialog1"));
    box.setWindowTitle(QCoreApplication::translate("DesktopPlatform", "ページの選択"));
    box.setInputMode(QInputDialog::IntInput);
    box.setIntRange(1, pageCount);
    box.setIntValue(1);
    box.setLabelText(
        QCoreApplication::translate("DesktopPlatform", "%1 には %2 ページあります。\n開くページ:")
            .arg(QFileInfo(path).fileName())
            .arg(pageCount));
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.intValue();
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
