// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/slices/slice_settings_dialog.hpp"

#include "core/measure/measurement_sequence.hpp"
#include "core/slices/slice_series.hpp"
#include "gui/common/background_run.hpp"
#include "gui/common/command.hpp"
#include "gui/common/fonts.hpp"
#include "gui/common/widget_names.hpp"
#include "gui/common/window_placement.hpp"
#include "gui/common/workspace.hpp"
#include "gui/measure/count_window.hpp"
#include "gui/measure/measurement_windows.hpp"
#include "gui/platform/platform.hpp"
#include "gui/slices/progress_window.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <optional>
#include <stop_token>
#include <utility>

namespace {

// Hides the progress window on every way out of the run.
class ProgressShown {
public:
    explicit ProgressShown(TForm8& window) : window_(window)
    {
        window_.setProgress(0);
        window_.show();
    }
    ~ProgressShown() { window_.hide(); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

private:
    TForm8& window_;
};

}  // namespace

// Qt couples a filter's text and its pattern: "(*png)" shows as written and
// matches the PNG files. Every readable format comes first, so that PNG
// slices show without changing the filter.
QString TForm7::openDialogFilter()
{
    return fileDialogs::allImageFiles() + QStringLiteral(";;") + tr("ビットマップ(*.bmp)") +
           QStringLiteral(";;") + tr("PNGファイル(*png)") + QStringLiteral(";;") +
           tr("TIFFファイル (*.tif *.tiff)") + QStringLiteral(";;") + tr("JPEGファイル (*.jpg *.jpeg)");
}

TForm7::TForm7(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    nameControl(this, "TForm7");
    setWindowTitle(tr("３Ｄスライス２値の設定"));
    setFont(uiFont(kPGothic, 12));
    setFixedSize(353, 229);
    setModal(false);

    Label1 = addLabel(this, "Label1", tr("３Ｄスライス２値画像の最終画像ファイル名（bmp/png）選択"), 8, 8);
    Button1 = new QPushButton(tr("選　択"), this);
    nameControl(Button1, "Button1");
    Button1->setGeometry(8, 28, 75, 25);
    // Enter presses the focused button; elsewhere it presses the run button,
    // the dialog's default.
    Button1->setAutoDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    Label3 = addLabel(this, "Label3", tr("最初のファイル名　　　　最後のファイル名"), 16, 60);
    Label2 = new QLabel(QStringLiteral("1.bmp"), this);
    nameControl(Label2, "Label2");
    Label2->setGeometry(16, 78, 152, 14);
    Label4 = new QLabel(QStringLiteral("1.bmp"), this);
    nameControl(Label4, "Label4");
    Label4->setGeometry(176, 78, 170, 14);

    Label6 = addLabel(this, "Label6", tr("１ピクセルの大きさと画像間の距離を入力"), 8, 104);
    Label7 = addLabel(this, "Label7", tr("ピクセルサイズ（縦横同じ）"), 16, 128);
    Edit2 = new QLineEdit(this);
    nameControl(Edit2, "Edit2");
    Edit2->setGeometry(184, 124, 81, 20);
    Label9 = addLabel(this, "Label9", tr("ｍｍ"), 272, 128);
    Label8 = addLabel(this, "Label8", tr("画像間の距離"), 16, 156);
    Edit3 = new QLineEdit(this);
    nameControl(Edit3, "Edit3");
    Edit3->setGeometry(184, 152, 81, 20);
    Label10 = addLabel(this, "Label10", tr("ｍｍ"), 272, 156);

    BitBtn1 = new QPushButton(tr("実行"), this);
    nameControl(BitBtn1, "BitBtn1");
    BitBtn1->setGeometry(88, 192, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), tr("キャンセル"), this);
    nameControl(BitBtn2, "BitBtn2");
    BitBtn2->setGeometry(184, 192, 75, 25);
    BitBtn2->setAutoDefault(true);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
}

void TForm7::Button1Click()
{
    runCommand(
        [this] {
            const FileDialogOptions dialog{FileDialogOptions::Kind::Open, QStringLiteral("OpenDialog1"),
                                           openDialogFilter(), QStringLiteral("BMP")};
            const std::optional<QString> chosen = platform().askFileName(dialog, this);
            if (!chosen)
                return;
            SliceFileName = *chosen;
            Label2->setText(QString::fromStdString(dimora::firstSliceFileName(SliceFileName.toStdString())));
            Label4->setText(SliceFileName);
        },
        BusyCursor::DontShow);
}

dimora::SliceSeriesSettings TForm7::settings() const
{
    dimora::SliceSeriesSettings settings;
    settings.firstFile = Label2->text().toStdString();
    settings.lastFile = SliceFileName.toStdString();
    settings.pixelSizeText = Edit2->text().toStdString();
    settings.distanceText = Edit3->text().toStdString();
    return settings;
}

void TForm7::BitBtn1Click()
{
    hide();
    if (!runWindows_)
        return;
    runCommand([this, windows = *runWindows_] {
        ProgressShown progress(windows.progress);
        windows.counts.clearCountList();

        dimora::SliceSeriesSettings settings = this->settings();
        settings.selection = windows.workspace.shownSelection();

        // The slices are counted on a worker while the windows stay painted;
        // the user's input waits for the end.
        const RunProgress showProgress = [&windows](std::int32_t done, std::int32_t total) {
            windows.progress.setProgress(dimora::sliceProgressPercent(done, total));
        };

        // The last slice that loaded becomes the working image, also when an
        // error ends the run.
        dimora::SliceRun run;
        const auto adoptRun = [&] {
            if (run.workingImage)
                windows.workspace.setWorkingImage(std::move(*run.workingImage));
            if (run.sliceFileName)
                SliceFileName = QString::fromStdString(*run.sliceFileName);
        };
        dimora::SliceStackCounts counts;
        try {
            BackgroundRun background(InputWhileRunning::Waits);
            background.run(
                [&](const std::stop_token&, const RunProgress& report) {
                    counts = dimora::countSliceStack(settings, run, report);
                },
                showProgress);
        } catch (...) {
            adoptRun();
            throw;
        }
        adoptRun();
        MeasurementWindows sink(windows.counts, windows.results);
        dimora::finishMeasurement(dimora::reportSliceCounts(counts), counts.region.width,
                                  counts.region.height, sink);
    });
}

void TForm7::BitBtn2Click()
{
    hide();
}

void TForm7::reject()
{
    // Esc answers like the cancel button.
    BitBtn2Click();
}

void TForm7::showEvent(QShowEvent* event)
{
    centreOverMainWindow(this);
    QDialog::showEvent(event);
}
