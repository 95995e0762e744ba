#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "core/io/table_document_io.h"
#include "core/io/table_formats.h"
#include "core/io/text_table.h"
#include "core/model/table_model.h"


// The command-line side of table files: "quorvan --export SOURCE TARGET".
// Runs before any window exists and needs no display.

struct ExportResult {
    bool ok = true;
    QString message;  // the text the window would show, for a failure
    QStringList notes; // for standard error on success: what the target could not hold
    QByteArray output; // for standard output ("-" as TARGET, --list-tables), whole
};

// The name that stands for standard input or output.
inline const QString &standardStreamName()
{
    static const QString dash = QStringLiteral("-");
    return dash;
}

// What the command line may say beside SOURCE and TARGET.
struct ExportOptions {
    std::optional<MarkupProfile> profile;
    std::optional<PresentationStyle> style;
    std::optional<TableFormat> from; // SOURCE's format, else its name tells it
    std::optional<TableFormat> to;   // TARGET's
    int table = 0;                   // a page's table, from 1 in document order; 0 the preferred one
    bool page = false;               // HTML as a whole page rather than the table alone
    TextTableOptions text;           // CSV and TSV: formulas guarded (the default) or kept live
    QString sheet;                   // a workbook's sheet, by name or number from 1; empty the first
};

// Opens source as the Open command does (a .csv or .tsv name read as
// spreadsheet text, an .ods or .xlsx workbook's first sheet), then writes target as the Save command does by its
// extension: .qvn a table file, .html/.htm the HTML text, .csv/.tsv/.md the
// cells' text, .tex/.wiki/.adoc/.rst the table in that format (see
// publish_formats.h); any other extension is refused. A profile or presentation
// given overrides the table's own, as if chosen in the window: the HTML is
// written in it, a table file stores it.
// On failure target is left as it was (a new one is never created). A target
// that is the source file itself is refused unless both are .qvn names.
ExportResult exportTable(const QString &source, const QString &target,
                         std::optional<MarkupProfile> profile = std::nullopt,
                         std::optional<PresentationStyle> style = std::nullopt);
// The same with the other options. "-" as source reads standard input (whole,
// up to the limits of its format, before anything is parsed; --from is needed),
// "-" as target puts the whole output into ExportResult::output instead of a
// file (--to is needed). A page without a table number gives its preferred
// table (preferredHtmlTable), as the window's chooser proposes; a workbook
// the sheet options.sheet names (findSheet), else its first.
ExportResult exportTable(const QString &source, const QString &target, const ExportOptions &options);

// "quorvan --list-tables SOURCE": one line per table of the page
// (htmlTableListLine), in document order, into ExportResult::output.
ExportResult listTables(const QString &source, std::optional<TableFormat> from = std::nullopt);

// Reads a .csv or .tsv file into model as Open does; the message names the
// file. What the reading changed (bytes that did not decode, NUL characters
// left out) goes into notes, one text each.
OpenResult openTextTable(const QString &path, TableModel &model, QStringList *notes = nullptr);
// A text file past what a table holds (rows, columns, bytes) or past the memory left.
QString textTableTooLargeMessage(const QString &path);


