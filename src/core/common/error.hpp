// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace dimora {

// The one error type of the program. Its what() is the text the user reads,
// exactly as the program's windows and the command line show it (before the
// full stop that errorReportText adds).
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The message texts that more than one module raises.
namespace msg {
inline constexpr std::string_view kInvalidFloatOperation = "不正な浮動小数点数演算命令";
inline constexpr std::string_view kFloatDivideByZero = "0 による浮動小数点数除算";
inline constexpr std::string_view kNotAnInteger = "'%s' は整数ではありません";
inline constexpr std::string_view kNotAReal = "'%s' は浮動小数点数ではありません";
inline constexpr std::string_view kCannotOpenFile = "ファイル %s は開けません";
inline constexpr std::string_view kCannotCreateFile = "ファイル %s を作成できません";
inline constexpr std::string_view kInvalidBitmap = "ビットマップイメージが不正です";
inline constexpr std::string_view kUnknownExtension = "拡張子 .%s の画像形式は処理できません";
inline constexpr std::string_view kPngOpenPrefix = "Error Opening File ";
inline constexpr std::string_view kPngReadError = "Error Reading File!";
inline constexpr std::string_view kCannotReadImage = "画像ファイル %s を読み込めません";
// An image the desktop program cannot hold for its memory budget, which the
// command line still measures a band of rows at a time.
inline constexpr std::string_view kImageTooLargeToShow =
    "画像ファイル %s は大きすぎて表示できません。コマンドライン (dimora3-cli) なら測定できます";
inline constexpr std::string_view kNoImageFilesInFolder = "フォルダ %s に画像ファイルがありません";
inline constexpr std::string_view kSliceSizeDiffers = "スライス %s の大きさが最初のスライスと違います";
// %s the slice's path, %d its number in the stack (from 1).
inline constexpr std::string_view kCannotReadSlice = "スライス %s (%d 枚目) を読み込めません";
inline constexpr std::string_view kVoxelSizeNotPositive = "ボクセルの大きさは正の数でなければなりません";
inline constexpr std::string_view kVoxelNotSquare = "ボクセルの X と Y は同じ長さでなければなりません";
inline constexpr std::string_view kNotGreyImage = "画像ファイル %s はグレーの PNG か TIFF ではありません";
inline constexpr std::string_view kMaskSizeDiffers = "マスク %s の大きさが画像と違います";
inline constexpr std::string_view kLabelsSizeDiffers = "ラベル画像 %s の大きさが画像と違います";
inline constexpr std::string_view kNoLabelledObjects = "ラベル画像 %s に物体がありません";
}  // namespace msg

// Replaces the first "%s" of a message template with the argument.
[[nodiscard]] std::string formatMessage(std::string_view templ, std::string_view argument);

// Throws Error(formatMessage(templ, argument)).
[[noreturn]] void fail(std::string_view templ, std::string_view argument);
[[noreturn]] void fail(std::string_view message);

// The text of the general error report: the message, with a full stop
// appended when its last character sorts after "." (a letter, a digit or a
// Japanese character; not after "!", ")", a blank or "." itself).
[[nodiscard]] std::string errorReportText(std::string_view message);

}  // namespace dimora
