// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/about/about_box.hpp"

#include "core/common/version.hpp"
#include "gui/about/hyperlink_label.hpp"
#include "gui/common/fonts.hpp"
#include "gui/common/toolbar_icons.hpp"
#include "gui/common/widget_names.hpp"
#include "gui/common/window_placement.hpp"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    nameControl(this, "TAboutBox");
    setWindowTitle(tr("バージョン情報"));
    setFont(uiFont(kPGothic, 12));
    setFixedSize(298, 213);

    Panel1 = new QFrame(this);
    nameControl(Panel1, "Panel1");
    Panel1->setGeometry(8, 8, 281, 161);
    // A lowered outer and a raised inner bevel: an etched frame.
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Panel1->setLineWidth(1);
    Panel1->setMidLineWidth(0);

    ProgramIcon = new QLabel(Panel1);
    nameControl(ProgramIcon, "ProgramIcon");
    ProgramIcon->setGeometry(16, 16, 32, 32);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(programIcon().pixmap(32, 32));

    ProductName = new QLabel(QStringLiteral("Dimora3"), Panel1);
    nameControl(ProductName, "ProductName");
    ProductName->setFont(uiFont(kPGothic, 15));
    ProductName->move(88, 16);
    ProductName->adjustSize();

    Version = addLabel(Panel1, "Version",
                       QStringLiteral("Version ") +
                           QString::fromUtf8(dimora::kVersion.data(), qsizetype(dimora::kVersion.size())),
                       152, 40);

    Copyright = new QLabel(QStringLiteral("Copyright (C) 2026 Dimora3 developers"), Panel1);
    nameControl(Copyright, "Copyright");
    Copyright->setGeometry(8, 80, 257, 13);

    Comments = new QLabel(tr("作者：Dimora3 開発者"), Panel1);
    nameControl(Comments, "Comments");
    Comments->setWordWrap(true);
    Comments->setGeometry(96, 104, 138, 13);
    Comments->setFixedHeight(Comments->heightForWidth(138));

    HTLabel1 = new THTLabel(Panel1);
    nameControl(HTLabel1, "HTLabel1");
    HTLabel1->setText(QString::fromUtf8(dimora::kHomepage.data(), qsizetype(dimora::kHomepage.size())));
    QFont linkFont = uiFont(kPGothic, 13);
    linkFont.setUnderline(true);
    HTLabel1->setFont(linkFont);
    QPalette linkPalette = HTLabel1->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    HTLabel1->setPalette(linkPalette);
    HTLabel1->move(64, 128);
    HTLabel1->adjustSize();

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    nameControl(OKButton, "OKButton");
    OKButton->setGeometry(111, 180, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });

    centreOnScreen(this);
}

void TAboutBox::OKButtonClick()
{
    accept();
}
