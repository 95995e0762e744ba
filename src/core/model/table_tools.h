#pragma once

#include <QRect>
#include <QString>
#include <QVector>

#include "core/model/table_model.h"

// The data tools: rows sorted by several keys, the table transposed, cells
// filled from the first one or as a series, a column of row numbers. Each
// works on the model alone (the document makes it one undo step) and costs
// what the cells it writes cost, never the size of the table. An edit that
// cannot be done whole changes nothing.
namespace tabletools {

// The rows a sort leaves where they are: the rows of header cells at the
// top, a first row of column labels made of ordinary cells, and the footer rows.
struct SortFrame {
    int headerRows = 0;
    bool labelRow = false;   // the row after the header rows holds the columns' labels
    int footerRows = 0;
    // The rows between them, for a table of rows rows.
    int firstBody() const { return headerRows + (labelRow ? 1 : 0) + 1; }
    int lastBody(int rows) const { return rows - footerRows; }
};

// Rows looked at below a possible label row: enough to tell, little to read.
constexpr int LabelSampleRows = 100;
// The most rows of header cells a sort leaves at the top.
constexpr int MaxHeaderRows = 1000;

SortFrame sortFrame(const TableModel &m);

enum class SortKind { Text, Number, Natural, Date };

struct SortKey {
    int col = 1;
    SortKind kind = SortKind::Natural;
    bool descending = false;
};

// The kind that reads most of the column's cells in rows first..last (at most
// LabelSampleRows of them): dates, numbers, or natural text.
SortKind guessKind(const TableModel &m, int col, int first, int last);

// Rows first..last in the order of keys, the first key first; rows that
// compare equal on every key keep their order. Text compares case-blind,
// natural text reads the digits in it as numbers ("item 2" before "item 10");
// cells that are no number or date follow those that are, empty cells come
// last, either way. One row move of the whole range (a LineEdit Permute). A
// row span starting in the rows, or reaching into them from above, would be
// torn apart: nothing changes and the row of that spanning cell is returned;
// 0 otherwise.
int sortRows(TableModel &m, int first, int last, const QVector<SortKey> &keys);

// The date a cell's shown text writes ("2026-12-08", "2026/12/8",
// "2026年12月8日", "12/8/2026", "8.12.2026", "Dec 8, 2026", a time after it),
// as seconds from a fixed day; false for anything else or a day that does not exist.
bool readDate(const QString &shown, qint64 &seconds);

// Rows become columns: every cell goes over the diagonal with its spans,
// sizes and header scope turned with it, and the cells outside the table go
// with them, so a second transpose gives the table back. Footer rows would
// become columns, which a table has no foot for: they end. False, and
// nothing changes, when the table has more rows than a table may have columns.
bool transpose(TableModel &m);

// What a fill or a series would write, refused before anything is written.
enum class FillStatus { Done, Nothing, TooManyCells, TooMuchText };
// The most cells one fill or series writes.
constexpr qint64 MaxFillCells = 2000000;

// The first cell of each column of cells (fill down) or of each row (fill
// right) copied into the rest of it, content and look, spans left as they
// were; a single row (column) takes the cell above it (left of it), as
// spreadsheets do. Cells a span hides are left alone.
FillStatus fill(TableModel &m, QRect cells, bool down);

// Each column (down) or row (right) of cells continued from its first cell:
// a number, or the last number in a text ("Item 1", "第1回"), counts on by 1
// (leading zeros kept), a date by a day, in the form the first cell wrote it;
// when the first two cells hold the same kind of value, by their difference
// (dates a month or a year apart by months). Other texts are copied.
FillStatus fillSeries(TableModel &m, QRect cells, bool down);

// A new first column numbering the body rows from 1; label in the first
// header (or label) row, spanning the header rows; footer rows left blank.
// Refused when the table has as many columns as it may, or when the numbers
// would take its text past what a table file may hold.
enum class NumberStatus { Done, NoColumnLeft, TooMuchText };
NumberStatus insertRowNumbers(TableModel &m, const QString &label);

} // namespace tabletools
