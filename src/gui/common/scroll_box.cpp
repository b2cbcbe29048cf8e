// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/scroll_box.hpp"

#include <QScrollBar>

ScrollBox::ScrollBox(QWidget* parent) : QScrollArea(parent)
{
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Both scroll bars follow the thumb while it is dragged.
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    verticalScrollBar()->setSingleStep(16);
    horizontalScrollBar()->setSingleStep(16);
}

int ScrollBox::horizontalPosition() const
{
    return horizontalScrollBar()->value();
}

int ScrollBox::verticalPosition() const
{
    return verticalScrollBar()->value();
}

void ScrollBox::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    for (QObject* child : viewport()->children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (control != nullptr && control != widget())
            control->move(control->pos() + QPoint(dx, dy));
    }
}
