// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Number conversions of user text and the number formats of the result
// windows. These are the old platform's rules, kept exactly because users
// compare the texts with earlier results.

#include <cstdint>
#include <string>
#include <string_view>

namespace dimora {

// Integer conversion: optional leading blanks, an optional "+" or "-", then
// decimal digits to the end of the text; or, without a sign, a hexadecimal
// number after "$", "x" or "0x" (up to 8 hex digits, leading zeros not
// counted, taken as the 32-bit pattern). Anything else, an empty text,
// trailing blanks and values outside 32 bits included, throws
// Error("'<text>' は整数ではありません").
[[nodiscard]] std::int32_t parseInteger(std::string_view text);

// The same syntax over the signed 64-bit range (hexadecimal up to 16
// significant digits, taken as the 64-bit pattern). Count lists are read with
// it, because the measurements write 64-bit counts.
[[nodiscard]] std::int64_t parseInteger64(std::string_view text);

// Real conversion in extended precision: optional blanks around a decimal
// number with an optional sign, fraction and exponent ("1", "-2.5", ".5",
// "1e-3"). Anything else throws Error("'<text>' は浮動小数点数ではありません").
[[nodiscard]] long double parseExtended(std::string_view text);

// Fixed notation with the given number of decimals: the value's decimal
// expansion to 18 significant digits is rounded at the last decimal shown, a
// first dropped digit of 5 or more rounding away from zero. At least one digit
// stands before the point; no point when decimals is 0. A value that rounds to
// zero shows no minus sign.
[[nodiscard]] std::string formatFixed(double value, int decimals);

}  // namespace dimora
