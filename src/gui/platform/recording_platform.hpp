// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// A stand-in for the desktop that records what the commands ask of it and
// answers file dialogs from a queue, so that tests (and scripted runs) can
// drive every command without a human. Install it with
// installRecordingPlatform().

#include "gui/platform/platform.hpp"

#include <QList>
#include <QStringList>

#include <deque>
#include <vector>

class RecordingPlatform : public Platform {
public:
    // Answers for the next file dialogs (open, save and folder alike), in
    // order: a path, or nothing for "cancelled". A dialog shown with the
    // queue empty counts as cancelled.
    std::deque<std::optional<QString>> fileAnswers;
    // Every file dialog shown, in order, and whether the busy cursor was on
    // at each of them.
    std::vector<FileDialogOptions> dialogsShown;
    std::vector<bool> busyCursorAtDialog;

    // Answers for the page questions, in order: a page, or nothing for
    // "cancelled"; a question asked with the queue empty counts as cancelled.
    // Every question asked, with the file and the page count it told.
    struct PageQuestion {
        QString path;
        int pageCount = 0;
    };
    std::deque<std::optional<int>> pageAnswers;
    std::vector<PageQuestion> pageQuestions;

    // The texts of the error reports shown, in order, and whether the busy
    // cursor was still on at each of them.
    QStringList errorReports;
    std::vector<bool> busyCursorAtReport;

    // The clipboard: an image, data of another type, or text (one at a time,
    // as on the desktop).
    QImage clipboard;
    QString clipboardMimeType;
    QByteArray clipboardBytes;
    QString clipboardTextValue;

    int beeps = 0;
    int colourDepth = 24;
    QList<QUrl> urlsOpened;
    bool openUrlSucceeds = true;

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

// Installs a fresh RecordingPlatform as the platform in use and returns it.
RecordingPlatform& installRecordingPlatform();
