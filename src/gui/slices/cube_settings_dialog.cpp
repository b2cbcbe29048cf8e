// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/slices/cube_settings_dialog.hpp"

#include "core/common/error.hpp"
#include "core/common/text.hpp"
#include "core/measure/measurement_sequence.hpp"
#include "core/slices/cube_count.hpp"
#include "core/slices/cube_stack.hpp"
#include "gui/common/background_run.hpp"
#include "gui/common/command.hpp"
#include "gui/common/fonts.hpp"
#include "gui/common/messages.hpp"
#include "gui/common/widget_names.hpp"
#include "gui/common/window_placement.hpp"
#include "gui/common/workspace.hpp"
#include "gui/measure/count_window.hpp"
#include "gui/measure/measurement_windows.hpp"
#include "gui/platform/platform.hpp"
#include "gui/slices/cube_progress_window.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include <cmath>
#include <exception>
#include <optional>
#include <stop_token>

namespace {

constexpr int kWidth = 414;
constexpr int kHeight = 241;

QLineEdit* addEdit(QWidget* parent, const char* name, int left, int top, int width)
{
    auto* edit = new QLineEdit(parent);
    nameControl(edit, name);
    edit->setGeometry(left, top, width, 20);
    return edit;
}

// A line that shows a path like a label, but scrolls a long one (to its end,
// the file's name, when it is set) instead of cutting it.
QLineEdit* addPathLine(QWidget* parent, const char* name, int left, int top, int width)
{
    QLineEdit* line = addEdit(parent, name, left, top, width);
    line->setReadOnly(true);
    line->setFrame(false);
    line->setFocusPolicy(Qt::ClickFocus);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    line->setPalette(palette);
    return line;
}

QPushButton* addButton(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* button = new QPushButton(text, parent);
    nameControl(button, name);
    button->setGeometry(left, top, 75, 25);
    // Enter presses the focused button; elsewhere it presses the run button,
    // the dialog's default.
    button->setAutoDefault(true);
    return button;
}

// One edge of the voxel in mm: a real number, a length also once it is a
// double.
double voxelEdge(const QLineEdit* edit)
{
    const auto value = static_cast<double>(dimora::parseExtended(edit->text().toStdString()));
    if (!dimora::isVoxelEdge(value))
        dimora::fail(dimora::msg::kVoxelSizeNotPositive);
    return value;
}

// Shows the progress window for the lifetime of the object.
class ProgressShown {
public:
    ProgressShown(CubeProgressWindow& window, int total) : window_(window)
    {
        window_.start(total);
        window_.show();
    }
    ~ProgressShown() { window_.hide(); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

private:
    CubeProgressWindow& window_;
};

// Counts the stack on a worker thread while the GUI thread serves the
// windows: the progress window advances and its stop button works, the
// other windows are painted but blocked by its modality. Nothing when the
// user stopped the run (also when the last slice was counted meanwhile); the
// run's own error is thrown again here.
std::optional<dimora::CubeStackCounts> countOnWorker(const dimora::CubeSettings& settings,
                                                     CubeProgressWindow& window)
{
    BackgroundRun background(InputWhileRunning::Served);
    QObject::connect(&window, &CubeProgressWindow::stopRequested, &background,
                     [&background] { background.requestStop(); });
    std::optional<dimora::CubeStackCounts> counts;
    try {
        background.run(
            [&](const std::stop_token& stop, const RunProgress& report) {
                counts = dimora::countCubeStack(settings, report, stop);
            },
            [&window](std::int32_t done, std::int32_t total) { window.setProgress(done, total); });
    } catch (const dimora::CubeRunStopped&) {
        // Nothing to report: the user asked for it.
    } catch (...) {
        // Once stopped, the run writes nothing, whatever ended it.
        if (!background.stopRequested())
            throw;
    }
    if (background.stopRequested())
        return std::nullopt;
    return counts;
}

}  // namespace

CubeSettingsDialog::CubeSettingsDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    nameControl(this, "CubeSettingsDialog");
    setWindowTitle(tr("３Ｄ立方体ボックスカウント"));
    setFont(uiFont(kPGothic, 12));
    setFixedSize(kWidth, kHeight);
    setModal(false);

    StackLabel =
        addLabel(this, "StackLabel", tr("スライスの積み重ね（フォルダ、連番、複数ページTIFF）"), 8, 8);
    StackEdit = addEdit(this, "StackEdit", 8, 30, 236);
    connect(StackEdit, &QLineEdit::textChanged, this, [this] { showStack(); });
    FileButton = addButton(this, "FileButton", tr("ファイル..."), 250, 28);
    connect(FileButton, &QPushButton::clicked, this, [this] { FileButtonClick(); });
    FolderButton = addButton(this, "FolderButton", tr("フォルダ..."), 331, 28);
    connect(FolderButton, &QPushButton::clicked, this, [this] { FolderButtonClick(); });

    FirstSliceCaption = addLabel(this, "FirstSliceCaption", tr("最初のスライス"), 16, 64);
    FirstSliceEdit = addPathLine(this, "FirstSliceEdit", 104, 61, 302);
    LastSliceCaption = addLabel(this, "LastSliceCaption", tr("最後のスライス"), 16, 86);
    LastSliceEdit = addPathLine(this, "LastSliceEdit", 104, 83, 302);
    SliceCountLabel = new QLabel(this);
    nameControl(SliceCountLabel, "SliceCountLabel");
    SliceCountLabel->setGeometry(16, 106, 390, 30);
    SliceCountLabel->setWordWrap(true);
    SliceCountLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    PixelSizeLabel = addLabel(this, "PixelSizeLabel", tr("画素の大きさ (mm)"), 16, 148);
    PixelSizeEdit = addEdit(this, "PixelSizeEdit", 184, 144, 81);
    PixelSizeEdit->setText(QStringLiteral("1"));
    SliceDistanceLabel = addLabel(this, "SliceDistanceLabel", tr("スライスの間隔 (mm)"), 16, 176);
    SliceDistanceEdit = addEdit(this, "SliceDistanceEdit", 184, 172, 81);
    SliceDistanceEdit->setText(QStringLiteral("1"));

    RunButton = addButton(this, "RunButton", tr("実行"), 121, 206);
    RunButton->setDefault(true);
    connect(RunButton, &QPushButton::clicked, this, [this] { RunButtonClick(); });
    CancelButton = addButton(this, "CancelButton", tr("キャンセル"), 217, 206);
    CancelButton->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
}

void CubeSettingsDialog::FileButtonClick()
{
    runCommand(
        [this] {
            if (const std::optional<QString> chosen =
                    platform().askFileName(fileDialogs::openCubeStack(), this))
                StackEdit->setText(*chosen);
        },
        BusyCursor::DontShow);
}

void CubeSettingsDialog::FolderButtonClick()
{
    runCommand(
        [this] {
            if (const std::optional<QString> chosen =
                    platform().askFileName(fileDialogs::chooseCubeFolder(), this))
                StackEdit->setText(*chosen);
        },
        BusyCursor::DontShow);
}

void CubeSettingsDialog::showStack()
{
    sliceCount_ = 0;
    FirstSliceEdit->clear();
    LastSliceEdit->clear();
    SliceCountLabel->clear();
    const QString path = StackEdit->text();
    if (path.isEmpty())
        return;
    try {
        const dimora::CubeStack stack = dimora::CubeStack::find(path.toStdString());
        const std::int32_t count = stack.sliceCount();
        // The pages of one TIFF file are told apart by their numbers.
        const bool pages = stack.kind() == dimora::CubeStack::Kind::Pages && count > 1;
        const auto slice = [&](std::int32_t i) {
            const QString file = QString::fromStdString(stack.slicePath(i));
            return pages ? tr("%1 (%2 / %3 ページ)").arg(file, QString::number(i), QString::number(count))
                         : file;
        };
        if (count > 0) {
            FirstSliceEdit->setText(slice(1));
            LastSliceEdit->setText(slice(count));
        }
        SliceCountLabel->setText(tr("スライス数: %1").arg(count));
        sliceCount_ = count;
    } catch (const std::exception& error) {
        SliceCountLabel->setText(translatedMessage(error.what()));
    }
}

dimora::CubeSettings CubeSettingsDialog::settings() const
{
    dimora::CubeSettings settings;
    settings.stack = StackEdit->text().toStdString();
    const double pixel = voxelEdge(PixelSizeEdit);
    const double distance = voxelEdge(SliceDistanceEdit);
    settings.voxel = {pixel, pixel, distance};
    // k(s) is computed from the texts as written, exactly.
    settings.voxel.xText = settings.voxel.yText = PixelSizeEdit->text().toStdString();
    settings.voxel.zText = SliceDistanceEdit->text().toStdString();
    // The one pixel size is X and Y alike, so the pixel is square, as the
    // command line's --voxel must give it; the core's check says so.
    dimora::requireUsableVoxel(settings.voxel);
    return settings;
}

void CubeSettingsDialog::RunButtonClick()
{
    if (!runWindows_) {
        hide();
        return;
    }
    // The progress window shows the run's state; the hourglass would only hide
    // that its stop button still works.
    runCommand(
        [this, windows = *runWindows_] {
            // A wrong voxel text is reported with the dialog still open for its correction.
            dimora::CubeSettings settings = this->settings();
            settings.region = windows.workspace.shownSelection();
            hide();

            std::optional<dimora::CubeStackCounts> run;
            {
                ProgressShown progress(windows.progress, sliceCount());
                run = countOnWorker(settings, windows.progress);
            }
            if (!run)
                return;
            windows.counts.clearCountList();
            windows.counts.showCubeNote(run->counts.sliceCount, run->counts.voxel);
            MeasurementWindows sink(windows.counts, windows.results);
            dimora::finishMeasurement(dimora::reportCubeCounts(run->counts), run->counts.region.width,
                                      run->counts.region.height, sink);
        },
        BusyCursor::DontShow);
}

void CubeSettingsDialog::CancelButtonClick()
{
    hide();
}

void CubeSettingsDialog::reject()
{
    // Esc answers like the cancel button.
    CancelButtonClick();
}

void CubeSettingsDialog::showEvent(QShowEvent* event)
{
    centreOverMainWindow(this);
    QDialog::showEvent(event);
}
