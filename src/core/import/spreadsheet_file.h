#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include "core/import/html_tables.h"
#include "core/model/table_model.h"

// Spreadsheet files brought in as tables: OpenDocument (.ods) and Office Open
// XML (.xlsx) workbooks, read from their zip packages under fixed limits, each
// sheet as the spreadsheet shows it (formatted values, merges, bold, the
// horizontal alignment).

enum class SpreadsheetKind { Ods, Xlsx };

// By the name's extension (.ods, .xlsx, any case).
bool isSpreadsheetFileName(const QString &path);

// One cell worth keeping: it shows text or it starts a merge. Positions from 1.
struct SheetCell {
    int col = 0;
    int row = 0;
    QString text;         // as shown, plain text, line breaks as "\n"
    int colSpan = 1;      // a merge, clipped to the sheet's limits
    int rowSpan = 1;
    bool bold = false;
    qint8 align = -1;     // -1 the spreadsheet's own (numbers right, text left), 0 left, 1 centre, 2 right
    bool number = false;  // a number, date or time: right-aligned unless the cell says otherwise
};

struct SpreadsheetSheet {
    QString name;
    int rows = 0;         // the last row and column that show something, also past the limits
    int cols = 0;
    QVector<SheetCell> cells; // only those within the limits
    QStringList leftOut;  // what this sheet has that a table cannot hold, once each
    bool tooLarge() const { return rows > TableLimits::MaxRows || cols > TableLimits::MaxCols; }
};

enum class SpreadsheetStatus {
    Ok,
    Unreadable,   // not a regular file, or it cannot be read
    Damaged,      // not a zip package, not a workbook, broken XML...
    TooComplex    // past one of the reader's limits (size, entries, depth, cells)
};

struct SpreadsheetBook {
    SpreadsheetStatus status = SpreadsheetStatus::Ok;
    QString message;      // for a failure, naming the file
    QVector<SpreadsheetSheet> sheets;
    bool ok() const { return status == SpreadsheetStatus::Ok; }
};

// The most bytes a workbook's package may have, as a file or on standard input.
constexpr qint64 MaxWorkbookBytes = 128 * 1024 * 1024;

// The refusal of a package past MaxWorkbookBytes; path may be empty.
QString workbookTooLargeMessage(const QString &path);

// The whole workbook at path, every sheet. Never throws: running out of memory
// is a failure of this file like any other.
SpreadsheetBook readSpreadsheetFile(const QString &path);

// The same on the package's bytes, for tests and fuzzing; kind says which reader.
SpreadsheetBook readSpreadsheetBytes(const QByteArray &bytes, SpreadsheetKind kind,
                                     const QString &path = QString());

// One line per sheet for a chooser: "1: 売上（7 行 × 6 列）".
QString describeSheet(const SpreadsheetBook &book, int index);

// The sheet a --sheet value names: a sheet of that name, else a number from 1.
// -1 when there is none.
int findSheet(const SpreadsheetBook &book, const QString &nameOrNumber);

// Sheet index of book into model: the cells within the sheet's used range,
// their text HTML-escaped with "<BR>" for line breaks, merges as spans, the
// leading rows whose every cell is bold as header cells, bold elsewhere as
// <B>, the horizontal alignment; everything else at the defaults. model is
// changed only on success; FileName is left to the caller. What the table
// could not hold, other sheets included, is in ImportResult::leftOut.
ImportResult importSheet(const SpreadsheetBook &book, int index, TableModel &model,
                         const QString &path);

// The sheet of book that sheet names (as for --sheet, empty for the first)
// into model, as importSheet; path names the workbook in messages.
ImportResult importSpreadsheetBook(const SpreadsheetBook &book, const QString &sheet, TableModel &model,
                                   const QString &path);
// readSpreadsheetFile and importSpreadsheetBook.
ImportResult importSpreadsheetFile(const QString &path, const QString &sheet, TableModel &model);

// The notice for what an import left out: "次のものは取り込まれませんでした: …".
QString sheetLeftOutMessage(const QStringList &leftOut);
