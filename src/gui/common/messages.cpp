// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/messages.hpp"

#include <QCoreApplication>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <array>
#include <optional>

namespace {

// Every message template of the core (dimora::msg and the file error texts)
// and of the windows. Their holes are "%s" (any text) and "%d" (decimal
// digits); a translation holds the same holes, in any order of the kinds.
constexpr std::array kTemplates{
    QT_TRANSLATE_NOOP("Messages", "不正な浮動小数点数演算命令"),
    QT_TRANSLATE_NOOP("Messages", "0 による浮動小数点数除算"),
    QT_TRANSLATE_NOOP("Messages", "'%s' は整数ではありません"),
    QT_TRANSLATE_NOOP("Messages", "'%s' は浮動小数点数ではありません"),
    QT_TRANSLATE_NOOP("Messages", "ファイル %s は開けません"),
    QT_TRANSLATE_NOOP("Messages", "ファイル %s を作成できません"),
    QT_TRANSLATE_NOOP("Messages", "ビットマップイメージが不正です"),
    QT_TRANSLATE_NOOP("Messages", "拡張子 .%s の画像形式は処理できません"),
    QT_TRANSLATE_NOOP("Messages", "画像ファイル %s を読み込めません"),
    QT_TRANSLATE_NOOP(
        "Messages",
        "画像ファイル %s は大きすぎて表示できません。コマンドライン (dimora3-cli) なら測定できます"),
    QT_TRANSLATE_NOOP("Messages", "フォルダ %s に画像ファイルがありません"),
    QT_TRANSLATE_NOOP("Messages", "スライス %s の大きさが最初のスライスと違います"),
    QT_TRANSLATE_NOOP("Messages", "スライス %s (%d 枚目) を読み込めません"),
    QT_TRANSLATE_NOOP("Messages", "ボクセルの大きさは正の数でなければなりません"),
    QT_TRANSLATE_NOOP("Messages", "ボクセルの X と Y は同じ長さでなければなりません"),
    QT_TRANSLATE_NOOP("Messages", "領域に占有ピクセルがありません"),
    QT_TRANSLATE_NOOP("Messages", "領域に質量がありません"),
    QT_TRANSLATE_NOOP("Messages", "一辺 %s ピクセルの箱は領域に収まりません"),
    QT_TRANSLATE_NOOP("Messages", "一辺 %s ピクセルの箱はすべて空です"),
    QT_TRANSLATE_NOOP("Messages", "質量に負の値か数でない値があります"),
    QT_TRANSLATE_NOOP("Messages", "q の範囲は 最初 ≦ 最後、刻み > 0 で指定してください"),
    QT_TRANSLATE_NOOP("Messages", "画像ファイル %s はグレーの PNG か TIFF ではありません"),
    QT_TRANSLATE_NOOP("Messages", "マスク %s の大きさが画像と違います"),
    QT_TRANSLATE_NOOP("Messages", "ラベル画像 %s の大きさが画像と違います"),
    QT_TRANSLATE_NOOP("Messages", "ラベル画像 %s に物体がありません"),
    QT_TRANSLATE_NOOP("Messages", "ファイルへのアクセスが拒否されました"),
    QT_TRANSLATE_NOOP("Messages", "ディスクがいっぱいです"),
    QT_TRANSLATE_NOOP("Messages", "I/O エラー (%s)"),
    QT_TRANSLATE_NOOP("Messages", "ビットマップを持っている時のみイメージの変更が可能です"),
    QT_TRANSLATE_NOOP("Messages", "クリップボードはアイコンには対応していません"),
};

// A template cut at its holes: literals[0], hole 0, literals[1], ...,
// literals[holes.size()].
struct Pieces {
    QStringList literals;
    QList<QChar> holes;  // 's' or 'd'
};

Pieces piecesOf(const QString& templ)
{
    Pieces pieces;
    qsizetype from = 0;
    for (qsizetype at = 0; (at = templ.indexOf(QLatin1Char('%'), at)) >= 0 && at + 1 < templ.size(); ++at) {
        const QChar kind = templ[at + 1];
        if (kind != QLatin1Char('s') && kind != QLatin1Char('d'))
            continue;
        pieces.literals.append(templ.mid(from, at - from));
        pieces.holes.append(kind);
        from = at + 2;
        at = from - 1;
    }
    pieces.literals.append(templ.mid(from));
    return pieces;
}

// The hole's texts when `text` was made from the template. An earlier hole
// takes the longest text it can (a path may hold the literal that follows
// it; a number cannot).
std::optional<QStringList> holesOf(const Pieces& pieces, const QString& text)
{
    const QString& first = pieces.literals.first();
    const QString& last = pieces.literals.last();
    if (pieces.holes.isEmpty())
        return text == first ? std::optional(QStringList{}) : std::nullopt;
    if (text.size() < first.size() + last.size() || !text.startsWith(first) || !text.endsWith(last))
        return std::nullopt;
    const QString inner = text.mid(first.size(), text.size() - first.size() - last.size());
    QStringList arguments;
    qsizetype end = inner.size();
    for (qsizetype k = pieces.holes.size() - 1; k > 0; --k) {
        const QString& literal = pieces.literals[k];
        // A negative start would count from the end.
        if (end < literal.size())
            return std::nullopt;
        const qsizetype at = inner.lastIndexOf(literal, end - literal.size());
        if (at < 0)
            return std::nullopt;
        arguments.prepend(inner.mid(at + literal.size(), end - at - literal.size()));
        end = at;
    }
    arguments.prepend(inner.left(end));
    for (qsizetype k = 0; k < pieces.holes.size(); ++k) {
        const QString& argument = arguments[k];
        if (pieces.holes[k] == QLatin1Char('d') &&
            (argument.isEmpty() ||
             !std::all_of(argument.begin(), argument.end(), [](QChar c) { return c.isDigit(); })))
            return std::nullopt;
    }
    return arguments;
}

// The translated template with its holes filled: the n-th "%s" with the n-th
// text of a "%s" hole, and likewise for "%d".
QString filled(const QString& translated, const Pieces& source, const QStringList& arguments)
{
    const Pieces target = piecesOf(translated);
    QString text = target.literals.first();
    qsizetype used[2] = {0, 0};
    for (qsizetype k = 0; k < target.holes.size(); ++k) {
        const QChar kind = target.holes[k];
        qsizetype& n = used[kind == QLatin1Char('d') ? 1 : 0];
        // The n-th source hole of this kind.
        qsizetype seen = 0;
        for (qsizetype i = 0; i < source.holes.size(); ++i)
            if (source.holes[i] == kind && seen++ == n) {
                text += arguments[i];
                break;
            }
        ++n;
        text += target.literals[k + 1];
    }
    return text;
}

}  // namespace

QString translatedMessage(std::string_view message)
{
    QString text = QString::fromUtf8(message.data(), qsizetype(message.size()));
    for (const char* templ : kTemplates) {
        const Pieces pieces = piecesOf(QString::fromUtf8(templ));
        if (const std::optional<QStringList> arguments = holesOf(pieces, text))
            return filled(QCoreApplication::translate("Messages", templ), pieces, *arguments);
    }
    return text;
}
