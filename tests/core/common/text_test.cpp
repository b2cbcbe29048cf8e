// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/common/error.hpp"
#include "core/common/text.hpp"

#include <gtest/gtest.h>

namespace dimora {
namespace {

std::string integerError(std::string_view text)
{
    try {
        (void)parseInteger(text);
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

TEST(ParseInteger, AcceptsBlanksSignAndDigits)
{
    EXPECT_EQ(parseInteger("0"), 0);
    EXPECT_EQ(parseInteger(" 7"), 7);
    EXPECT_EQ(parseInteger("   -20"), -20);
    EXPECT_EQ(parseInteger("+35"), 35);
    EXPECT_EQ(parseInteger("2147483647"), 2147483647);
    EXPECT_EQ(parseInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(parseInteger("007"), 7);
}

TEST(ParseInteger, AcceptsUnsignedHexAfterItsPrefixes)
{
    EXPECT_EQ(parseInteger("$1F"), 31);
    EXPECT_EQ(parseInteger("x10"), 16);
    EXPECT_EQ(parseInteger("0x10"), 16);
    EXPECT_EQ(parseInteger("0XfF"), 255);
    EXPECT_EQ(parseInteger(" $FFFFFFFF"), -1);
    // Leading zeros do not count toward the eight digits.
    EXPECT_EQ(parseInteger("$000000010"), 16);
    EXPECT_EQ(parseInteger("0x0000000000FFFFFFFF"), -1);
}

TEST(ParseInteger64, TakesTheSameSyntaxOverSixtyFourBits)
{
    EXPECT_EQ(parseInteger64(" 2500000000"), 2500000000LL);
    EXPECT_EQ(parseInteger64("+9223372036854775807"), INT64_MAX);
    EXPECT_EQ(parseInteger64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(parseInteger64("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(parseInteger64("x00000000000000000010"), 16);
    EXPECT_EQ(parseInteger64("0x100000000"), 4294967296LL);
    for (const char* text : {"9223372036854775808", "-9223372036854775809", "99999999999999999999",
                             "$10000000000000000", "-$1", "12 ", ""}) {
        try {
            (void)parseInteger64(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' は整数ではありません");
        }
    }
}

TEST(ParseInteger, RefusesEverythingElseWithTheText)
{
    EXPECT_EQ(integerError("abc"), "'abc' は整数ではありません");
    EXPECT_EQ(integerError(""), "'' は整数ではありません");
    EXPECT_EQ(integerError("7 "), "'7 ' は整数ではありません");
    EXPECT_EQ(integerError("   "), "'   ' は整数ではありません");
    EXPECT_EQ(integerError("-"), "'-' は整数ではありません");
    EXPECT_EQ(integerError("1.5"), "'1.5' は整数ではありません");
    EXPECT_EQ(integerError("2147483648"), "'2147483648' は整数ではありません");
    EXPECT_EQ(integerError("-2147483649"), "'-2147483649' は整数ではありません");
    EXPECT_EQ(integerError("-$10"), "'-$10' は整数ではありません");
    EXPECT_EQ(integerError("$"), "'$' は整数ではありません");
    EXPECT_EQ(integerError("$123456789"), "'$123456789' は整数ではありません");
    EXPECT_EQ(integerError("0x"), "'0x' は整数ではありません");
    EXPECT_EQ(integerError("１２"), "'１２' は整数ではありません");
}

TEST(ParseExtended, AcceptsDecimalNumbersWithBlanks)
{
    EXPECT_EQ(parseExtended("0.1"), 0.1L);
    EXPECT_EQ(parseExtended(" 2 "), 2.0L);
    EXPECT_EQ(parseExtended("-.5"), -0.5L);
    EXPECT_EQ(parseExtended("+1e3"), 1000.0L);
    EXPECT_EQ(parseExtended("3."), 3.0L);
}

TEST(ParseExtended, RefusesOtherTextWithItsMessage)
{
    for (const char* text : {"", " ", "abc", "1,5", "1e", ".", "1.2.3", "0x10", "inf", "nan", "1e99999"}) {
        try {
            (void)parseExtended(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' は浮動小数点数ではありません");
        }
    }
}

TEST(ParseExtended, KeepsExtendedPrecision)
{
    // The text is read to extended precision, not to double first.
    EXPECT_NE(parseExtended("0.1"), static_cast<long double>(0.1));
    EXPECT_EQ(static_cast<int>(parseExtended("0.2") / parseExtended("0.1")), 2);
}

TEST(FormatFixed, RoundsTheEighteenDigitExpansionHalfAwayFromZero)
{
    EXPECT_EQ(formatFixed(1.72345, 4), "1.7234");  // 1.72344999...
    EXPECT_EQ(formatFixed(1.72346, 4), "1.7235");
    EXPECT_EQ(formatFixed(0.125, 2), "0.13");
    EXPECT_EQ(formatFixed(-0.125, 2), "-0.13");
    EXPECT_EQ(formatFixed(-0.998765, 4), "-0.9988");
    EXPECT_EQ(formatFixed(12.34, 1), "12.3");
    EXPECT_EQ(formatFixed(100.0, 1), "100.0");
    EXPECT_EQ(formatFixed(255.0, 1), "255.0");
    EXPECT_EQ(formatFixed(2.0, 4), "2.0000");
    EXPECT_EQ(formatFixed(-1.0, 4), "-1.0000");
}

TEST(FormatFixed, HandlesCarriesZeroAndTinyValues)
{
    EXPECT_EQ(formatFixed(9.99995, 4), "10.0000");
    EXPECT_EQ(formatFixed(0.0, 1), "0.0");
    EXPECT_EQ(formatFixed(0.0001, 1), "0.0");
    EXPECT_EQ(formatFixed(-0.00001, 4), "0.0000");
    EXPECT_EQ(formatFixed(0.006, 2), "0.01");
    EXPECT_EQ(formatFixed(0.004, 2), "0.00");
    EXPECT_EQ(formatFixed(1e-300, 4), "0.0000");
}

TEST(FormatFixed, WithoutDecimalsShowsEveryIntegerDigit)
{
    EXPECT_EQ(formatFixed(3.5, 0), "4");
    EXPECT_EQ(formatFixed(6.8, 0), "7");
    EXPECT_EQ(formatFixed(12.6, 0), "13");
    EXPECT_EQ(formatFixed(4.5, 0), "5");
    EXPECT_EQ(formatFixed(0.4, 0), "0");
    EXPECT_EQ(formatFixed(123456789012.5, 0), "123456789013");
}

}  // namespace
}  // namespace dimora
