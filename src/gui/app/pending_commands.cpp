// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "app/main_window.hpp"

void TForm1::Open1Click() {}
void TForm1::Saveas1Click() {}
void TForm1::Save1Click() {}
void TForm1::bb1Click() {}
void TForm1::Copy1Click() {}
void TForm1::Paste1Click() {}
void TForm1::FilesDropped(const QStringList&) {}

// Handlers of the image operation, region, slice and help commands that are
// not written yet. Each body moves to the file of its subsystem when the
// command is implemented there.


void TForm1::K1Click() {}
void TForm1::K2Click() {}
void TForm1::K3Click() {}
void TForm1::sikii1Click() {}
void TForm1::reverse1Click() {}
void TForm1::gray2Click() {}
void TForm1::SLIM1Click() {}
void TForm1::median1Click() {}
void TForm1::noise1Click() {}
void TForm1::N2Click() {}
void TForm1::N5Click() {}
void TForm1::SelShape1MouseMove(QMouseEvent*) {}
void TForm1::slice1Click() {}
void TForm1::usage1Click() {}
void TForm1::version1Click() {}
