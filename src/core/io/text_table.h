#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

#include "core/model/table_model.h"

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

// CSV: RFC 4180 (quoted where needed, CR LF), UTF-8 with a byte order mark so
// that spreadsheets do not read it in the locale's code page. TSV: one line
// per row, LF, UTF-8, a value holding a tab, a line break or a quote quoted as
// spreadsheets quote it. Markdown: the
// first row is the header row, each column aligned as most of its data cells
// are, punctuation that Markdown would read escaped, a cell's bold, italic and
// links Markdown's own, a line break "<br>". A cell under another's span is
// empty.
TextTableOutput writeTextTable(const TableModel &model, TextTableFormat format);

struct TextTableRead {
    bool ok = false;
    int rows = 0;   // what the text holds, also when too large
    int cols = 0;
};

// CSV or TSV bytes (UTF-8 with or without a byte order mark, else CP932) into
// model: one cell per value, its text HTML-escaped and its line breaks "<BR>",
// everything else at the defaults. Refused, model untouched, when the text
// holds no value or more than 99 rows or columns.
TextTableRead readTextTable(const QByteArray &bytes, TextTableFormat format, TableModel &model);
