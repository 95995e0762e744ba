// The grid's commands on the selected cells: clearing, merging, and rows and
// columns put in or taken out. Each is one undo step.
#include "gui/grid/grid_editor.h"

#include <QAction>
#include <QMenu>

#include "gui/grid/grid_widget.h"
#include "gui/widgets/file_commands.h"
#include "core/model/table_edits.h"

QRect GridEditor::selectedCells() const
{
    return Grid->selectedCells();
}

void GridEditor::updateSpans()
{
    SpanLayout layout;
    layout.compute(m_doc.model(), Grid->Rows() - 1, Grid->Cols() - 1);
    Grid->setSpanLayout(layout);
}

void GridEditor::addCommandsTo(QMenu *menu)
{
    auto item = [this](QMenu *in, const char *name, const QString &text, auto slot) {
        QAction *a = in->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    auto submenu = [menu](const char *name, const QString &text) {
        QMenu *sub = menu->addMenu(text);
        sub->setObjectName(QLatin1String(name));
        return sub;
    };
    menu->addSeparator()->setObjectName(QStringLiteral("SepMerge"));
    QAction *merge = item(menu, "mnuMerge", tr("セルを結合(&J)"), &GridEditor::mergeSelection);
    QAction *unmerge = item(menu, "mnuUnmerge", tr("結合を解除(&U)"), &GridEditor::unmergeSelection);
    menu->addSeparator()->setObjectName(QStringLiteral("SepLines"));
    QMenu *rows = submenu("mnuInsertRow", tr("行を挿入(&I)"));
    item(rows, "mnuInsertRowAbove", tr("上に挿入(&A)"), [this] { insertRows(false); });
    item(rows, "mnuInsertRowBelow", tr("下に挿入(&B)"), [this] { insertRows(true); });
    QMenu *cols = submenu("mnuInsertCol", tr("列を挿入(&L)"));
    item(cols, "mnuInsertColLeft", tr("左に挿入(&L)"), [this] { insertCols(false); });
    item(cols, "mnuInsertColRight", tr("右に挿入(&R)"), [this] { insertCols(true); });
    item(menu, "mnuDeleteRow", tr("行を削除"), &GridEditor::deleteRows);
    item(menu, "mnuDeleteCol", tr("列を削除"), &GridEditor::deleteCols);
    connect(menu, &QMenu::aboutToShow, this, [this, merge, unmerge] {
        const QRect cells = Grid->selectedCells();
        merge->setEnabled(cells.width() * cells.height() > 1);
        bool spanned = false;
        for (const QRect &a : Grid->spanLayout().spans())
            spanned = spanned || cells.intersects(a);
        unmerge->setEnabled(spanned);
    });
}

void GridEditor::tell(const QString &text)
{
    showFileMessage(Grid->window(), text, MessageKind::Notice);
}

void GridEditor::clearSelectedText()
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.left() < 1 || cells.top() < 1)
        return;
    {
        GridWidget::BulkUpdate bulk(Grid);
        StepScope step(m_doc, tr("内容の消去"));
        // Only what the grid shows: a cell a span covers keeps its text.
        const SpanLayout &spans = Grid->spanLayout();
        for (int r = cells.top(); r <= cells.bottom(); ++r)
            for (int c = cells.left(); c <= cells.right(); ++c)
                if (spans.isWritten(c, r))
                    m_doc.setCellText(c, r, QString());
    }
}

void GridEditor::mergeSelection()
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.left() < 1 || cells.top() < 1 || cells.size() == QSize(1, 1))
        return;
    m_doc.editModel(tr("セルの結合"), [cells](TableModel &m) { tableedits::mergeCells(m, cells); });
    showCurrent(cells.topLeft());
}

void GridEditor::unmergeSelection()
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.left() < 1 || cells.top() < 1)
        return;
    m_doc.editModel(tr("結合の解除"), [cells](TableModel &m) { tableedits::unmergeCells(m, cells); });
    showCurrent(QPoint(Grid->Col(), Grid->Row()));
    Grid->selectCells(cells);
}

void GridEditor::insertRows(bool after)
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.top() < 1)
        return;
    const int count = cells.height();
    if (m_doc.model().TableRows + count > tableedits::MaxLines) {
        tell(tr("行を挿入できません。表の行は %1 までです。").arg(tableedits::MaxLines));
        return;
    }
    const int before = after ? cells.bottom() + 1 : cells.top();
    // The current cell keeps its content.
    const QPoint current(Grid->Col(), after ? Grid->Row() : Grid->Row() + count);
    m_doc.editModel(tr("行の挿入"), [&](TableModel &m) { tableedits::insertRows(m, before, count); });
    showCurrent(current);
}

void GridEditor::insertCols(bool after)
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.left() < 1)
        return;
    const int count = cells.width();
    if (m_doc.model().TableCols + count > tableedits::MaxLines) {
        tell(tr("列を挿入できません。表の列は %1 までです。").arg(tableedits::MaxLines));
        return;
    }
    const int before = after ? cells.right() + 1 : cells.left();
    const QPoint current(after ? Grid->Col() : Grid->Col() + count, Grid->Row());
    m_doc.editModel(tr("列の挿入"), [&](TableModel &m) { tableedits::insertCols(m, before, count); });
    showCurrent(current);
}

void GridEditor::deleteRows()
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.top() < 1)
        return;
    if (cells.height() >= m_doc.model().TableRows) {
        tell(tr("すべての行を削除することはできません。表には 1 行以上が必要です。"));
        return;
    }
    const QPoint current(Grid->Col(), cells.top());
    m_doc.editModel(tr("行の削除"), [&](TableModel &m) { tableedits::deleteRows(m, cells.top(), cells.height()); });
    showCurrent(current);
}

void GridEditor::deleteCols()
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.left() < 1)
        return;
    if (cells.width() >= m_doc.model().TableCols) {
        tell(tr("すべての列を削除することはできません。表には 1 列以上が必要です。"));
        return;
    }
    const QPoint current(cells.left(), Grid->Row());
    m_doc.editModel(tr("列の削除"), [&](TableModel &m) { tableedits::deleteCols(m, cells.left(), cells.width()); });
    showCurrent(current);
}

bool GridEditor::gridAtTableSize() const
{
    const TableModel &m = m_doc.model();
    return Grid->Rows() - 1 == qBound(1, int(m.TableRows), TableLimits::MaxRows)
            && Grid->Cols() - 1 == qBound(1, int(m.TableCols), TableLimits::MaxCols);
}

// The grid at the table's size again, every cell shown afresh.
void GridEditor::followTableSize()
{
    const TableModel &m = m_doc.model();
    emit tableResized();
    Grid->setRows(qBound(1, int(m.TableRows), TableLimits::MaxRows) + 1);
    Grid->setCols(qBound(1, int(m.TableCols), TableLimits::MaxCols) + 1);
    numberFixedCells();
    resetRowHeightCol(Grid->Rows());
    updateSpans();
    refreshRows(1, Grid->Rows() - 1);
    showCurrent(QPoint(Grid->Col(), Grid->Row()));
}

// The cell (or the one whose span covers it, or the nearest) current and
// shown in the pane.
void GridEditor::showCurrent(QPoint cell)
{
    const QPoint owner = Grid->spanLayout().owner(qBound(1, cell.x(), Grid->Cols() - 1),
                                                   qBound(1, cell.y(), Grid->Rows() - 1));
    Grid->setCol(owner.x());
    Grid->setRow(owner.y());
    Grid->selectCells(QRect(owner, QSize(1, 1)));
    Grid->setFixedCellsButtonFace();
    Grid_Click();
}
