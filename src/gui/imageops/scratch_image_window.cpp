// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/imageops/scratch_image_window.hpp"

#include "gui/common/fonts.hpp"
#include "gui/common/widget_names.hpp"

#include <QLabel>
#include <QPixmap>

TForm6::TForm6(QWidget* parent) : QWidget(parent, Qt::Window)
{
    nameControl(this, "TForm6");
    setWindowTitle(tr("フィルタ処理のため"));
    setFont(uiFont(kPGothic, 12));
    setGeometry(310, 619, 241, 206);

    Image1 = new QLabel(this);
    nameControl(Image1, "Image1");
    Image1->setGeometry(8, 8, 49, 49);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TForm6::setScratchPicture(WorkingPicture picture)
{
    picture_ = std::move(picture);
    pictureChanged();
}

void TForm6::pictureChanged()
{
    // The window is never shown in normal use: converting a large picture
    // for a hidden control would only cost time.
    if (isVisible())
        Image1->setPixmap(QPixmap::fromImage(picture_.displayImage()));
}

void TForm6::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    pictureChanged();
}
