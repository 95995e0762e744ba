#pragma once

#include <QPoint>
#include <QRect>
#include <QVector>

#include <unordered_map>
#include <utility>
#include <vector>

#include "core/model/table_edits.h"
#include "core/model/table_model.h"

// What the header cells of a table head, worked out from its structure alone
// (which cells are headers, what they span, which cells show anything), never
// from the scopes the user set: the scope HTML5 writes for a header cell whose
// own is automatic, and what the accessibility check reports.
//
//   - The rows above the first row that shows data are the column headers:
//     rows of header cells (an empty data cell, a corner, among them), with
//     title rows (one data cell across the table) and empty rows in between.
//     Their header cells get "col", "colgroup" when merged over some of the
//     columns (not all) and the merged ranges of the head do not overlap.
//   - Every other header cell gets "row": a column of them labels its rows,
//     a lone one its row; "rowgroup" when it is in the first column, merged
//     over rows of the body, and no merge crosses into or out of those rows.
//   - A column header merged down into the rows of data is ambiguous: it gets
//     "row" (it is beside the data it reaches).
//   - A row of header cells below data that has data below it again (headers
//     in the middle of the body), or merged column headers that overlap, are
//     more than scope can tell: the table needs id/headers.
// Cost follows the held records (and the merges), never rows x columns.
class HeaderLayout
{
public:
    HeaderLayout() = default;
    explicit HeaderLayout(const TableModel &model);

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    // Rows 1..headRows() are the head (<thead>): ending with a row of headers,
    // no merge crossing out of them, and at least one row after them above
    // the foot. 0 for none.
    int headRows() const { return m_headRows; }
    // The first row of the foot (rows()+1 for none).
    int footStart() const { return m_footStart; }
    // The first row that shows data (0 for none).
    int firstDataRow() const { return m_firstDataRow; }
    bool needsHeaders() const { return m_needsHeaders; }
    // The scope HTML5 writes for the header cell written at (col, row) when
    // its own is automatic; Auto for a cell that is not a written header.
    CellScope automaticScope(int col, int row) const;
    // Header cells whose merge leaves it unclear what they head.
    const QVector<QPoint> &ambiguous() const { return m_ambiguous; }
    // Written header cells, in row order.
    const QVector<QPoint> &headerCells() const { return m_headers; }
    const SpanLayout &spans() const { return m_spans; }
    // No merge crosses the line between row-1 and row.
    bool closedAt(int row) const;

    // Whether a cell's markup shows anything: text, a picture, a form control.
    static bool showsNothing(const QString &markup);

private:
    static quint64 key(int col, int row) { return (quint64(quint32(row)) << 32) | quint32(col); }

    int m_rows = 0;
    int m_cols = 0;
    int m_headRows = 0;
    int m_footStart = 1;
    int m_firstDataRow = 0;
    bool m_needsHeaders = false;
    SpanLayout m_spans;
    std::vector<std::pair<int, int>> m_crossed; // merged runs of lines merges cross, sorted
    std::unordered_map<quint64, CellScope> m_scopes;
    QVector<QPoint> m_ambiguous;
    QVector<QPoint> m_headers;
};
