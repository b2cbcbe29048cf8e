// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/messages.hpp"

#include <QCoreApplication>

#include <array>

namespace {

// Every message template of the core (dimora::msg and the file error texts)
// and of the windows, with at most one "%s".
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
    QT_TRANSLATE_NOOP("Messages", "フォルダ %s に画像ファイルがありません"),
    QT_TRANSLATE_NOOP("Messages", "スライス %s の大きさが最初のスライスと違います"),
    QT_TRANSLATE_NOOP("Messages", "ボクセルの大きさは正の数でなければなりません"),
    QT_TRANSLATE_NOOP("Messages", "ファイルへのアクセスが拒否されました"),
    QT_TRANSLATE_NOOP("Messages", "ディスクがいっぱいです"),
    QT_TRANSLATE_NOOP("Messages", "I/O エラー (%s)"),
    QT_TRANSLATE_NOOP("Messages", "ビットマップを持っている時のみイメージの変更が可能です"),
    QT_TRANSLATE_NOOP("Messages", "クリップボードはアイコンには対応していません"),
};

}  // namespace

QString translatedMessage(std::string_view message)
{
    QString text = QString::fromUtf8(message.data(), qsizetype(message.size()));
    for (const char* templ : kTemplates) {
        const QString pattern = QString::fromUtf8(templ);
        const qsizetype hole = pattern.indexOf(QStringLiteral("%s"));
        if (hole < 0) {
            if (text == pattern)
                return QCoreApplication::translate("Messages", templ);
            continue;
        }
        const QString before = pattern.left(hole);
        const QString after = pattern.mid(hole + 2);
        if (text.size() >= before.size() + after.size() && text.startsWith(before) && text.endsWith(after)) {
            const QString argument = text.mid(before.size(), text.size() - before.size() - after.size());
            QString translated = QCoreApplication::translate("Messages", templ);
            const qsizetype at = translated.indexOf(QStringLiteral("%s"));
            return at < 0 ? translated : translated.replace(at, 2, argument);
        }
    }
    return text;
}
