#pragma once

#include <QPoint>
#include <QRect>
#include <QVector>

#include "core/model/table_model.h"

// Whole-table edits on a model, without any window: rows and columns inserted
// or deleted, cells merged or split. Rectangles count table cells from 1
// (x = column, y = row). Texts, settings and spans move with their cells; a
// span across an inserted or deleted line grows or shrinks with it. An edit
// that cannot be done whole (past 99 lines, or no line left) changes nothing
// and returns false.
namespace tableedits {

constexpr int MaxLines = TableLimits::MaxLines;

bool insertRows(TableModel &m, int before, int count);
bool insertCols(TableModel &m, int before, int count);
bool deleteRows(TableModel &m, int first, int count);
bool deleteCols(TableModel &m, int first, int count);

// The top-left cell spans the rectangle (switches on where it is wider or
// taller than one cell, off where not); the spans of the cells it covers go.
void mergeCells(TableModel &m, QRect cells);
// Every cell in the rectangle spans itself only.
void unmergeCells(TableModel &m, QRect cells);

// How a sort reads a column: as the text the grid shows, or as numbers
// ("1,280", full-width digits, a leading currency sign or a trailing % or 円
// read as the number they write). Cells that are no number follow the
// numbers; empty cells come last either way.
enum class SortKey { Text, Number };
// Reorders rows first..last, whole, by the cells of column col; rows that
// compare equal keep their order. A row span inside the rows, or reaching
// into them, would be torn apart: nothing changes and the row of that
// spanning cell is returned. 0 when sorted.
int sortRows(TableModel &m, int first, int last, int col, bool descending, SortKey key);
// The number a cell's shown text writes, as a number sort reads it.
bool readSortNumber(const QString &shown, double &value);

} // namespace tableedits

// Which cells of a table of rows x cols the generator writes, and what each
// written cell spans, in the model's output profile: the grid draws and
// selects exactly these. A cell the generator skips belongs to the written
// cell whose span covers it. Areas are clipped to the table and never overlap;
// HTML 4 skips a few cells beyond them (an overlapping span), which still
// belong to the cell that covers them.
class SpanLayout
{
public:
    void compute(const TableModel &m, int rows, int cols);

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    // The written cell a cell belongs to (itself when written); outside the
    // table, the cell itself.
    QPoint owner(int col, int row) const;
    bool isWritten(int col, int row) const { return owner(col, row) == QPoint(col, row); }
    // The area drawn for the cell's owner.
    QRect area(int col, int row) const;
    // The written cells that span more than one cell, by their areas.
    const QVector<QRect> &spans() const { return m_spans; }
    // The smallest rectangle holding r and every area it touches.
    QRect expanded(QRect r) const;

    bool operator==(const SpanLayout &o) const
    {
        return m_rows == o.m_rows && m_cols == o.m_cols && m_owner == o.m_owner && m_spans == o.m_spans;
    }

private:
    int index(int col, int row) const { return (row - 1) * m_cols + (col - 1); }
    int m_rows = 0;
    int m_cols = 0;
    QVector<QPoint> m_owner;     // by index()
    QVector<QRect> m_areas;      // drawn area of each written cell, by index()
    QVector<QRect> m_spans;
};
