#pragma once

#include <QVector>

#include <vector>

#include "core/io/cell_runs.h"
#include "core/model/table_edits.h"
#include "core/model/table_model.h"

// One cell as a text format writes it.
struct PublishedCell {
    int row = 1;        // in the published grid, from 1
    int col = 1;
    int rowSpan = 1;
    int colSpan = 1;
    // Null for a slot that no written cell covers (an HTML 4 span reaching
    // over another's): it is written as an empty cell, so the cells after it
    // keep their columns.
    const CellRecord *record = nullptr;
    bool header = false;
    qint16 hAlign = 0;  // 0 left, 1 center, 2 right: as the table's HTML shows it
    qint16 vAlign = 1;  // 0 top, 1 middle, 2 bottom
};

// The table as the text formats write it: exactly the cells the HTML writes,
// each with the area SpanLayout draws for it, and the rows and columns in
// which no cell begins left out (with the spans across them shortened), as
// the HTML5 writer leaves them out. Every slot of the published grid belongs
// to one cell. Nothing sized by rows x columns is kept: a writer asks for the
// cells one row at a time.
class PublishedTable
{
public:
    explicit PublishedTable(const TableModel &model);

    int rows() const { return int(m_modelRow.size()); }
    int cols() const { return int(m_modelCol.size()); }
    // The cells that begin in row r (from 1), left to right.
    QVector<PublishedCell> rowCells(int r) const;
    // The leading rows of header cells only that no span leaves; none when
    // every row is one (as the HTML5 writer finds its head).
    int headRows() const { return m_headRows; }
    bool hasSpans() const { return m_hasSpans; }

    // For each column (index 0 is column 1), the alignment most of its
    // one-column data cells (header cells too with headersToo) from row
    // firstRow on have; -1 where there is none. A tie goes to left, then center.
    QVector<int> columnAlignments(int firstRow, bool vertical, bool headersToo = false) const;
    // The same for a format that needs one for every column: the data cells'
    // below the head, else all the column's cells', else left or middle.
    QVector<int> columnDefaults(bool vertical) const;

    // The caption as one line (line breaks are blanks); empty when blank.
    TextLine caption() const;

private:
    PublishedCell cellAt(int modelCol, int modelRow, const QRect &area) const;

    const TableModel &m_model;
    SpanLayout m_layout;
    std::vector<int> m_modelRow;   // published row - 1 -> model row
    std::vector<int> m_modelCol;
    std::vector<int> m_rowsBefore; // model row -> published rows up to it
    std::vector<int> m_colsBefore;
    int m_headRows = 0;
    bool m_hasSpans = false;
};

// Walks the published grid row by row: which cell holds each slot. Two rows
// of slots are kept, no more.
class SlotWalker
{
public:
    explicit SlotWalker(const PublishedTable &table);
    // Moves to row r (1, 2, ... in order) and returns its slots: for each
    // column (index 0 is column 1) the cell holding it.
    const std::vector<PublishedCell> &row(int r);

private:
    const PublishedTable &m_table;
    std::vector<PublishedCell> m_slots;
};
