// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/app/main_window.hpp"

#include "gui/about/url_launcher.hpp"
#include "gui/common/command.hpp"
#include "gui/common/fonts.hpp"
#include "gui/common/image_control.hpp"
#include "gui/common/scroll_box.hpp"
#include "gui/common/toolbar_icons.hpp"
#include "gui/common/widget_names.hpp"
#include "gui/region/range_selection.hpp"
#include "gui/region/selection_shape.hpp"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QToolButton>

#include <utility>

namespace {

// Designed client area (below the menu bar).
constexpr int kClientWidth = 539;
constexpr int kClientHeight = 388;

// The tool bar: flat buttons 23 × 22 and dividers 8 wide after an indent of
// 4, between edge lines at its top and bottom.
constexpr int kToolBarHeight = 26;
constexpr int kButtonWidth = 23;
constexpr int kButtonHeight = 22;
constexpr int kDividerWidth = 8;
constexpr int kIndent = 4;

class ToolBarFrame : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QFrame::paintEvent(event);
        QPainter p(this);
        const QPalette& pal = palette();
        p.setPen(pal.color(QPalette::Dark));
        p.drawLine(0, 0, width() - 1, 0);
        p.drawLine(0, height() - 2, width() - 1, height() - 2);
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(0, 1, width() - 1, 1);
        p.drawLine(0, height() - 1, width() - 1, height() - 1);
    }
};

// The client area keeps the tool bar across its width and lets the scroll
// box follow all four edges.
class ClientArea : public QWidget {
public:
    using QWidget::QWidget;
    QWidget* toolBar = nullptr;
    QWidget* scrollBox = nullptr;

    QSize sizeHint() const override { return {kClientWidth, kClientHeight}; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        if (toolBar != nullptr)
            toolBar->setGeometry(0, 0, width(), kToolBarHeight);
        if (scrollBox != nullptr)
            scrollBox->setGeometry(0, 32, width(), height() - kClientHeight + 357);
    }
};

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent)
{
    nameControl(this, "TForm1");
    setWindowTitle(QStringLiteral("Dimora3"));
    setWindowIcon(programIcon());
    setFont(uiFont(kPGothic, 12));

    auto* client = new ClientArea(this);
    client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client);
    createMenus();
    createToolBar(client);
    createImageArea(client);
    client->toolBar = controls_.ToolBar1;
    client->scrollBox = controls_.ScrollBox1;
    selection_ = std::make_unique<RangeSelection>(*controls_.SelShape1, *controls_.ScrollBox1,
                                                  *controls_.Label1, *controls_.ToolButton4, *controls_.N2);

    controls_.pvlUrl1 = new TpvlUrl(this);
    controls_.pvlUrl1->setObjectName(QStringLiteral("pvlUrl1"));

    // FormCreate: the working image starts as the empty bitmap; the window
    // accepts files dropped from the desktop.
    setWorkingPicture(WorkingPicture());
    setAcceptDrops(true);

    client->resize(kClientWidth, kClientHeight);
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    move(220, 112);
}

TForm1::~TForm1() = default;

void TForm1::createMenus()
{
    MainWindowControls& c = controls_;
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    const auto menu = [&](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        nameControl(m, name);
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };
    const auto item = [](QMenu* m, const char* name, const QString& caption) {
        QAction* action = m->addAction(caption);
        nameObject(action, name);
        return action;
    };
    const auto separator = [](QMenu* m, const char* name) {
        QAction* action = m->addSeparator();
        nameObject(action, name);
        return action;
    };

    c.File1 = menu("File1", tr("ファイル"));
    c.Open1 = item(c.File1, "Open1", tr("画像を開く(BMP)"));
    c.N3 = separator(c.File1, "N3");
    c.Saveas1 = item(c.File1, "Saveas1", tr("画像を別名で保存(BMP)"));
    c.bb1 = item(c.File1, "bb1", tr("ベタファイル(G1)保存"));
    c.N1 = separator(c.File1, "N1");
    c.Exit1 = item(c.File1, "Exit1", tr("終了"));

    c.Edit2 = menu("Edit2", tr("編集"));
    c.Copy1 = item(c.Edit2, "Copy1", tr("コピー(&C)"));
    c.Paste1 = item(c.Edit2, "Paste1", tr("貼り付け(&P)"));
    c.Paste1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));

    c.exec1 = menu("exec1", tr("画像加工"));
    c.K2 = item(c.exec1, "K2", tr("％変換"));
    c.sikii1 = item(c.exec1, "sikii1", tr("しきい値変更"));
    c.K1 = item(c.exec1, "K1", tr("緑部抽出"));
    c.K3 = item(c.exec1, "K3", tr("赤部抽出"));
    c.reverse1 = item(c.exec1, "reverse1", tr("ネガポジ反転"));
    c.gray2 = item(c.exec1, "gray2", tr("グレースケール化"));
    c.SLIM1 = item(c.exec1, "SLIM1", tr("細線化"));

    c.N4 = menu("N4", tr("フラクタル次元"));
    c.frac1 = item(c.N4, "frac1", tr("黒の次元"));
    c.fracw1 = item(c.N4, "fracw1", tr("黒以外の次元"));
    c.gray1 = item(c.N4, "gray1", tr("グレースケールの次元"));
    c.count1 = item(c.N4, "count1", tr("サイズ毎の個数表示"));
    c.length1 = item(c.N4, "length1", tr("黒の総延長"));
    c.slice1 = item(c.N4, "slice1", tr("３Ｄスライス２値"));
    c.cube1 = item(c.N4, "cube1", tr("３Ｄ立方体ボックスカウント..."));
    c.measureSettings1 = item(c.N4, "measureSettings1", tr("測定の設定..."));
    c.lacunarity1 = item(c.N4, "lacunarity1", tr("ラクナリティ..."));
    c.multifractal1 = item(c.N4, "multifractal1", tr("マルチフラクタル スペクトル..."));

    c.hani1 = menu("hani1", tr("範囲指定"));
    c.N5 = item(c.hani1, "N5", tr("数値による指定"));
    c.N2 = item(c.hani1, "N2", tr("範囲の表示"));

    c.filter1 = menu("filter1", tr("フィルター"));
    c.median1 = item(c.filter1, "median1", tr("メディアン"));
    c.noise1 = item(c.filter1, "noise1", tr("孤立黒点除去"));

    c.help2 = menu("help2", tr("ヘルプ"));
    c.usage1 = item(c.help2, "usage1", tr("使い方"));
    c.version1 = item(c.help2, "version1", tr("バージョン情報"));

    // The keys a Linux desktop expects, on the items that have none of their
    // own. Ctrl+S asks for a name: the only save command is save-as, and
    // writing over the opened file unasked could turn a TIFF into a BMP.
    // Quitting and the help page answer from every window of the program.
    c.Open1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    c.Saveas1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    c.Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    c.Exit1->setShortcutContext(Qt::ApplicationShortcut);
    c.usage1->setShortcut(QKeySequence(Qt::Key_F1));
    c.usage1->setShortcutContext(Qt::ApplicationShortcut);
}

void TForm1::createToolBar(QWidget* client)
{
    MainWindowControls& c = controls_;
    c.ToolBar1 = new ToolBarFrame(client);
    nameControl(c.ToolBar1, "ToolBar1");
    c.ToolBar1->setGeometry(0, 0, kClientWidth, kToolBarHeight);

    int x = kIndent;
    const int y = (kToolBarHeight - kButtonHeight) / 2;
    // A divider (and the separator before the label) is an etched vertical
    // line in the middle of its width, as tool bars draw between groups.
    const auto divider = [&](const char* name) {
        auto* line = new QFrame(c.ToolBar1);
        nameControl(line, name);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setGeometry(x, y, kDividerWidth, kButtonHeight);
        x += kDividerWidth;
    };
    const auto button = [&](const char* name, ToolIcon icon, const QString& hint) {
        auto* b = new QToolButton(c.ToolBar1);
        nameControl(b, name);
        b->setAutoRaise(true);
        b->setIcon(toolIcon(icon));
        b->setIconSize(QSize(16, 16));
        b->setToolTip(hint);
        // A picture alone says nothing to a screen reader: the hint names it.
        b->setAccessibleName(hint);
        b->setGeometry(x, y, kButtonWidth, kButtonHeight);
        x += kButtonWidth;
        return b;
    };

    divider("ToolButton1");
    c.ToolButton2 = button("ToolButton2", ToolIcon::Open, tr("開く（ＢＭＰ）"));
    divider("ToolButton3");
    c.ToolButton4 = button("ToolButton4", ToolIcon::Range, tr("範囲指定"));
    divider("ToolButton5");
    c.ToolButton6 = button("ToolButton6", ToolIcon::BlackDimension, tr("次元算出（黒）"));
    c.ToolButton7 = button("ToolButton7", ToolIcon::NonBlackDimension, tr("次元算出（黒以外）"));
    c.ToolButton9 = button("ToolButton9", ToolIcon::GrayDimension, tr("次元算出（グレースケール）"));
    divider("ToolButton8");
    c.ToolButton10 = button("ToolButton10", ToolIcon::CountsPerSize, tr("サイズ毎の個数表示"));
    divider("ToolButton11");

    c.Label1 = new QLabel(c.ToolBar1);
    nameControl(c.Label1, "Label1");
    c.Label1->setWordWrap(true);
    c.Label1->setGeometry(x, y, 258, 22);
}

void TForm1::createImageArea(QWidget* client)
{
    MainWindowControls& c = controls_;
    c.ScrollBox1 = new ScrollBox(client);
    nameControl(c.ScrollBox1, "ScrollBox1");
    c.ScrollBox1->setGeometry(0, 32, kClientWidth, 357);

    c.Image = new ImageControl([this]() -> const WorkingPicture& { return picture_; });
    nameControl(c.Image, "Image");
    c.ScrollBox1->setWidget(c.Image);

    c.SelShape1 = new TSelShape(c.ScrollBox1->viewport());
    nameControl(c.SelShape1, "SelShape1");
    c.SelShape1->setGeometry(80, 80, 64, 64);
    c.SelShape1->setSizeSense(4);
    c.SelShape1->setMinWidth(16);
    c.SelShape1->setMinHeight(16);
    c.SelShape1->setMinTop(0);
    c.SelShape1->setMinLeft(0);
    c.SelShape1->setMaxBottom(0);
    c.SelShape1->setMaxRight(0);
    c.SelShape1->setSelOption(TSelShape::ResizeX | TSelShape::ResizeY | TSelShape::MoveX | TSelShape::MoveY);
    c.SelShape1->setInvertingPen(true);
    c.SelShape1->setToolTip(tr("サイズと位置変更"));
    c.SelShape1->hide();
    c.SelShape1->raise();
}

void TForm1::setWorkingImage(dimora::Bitmap bitmap)
{
    setWorkingPicture(WorkingPicture(std::move(bitmap)));
}

void TForm1::setWorkingPicture(WorkingPicture picture, const QString& sourceFile)
{
    picture_ = std::move(picture);
    pictureFile_ = sourceFile;
    showFileInTitle(sourceFile);
    imageChanged();
}

void TForm1::showFileInTitle(const QString& path)
{
    // Qt adds no program name of its own (the application sets no display
    // name), so the title carries it after the file's, as desktops show it.
    if (path.isEmpty())
        setWindowTitle(QStringLiteral("Dimora3"));
    else
        setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" — Dimora3"));
}

void TForm1::imageChanged()
{
    controls_.Image->pictureChanged();
    controls_.SelShape1->raise();
}

std::optional<dimora::Region> TForm1::shownSelection() const
{
    return selection_->shown();
}

dimora::Region TForm1::takeAnalysisRegion()
{
    if (const std::optional<dimora::Region> selection = shownSelection())
        return *selection;
    const dimora::Bitmap& image = prepareImageForSize();
    return {0, 0, image.width(), image.height()};
}

const dimora::Bitmap& TForm1::prepareImageForSize()
{
    if (picture_.kind() != PictureKind::Bitmap) {
        picture_.dropNonBitmap();
        imageChanged();
    }
    return std::as_const(picture_).pixels();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    if (paths.isEmpty())
        return;
    // The drag ends when this event returns. The program that started it
    // must not wait for the loading, nor for an error box: both come right
    // after, from the event loop.
    event->acceptProposedAction();
    QMetaObject::invokeMethod(
        this, [this, paths] { emit filesDropped(paths); }, Qt::QueuedConnection);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // A command that serves the event loop while it works (the slice run)
    // still needs the windows: the close request is refused until it ends.
    if (commandRunning()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}
