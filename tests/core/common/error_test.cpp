// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/common/error.hpp"

#include <gtest/gtest.h>

namespace dimora {
namespace {

TEST(ErrorReportText, AppendsAFullStopAfterLettersDigitsAndJapanese)
{
    EXPECT_EQ(errorReportText("不正な浮動小数点数演算命令"), "不正な浮動小数点数演算命令.");
    EXPECT_EQ(errorReportText("'abc' は整数ではありません"), "'abc' は整数ではありません.");
    EXPECT_EQ(errorReportText("I/O error 5"), "I/O error 5.");
    EXPECT_EQ(errorReportText("path/"), "path/.");
}

TEST(ErrorReportText, LeavesTextsEndingInPunctuationOrBlank)
{
    EXPECT_EQ(errorReportText("Error Reading File!"), "Error Reading File!");
    EXPECT_EQ(errorReportText("Error Opening File a.png!"), "Error Opening File a.png!");
    EXPECT_EQ(errorReportText("(5)"), "(5)");
    EXPECT_EQ(errorReportText("ends with blank "), "ends with blank ");
    EXPECT_EQ(errorReportText("done."), "done.");
    EXPECT_EQ(errorReportText(""), "");
}

TEST(FormatMessage, ReplacesThePlaceholder)
{
    EXPECT_EQ(formatMessage(msg::kCannotOpenFile, "a b.bmp"), "ファイル a b.bmp は開けません");
    EXPECT_EQ(formatMessage(msg::kUnknownExtension, "jpg"), "拡張子 .jpg の画像形式は処理できません");
    EXPECT_EQ(formatMessage(msg::kInvalidBitmap, "x"), "ビットマップイメージが不正です");
}

}  // namespace
}  // namespace dimora
