// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/measure/measurement_results.hpp"

#include "gui/app/windows.hpp"
#include "gui/measure/count_window.hpp"
#include "core/measure/log_log_fit.hpp"
#include "gui/measure/result_window.hpp"

#include <QLineEdit>

void writeResultFields(const dimora::ResultFields& fields)
{
    TForm2& form2 = *windows().form2;
    form2.Edit1->setText(QString::fromStdString(fields.edit1));
    form2.Edit2->setText(QString::fromStdString(fields.edit2));
    form2.Edit3->setText(QString::fromStdString(fields.edit3));
    form2.Edit4->setText(QString::fromStdString(fields.edit4));
}

void showCountReport(const dimora::CountReport& report, std::int32_t width, std::int32_t height)
{
    TForm4& form4 = *windows().form4;
    for (const std::string& line : report.countList)
        form4.appendCountLine(QString::fromStdString(line));
    if (report.zeroReport) {
        writeResultFields(dimora::ShowZeroResult(width, height));
        return;
    }
    const dimora::FitResult fit = dimora::LogLogFit(report.fitPairs);
    writeResultFields(dimora::ShowResult(width, height, report.value2, fit.r, fit.n, fit.dimension));
    form4.recalculate();
}
