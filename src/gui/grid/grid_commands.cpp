// The grid's commands on the selected cells: clearing, merging, and rows and
// columns put in or taken out. Each is one undo step.
#include "gui/grid/grid_editor.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include "gui/grid/grid_widget.h"
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
    menu->addSeparator()->setObjectName(QStringLiteral("SepSort"));
    QMenu *sort = submenu("mnuSort", tr("並べ替え(&O)"));
    using tableedits::SortKey;
    item(sort, "mnuSortAscending", tr("昇順 - 文字列(&A)"), [this] { sortRows(false, SortKey::Text); });
    item(sort, "mnuSortDescending", tr("降順 - 文字列(&D)"), [this] { sortRows(true, SortKey::Text); });
    item(sort, "mnuSortAscendingNumber", tr("昇順 - 数値(&N)"), [this] { sortRows(false, SortKey::Number); });
    item(sort, "mnuSortDescendingNumber", tr("降順 - 数値(&U)"), [this] { sortRows(true, SortKey::Number); });
    connect(menu, &QMenu::aboutToShow, this, [this, merge, unmerge] {
        const QRect cells = Grid->selectedCells();
        merge->setEnabled(cells.width() * cells.height() > 1);
        bool spanned = false;
        for (const QRect &a : Grid->spanLayout().spans())
            spanned = spanned || cells.intersects(a);
        unmerge->setEnabled(spanned);
    });
}

// A whole-table edit as one step; the grid is refreshed whole after it.
void GridEditor::editWhole(const QString &step, const std::function<void(TableModel &)> &edit)
{
    const bool was = m_refreshFollows;
    m_refreshFollows = true;
    m_doc.editModel(step, edit);
    m_refreshFollows = was;
}

void GridEditor::tell(const QString &text)
{
    QMessageBox::information(Grid->window(), QStringLiteral("Quorvan"), text);
}

void GridEditor::refitRows(int top, int bottom)
{
    const int keepCol = Grid->Col(), keepRow = Grid->Row();
    const QRect range = Grid->selectedCells();
    top = qMax(1, top);
    bottom = qMin(Grid->Rows() - 1, bottom);
    {
        GridWidget::BulkUpdate bulk(Grid);
        for (int r = top; r <= bottom; ++r)
            for (int c = 1; c < Grid->Cols(); ++c) {
                Grid->setCol(c);
                Grid->setRow(r);
                refreshCell(c, r);
            }
    }
    Grid->setCol(keepCol);
    Grid->setRow(keepRow);
    Grid->selectCells(range);
    Grid_Click();
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
    refitRows(cells.top(), cells.bottom());
}

void GridEditor::mergeSelection()
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.left() < 1 || cells.top() < 1 || cells.size() == QSize(1, 1))
        return;
    // Text in the cells the merge hides would silently leave the output: ask
    // whether it joins the first cell's.
    const SpanLayout &spans = Grid->spanLayout();
    QStringList texts;
    bool hides = false;
    for (int r = cells.top(); r <= cells.bottom(); ++r)
        for (int c = cells.left(); c <= cells.right(); ++c) {
            const QString &text = m_doc.cell(c, r).Text;
            if (!spans.isWritten(c, r) || text.isEmpty())
                continue;
            texts.append(text);
            hides = hides || QPoint(c, r) != cells.topLeft();
        }
    bool join = false;
    if (hides) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Quorvan"),
                        tr("結合すると、先頭以外のセルの文字列は表示されなくなります。"
                           "それらの文字列を先頭のセルに移しますか？"),
                        QMessageBox::NoButton, Grid->window());
        box.setObjectName(QStringLiteral("msgMergeText"));
        QPushButton *move = box.addButton(tr("先頭のセルに移す(&M)"), QMessageBox::YesRole);
        QPushButton *keep = box.addButton(tr("隠したままにする(&K)"), QMessageBox::NoRole);
        QPushButton *cancel = box.addButton(tr("キャンセル"), QMessageBox::RejectRole);
        move->setObjectName(QStringLiteral("move"));
        keep->setObjectName(QStringLiteral("keep"));
        cancel->setObjectName(QStringLiteral("cancel"));
        box.setDefaultButton(move);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() != move && box.clickedButton() != keep)
            return;
        join = box.clickedButton() == move;
    }
    editWhole(tr("セルの結合"), [&](TableModel &m) {
        if (join) {
            for (int r = cells.top(); r <= cells.bottom(); ++r)
                for (int c = cells.left(); c <= cells.right(); ++c)
                    if (spans.isWritten(c, r))
                        m.Cells(c, r).Text.clear();
            m.Cells(cells.left(), cells.top()).Text = texts.join(QStringLiteral("<BR>"));
        }
        tableedits::mergeCells(m, cells);
    });
    followTableSize(cells.topLeft());
}

void GridEditor::unmergeSelection()
{
    commitOpenBox();
    const QRect cells = Grid->selectedCells();
    if (cells.left() < 1 || cells.top() < 1)
        return;
    editWhole(tr("結合の解除"), [cells](TableModel &m) { tableedits::unmergeCells(m, cells); });
    followTableSize(QPoint(Grid->Col(), Grid->Row()));
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
    editWhole(tr("行の挿入"), [&](TableModel &m) { tableedits::insertRows(m, before, count); });
    // The current cell keeps its content.
    followTableSize(QPoint(Grid->Col(), after ? Grid->Row() : Grid->Row() + count));
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
    editWhole(tr("列の挿入"), [&](TableModel &m) { tableedits::insertCols(m, before, count); });
    followTableSize(QPoint(after ? Grid->Col() : Grid->Col() + count, Grid->Row()));
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
    editWhole(tr("行の削除"), [&](TableModel &m) { tableedits::deleteRows(m, cells.top(), cells.height()); });
    followTableSize(QPoint(Grid->Col(), cells.top()));
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
    editWhole(tr("列の削除"), [&](TableModel &m) { tableedits::deleteCols(m, cells.left(), cells.width()); });
    followTableSize(QPoint(cells.left(), Grid->Row()));
}

// The grid at the table's size again, every cell shown afresh; the current
// cell goes to current (or the nearest cell).
void GridEditor::followTableSize(QPoint current)
{
    const TableModel &m = m_doc.model();
    emit tableResized();
    Grid->setRows(qBound(1, int(m.TableRows), tableedits::MaxLines) + 1);
    Grid->setCols(qBound(1, int(m.TableCols), tableedits::MaxLines) + 1);
    numberFixedCells();
    resetRowHeightCol(Grid->Rows());
    updateSpans();
    showLineSizes();
    {
        GridWidget::BulkUpdate bulk(Grid);
        for (int c = 1; c < Grid->Cols(); ++c)
            for (int r = 1; r < Grid->Rows(); ++r) {
                Grid->setCol(c);
                Grid->setRow(r);
                refreshCell(c, r);
            }
    }
    const QPoint owner = Grid->spanLayout().owner(qBound(1, current.x(), Grid->Cols() - 1),
                                                   qBound(1, current.y(), Grid->Rows() - 1));
    Grid->setCol(owner.x());
    Grid->setRow(owner.y());
    Grid->selectCells(QRect(owner, QSize(1, 1)));
    Grid->setFixedCellsButtonFace();
    Grid_Click();
}
