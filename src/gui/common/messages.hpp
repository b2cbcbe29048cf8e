// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The messages of errors come from the core and the windows as Japanese
// texts, filled in from a template such as "ファイル %s は開けません". The
// error report shows them in the language of the windows: a text made from a
// known template is translated with its argument kept (context "Messages");
// any other text stays as it is.

#include <QString>

#include <string_view>

[[nodiscard]] QString translatedMessage(std::string_view message);
