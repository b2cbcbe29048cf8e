// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/result_fields.hpp"

#include <gtest/gtest.h>

namespace dimora {
namespace {

TEST(ShowResult, WritesTheFourFieldsWithTheirBlankAndDecimals)
{
    const ResultFields fields = ShowResult(640, 480, 12.34, -0.998765, 7, 1.72346);
    EXPECT_EQ(fields.edit1, " 640×480");
    EXPECT_EQ(fields.edit2, " 12.3");
    EXPECT_EQ(fields.edit3, " -0.9988 (7)");
    EXPECT_EQ(fields.edit4, " 1.7235");
}

TEST(ShowResult, ShowsWholeValuesWithTheirDecimals)
{
    const ResultFields full = ShowResult(64, 64, 100.0, -1.0, 5, 2.0);
    EXPECT_EQ(full.edit1, " 64×64");
    EXPECT_EQ(full.edit2, " 100.0");
    EXPECT_EQ(full.edit3, " -1.0000 (5)");
    EXPECT_EQ(full.edit4, " 2.0000");
    EXPECT_EQ(ShowResult(64, 64, 255, -1.0, 4, 2.0).edit2, " 255.0");
    EXPECT_EQ(ShowResult(64, 64, 0, -1.0, 4, 2.0).edit2, " 0.0");
}

TEST(ShowResult, RoundsAFiveAwayFromZero)
{
    const ResultFields fields = ShowResult(3, 4, 0.25, -0.12345, 12, 1.00005);
    EXPECT_EQ(fields.edit2, " 0.3");
    EXPECT_EQ(fields.edit3, " -0.1235 (12)");
    EXPECT_EQ(fields.edit4, " 1.0001");
}

TEST(ShowZeroResult, LeavesTheCorrelationEmptyWithoutABlank)
{
    const ResultFields fields = ShowZeroResult(1000, 1000);
    EXPECT_EQ(fields.edit1, " 1000×1000");
    EXPECT_EQ(fields.edit2, " 0");
    EXPECT_EQ(fields.edit3, "");
    EXPECT_EQ(fields.edit4, " 0");
}

TEST(RegionSizeText, UsesTheMultiplicationSignAndPlainIntegers)
{
    EXPECT_EQ(regionSizeText(-5, 10), " -5×10");
    EXPECT_EQ(regionSizeText(0, 0), " 0×0");
    EXPECT_EQ(regionSizeText(16384, 12288), " 16384×12288");
    // "×" is U+00D7, two bytes in UTF-8.
    EXPECT_EQ(regionSizeText(1, 2), " 1\xC3\x97"
                                    "2");
}

TEST(FitFieldTexts, AreTheLastTwoFieldsOfShowResult)
{
    const FitFields fit = fitFieldTexts(-0.87654, 3, 1.23456);
    const ResultFields all = ShowResult(10, 10, 50, -0.87654, 3, 1.23456);
    EXPECT_EQ(fit.edit3, " -0.8765 (3)");
    EXPECT_EQ(fit.edit4, " 1.2346");
    EXPECT_EQ(fit.edit3, all.edit3);
    EXPECT_EQ(fit.edit4, all.edit4);
}

}  // namespace
}  // namespace dimora
