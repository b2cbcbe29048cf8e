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
