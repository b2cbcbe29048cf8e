// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

class QWidget;

// How the browser's window is shown. The desktop's URL handler decides that
// on this platform; the value is kept as a setting of the launcher.
enum class TUrlShowCmd {
    ssHide,
    ssMaximize,
    ssMinimize,
    ssRestore,
    ssShow,
    ssShowDefault,
    ssShowMaximized,
    ssShowMinimized,
    ssShowMinNoActivate,
    ssShowNA,
    ssShowNoActivate,
    ssShowNormal,
};

// A non-visual component that opens an address in the user's default browser.
class TpvlUrl : public QObject {
    Q_OBJECT
public:
    explicit TpvlUrl(QWidget* parent = nullptr);

    [[nodiscard]] const QString& Url() const { return url_; }
    void setUrl(const QString& url) { url_ = url; }
    [[nodiscard]] TUrlShowCmd UrlShowCommand() const { return showCommand_; }
    void setUrlShowCommand(TUrlShowCmd command) { showCommand_ = command; }

    // Opens Url through the desktop (platform().openUrl). Throws
    // dimora::Error("Couldn't launch default browser") when that fails.
    void OpenDefaultBrowser();

private:
    QString url_;
    TUrlShowCmd showCommand_ = TUrlShowCmd::ssShowDefault;
};
