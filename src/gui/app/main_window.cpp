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
    client->toolBar = ToolBar1;
    client->scrollBox = ScrollBox1;

    pvlUrl1 = new TpvlUrl(this);
    pvlUrl1->setObjectName(QStringLiteral("pvlUrl1"));

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
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    const auto menu = [&](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        nameControl(m, name);
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        return m;
    };
    const auto item = [this](QMenu* m, const char* name, const QString& caption, void (TForm1::*handler)()) {
        QAction* action = m->addAction(caption);
        nameObject(action, name);
        if (handler != nullptr)
            connect(action, &QAction::triggered, this, handler);
        return action;
    };
    const auto separator = [](QMenu* m, const char* name) {
        QAction* action = m->addSeparator();
        nameObject(action, name);
        return action;
    };

    File1 = menu("File1", tr("ファイル"));
    Open1 = item(File1, "Open1", tr("画像を開く(BMP)"), &TForm1::Open1Click);
    N3 = separator(File1, "N3");
    Saveas1 = item(File1, "Saveas1", tr("画像を別名で保存(BMP)"), &TForm1::Saveas1Click);
    bb1 = item(File1, "bb1", tr("ベタファイル(G1)保存"), &TForm1::bb1Click);
    N1 = separator(File1, "N1");
    Exit1 = item(File1, "Exit1", tr("終了"), &TForm1::Exit1Click);

    Edit2 = menu("Edit2", tr("編集"));
    Copy1 = item(Edit2, "Copy1", tr("コピー(&C)"), &TForm1::Copy1Click);
    Paste1 = item(Edit2, "Paste1", tr("貼り付け(&P)"), &TForm1::Paste1Click);
    Paste1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));

    exec1 = menu("exec1", tr("画像加工"));
    K2 = item(exec1, "K2", tr("％変換"), &TForm1::K2Click);
    sikii1 = item(exec1, "sikii1", tr("しきい値変更"), &TForm1::sikii1Click);
    K1 = item(exec1, "K1", tr("緑部抽出"), &TForm1::K1Click);
    K3 = item(exec1, "K3", tr("赤部抽出"), &TForm1::K3Click);
    reverse1 = item(exec1, "reverse1", tr("ネガポジ反転"), &TForm1::reverse1Click);
    gray2 = item(exec1, "gray2", tr("グレースケール化"), &TForm1::gray2Click);
    SLIM1 = item(exec1, "SLIM1", tr("細線化"), &TForm1::SLIM1Click);

    N4 = menu("N4", tr("フラクタル次元"));
    frac1 = item(N4, "frac1", tr("黒の次元"), &TForm1::frac1Click);
    fracw1 = item(N4, "fracw1", tr("黒以外の次元"), &TForm1::fracw1Click);
    gray1 = item(N4, "gray1", tr("グレースケールの次元"), &TForm1::gray1Click);
    count1 = item(N4, "count1", tr("サイズ毎の個数表示"), &TForm1::count1Click);
    length1 = item(N4, "length1", tr("黒の総延長"), &TForm1::length1Click);
    slice1 = item(N4, "slice1", tr("３Ｄスライス２値"), &TForm1::slice1Click);
    cube1 = item(N4, "cube1", tr("３Ｄ立方体ボックスカウント..."), &TForm1::cube1Click);

    hani1 = menu("hani1", tr("範囲指定"));
    N5 = item(hani1, "N5", tr("数値による指定"), &TForm1::N5Click);
    N2 = item(hani1, "N2", tr("範囲の表示"), &TForm1::N2Click);

    filter1 = menu("filter1", tr("フィルター"));
    median1 = item(filter1, "median1", tr("メディアン"), &TForm1::median1Click);
    noise1 = item(filter1, "noise1", tr("孤立黒点除去"), &TForm1::noise1Click);

    help2 = menu("help2", tr("ヘルプ"));
    usage1 = item(help2, "usage1", tr("使い方"), &TForm1::usage1Click);
    version1 = item(help2, "version1", tr("バージョン情報"), &TForm1::version1Click);

    // The keys a Linux desktop expects, on the items that have none of their
    // own. Ctrl+S asks for a name: the only save command is save-as, and
    // writing over the opened file unasked could turn a TIFF into a BMP.
    // Quitting and the help page answer from every window of the program.
    Open1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Saveas1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Exit1->setShortcutContext(Qt::ApplicationShortcut);
    usage1->setShortcut(QKeySequence(Qt::Key_F1));
    usage1->setShortcutContext(Qt::ApplicationShortcut);
}

void TForm1::createToolBar(QWidget* client)
{
    ToolBar1 = new ToolBarFrame(client);
    nameControl(ToolBar1, "ToolBar1");
    ToolBar1->setGeometry(0, 0, kClientWidth, kToolBarHeight);

    int x = kIndent;
    const int y = (kToolBarHeight - kButtonHeight) / 2;
    // A divider (and the separator before the label) is an etched vertical
    // line in the middle of its width, as tool bars draw between groups.
    const auto divider = [&](const char* name) {
        auto* line = new QFrame(ToolBar1);
        nameControl(line, name);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setGeometry(x, y, kDividerWidth, kButtonHeight);
        x += kDividerWidth;
    };
    const auto button = [&](const char* name, ToolIcon icon, const QString& hint, void (TForm1::*handler)()) {
        auto* b = new QToolButton(ToolBar1);
        nameControl(b, name);
        b->setAutoRaise(true);
        b->setIcon(toolIcon(icon));
        b->setIconSize(QSize(16, 16));
        b->setToolTip(hint);
        // A picture alone says nothing to a screen reader: the hint names it.
        b->setAccessibleName(hint);
        b->setGeometry(x, y, kButtonWidth, kButtonHeight);
        connect(b, &QToolButton::clicked, this, handler);
        x += kButtonWidth;
        return b;
    };

    divider("ToolButton1");
    ToolButton2 = button("ToolButton2", ToolIcon::Open, tr("開く（ＢＭＰ）"), &TForm1::Open1Click);
    divider("ToolButton3");
    ToolButton4 = button("ToolButton4", ToolIcon::Range, tr("範囲指定"), &TForm1::N2Click);
    divider("ToolButton5");
    ToolButton6 = button("ToolButton6", ToolIcon::BlackDimension, tr("次元算出（黒）"), &TForm1::frac1Click);
    ToolButton7 =
        button("ToolButton7", ToolIcon::NonBlackDimension, tr("次元算出（黒以外）"), &TForm1::fracw1Click);
    ToolButton9 =
        button("ToolButton9", ToolIcon::GrayDimension, tr("次元算出（グレースケール）"), &TForm1::gray1Click);
    divider("ToolButton8");
    ToolButton10 =
        button("ToolButton10", ToolIcon::CountsPerSize, tr("サイズ毎の個数表示"), &TForm1::ToolButton10Click);
    divider("ToolButton11");

    Label1 = new QLabel(ToolBar1);
    nameControl(Label1, "Label1");
    Label1->setWordWrap(true);
    Label1->setGeometry(x, y, 258, 22);
}

void TForm1::createImageArea(QWidget* client)
{
    ScrollBox1 = new ScrollBox(client);
    nameControl(ScrollBox1, "ScrollBox1");
    ScrollBox1->setGeometry(0, 32, kClientWidth, 357);

    Image = new ImageControl([this]() -> const WorkingPicture& { return picture_; });
    nameControl(Image, "Image");
    ScrollBox1->setWidget(Image);

    SelShape1 = new TSelShape(ScrollBox1->viewport());
    nameControl(SelShape1, "SelShape1");
    SelShape1->setGeometry(80, 80, 64, 64);
    SelShape1->setSizeSense(4);
    SelShape1->setMinWidth(16);
    SelShape1->setMinHeight(16);
    SelShape1->setMinTop(0);
    SelShape1->setMinLeft(0);
    SelShape1->setMaxBottom(0);
    SelShape1->setMaxRight(0);
    SelShape1->setSelOption(TSelShape::ResizeX | TSelShape::ResizeY | TSelShape::MoveX | TSelShape::MoveY);
    SelShape1->setInvertingPen(true);
    SelShape1->setToolTip(tr("サイズと位置変更"));
    SelShape1->hide();
    SelShape1->raise();
    connect(SelShape1, &TSelShape::mouseMove, this, &TForm1::SelShape1MouseMove);
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
    Image->pictureChanged();
    SelShape1->raise();
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
        this, [this, paths] { FilesDropped(paths); }, Qt::QueuedConnection);
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

void TForm1::Exit1Click()
{
    close();
}
