// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "app/command.hpp"

#include "common/error.hpp"
#include "platform/platform.hpp"

#include <QApplication>

#include <exception>
#include <optional>
#include <string>

BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
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

} // namespace

void runCommand(const std::function<void()>& body, bool busyCursor)
{
    std::optional<std::string> failure;
    {
        DepthGuard depth;
        std::optional<BusyCursor> cursor;
        if (busyCursor)
            cursor.emplace();
        if (commandDepth > 1) {
            body(); // an enclosing command reports what goes wrong
            return;
        }
        try {
            body();
        } catch (const std::exception& error) {
            failure = error.what();
        }
    }
    if (failure)
        platform().showErrorReport(QString::fromStdString(dimora::errorReportText(*failure)));
}
