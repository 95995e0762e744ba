#include "main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QToolBar>
#include <QWidgetAction>

#include "app/app_paths.h"
#include "platform/clickable_separator.h"
#include "platform/color_swatch.h"
#include "platform/common_dialog.h"
#include "platform/number_box.h"
#include "table/grid_widget.h"
#include "platform/icons.h"

QList<frmMain *> frmMain::s_windows;

namespace {

int px(int twips)
{
    return qRound(twips / 15.0);
}

// Steps 5 to 8 of the layout, and the toolbar across the client's width: every
// view, visible or not, fills the client area below the toolbar.
void layOutViews(frmMain &w)
{
    const int width = w.client->width();
    const int toolbarHeight = w.Bar->sizeHint().height();
    w.Bar->setGeometry(0, 0, width, toolbarHeight);
    w.picBar->setGeometry(0, toolbarHeight, px(2775), px(5295));
    const int top = w.picBar->y();
    const int height = qMax(0, w.client->height() - top);
    w.Grid->setGeometry(w.picBar->width(), top, qMax(0, width - w.picBar->width()), height);
    w.Web->setGeometry(0, top, width, height);
    w.txtTag->setGeometry(0, top, width, height);
    w.picAllSet->setGeometry(0, toolbarHeight, width, height);
}

// Centred on the screen at the window's present size.
void centreOnScreen(QWidget *w)
{
    QScreen *screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize outer = w->frameGeometry().size();
    w->move(area.left() + (area.width() - outer.width()) / 2,
            area.top() + (area.height() - outer.height()) / 2);
}

} // namespace

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    s_windows.append(this);

    client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    Dlg = new CommonDialog(this);

    createMenus();
    createToolBar();
    createTableSettingsPane();
    createCellSettingsPane();
    createGrid();
    createOutputViews();

    setWindowIcon(appIcon());
    // Designed client area 7470 x 5985 twips below the menu bar.
    resize(px(DesignClientWidth), menuBar()->sizeHint().height() + px(DesignClientHeight));
    // The views follow the client area itself: it gets its final size from the
    // window's layout, which may come after the window's own resize.
    client->installEventFilter(this);
}

frmMain::~frmMain()
{
    s_windows.removeAll(this);
}

QList<frmMain *> frmMain::loadedWindows()
{
    QList<frmMain *> list;
    for (frmMain *w : std::as_const(s_windows))
        if (!w->m_unloading)
            list.append(w);
    return list;
}

void frmMain::createMenus()
{
    auto item = [this](QMenu *menu, QAction *&action, const char *name, const QString &caption,
                       const QKeySequence &key = QKeySequence()) {
        action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        if (!key.isEmpty())
            action->setShortcut(key);
    };
    auto separator = [](QMenu *menu, QAction *&action, const char *name) {
        action = menu->addSeparator();
        action->setObjectName(QLatin1String(name));
    };

    mnuFile = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    item(mnuFile, mnuNew, "mnuNew", QStringLiteral("新規作成(&N)"), QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(mnuNew, &QAction::triggered, this, &frmMain::mnuNew_Click);
    item(mnuFile, mnuOpen, "mnuOpen", QStringLiteral("開く(&O)..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(mnuOpen, &QAction::triggered, this, &frmMain::mnuOpen_Click);
    separator(mnuFile, Sep0, "Sep0");
    item(mnuFile, mnuClose, "mnuClose", QStringLiteral("閉じる(&C)"));
    connect(mnuClose, &QAction::triggered, this, &frmMain::mnuClose_Click);
    separator(mnuFile, Sep1, "Sep1");
    item(mnuFile, mnuSave, "mnuSave", QStringLiteral("保存(&S)..."), QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(mnuSave, &QAction::triggered, this, &frmMain::mnuSave_Click);
    separator(mnuFile, Sep2, "Sep2");
    item(mnuFile, mnuExit, "mnuExit", QStringLiteral("終了(&X)"));
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(mnuFile, &QMenu::aboutToShow, this, &frmMain::mnuFile_Click);

    mnuSel = menuBar()->addMenu(QStringLiteral("セル(&S)"));
    mnuSel->setObjectName(QStringLiteral("mnuSel"));
    item(mnuSel, mnuBold, "mnuBold", QStringLiteral("見出し(&H)"));
    mnuBold->setCheckable(true);
    connect(mnuBold, &QAction::triggered, this, &frmMain::mnuBold_Click);
    separator(mnuSel, SepAhaha, "SepAhaha");
    item(mnuSel, mnuSelEdit, "mnuSelEdit", QStringLiteral("セル通常編集(&E)"));
    connect(mnuSelEdit, &QAction::triggered, this, &frmMain::mnuSelEdit_Click);
    item(mnuSel, mnuSelEditMax, "mnuSelEditMax", QStringLiteral("セル複数行編集(&M)"));
    connect(mnuSelEditMax, &QAction::triggered, this, &frmMain::mnuSelEditMax_Click);
    connect(mnuSel, &QMenu::aboutToShow, this, &frmMain::mnuSel_Click);

    mnuHelp = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    item(mnuHelp, mnuShowHelp, "mnuShowHelp", QStringLiteral("ヘルプ(&H)..."), QKeySequence(Qt::Key_F1));
    connect(mnuShowHelp, &QAction::triggered, this, &frmMain::mnuShowHelp_Click);
    separator(mnuHelp, Sep3, "Sep3");
    item(mnuHelp, mnuAbout, "mnuAbout", QStringLiteral("バージョン情報(&A)..."));
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
}

void frmMain::createToolBar()
{
    Bar = new QToolBar(client);
    Bar->setObjectName(QStringLiteral("Bar"));
    Bar->setMovable(false);
    Bar->setFloatable(false);
    Bar->setIconSize(QSize(16, 16));
    Bar->setToolButtonStyle(Qt::ToolButtonIconOnly);

    static const struct { int index; const char *tip; } buttons[] = {
        {1, "新しい表を作成します。"},
        {2, "既存の表を開きます。"},
        {3, "現在編集中の表を保存します。"},
        {4, nullptr},
        {5, "ヘルプを表示します。"},
        {6, nullptr},
        {7, "選択されたセルを見出しセルにします。"},
        {8, nullptr},
        {9, "全体設定画面に切り替えます。"},
        {10, "セル設定画面に切り替えます。"},
        {11, "タグ表示画面に切り替えます。"},
        {12, "プレビュー画面に切り替えます。"},
        {13, nullptr},
        {14, "関連づけられたブラウザでプレビューします。"},
    };
    auto *views = new QActionGroup(this);
    views->setExclusive(true);
    for (const auto &b : buttons) {
        QAction *action = nullptr;
        if (!b.tip) {
            auto *sep = new QWidgetAction(Bar);
            const int index = b.index;
            sep->setDefaultWidget(new ClickableSeparator([this, index] { Bar_ButtonClick(index); }, Bar));
            action = sep;
        } else {
            action = new QAction(Bar);
            action->setToolTip(QString::fromUtf8(b.tip));
            action->setText(QString::fromUtf8(b.tip));
            action->setIcon(toolbarIcon(b.index));
            const int index = b.index;
            connect(action, &QAction::triggered, this, [this, index] { Bar_ButtonClick(index); });
        }
        action->setObjectName(QStringLiteral("Bar_%1").arg(b.index));
        if (b.index == 7)
            action->setCheckable(true);
        if (b.index >= 9 && b.index <= 12) {
            action->setCheckable(true);
            views->addAction(action);
        }
        Bar->addAction(action);
        BarButton[b.index] = action;
    }
}

void frmMain::load()
{
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
}

void frmMain::Form_Load()
{
    // 1. Centring waits for the end, when the first layout has given the window
    //    the size it opens at.
    // 2. The default table.
    resetToDefaults();
    // 3. Settings into the table settings pane; their handlers write them back.
    loadTableSettingsPane(true);
    // 4. Digits only on the seven number boxes.
    SetNumberOnly(txtBorder, 2);
    SetNumberOnly(txtHeight, 2);
    SetNumberOnly(txtWidth, 2);
    SetNumberOnly(txtMHeight, 2);
    SetNumberOnly(txtSHeight, 4);
    SetNumberOnly(txtMWidth, 2);
    SetNumberOnly(txtSWidth, 4);
    // 5.-8.
    updateCaption();
    txtInsert->hide();
    picBackColor->setColor(0xFFFFFF);
    chkBackColorNothing->setChecked(true);
    BarButton[7]->setEnabled(false);
    // 9.-11. The table settings view.
    showView(9);
    // 12.
    chkBackColorNothing_Click();
    // 13.-15.
    sizeGridFromBoxes();
    refreshAllCells();
    Form_Resize();
    centreOnScreen(this);
}

void frmMain::updateCaption()
{
    setWindowTitle(QStringLiteral("Quorvan - ") + GetFileNamePart(FileName));
}

void frmMain::showView(int button)
{
    commitOpenBox();
    picAllSet->setVisible(button == 9);
    picBar->setVisible(button == 10);
    Grid->setVisible(button == 10);
    txtTag->setVisible(button == 11);
    Web->setVisible(button == 12);
    if (BarButton[button])
        BarButton[button]->setChecked(true);
    BarButton[7]->setEnabled(button == 10);
    mnuSel->setEnabled(button == 10);
    mnuSel->menuAction()->setEnabled(button == 10);
}

int frmMain::boxNumber(const QLineEdit *box) const
{
    // Val(): leading spaces skipped, then an optional sign and digits; anything else stops.
    const QString t = box->text();
    int i = 0;
    while (i < t.size() && t.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+')))
        negative = t.at(i++) == QLatin1Char('-');
    qint64 value = 0;
    while (i < t.size() && t.at(i) >= QLatin1Char('0') && t.at(i) <= QLatin1Char('9')) {
        value = value * 10 + (t.at(i).unicode() - '0');
        if (value > 1000000)
            break;
        ++i;
    }
    return int(negative ? -value : value);
}

void frmMain::sizeGridFromBoxes()
{
    commitOpenBox();
    Grid->setCols(qBound(1, boxNumber(txtWidth), 99) + 1);
    Grid->setRows(qBound(1, boxNumber(txtHeight), 99) + 1);
}

void frmMain::refreshAllCells()
{
    // Column by column, as the refresh has always walked: a row is fitted to
    // its cells from left to right, and the rightmost of its tallest wins.
    if (!canRefreshQuietly()) {
        for (int c = 0; c < Grid->Cols(); ++c) {
            for (int r = 0; r < Grid->Rows(); ++r) {
                Grid->setCol(c);
                Grid->setRow(r);
                Grid_Click();
            }
        }
    } else {
        GridWidget::BulkUpdate bulk(Grid);
        for (int c = 1; c < Grid->Cols(); ++c) {
            for (int r = 1; r < Grid->Rows(); ++r) {
                Grid->setCol(c);
                Grid->setRow(r);
                refreshCellQuietly();
            }
        }
    }
    // The last refresh loads the pane, whichever way the cells went.
    Grid->setCol(1);
    Grid->setRow(1);
    Grid_Click();
}

void frmMain::loadTableSettingsPane(bool withNet)
{
    txtHeight->setText(QString::number(TableRows));
    txtWidth->setText(QString::number(TableCols));
    txtTitle->setText(TableTitle);
    txtBorder->setText(QString::number(TableBorder));
    picBackColor->setColor(TableBackColor);
    chkBackColorNothing->setChecked(TableBackColorNothing != 0);
    if (withNet) {
        chkNet->setChecked(NetscapeMode != 0);
        chkNet_Click();
    }
}

void frmMain::showEvent(QShowEvent *event)
{
    load();
    QMainWindow::showEvent(event);
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        Form_Resize();
}

void frmMain::Form_Resize()
{
    if (m_inResize || !Bar)
        return;
    m_inResize = true;
    // A window loaded before it is shown (New, Open, a file named at start) has
    // not been laid out yet: lay it out now, so the client area is the real one.
    auto settle = [this] {
        if (!isVisible()) {
            layout()->invalidate();
            layout()->activate();
        }
    };
    settle();
    const int toolbarHeight = Bar->sizeHint().height();

    // 1. The cell settings pane keeps its designed size at the left edge.
    picBar->setGeometry(0, toolbarHeight, px(2775), px(5295));
    if (!isMinimized()) {
        // 3.-4. Minimum size: compared on the client area, set on the outer size.
        bool snapped = false;
        if (toolbarHeight + px(6000) > client->height() && height() != toolbarHeight + px(6120)) {
            resize(width(), toolbarHeight + px(6120));
            snapped = true;
        }
        if (client->width() < px(6000)) {
            resize(px(6120), height());
            snapped = true;
        }
        if (snapped)
            settle();
        // 5.-8. Against the client area as it is now; should the snapped size
        // reach the client later, its resize lays the views out again.
        layOutViews(*this);
    }
    m_inResize = false;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // Form_Unload: never cancels, never asks. Closing the only window ends the program.
    const bool last = loadedWindows().size() <= 1;
    m_unloading = true;
    event->accept();
    if (last)
        QCoreApplication::quit();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == client && event->type() == QEvent::Resize && !isMinimized())
        layOutViews(*this);
    return QMainWindow::eventFilter(watched, event);
}
