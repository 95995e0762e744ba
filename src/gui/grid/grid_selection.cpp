// The grid's spans and ranges: which cells are drawn as one, and the range of
// cells the user selects from the current cell.
#include "gui/grid/grid_widget.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>

#include "gui/grid/grid_cells_p.h"

void GridWidget::setSpanLayout(const SpanLayout &layout)
{
    if (m_spansApplied && layout == m_spans)
        return;
    clearSpans();
    m_spans = layout;
    for (const QRect &a : m_spans.spans())
        if (a.right() < Cols() && a.bottom() < Rows())
            setSpan(a.top() - 1, a.left() - 1, a.height(), a.width());
    m_spansApplied = true;
    // A range holding part of a new span takes all of it.
    if (!m_selRect.isEmpty())
        m_selRect = m_spans.expanded(m_selRect) & QRect(1, 1, Cols() - 1, Rows() - 1);
    viewport()->update();
}

QRect GridWidget::selectedCells() const
{
    const QRect table(1, 1, Cols() - 1, Rows() - 1);
    if (m_selFor == QPoint(m_col, m_row) && !m_selRect.isEmpty())
        return m_selRect & table;
    if (m_col < 1 || m_row < 1)
        return QRect(m_col, m_row, 1, 1);
    return m_spans.expanded(QRect(m_col, m_row, 1, 1)) & table;
}

bool GridWidget::hasRange() const
{
    return m_col >= 1 && m_row >= 1
            && selectedCells() != (m_spans.expanded(QRect(m_col, m_row, 1, 1)) & QRect(1, 1, Cols() - 1, Rows() - 1));
}

void GridWidget::selectCells(QRect cells)
{
    setRange(cells, cells.normalized().bottomRight());
}

void GridWidget::selectAll()
{
    if (m_col < 1 || m_row < 1)
        return;
    setRange(QRect(1, 1, Cols() - 1, Rows() - 1), QPoint(Cols() - 1, Rows() - 1));
    emit selectionChanged();
}

void GridWidget::setRange(QRect cells, QPoint extent)
{
    const QRect before = selectedCells();
    m_selFor = QPoint(m_col, m_row);
    m_extent = extent;
    m_selRect = m_spans.expanded(cells.normalized() | QRect(m_selFor, QSize(1, 1)))
            & QRect(1, 1, Cols() - 1, Rows() - 1);
    if (m_selRect != before)
        viewport()->update();
    followInView();
}

void GridWidget::collapseSelection()
{
    // The range made from the cell the user just left counts too: the current
    // cell has moved already, and its tint must go.
    const bool wasRange = selectedCells().size() != QSize(1, 1)
            || (!m_selRect.isEmpty() && m_selRect.size() != QSize(1, 1));
    m_selFor = QPoint(m_col, m_row);
    m_extent = m_selFor;
    m_selRect = m_spans.expanded(QRect(m_selFor, QSize(1, 1)));
    if (wasRange)
        viewport()->update();
    followInView();
}

void GridWidget::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    // The view turns the input method off on cells it cannot edit itself;
    // typing Japanese into the grid still starts an edit.
    setAttribute(Qt::WA_InputMethodEnabled);
}

void GridWidget::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    // A row that waits for its height gets it before the view works out
    // where the row is.
    if (index.isValid())
        emit rowAboutToShow(index.row() + 1);
    QTableView::scrollTo(index, hint);
}

// The view's current index and selection follow the grid's, so that a screen
// reader hears every move and every range; nothing else reads them.
void GridWidget::followInView()
{
    if (m_col < 1 || m_row < 1 || !m_model->valid(m_col, m_row) || !selectionModel())
        return;
    const QRect range = selectedCells();
    const QItemSelection selection(m_model->index(range.top() - 1, range.left() - 1),
                                   m_model->index(range.bottom() - 1, range.right() - 1));
    if (selectionModel()->selection() != selection)
        selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const QModelIndex current = m_model->index(m_row - 1, m_col - 1);
    if (selectionModel()->currentIndex() != current)
        selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
}

QPoint GridWidget::extentPoint() const
{
    return m_selFor == QPoint(m_col, m_row) && !m_selRect.isEmpty() ? m_extent : QPoint(m_col, m_row);
}

void GridWidget::extendTo(QPoint cell)
{
    cell.setX(std::clamp(cell.x(), 1, Cols() - 1));
    cell.setY(std::clamp(cell.y(), 1, Rows() - 1));
    if (m_col < 1 || m_row < 1)
        return;
    setRange(m_spans.expanded(QRect(m_col, m_row, 1, 1)) | QRect(cell, QSize(1, 1)), cell);
    scrollTo(model()->index(cell.y() - 1, cell.x() - 1));
    emit selectionChanged();
}

// One step from a cell: past the span it lies in, onto the next cell that
// belongs to another written cell; at the edge, where it was.
QPoint GridWidget::stepFrom(QPoint from, int dc, int dr) const
{
    const QPoint own = m_spans.owner(from.x(), from.y());
    QPoint p = from;
    for (;;) {
        p += QPoint(dc, dr);
        if (p.x() < 1 || p.y() < 1 || p.x() >= Cols() || p.y() >= Rows())
            return from;
        if (m_spans.owner(p.x(), p.y()) != own)
            return p;
    }
}

void GridWidget::moveByStep(int dc, int dr)
{
    if (m_col < 1 || m_row < 1)
        return;
    const QPoint was(m_col, m_row);
    const QPoint to = stepFrom(was, dc, dr);
    moveCurrentByUser(to.x(), to.y());
    if (QPoint(m_col, m_row) != was) {
        scrollTo(model()->index(m_row - 1, m_col - 1));
        emit currentMovedByKey();
    }
}

void GridWidget::moveByTab(bool backward)
{
    if (m_col < 1 || m_row < 1)
        return;
    // The order the generator writes the cells in.
    const int cols = Cols() - 1;
    const int last = (Rows() - 1) * cols - 1;
    int at = (m_row - 1) * cols + (m_col - 1);
    for (;;) {
        at += backward ? -1 : 1;
        if (at < 0 || at > last) {
            collapseSelection();
            return;
        }
        const int c = at % cols + 1, r = at / cols + 1;
        if (m_spans.isWritten(c, r)) {
            moveCurrentByUser(c, r);
            scrollTo(model()->index(m_row - 1, m_col - 1));
            emit currentMovedByKey();
            return;
        }
    }
}

// A row or column number pressed (or passed over while pressed): the whole
// line, or every line from the first one pressed.
void GridWidget::headerPressed(Qt::Orientation orientation, int section, bool dragged)
{
    const bool rows = orientation == Qt::Vertical;
    const int line = section + 1;
    if (Rows() < 2 || Cols() < 2 || line >= (rows ? Rows() : Cols()))
        return;
    const bool extend = dragged || (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
    if (!extend) {
        m_lineAnchor = line;
        const QPoint first = m_spans.owner(rows ? 1 : line, rows ? line : 1);
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        const bool moves = first != QPoint(m_col, m_row);
        moveCurrentByUser(first.x(), first.y());
        if (moves)
            emit currentMovedByKey();
    } else if (m_selFor != QPoint(m_col, m_row)) {
        m_lineAnchor = rows ? m_row : m_col;
    }
    const int from = std::min(m_lineAnchor, line), count = std::abs(m_lineAnchor - line) + 1;
    const QRect cells = rows ? QRect(1, from, Cols() - 1, count) : QRect(from, 1, count, Rows() - 1);
    setRange(cells, rows ? QPoint(Cols() - 1, line) : QPoint(line, Rows() - 1));
    emit selectionChanged();
}

int GridWidget::spanTextWidthPx(int col, int row) const
{
    const QRect a = m_spans.area(col, row);
    if (a.width() <= 1 || a.left() != col)
        return textWidthPx(col);
    int px = 0;
    for (int c = a.left(); c <= a.right(); ++c)
        px += colWidth(c) / TwipsPerPixel;
    return std::max(1, px - (showGrid() ? 1 : 0) - 2 * PadX);
}
