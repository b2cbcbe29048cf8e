// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QObject>
#include <QString>
#include <QWidget>

// Gives a window or control its design name: the objectName, and the same
// text as accessible description so that assistive tools and tests can find it.
inline void nameControl(QWidget* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    control->setAccessibleDescription(QString::fromLatin1(name));
}

// For non-widget parts (actions, menus' actions, series) only the objectName.
inline void nameObject(QObject* object, const char* name)
{
    object->setObjectName(QString::fromLatin1(name));
}

// A named label with the given text, placed at (left, top) of its parent and
// sized to its text.
inline QLabel* addLabel(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    nameControl(label, name);
    label->move(left, top);
    label->adjustSize();
    return label;
}
