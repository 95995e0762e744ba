#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

#include "core/model/table_model.h"
#include "core/text/text_codec.h"

// The table as the plain-text formats that table generators and spreadsheets
// exchange: CSV, TSV and a GitHub-flavoured Markdown pipe table. Cells are
// written as the grid shows them (tags dropped, line breaks kept); CSV and TSV
// are read back into a table.
enum class TextTableFormat { Csv, Tsv, Markdown };

// By the name's extension (.csv, .tsv, .md, any case); nothing for another.
std::optional<TextTableFormat> textTableFormatOf(const QString &path);

struct TextTableOutput {
    QByteArray bytes;
    bool flattened = false;  // a span was written as its text and empty cells
    QStringList notes;       // what the format could not hold, in the interface's language
};

// A spreadsheet that opens a CSV runs a cell that starts with =, +, -, @ (or
// a tab or CR before one) as a formula: =HYPERLINK(...) or a DDE command from
// a stranger's table. Such a cell is written after a ' unless the user keeps
// the formulas; a plain number (-5, +1.5) is no formula and stays as it is.
struct TextTableOptions {
    bool keepFormulas = false;
};

// CSV: RFC 4180 (quoted where needed, CR LF between rows, LF for a line break
// inside a cell, as spreadsheets write it), UTF-8 with a byte order mark so
// that spreadsheets do not read it in the locale's code page. TSV: one line
// per row, LF, UTF-8, a value holding a tab, a line break or a quote quoted as
// spreadsheets quote it. Markdown: the first row is the header row, each
// column aligned as most of its data cells are, punctuation that Markdown
// would read escaped, a cell's bold, italic and links Markdown's own, a line
// break "<br>". A cell under another's span is empty.
TextTableOutput writeTextTable(const TableModel &model, TextTableFormat format,
                               TextTableOptions options = {});

// The cell text guarded for a spreadsheet as writeTextTable guards it.
QString formulaGuarded(const QString &text);

struct TextTableRead {
    enum Failure { None, Empty, TooLarge, OutOfMemory };
    bool ok = false;
    Failure failure = None;
    qint64 rows = 0;          // what the text holds, also when too large
    qint64 cols = 0;
    TextEncoding encoding = TextEncoding::Utf8;
    qint64 replaced = 0;      // bytes or sequences that did not decode, now U+FFFD
    qint64 nulsDropped = 0;   // NUL characters left out of the cells
};

// CSV or TSV bytes (see detectTextEncoding) into model: one cell per value,
// its text HTML-escaped and its line breaks "<BR>", everything else at the
// defaults. The text is read twice, a piece at a time: once to count its rows
// and columns, then, when they fit, into the cells; nothing is held for a
// text that does not fit. Refused, model untouched, when the text holds no
// value, more than TableLimits::MaxRows rows or MaxCols columns, more than
// MaxTableTextBytes bytes, or when memory runs out. NUL characters are left out.
TextTableRead readTextTable(const QByteArray &bytes, TextTableFormat format, TableModel &model);
