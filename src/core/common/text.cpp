// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/common/text.hpp"

#include "core/common/error.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace dimora {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string_view skipLeadingBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return text;
}

// Hexadecimal digits to the end of the text, taken as the bit pattern of a
// signed integer of `bits` bits. Leading zeros never count toward the limit of
// bits / 4 digits.
bool parseHex(std::string_view digits, int bits, std::int64_t& out)
{
    if (digits.empty())
        return false;
    std::uint64_t value = 0;
    int significant = 0;
    for (char c : digits) {
        const int v = hexValue(c);
        if (v < 0)
            return false;
        if (value != 0 || v != 0)
            ++significant;
        if (significant > bits / 4)
            return false;
        value = value * 16 + static_cast<std::uint64_t>(v);
    }
    if (bits == 32)
        out = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    else
        out = static_cast<std::int64_t>(value);
    return true;
}

// The integer syntax for a signed range of `bits` bits (32 or 64).
bool parseIntegerText(std::string_view text, int bits, std::int64_t& out)
{
    text = skipLeadingBlanks(text);
    if (text.empty())
        return false;
    if (text.front() == '$' || text.front() == 'x' || text.front() == 'X')
        return parseHex(text.substr(1), bits, out);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return parseHex(text.substr(2), bits, out);

    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    // The magnitude is gathered unsigned: the most negative value has no
    // positive counterpart.
    const std::uint64_t limit = (std::uint64_t{1} << (bits - 1)) - (negative ? 0 : 1);
    std::uint64_t value = 0;
    for (char c : text) {
        if (!isDigit(c))
            return false;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (limit - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    out = negative ? static_cast<std::int64_t>(0 - value) : static_cast<std::int64_t>(value);
    return true;
}

// Checks the shape [blanks][sign]digits[.digits][(e|E)[sign]digits][blanks]
// and returns the number part without the blanks, or an empty view.
std::string_view realNumberPart(std::string_view text)
{
    text = skipLeadingBlanks(text);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    std::size_t i = 0;
    const auto n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t mantissaDigits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++mantissaDigits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return {};
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t exponentDigits = 0;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return {};
    }
    return i == n ? text : std::string_view{};
}

}  // namespace

std::int32_t parseInteger(std::string_view text)
{
    std::int64_t value = 0;
    if (!parseIntegerText(text, 32, value))
        fail(msg::kNotAnInteger, text);
    return static_cast<std::int32_t>(value);
}

std::int64_t parseInteger64(std::string_view text)
{
    std::int64_t value = 0;
    if (!parseIntegerText(text, 64, value))
        fail(msg::kNotAnInteger, text);
    return value;
}

long double parseExtended(std::string_view text)
{
    std::string_view number = realNumberPart(text);
    if (number.empty())
        fail(msg::kNotAReal, text);
    // from_chars takes no leading "+".
    if (number.front() == '+')
        number.remove_prefix(1);
    long double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
        fail(msg::kNotAReal, text);
    return value;
}

std::string formatFixed(double value, int decimals)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (decimals < 0)
        decimals = 0;

    // 18 significant digits, correctly rounded by the C library.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17e", std::fabs(value));
    std::string digits;
    const char* p = buffer;
    for (; *p != 'e'; ++p)
        if (isDigit(*p))
            digits += *p;
    const int exponent = std::atoi(p + 1);  // value = 0.d1d2... × 10^(exponent + 1)

    // Digits kept: those down to the last decimal shown.
    int pointPosition = exponent + 1;  // digits before the decimal point
    const int keep = pointPosition + decimals;
    std::string kept;
    if (keep >= static_cast<int>(digits.size())) {
        kept = digits + std::string(static_cast<std::size_t>(keep) - digits.size(), '0');
    } else if (keep >= 0) {
        kept = digits.substr(0, static_cast<std::size_t>(keep));
        if (digits[static_cast<std::size_t>(keep)] >= '5') {
            int i = keep - 1;
            while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') {
                kept[static_cast<std::size_t>(i)] = '0';
                --i;
            }
            if (i >= 0) {
                ++kept[static_cast<std::size_t>(i)];
            } else {
                kept.insert(kept.begin(), '1');
                ++pointPosition;
            }
        }
    }
    // keep < 0: every digit lies below the rounding position and the first
    // dropped digit is a leading zero, so the value rounds to zero.

    // Place the kept digits: they cover positions from pointPosition down.
    std::string integerPart;
    std::string fraction;
    if (pointPosition > 0) {
        integerPart = kept.substr(0, std::min(kept.size(), static_cast<std::size_t>(pointPosition)));
        if (kept.size() > static_cast<std::size_t>(pointPosition))
            fraction = kept.substr(static_cast<std::size_t>(pointPosition));
    } else {
        integerPart = "0";
        fraction = std::string(static_cast<std::size_t>(std::min(-pointPosition, decimals)), '0') + kept;
    }
    fraction.resize(static_cast<std::size_t>(decimals), '0');
    const auto firstNonZero = integerPart.find_first_not_of('0');
    integerPart = firstNonZero == std::string::npos ? "0" : integerPart.substr(firstNonZero);

    const bool isZero = integerPart == "0" && fraction.find_first_not_of('0') == std::string::npos;
    std::string text = (value < 0 && !isZero) ? "-" : "";
    text += integerPart;
    if (decimals > 0)
        text += "." + fraction;
    return text;
}

}  // namespace dimora
