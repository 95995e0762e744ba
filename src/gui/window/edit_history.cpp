// The Edit menu: undo and redo of the table's steps, and the window brought
// to what a step changed.
#include "gui/window/edit_history.h"

#include "gui/window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QUndoStack>

#include <utility>

#include "gui/output/output_views.h"
#include "gui/grid/find_replace_dialog.h"
#include "gui/grid/grid_clipboard.h"
#include "gui/grid/grid_editor.h"
#include "gui/grid/grid_widget.h"
#include "document/table_document.h"
#include "gui/panes/table_settings_pane.h"
#include "gui/widgets/status_announcer.h"

namespace {

// The editable text box of window that has the keyboard, if any.
QLineEdit *focusedTextBox(const QWidget *window)
{
    auto *box = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    return box && box->window() == window && box->isVisible() && !box->isReadOnly() ? box : nullptr;
}

} // namespace

EditHistory::EditHistory(frmMain &window, TableDocument &doc, GridEditor &grid)
    : QObject(&window), m_window(window), m_doc(doc), m_grid(grid)
{
    // Alt+E is the table pane's ID box (ID(&E)), and the other letters of Edit
    // are the panes' too.
    mnuEdit = m_window.menuBar()->addMenu(frmMain::tr("編集(&N)"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuUndo = mnuEdit->addAction(frmMain::tr("元に戻す(&U)"));
    mnuUndo->setObjectName(QStringLiteral("mnuUndo"));
    mnuUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuRedo = mnuEdit->addAction(frmMain::tr("やり直し(&R)"));
    mnuRedo->setObjectName(QStringLiteral("mnuRedo"));
    mnuRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // The grid's cut, copy and paste, where editors keep them (also on the Cell menu).
    mnuEdit->addSeparator();
    mnuEdit->addActions(m_grid.clipboard()->actions());
    mnuEdit->addSeparator();
    QAction *find = mnuEdit->addAction(frmMain::tr("検索(&F)..."));
    find->setObjectName(QStringLiteral("mnuFind"));
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(find, &QAction::triggered, this, [this] { showFind(false); });
    QAction *replace = mnuEdit->addAction(frmMain::tr("置換(&H)..."));
    replace->setObjectName(QStringLiteral("mnuReplace"));
    replace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(replace, &QAction::triggered, this, [this] { showFind(true); });
    // The last search again, from the window or from the dialog.
    mnuFindNext = mnuEdit->addAction(frmMain::tr("次を検索(&N)"));
    mnuFindNext->setObjectName(QStringLiteral("mnuFindNext"));
    mnuFindNext->setShortcuts({QKeySequence(Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::Key_G)});
    connect(mnuFindNext, &QAction::triggered, this, [this] { findAgain(false); });
    mnuFindPrev = mnuEdit->addAction(frmMain::tr("前を検索(&V)"));
    mnuFindPrev->setObjectName(QStringLiteral("mnuFindPrev"));
    mnuFindPrev->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G)});
    connect(mnuFindPrev, &QAction::triggered, this, [this] { findAgain(true); });

    // Each item names the step it takes back or makes again.
    QUndoStack *stack = m_doc.undoStack();
    auto showItems = [this, stack] {
        const QString undo = stack->undoText();
        mnuUndo->setEnabled(stack->canUndo());
        mnuUndo->setText(undo.isEmpty() ? frmMain::tr("元に戻す(&U)") : frmMain::tr("元に戻す(&U) - %1").arg(undo));
        mnuUndo->setToolTip(undo.isEmpty() ? frmMain::tr("元に戻す変更はありません。")
                                           : frmMain::tr("「%1」の変更を元に戻します。").arg(undo));
        const QString redo = stack->redoText();
        mnuRedo->setEnabled(stack->canRedo());
        mnuRedo->setText(redo.isEmpty() ? frmMain::tr("やり直し(&R)") : frmMain::tr("やり直し(&R) - %1").arg(redo));
        mnuRedo->setToolTip(redo.isEmpty() ? frmMain::tr("やり直す変更はありません。")
                                           : frmMain::tr("「%1」の変更をやり直します。").arg(redo));
    };
    showItems();
    connect(stack, &QUndoStack::indexChanged, this, showItems);
    connect(stack, &QUndoStack::cleanChanged, this, showItems);
    mnuEdit->setToolTipsVisible(true);

    // A choice from the menu acts on the table even while a text box has the
    // keyboard; the keys there are the box's own. The menu hides just before
    // its item runs.
    connect(mnuEdit, &QMenu::aboutToHide, this, [this] {
        m_fromEditMenu = true;
        QTimer::singleShot(0, this, [this] { m_fromEditMenu = false; });
    });
    connect(mnuUndo, &QAction::triggered, this, [this] { undoOrRedo(false); });
    connect(mnuRedo, &QAction::triggered, this, [this] { undoOrRedo(true); });
    connect(&m_doc, &TableDocument::tableChanged, this, [this](TableFields fields) { m_appliedFields |= fields; });
    connect(&m_doc, &TableDocument::stepApplied, this, &EditHistory::showStepApplied);
}

// The cells found are shown in the grid, so the grid's view comes first.
void EditHistory::showFind(bool replace)
{
    if (m_grid.grid()->isHidden())
        m_window.Bar_ButtonClick(ToolbarButton::CellView);
    findDialog()->open(replace);
}

FindReplaceDialog *EditHistory::findDialog()
{
    if (m_find)
        return m_find;
    m_find = new FindReplaceDialog(m_grid, &m_window);
    m_find->addActions({mnuFindNext, mnuFindPrev});
    // Results go to the status bar, where a screen reader hears them too.
    auto *line = new StatusAnnouncer(m_window.statusBar());
    m_window.statusBar()->addWidget(line, 1);
    connect(m_find, &FindReplaceDialog::said, line, &StatusAnnouncer::announce);
    return m_find;
}

void EditHistory::findAgain(bool backward)
{
    if (!m_find || !m_find->hasSearch()) {
        showFind(false);
        return;
    }
    if (m_grid.grid()->isHidden())
        m_window.Bar_ButtonClick(ToolbarButton::CellView);
    m_find->findAgain(backward);
}

void EditHistory::undoOrRedo(bool redo)
{
    if (!m_fromEditMenu) {
        // Shortcuts the box does not claim itself (Ctrl+Y or Ctrl+Shift+Z,
        // whichever the platform's redo is not) still reach the box.
        if (QLineEdit *box = focusedTextBox(&m_window)) {
            if (redo)
                box->redo();
            else
                box->undo();
            return;
        }
    }
    // Text still in the in-place box goes into its cell first, as for a save:
    // an undo then takes back exactly that.
    m_grid.commitOpenBox();
    m_appliedFields = {};
    QUndoStack *stack = m_doc.undoStack();
    GridWidget *grid = m_grid.grid();
    {
        // A step over every cell reaches the grid's view once.
        GridWidget::BulkUpdate bulk(grid);
        if (redo)
            stack->redo();
        else
            stack->undo();
    }
    if (grid->isVisible())
        grid->cellRect(grid->Col(), grid->Row()); // scrolls the changed cell into view
}

// After an undo or redo: the grid, both panes and the current cell show what changed.
void EditHistory::showStepApplied(QRect cells)
{
    const TableFields fields = std::exchange(m_appliedFields, {});
    GridWidget *grid = m_grid.grid();
    m_window.reloadTableSettings();
    const QPoint current(grid->Col(), grid->Row());
    // The grid has followed the step's cells and size already; the boxes and
    // the current cell follow here.
    // The current cell stays where it is when the step touched it, else goes
    // to the step's first cell; the cells of a step that kept the table's size
    // are selected, as spreadsheets do (a row or column step would select
    // half the table).
    const QRect shown = cells & QRect(1, 1, grid->Cols() - 1, grid->Rows() - 1);
    if (!shown.isEmpty()) {
        const QPoint to = shown.contains(current) ? current : shown.topLeft();
        grid->setCol(to.x());
        grid->setRow(to.y());
        if (!(fields & (TableField::Rows | TableField::Cols)))
            grid->selectCells(shown);
    }
    m_grid.Grid_Click();
    // The tag view and the preview show the table as it is now.
    m_window.refreshOutputView();
}
