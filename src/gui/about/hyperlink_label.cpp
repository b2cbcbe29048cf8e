// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/about/hyperlink_label.hpp"

#include "core/common/error.hpp"
#include "core/common/text.hpp"
#include "gui/platform/platform.hpp"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QUrl>

namespace {

bool hoverFlag = false;

}  // namespace

std::optional<std::uint32_t> ParseColourTriple(const QString& text)
{
    const qsizetype first = text.indexOf(QLatin1Char(','));
    const qsizetype second = first < 0 ? -1 : text.indexOf(QLatin1Char(','), first + 1);
    if (second < 0)
        return std::nullopt;
    try {
        const auto red = static_cast<std::uint32_t>(dimora::parseInteger(text.left(first).toStdString()));
        const auto green = static_cast<std::uint32_t>(
            dimora::parseInteger(text.mid(first + 1, second - first - 1).toStdString()));
        const auto blue =
            static_cast<std::uint32_t>(dimora::parseInteger(text.mid(second + 1).toStdString()));
        return red + green * 256u + blue * 65536u + 0x02000000u;
    } catch (const dimora::Error&) {
        return std::nullopt;
    }
}

LinkColourTexts& THTLabel::linkColours()
{
    static LinkColourTexts texts;
    return texts;
}

bool THTLabel::hovering()
{
    return hoverFlag;
}

THTLabel::THTLabel(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("THTLabel"));
    linkColours() = LinkColourTexts{};
    setCursor(Qt::PointingHandCursor);
    hoverFlag = false;

    popup_ = new QMenu(this);
    openItem_ = popup_->addAction(tr("開く(&O)"));
    copyItem_ = popup_->addAction(tr("コピー(&C)"));
    popup_->setDefaultAction(openItem_);
    connect(openItem_, &QAction::triggered, this, [this] { Click(); });
    connect(copyItem_, &QAction::triggered, this, [this] { platform().setClipboardText(text()); });
}

void THTLabel::setTextColour(const QString& colourText)
{
    const std::optional<std::uint32_t> value = ParseColourTriple(colourText);
    if (!value)
        return;  // keep the colour the label has
    const QColor colour(static_cast<int>(*value & 0xFF), static_cast<int>(*value >> 8 & 0xFF),
                        static_cast<int>(*value >> 16 & 0xFF));
    if (palette().color(QPalette::WindowText) != colour) {
        QPalette changed = palette();
        changed.setColor(QPalette::WindowText, colour);
        setPalette(changed);
    }
}

void THTLabel::enterEvent(QEnterEvent* event)
{
    hoverFlag = true;
    update();
    QLabel::enterEvent(event);
}

void THTLabel::leaveEvent(QEvent* event)
{
    hoverFlag = false;
    update();
    QLabel::leaveEvent(event);
}

void THTLabel::paintEvent(QPaintEvent* event)
{
    const LinkColourTexts& texts = linkColours();
    const bool hoverStyle = texts.useAnchorHover == QStringLiteral("yes");
    QFont styled = font();
    if (!hoverFlag) {
        setTextColour(texts.anchor);
        styled.setUnderline(!hoverStyle);
    } else {
        setTextColour(texts.anchorHover);
        if (hoverStyle)
            styled.setUnderline(true);
    }
    if (styled != font())
        setFont(styled);
    QLabel::paintEvent(event);
}

void THTLabel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::RightButton)
        popup_->popup(event->globalPosition().toPoint());
}

void THTLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Click();
}

void THTLabel::Click()
{
    setTextColour(linkColours().anchorVisited);
    emit clicked();
    const QString address = text();
    const bool isWeb =
        address.startsWith(QStringLiteral("http://")) || address.startsWith(QStringLiteral("https://"));
    OpenLinkTarget(address, isWeb);
}

void THTLabel::OpenLinkTarget(const QString& address, bool isWeb)
{
    if (isWeb) {
        platform().openUrl(QUrl(address));
        return;
    }
    // A mail program takes the bare address; the desktop needs it as a mailto: address.
    const QString mail = address.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive)
                             ? address
                             : QStringLiteral("mailto:") + address;
    platform().openUrl(QUrl(mail));
}
