// Find and replace, and the sizes of columns and rows: edits over
// many cells at once, each one undo step.
#include "gui/grid/grid_editor.h"

#include <new>

#include "core/model/cell_finder.h"
#include "gui/grid/grid_widget.h"

FoundCell GridEditor::findNext(const CellFinder &finder, bool backward)
{
    commitOpenBox();
    FoundCell found;
    try {
        found = finder.findCell(m_doc.model(), Grid->spanLayout(), QPoint(Grid->Col(), Grid->Row()), backward);
    } catch (const std::bad_alloc &) {
        found.status = FindStatus::GaveUp;
    }
    if (found.status == FindStatus::Found)
        Grid->moveCurrentTo(found.cell.x(), found.cell.y());
    return found;
}

ReplaceSummary GridEditor::replaceInCurrent(const CellFinder &finder, const QString &with)
{
    commitOpenBox();
    const int col = Grid->Col(), row = Grid->Row();
    if (col < 1 || row < 1)
        return {};
    QString text;
    ReplaceSummary s = finder.replaceInCell(m_doc.model(), QPoint(col, row), with, text);
    try {
        if (s.replaced)
            m_doc.setCellText(col, row, text);
    } catch (const std::bad_alloc &) {
        s = ReplaceSummary();
        s.stop = ReplaceSummary::Stop::NoMemory;
    }
    return s;
}

ReplaceSummary GridEditor::replaceAll(const CellFinder &finder, const QString &with)
{
    commitOpenBox();
    // The new texts are made and measured first: a replacement that cannot be
    // made whole changes nothing.
    QVector<CellText> changes;
    ReplaceSummary s = finder.replaceAll(m_doc.model(), Grid->spanLayout(), with, changes);
    if (changes.isEmpty())
        return s;
    try {
        // One edit of the whole table: a step per cell would cost a record and
        // a grid update each.
        m_doc.editModel(tr("すべて置換"), [&](TableModel &m) {
            for (CellText &change : changes)
                m.Cells(change.cell.x(), change.cell.y()).Text = std::move(change.text);
        });
    } catch (const std::bad_alloc &) {
        s = ReplaceSummary();
        s.stop = ReplaceSummary::Stop::NoMemory;
    }
    return s;
}

void GridEditor::setColumnWidth(int col, int px)
{
    const QRect column(col, 1, 1, Grid->Rows() - 1);
    if (col < 1 || col >= Grid->Cols() || px < 1)
        return;
    {
        StepScope step(m_doc, tr("列の幅"));
        m_doc.setCellsField(column, CellField::Width, qBound(1, px, 9999));
        m_doc.setCellsField(column, CellField::WidthPercent, 0);
        m_doc.setCellsField(column, CellField::WidthOn, 1);
    }
    m_doc.closeGesture();
    // The cell pane shows the current cell's new width.
    if (Grid->Col() == col)
        Grid_Click();
}

void GridEditor::setRowHeight(int row, int px)
{
    const QRect line(1, row, Grid->Cols() - 1, 1);
    if (row < 1 || row >= Grid->Rows() || px < 1)
        return;
    {
        StepScope step(m_doc, tr("行の高さ"));
        m_doc.setCellsField(line, CellField::Height, qBound(1, px, 9999));
        m_doc.setCellsField(line, CellField::HeightPercent, 0);
        m_doc.setCellsField(line, CellField::HeightOn, 1);
    }
    m_doc.closeGesture();
    if (Grid->Row() == row)
        Grid_Click();
}

void GridEditor::fitColumn(int col)
{
    if (col >= 1 && col < Grid->Cols())
        setColumnWidth(col, Grid->naturalColWidthPx(col));
}

// A column is as wide as the widest width its cells carry; one that lost its
// widths goes back to the grid's own. Rows keep fitting their text.
void GridEditor::showLineSizes()
{
    const TableModel &m = m_doc.model();
    const int rows = Grid->Rows() - 1, cols = Grid->Cols() - 1;
    const SpanLayout &spans = Grid->spanLayout();
    // Only held records carry a width.
    QVector<int> widest(cols + 1, 0);
    m.Cells.forEachLaidOut(QRect(1, 1, cols, rows), [&](int c, int r, const CellRecord &rec) {
        // A width in per cent depends on the page: the grid keeps its own.
        if (rec.WidthOn && !rec.WidthPercent && spans.isWritten(c, r) && spans.area(c, r).width() == 1)
            widest[c] = qMax(widest[c], int(rec.Width));
    });
    m_widthFromCells.resize(cols + 1);
    for (int c = 1; c <= cols; ++c) {
        const int px = widest[c];
        const bool fromCells = px > 0;
        if (fromCells && Grid->colWidth(c) != px * TwipsPerPixel)
            Grid->setColWidth(c, px * TwipsPerPixel);
        else if (!fromCells && m_widthFromCells[c])
            Grid->setColWidth(c, GridWidget::DefaultColWidth);
        m_widthFromCells[c] = fromCells;
    }
}
