// The command table of the main window: one action per command, shared by the
// menus and the toolbar, and the commands that are not about documents.
#include "gui/window/main_window.h"
#include "gui/widgets/file_commands.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionEvent>
#include <QActionGroup>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QToolBar>
#include <QWidgetAction>

#include "gui/help/frm_about.h"
#include "gui/window/document_manager.h"
#include "gui/window/edit_history.h"
#include "gui/cell_editor/frm_edit.h"
#include "gui/output/output_views.h"
#include "gui/widgets/clickable_separator.h"
#include "gui/help/help.h"
#include "gui/widgets/icons.h"
#include "gui/panes/cell_settings_pane.h"
#include "gui/grid/grid_clipboard.h"
#include "gui/grid/grid_editor.h"
#include "gui/grid/grid_widget.h"
#include "document/table_document.h"
#include "gui/panes/table_settings_pane.h"

namespace {

// A menu measures its items once and keeps those sizes, while the default
// item is drawn bold: measured in the plain face it would be cut short.
void setMenuDefault(QMenu *menu, QAction *action)
{
    menu->setDefaultAction(action);
    if (menu->actions().isEmpty())
        return;
    QActionEvent remeasure(QEvent::ActionChanged, menu->actions().constFirst());
    QCoreApplication::sendEvent(menu, &remeasure);
}

struct ToolbarCommand {
    ToolbarButton position;     // on the toolbar
    const char *name;           // object name: the menu item's design name, or Bar_<position>
    const char *text;           // menu caption, to translate in context frmMain
    const char *tip;            // toolbar tip, likewise
};

// The toolbar's buttons in order; the ones with a menu caption are menu items too.
const ToolbarCommand toolbarCommands[] = {
    {ToolbarButton::New, "mnuNew", QT_TRANSLATE_NOOP("frmMain", "新規作成(&N)"), QT_TRANSLATE_NOOP("frmMain", "新しい表を作成します。")},
    {ToolbarButton::Open, "mnuOpen", QT_TRANSLATE_NOOP("frmMain", "開く(&O)..."), QT_TRANSLATE_NOOP("frmMain", "既存の表を開きます。")},
    {ToolbarButton::Save, "mnuSave", QT_TRANSLATE_NOOP("frmMain", "上書き保存(&S)"), QT_TRANSLATE_NOOP("frmMain", "現在編集中の表を保存します。")},
    {ToolbarButton::FileSeparator, "Bar_4", nullptr, nullptr},
    {ToolbarButton::Help, "mnuShowHelp", QT_TRANSLATE_NOOP("frmMain", "ヘルプ(&H)..."), QT_TRANSLATE_NOOP("frmMain", "ヘルプを表示します。")},
    {ToolbarButton::HelpSeparator, "Bar_6", nullptr, nullptr},
    {ToolbarButton::Header, "mnuBold", QT_TRANSLATE_NOOP("frmMain", "見出し(&H)"), QT_TRANSLATE_NOOP("frmMain", "選択されたセルを見出しセルにします。")},
    {ToolbarButton::HeaderSeparator, "Bar_8", nullptr, nullptr},
    {ToolbarButton::TableView, "Bar_9", nullptr, QT_TRANSLATE_NOOP("frmMain", "全体設定画面に切り替えます。")},
    {ToolbarButton::CellView, "Bar_10", nullptr, QT_TRANSLATE_NOOP("frmMain", "セル設定画面に切り替えます。")},
    {ToolbarButton::TagView, "Bar_11", nullptr, QT_TRANSLATE_NOOP("frmMain", "タグ表示画面に切り替えます。")},
    {ToolbarButton::Preview, "Bar_12", nullptr, QT_TRANSLATE_NOOP("frmMain", "プレビュー画面に切り替えます。")},
    {ToolbarButton::PreviewSeparator, "Bar_13", nullptr, nullptr},
    {ToolbarButton::BrowserPreview, "Bar_14", nullptr, QT_TRANSLATE_NOOP("frmMain", "関連づけられたブラウザでプレビューします。")},
};

} // namespace

void frmMain::createActions()
{
    Bar = makeFixedToolBar(client);
    auto *views = new QActionGroup(this);
    views->setExclusive(true);

    for (const ToolbarCommand &entry : toolbarCommands) {
        const ToolbarButton position = entry.position;
        QAction *action = nullptr;
        if (!entry.tip) {
            auto *separator = new QWidgetAction(this);
            separator->setDefaultWidget(
                    new ClickableSeparator([this, position] { Bar_ButtonClick(position); }, Bar));
            action = separator;
        } else {
            action = new QAction(toolbarIcon(int(position)),
                                 tr(entry.text ? entry.text : entry.tip),
                                 this);
            action->setToolTip(tr(entry.tip));
        }
        action->setObjectName(QLatin1String(entry.name));
        m_bar[int(position)] = action;
        Bar->addAction(action);
        if (position >= ToolbarButton::TableView && position <= ToolbarButton::Preview) {
            action->setCheckable(true);
            views->addAction(action);
        }
        if (!entry.tip)
            continue;
        // A shared command runs the toolbar's dispatch when its toolbar button
        // is the one being clicked, and the menu's command otherwise.
        if (auto *button = qobject_cast<QAbstractButton *>(Bar->widgetForAction(action))) {
            connect(button, &QAbstractButton::pressed, this, [this, position] { m_pressedOnBar = int(position); });
            connect(button, &QAbstractButton::released, this, [this] { m_pressedOnBar = 0; });
        }
        connect(action, &QAction::triggered, this, [this, position, shared = entry.text != nullptr] {
            if (!shared || m_pressedOnBar == int(position)) {
                Bar_ButtonClick(position);
                return;
            }
            switch (position) {
            case ToolbarButton::New: mnuNew_Click(); break;
            case ToolbarButton::Open: mnuOpen_Click(); break;
            case ToolbarButton::Save: mnuSave_Click(); break;
            case ToolbarButton::Help: mnuShowHelp_Click(); break;
            case ToolbarButton::Header: mnuBold_Click(); break;
            default: break;
            }
        });
    }
    command(ToolbarButton::Header)->setCheckable(true);
    command(ToolbarButton::New)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    command(ToolbarButton::Open)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    command(ToolbarButton::Save)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    command(ToolbarButton::Help)->setShortcut(QKeySequence(Qt::Key_F1));

    auto item = [this](QMenu *menu, const char *name, const QString &caption, void (frmMain::*slot)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    auto separator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };

    mnuFile = menuBar()->addMenu(tr("ファイル(&F)"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFile->addAction(command(ToolbarButton::New));
    mnuFile->addAction(command(ToolbarButton::Open));
    separator(mnuFile, "Sep0");
    mnuClose = item(mnuFile, "mnuClose", tr("閉じる(&C)"), &frmMain::mnuClose_Click);
    separator(mnuFile, "Sep1");
    mnuFile->addAction(command(ToolbarButton::Save));
    item(mnuFile, "mnuSaveAs", tr("名前を付けて保存(&A)..."), &frmMain::mnuSaveAs_Click)
            ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    separator(mnuFile, "Sep2");
    item(mnuFile, "mnuExit", tr("終了(&X)"), &frmMain::mnuExit_Click)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(mnuFile, &QMenu::aboutToShow, this, &frmMain::mnuFile_Click);
    // Greyed while the menu shows one window; Ctrl+W closes even the last one.
    mnuClose->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(mnuFile, &QMenu::aboutToHide, mnuClose, [this] { mnuClose->setEnabled(true); });

    new EditHistory(*this, *m_doc, *m_grid); // the Edit menu, between File and Cell

    mnuSel = menuBar()->addMenu(tr("セル(&S)"));
    mnuSel->setObjectName(QStringLiteral("mnuSel"));
    mnuSel->addAction(command(ToolbarButton::Header));
    separator(mnuSel, "SepAhaha");
    mnuSelEdit = item(mnuSel, "mnuSelEdit", tr("セル通常編集(&E)"), &frmMain::mnuSelEdit_Click);
    mnuSelEditMax = item(mnuSel, "mnuSelEditMax", tr("セル複数行編集(&M)"), &frmMain::mnuSelEditMax_Click);
    mnuSelEditMax->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F2)); // F2 edits in place
    separator(mnuSel, "SepClipboard");
    mnuSel->addActions(m_grid->clipboard()->actions());
    m_grid->addCommandsTo(mnuSel);
    connect(mnuSel, &QMenu::aboutToShow, this, &frmMain::mnuSel_Click);
    // The default belongs to the grid's pop-up only; the menu bar's Cell menu has none.
    connect(mnuSel, &QMenu::aboutToHide, this, [this] {
        if (mnuSel->defaultAction())
            setMenuDefault(mnuSel, nullptr);
    });
    connect(m_grid, &GridEditor::cellMenuRequested, this, [this](QPoint at) {
        mnuSel_Click();
        // The default item (bold) is the edit that Shift would choose.
        setMenuDefault(mnuSel, ShiftKeyPush() ? mnuSelEditMax : mnuSelEdit);
        mnuSel->popup(at);
    });

    createViewMenu(); // after the designed Cell menu, which keeps its place

    // Alt+H is the cell pane's vertical merge (結合(&H)); the menu takes the P of Help.
    mnuHelp = menuBar()->addMenu(tr("ヘルプ(&P)"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelp->addAction(command(ToolbarButton::Help));
    separator(mnuHelp, "Sep3");
    item(mnuHelp, "mnuAbout", tr("バージョン情報(&A)..."), &frmMain::mnuAbout_Click);
}

namespace {

struct ViewCommand {
    ToolbarButton position;
    const char *name;
    const char *text;
    Qt::Key key;
};

const ViewCommand viewCommands[] = {
    {ToolbarButton::TableView, "mnuViewTable", QT_TRANSLATE_NOOP("frmMain", "全体設定(&T)"), Qt::Key_1},
    {ToolbarButton::CellView, "mnuViewCells", QT_TRANSLATE_NOOP("frmMain", "セル設定(&C)"), Qt::Key_2},
    {ToolbarButton::TagView, "mnuViewTags", QT_TRANSLATE_NOOP("frmMain", "タグ表示(&G)"), Qt::Key_3},
    {ToolbarButton::Preview, "mnuViewPreview", QT_TRANSLATE_NOOP("frmMain", "プレビュー(&P)"), Qt::Key_4},
    {ToolbarButton::BrowserPreview, "mnuViewBrowser", QT_TRANSLATE_NOOP("frmMain", "ブラウザでプレビュー(&B)"), Qt::Key_5},
};

} // namespace

// The views without the mouse: each item runs its toolbar button, and the
// panes of the view on show take the focus in turn.
void frmMain::createViewMenu()
{
    QMenu *mnuView = menuBar()->addMenu(tr("表示(&V)"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    auto *group = new QActionGroup(this);
    for (const ViewCommand &entry : viewCommands) {
        if (entry.position == ToolbarButton::BrowserPreview)
            mnuView->addSeparator();
        QAction *action = mnuView->addAction(tr(entry.text));
        action->setObjectName(QLatin1String(entry.name));
        action->setShortcut(QKeySequence(Qt::CTRL | entry.key));
        const ToolbarButton position = entry.position;
        if (position != ToolbarButton::BrowserPreview) {
            action->setCheckable(true);
            group->addAction(action);
            // The item shows the view the toolbar shows.
            connect(command(position), &QAction::toggled, action, &QAction::setChecked);
        }
        connect(action, &QAction::triggered, this, [this, position] { Bar_ButtonClick(position); });
    }
    mnuView->addSeparator();
    QAction *next = mnuView->addAction(tr("次のペイン(&N)"));
    next->setObjectName(QStringLiteral("mnuNextPane"));
    next->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::Key_F6)});
    connect(next, &QAction::triggered, this, [this] { focusPane(true); });
    QAction *previous = mnuView->addAction(tr("前のペイン(&R)"));
    previous->setObjectName(QStringLiteral("mnuPreviousPane"));
    previous->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                            QKeySequence(Qt::SHIFT | Qt::Key_F6)});
    connect(previous, &QAction::triggered, this, [this] { focusPane(false); });
}

void frmMain::focusPane(bool forward)
{
    QList<QWidget *> panes;
    const QList<QWidget *> all{picAllSet, picBar, m_grid->grid(), m_output->tagView(), m_output->webHost()};
    for (QWidget *pane : all)
        if (pane->isVisible())
            panes.append(pane);
    if (panes.isEmpty())
        return;
    int at = -1;
    for (int i = 0; i < panes.size(); ++i)
        if (panes.at(i)->isAncestorOf(QApplication::focusWidget()) || panes.at(i) == QApplication::focusWidget())
            at = i;
    const int count = int(panes.size());
    QWidget *pane = panes.at(at < 0 ? 0 : (at + (forward ? 1 : count - 1)) % count);
    // A pane takes the focus itself or gives it to its first control.
    QWidget *target = pane;
    if (pane->focusPolicy() == Qt::NoFocus || !pane->isEnabled()) {
        target = nullptr;
        for (QWidget *w = pane->nextInFocusChain(); w && w != pane; w = w->nextInFocusChain()) {
            if (pane->isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
                target = w;
                break;
            }
        }
    }
    if (target)
        target->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void frmMain::Bar_ButtonClick(ToolbarButton button)
{
    // A page file left by a preview goes first; the flag stays as it is.
    m_output->deletePageFileIfFlagged();

    // A failing command is skipped silently, as the toolbar always has.
    try {
        switch (button) {
        case ToolbarButton::New:
            mnuNew_Click();
            break;
        case ToolbarButton::Open:
            mnuOpen_Click();
            break;
        case ToolbarButton::Save:
            m_documents->saveInPlace();
            break;
        case ToolbarButton::Help:
            showHelpFile(this);
            break;
        case ToolbarButton::Header:
            // A mixed range becomes headers whole; only an all-header one is cleared.
            setHeader(!m_grid->selectionAllHeaders());
            m_output->PageFileFlag = false;
            break;
        case ToolbarButton::TableView:
            showView(ToolbarButton::TableView);
            picAllSet->load(false);
            m_output->PageFileFlag = false;
            break;
        case ToolbarButton::CellView:
            switchToCellView();
            m_output->PageFileFlag = false;
            break;
        case ToolbarButton::TagView:
            showView(ToolbarButton::TagView);
            m_output->showTagView();
            break;
        case ToolbarButton::Preview:
            showView(ToolbarButton::Preview);
            m_output->showPreview();
            break;
        case ToolbarButton::BrowserPreview:
            if (!m_output->showBrowserPreview()) {
                m_output->PageFileFlag = false; // the page stays for the user to open
                QMessageBox box(QMessageBox::Critical, QStringLiteral("Quorvan"),
                                tr("ページを開くブラウザーが見つかりません。次のファイルをブラウザーで開いてください。\n%1")
                                        .arg(QDir::toNativeSeparators(m_output->PageFilePath)),
                                QMessageBox::Ok, this);
                box.setObjectName(QStringLiteral("msgNoBrowser"));
                box.setTextInteractionFlags(Qt::TextSelectableByMouse);
                box.exec();
            }
            break;
        case ToolbarButton::FileSeparator:
        case ToolbarButton::HelpSeparator:
        case ToolbarButton::HeaderSeparator:
        case ToolbarButton::PreviewSeparator:
            break;
        }
    } catch (const std::bad_alloc &) {
        // Out of memory ends this command, not the program with its windows.
        showFileMessage(this, tr("メモリーが足りないため、この操作を最後まで行えませんでした。"));
    }

    // A command that set a busy pointer leaves the default one.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

void frmMain::switchToCellView()
{
    // The grid takes the size in the boxes only here (and on load and open).
    const int hadRows = m_grid->grid()->Rows();
    sizeGridFromBoxes();
    // Rows the grid gained from the boxes are fitted; the rest was kept up to date.
    m_grid->refreshRows(hadRows, m_grid->grid()->Rows() - 1);
    m_grid->showAgain();
    showView(ToolbarButton::CellView);
    m_grid->grid()->setFixedCellsButtonFace();
    m_grid->grid()->setFocus();
}

void frmMain::mnuNew_Click()
{
    DocumentManager::newWindowBeside(this)->show();
}

void frmMain::mnuOpen_Click()
{
    // The untouched start window takes the table itself, as office suites do.
    commitPendingEdits();
    if (m_documents->isUntouchedOnlyWindow()) {
        m_documents->openHere(QString());
        return;
    }
    // OpenFile shows the window on success and discards it on failure or cancel.
    DocumentManager::newWindowBeside(this)->OpenFile(QString());
}

void frmMain::mnuClose_Click()
{
    close();
}

void frmMain::mnuSave_Click()
{
    m_documents->saveInPlace();
}

void frmMain::mnuSaveAs_Click()
{
    SaveFile();
}

void frmMain::mnuFile_Click()
{
    mnuClose->setEnabled(loadedWindows().size() != 1);
}

void frmMain::mnuExit_Click()
{
    // Every main window goes, newest first; a table with changes asks first,
    // and Cancel there stops the exit. Then the program ends.
    const QList<frmMain *> windows = loadedWindows();
    for (int i = windows.size() - 1; i >= 0; --i) {
        const QPointer<frmMain> w = windows.at(i);
        if (w && w != this && loadedWindows().size() > 1 && !w->close())
            return;
    }
    if (!close())
        return;
    QCoreApplication::quit();
}

void frmMain::mnuAbout_Click()
{
    frmAbout dlg(this);
    dlg.exec();
}

void frmMain::mnuShowHelp_Click()
{
    showHelpFile(this);
}

// --- the Cell menu

void frmMain::mnuSel_Click()
{
    command(ToolbarButton::Header)->setChecked(m_grid->selectionAllHeaders());
}

void frmMain::mnuBold_Click()
{
    setHeader(!m_grid->selectionAllHeaders());
}

// The grid shows the header bold and the pane greys its sliders, both from the
// record. Every selected cell takes it.
void frmMain::setHeader(bool header)
{
    m_doc->setCellsField(m_grid->selectedCells(), CellField::Header, header ? -1 : 0);
    m_doc->closeGesture(); // each click is a step of its own
    command(ToolbarButton::Header)->setChecked(header);
}

void frmMain::mnuSelEdit_Click()
{
    m_grid->Grid_DblClick();
}

void frmMain::mnuSelEditMax_Click()
{
    // The editor starts from what the box shows; a box left open would
    // later be committed over the editor's text.
    m_grid->commitOpenBox();
    const GridWidget *grid = m_grid->grid();
    frmEdit ed(this);
    ed.objForm = this;
    connect(&ed, &frmEdit::textStored, this, &frmMain::SettingText);
    ed.profile = m_doc->model().OutputProfile;
    ed.SettingText(m_doc->cell(grid->Col(), grid->Row()).Text);
    ed.exec();
}
