#pragma once

#include <QPoint>
#include <QRect>
#include <QVector>

#include "core/model/table_model.h"

// Whole-table edits on a model, without any window: rows and columns inserted
// or deleted, cells merged or split. Rectangles count table cells from 1
// (x = column, y = row). Texts, settings and spans move with their cells; a
// span across an inserted or deleted line grows or shrinks with it. An edit
// that cannot be done whole (past the limits, or no line left) changes nothing
// and returns false. The cells outside the table move along with its lines;
// a table within the original 99 x 99 moves them as the original did (lines
// up to 99, the ones pushed past it dropped).
namespace tableedits {

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
// compare equal keep their order. One row move of the whole range. A row span inside the rows, or reaching
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

    bool operator==(const SpanLayout &o) const;

private:
    // A written cell whose span covers more than itself: what the generator
    // skips for it (full) and what is drawn for it (area).
    struct Claim {
        QPoint owner;
        QRect full;
        QRect area;
        bool operator==(const Claim &o) const { return owner == o.owner && full == o.full && area == o.area; }
    };
    static constexpr int BlockRows = 64;
    // The first claim whose full rectangle holds the cell, or -1.
    int claimAt(int col, int row) const;
    void add(const Claim &claim);

    int m_rows = 0;
    int m_cols = 0;
    QVector<Claim> m_claims;              // in the order the generator meets their owners
    std::vector<std::vector<int>> m_blocks; // claims reaching into each block of BlockRows rows
    QVector<QRect> m_spans;
};
