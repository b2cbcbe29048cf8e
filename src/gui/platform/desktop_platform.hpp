// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "gui/platform/platform.hpp"

// The real desktop: Qt's own (non-native) file dialogs, starting in the
// folder of the last choice (dialog_folder.hpp), QInputDialog for a page,
// QMessageBox,
// QClipboard, QApplication::beep, the primary screen's depth and
// QDesktopServices.
class DesktopPlatform : public Platform {
public:
    [[nodiscard]] std::optional<QString> askFileName(const FileDialogOptions& dialog,
                                                     QWidget* parent) override;
    [[nodiscard]] std::optional<int> askPage(const QString& path, int pageCount, QWidget* parent) override;
    void showErrorReport(const QString& text) override;
    [[nodiscard]] QImage clipboardImage() override;
    void setClipboardImage(const QImage& image) override;
    void setClipboardData(const QString& mimeType, const QByteArray& data) override;
    void setClipboardText(const QString& text) override;
    void beep() override;
    [[nodiscard]] int screenColourDepth() override;
    bool openUrl(const QUrl& url) override;
};
