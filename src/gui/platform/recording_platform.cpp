// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/platform/recording_platform.hpp"

#include <QGuiApplication>

std::optional<QString> RecordingPlatform::askFileName(const FileDialogOptions& dialog, QWidget*)
{
    dialogsShown.push_back(dialog);
    busyCursorAtDialog.push_back(QGuiApplication::overrideCursor() != nullptr);
    if (fileAnswers.empty())
        return std::nullopt;
    const bool cancelled = !fileAnswers.front().has_value();
    const QString path = cancelled ? QString() : *fileAnswers.front();
    fileAnswers.pop_front();
    if (cancelled)
        return std::nullopt;
    return path;
}

std::optional<int> RecordingPlatform::askPage(const QString& path, int pageCount, QWidget*)
{
    pageQuestions.push_back({path, pageCount});
    if (pageAnswers.empty())
        return std::nullopt;
    const std::optional<int> answer = pageAnswers.front();
    pageAnswers.pop_front();
    return answer;
}

void RecordingPlatform::showErrorReport(const QString& text)
{
    errorReports.append(text);
    busyCursorAtReport.push_back(QGuiApplication::overrideCursor() != nullptr);
}

QImage RecordingPlatform::clipboardImage()
{
    return clipboard;
}

void RecordingPlatform::setClipboardImage(const QImage& image)
{
    clipboard = image;
    clipboardMimeType.clear();
    clipboardBytes.clear();
    clipboardTextValue.clear();
}

void RecordingPlatform::setClipboardData(const QString& mimeType, const QByteArray& data)
{
    clipboard = QImage();
    clipboardMimeType = mimeType;
    clipboardBytes = data;
    clipboardTextValue.clear();
}

void RecordingPlatform::setClipboardText(const QString& text)
{
    clipboard = QImage();
    clipboardMimeType.clear();
    clipboardBytes.clear();
    clipboardTextValue = text;
}

void RecordingPlatform::beep()
{
    ++beeps;
}

int RecordingPlatform::screenColourDepth()
{
    return colourDepth;
}

bool RecordingPlatform::openUrl(const QUrl& url)
{
    urlsOpened.append(url);
    return openUrlSucceeds;
}

RecordingPlatform& installRecordingPlatform()
{
    auto recorder = std::make_unique<RecordingPlatform>();
    auto& installedRecorder = *recorder;
    setPlatform(std::move(recorder));
    return installedRecorder;
}
