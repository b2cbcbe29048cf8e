// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/command.hpp"

#include "core/common/error.hpp"
#include "gui/common/messages.hpp"
#include "gui/platform/platform.hpp"

#include <QApplication>

#include <exception>
#include <optional>
#include <string>
#include <utility>

ScopedBusyCursor::ScopedBusyCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

ScopedBusyCursor::~ScopedBusyCursor()
{
    QApplication::restoreOverrideCursor();
}

namespace {

int commandDepth = 0;

class DepthGuard {
public:
    DepthGuard() { ++commandDepth; }
    ~DepthGuard() { --commandDepth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

// Runs the body as a command; the text of the error that ended it, if any.
std::optional<std::string> runBody(const std::function<void()>& body, BusyCursor busyCursor)
{
    DepthGuard depth;
    std::optional<ScopedBusyCursor> cursor;
    if (busyCursor == BusyCursor::Show)
        cursor.emplace();
    if (commandDepth > 1) {
        body();  // an enclosing command reports what goes wrong
        return std::nullopt;
    }
    try {
        body();
    } catch (const std::exception& error) {
        return error.what();
    }
    return std::nullopt;
}

// The full-stop rule applies to the text in the language shown.
QString reportText(const std::string& failure)
{
    return QString::fromStdString(dimora::errorReportText(translatedMessage(failure).toStdString()));
}

}  // namespace

void runCommand(const std::function<void()>& body, BusyCursor busyCursor)
{
    // The cursor is back before the report.
    if (const std::optional<std::string> failure = runBody(body, busyCursor))
        platform().showErrorReport(reportText(*failure));
}

void runCommandReportingLater(QObject* context, const std::function<void()>& body,
                              std::function<void()> beforeReport)
{
    const std::optional<std::string> failure = runBody(body, BusyCursor::DontShow);
    if (!failure)
        return;
    QMetaObject::invokeMethod(
        context,
        [text = reportText(*failure), beforeReport = std::move(beforeReport)] {
            if (beforeReport)
                beforeReport();
            platform().showErrorReport(text);
        },
        Qt::QueuedConnection);
}

bool commandRunning()
{
    return commandDepth > 0;
}
