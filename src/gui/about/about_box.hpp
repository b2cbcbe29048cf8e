// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class THTLabel;

// The about box: the program's icon, name and version, a copyright line, an
// author line and a link to the program's web page. Shown modally; "OK" (the
// default button) closes it.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QFrame* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;
    QLabel* Comments;
    THTLabel* HTLabel1;
    QPushButton* OKButton;

    // Closes the box with the result OK.
    void OKButtonClick();
};
