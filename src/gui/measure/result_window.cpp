// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/measure/result_window.hpp"

#include "gui/common/fonts.hpp"
#include "gui/common/widget_names.hpp"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

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
