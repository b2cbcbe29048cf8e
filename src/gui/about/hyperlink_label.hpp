// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QLabel>
#include <QString>

#include <cstdint>
#include <optional>

class QAction;
class QMenu;

// The colours and the hover rule shared by every link label, as texts of
// three numbers "red,green,blue". Each link label's creation sets them (the
// last created wins); there is no browser setting to read here, so they are
// the usual link colours.
struct LinkColourTexts {
    QString anchor = QStringLiteral("0,0,255");
    QString anchorHover = QStringLiteral("255,0,0");
    QString anchorVisited = QStringLiteral("255,0,255");
    QString useAnchorHover = QStringLiteral("no");
};

// The colour of a text "R,G,B": R before the first comma, G between the first
// and the second, B the rest, each an integer; the value R + G × 256 +
// B × 65536 with the palette-relative flag 0x02000000 added ("0,0,255" gives
// 0x02FF0000). Nothing when the text is not three integers separated by commas.
[[nodiscard]] std::optional<std::uint32_t> ParseColourTriple(const QString& text);

// A label that behaves as a hyperlink: hand cursor, the link colours, a click
// (or the pop-up item "開く(&O)") opens its caption as a web address when it
// begins with "http://" or "https://", else as a mail address; the right
// button shows a pop-up menu with "開く(&O)" and "コピー(&C)" (the caption to
// the clipboard as text). Failures to open end without a message.
class THTLabel : public QLabel {
    Q_OBJECT
public:
    explicit THTLabel(QWidget* parent = nullptr);

    // The program-wide link colours and the hover flag.
    [[nodiscard]] static LinkColourTexts& linkColours();
    [[nodiscard]] static bool hovering();

    [[nodiscard]] QMenu* popupMenu() const { return popup_; }
    [[nodiscard]] QAction* openItem() const { return openItem_; }
    [[nodiscard]] QAction* copyItem() const { return copyItem_; }

    // The label's click: the visited colour, the clicked signal, then the
    // caption opened.
    void Click();
    // Opens a web address, or a mail address through a mailto: address.
    static void OpenLinkTarget(const QString& address, bool isWeb);

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setTextColour(const QString& colourText);

    QMenu* popup_;
    QAction* openItem_;
    QAction* copyItem_;
};
