#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QVector>

#include <algorithm>
#include <optional>

#include "core/model/table_model.h"

class QMimeData;

// A rectangle of cells as the clipboard carries it: copied from a table, or
// read from what another program put there.
struct CellBlock {
    // Where it came from says how much of each record a paste takes over:
    // from Quorvan every field; from an HTML table the text, the header
    // switch, the spans and a colour the cell gives; from plain text the text.
    enum class Source { Quorvan, Html, Text };

    Source source = Source::Quorvan;
    int rows = 0;            // the cells held, within the table's limits and MaxCells
    int cols = 0;
    int sourceRows = 0;      // the size of what was read, which may be larger
    int sourceCols = 0;
    QVector<CellRecord> cells; // row by row

    static constexpr int MaxRows = TableLimits::MaxRows;
    static constexpr int MaxCols = TableLimits::MaxCols;
    // Every cell of a block is a whole record: a block holds no more than this
    // many (some 200 MB); what lies beyond is counted, not held.
    static constexpr qint64 MaxCells = 2000000;
    // The rows of a block cols wide that it may hold.
    static int rowsFor(int cols, int wanted)
    {
        return int(std::min<qint64>(std::min(wanted, MaxRows), cols > 0 ? MaxCells / cols : MaxRows));
    }

    bool isEmpty() const { return rows <= 0 || cols <= 0; }
    // From 0, column first as in the model.
    CellRecord &at(int col, int row) { return cells[row * cols + col]; }
    const CellRecord &at(int col, int row) const { return cells[row * cols + col]; }
    void resize(int newCols, int newRows); // every cell a default record
};

// The cells of the model within area (x = column, y = row, from 1), clipped
// to the table's limits and to MaxCells (sourceRows and sourceCols tell the
// whole area).
CellBlock takeCellBlock(const TableModel &model, const QRect &area);

// Our own form: every field of every record, versioned.
extern const char *const CellBlockMimeType; // "application/x-quorvan-cells"
QByteArray encodeCellBlock(const CellBlock &block);
// Nothing for another version or damaged data; records are read as the
// cell settings pane would leave them.
std::optional<CellBlock> decodeCellBlock(const QByteArray &data);

// Tab-separated plain texts: tags dropped ("<BR>" a line break), character
// references decoded, every other character as typed; one line per row ending in a
// line feed. A text holding a tab, a line break or a quote is quoted as
// spreadsheets quote it. Cells under another cell's span are empty.
QString cellBlockToText(const CellBlock &block);
// Tab-separated text as spreadsheets write it (CR LF, LF or CR line ends, the
// last one optional; quoted values may hold tabs, line breaks and doubled
// quotes). Each value is HTML-escaped and its line breaks become "<BR>".
CellBlock cellBlockFromText(const QString &text);

// A page holding the block as an HTML5 table, cell texts as stored.
QString cellBlockToHtml(const CellBlock &block);
// The first table of an HTML text (a page, or a fragment as browsers and
// spreadsheets put it on the clipboard), read by the table importer; nothing
// when it holds no table with cells.
std::optional<CellBlock> cellBlockFromHtml(const QString &html);

// All three forms, for the clipboard.
QMimeData *cellBlockMimeData(const CellBlock &block);
// The best form there is: our own, then an HTML table, then text. Nothing
// when none of them gives any cell, or when the form it would read is larger
// than a page the import reads (MaxHtmlPageBytes): tooLarge says so then.
std::optional<CellBlock> cellBlockFromMimeData(const QMimeData &data, bool *tooLarge = nullptr);

struct PasteResult {
    QRect cells;        // what changed (x = column, y = row); empty if nothing
    bool clipped = false;
    bool unmerged = false;
    QString message;    // for the user when clipped or unmerged
};

// The block into model with its top-left cell at (col, row). The table grows
// to hold it, up to the limits; what lies beyond is left out and said so. Nothing
// pasted is hidden: the block's spans are clipped to the pasted cells, and a
// merge of the table that would cover a pasted cell is undone (and said).
PasteResult pasteCellBlock(TableModel &model, const CellBlock &block, int col, int row);
