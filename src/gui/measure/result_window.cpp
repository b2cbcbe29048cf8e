// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/measure/result_window.hpp"

#include "gui/common/fonts.hpp"
#include "gui/common/widget_names.hpp"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// The widest texts the fields can be given: a region of 65535 × 65535 pixels,
// a brightness difference of 255, a negative correlation and dimension over
// 14 points, each digit written as the widest digit of the font.
QStringList widestFieldTexts(const QFontMetrics& metrics)
{
    QChar widest = QLatin1Char('0');
    for (char digit = '1'; digit <= '9'; ++digit)
        if (metrics.horizontalAdvance(QLatin1Char(digit)) > metrics.horizontalAdvance(widest))
            widest = QLatin1Char(digit);
    const dimora::ResultFields fields = dimora::ShowResult(65535, 65535, 255.0, -1.0, 14, -1.0);
    QStringList texts;
    for (const std::string& field : {fields.edit1, fields.edit2, fields.edit3, fields.edit4}) {
        QString text = QString::fromStdString(field);
        for (QChar& c : text)
            if (c.isDigit())
                c = widest;
        texts.append(text);
    }
    return texts;
}

// The pixels a line edit gives its text: the contents rectangle within the
// frame the style draws, less the text margins, the 2 pixels that QLineEdit
// keeps free on either side and the cursor's column after the text.
int textRoom(const QLineEdit& edit)
{
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.rect = edit.rect();
    option.lineWidth =
        edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    option.features = QStyleOptionFrame::None;
    const QRect contents = edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit);
    const QMargins margins = edit.textMargins();
    return contents.width() - margins.left() - margins.right() - 2 * 2 - 1;
}

}  // namespace

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    nameControl(this, "TForm2");
    setWindowTitle(tr("結果表示"));
    setFont(uiFont(kPGothic, 12));
    setFixedSize(189, 107);

    const auto label = [this](const char* name, const QString& text, int top) {
        auto* l = new QLabel(text, this);
        nameControl(l, name);
        l->move(8, top);
        l->adjustSize();
        return l;
    };
    const auto field = [this](const char* name, int top) {
        auto* e = new QLineEdit(this);
        nameControl(e, name);
        e->setGeometry(112, top, 73, 20);
        return e;
    };
    Label1 = label("Label1", tr("画像ｻｲｽﾞ（横×縦）"), 16);
    Label2 = label("Label2", tr("被度（％），輝度差"), 40);
    Label3 = label("Label3", tr("相関係数\u3000（ ｎ ）"), 64);
    Label4 = label("Label4", tr("フラクタル次元"), 88);
    Edit1 = field("Edit1", 8);
    Edit2 = field("Edit2", 32);
    Edit3 = field("Edit3", 56);
    Edit4 = field("Edit4", 80);
    // The fields keep their designed 73 pixels: their digits are narrowed as
    // much as the widest values need, so that every value shows whole, its
    // sign and leading blank included.
    const QFont fieldFont = condensedToFit(font(), widestFieldTexts(QFontMetrics(font())), textRoom(*Edit1));
    for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4})
        edit->setFont(fieldFont);

    // Centred on the screen when first shown.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void TForm2::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void TForm2::showFields(const dimora::ResultFields& fields)
{
    Edit1->setText(QString::fromStdString(fields.edit1));
    Edit2->setText(QString::fromStdString(fields.edit2));
    Edit3->setText(QString::fromStdString(fields.edit3));
    Edit4->setText(QString::fromStdString(fields.edit4));
}

void TForm2::showFitFields(const dimora::FitFields& fields)
{
    Edit3->setText(QString::fromStdString(fields.edit3));
    Edit4->setText(QString::fromStdString(fields.edit4));
}
