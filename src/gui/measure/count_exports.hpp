// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The count window's exports as the bytes of their files: the chart as a PNG
// or SVG image and the count list as CSV. Saving them is the caller's part.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QChartView;

// The least width of an exported PNG chart, in pixels.
inline constexpr int kChartImageWidth = 1600;

// Whether a chosen file name asks for SVG (its extension is .svg, in any
// case); every other name gets PNG.
[[nodiscard]] bool wantsSvg(const QString& path);

// The exported chart is the charts as their views draw them (points, fitted
// line, axes and their titles, without the views' frames), one under the
// other in the order given (the log-log chart, then the local slopes when
// they are shown), with a caption under them:
// one line per non-empty text of `caption` (the fit's "D = … ± …" line, the
// measured image's file name), in the view's font. Every text is written as
// one run in the installed family of its font, as the window shows it.

// As PNG, scaled to `width` pixels wide with the height in proportion.
[[nodiscard]] QByteArray chartPng(const QList<QChartView*>& views, const QStringList& caption,
                                  int width = kChartImageWidth);

// As SVG at the views' size, with the given title; each text is one <text>
// element whose font-family names the installed family and a generic one
// ("'IPAPMincho', serif").
[[nodiscard]] QByteArray chartSvg(const QList<QChartView*>& views, const QString& title,
                                  const QStringList& caption);

// The count list as CSV, as dimora::countListCsv writes it, in UTF-8.
[[nodiscard]] QByteArray countsCsv(const QStringList& lines);
