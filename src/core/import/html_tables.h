#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include "core/model/table_model.h"

// Tables read from existing pages, through a real HTML parser (gumbo), so a
// page is bounded exactly as a browser bounds it. A cell's text is the page's
// own source between the cell's tags, never a re-serialisation, so what the
// author wrote comes back as written.

// One cell, placed where the generator would place it (first free slot of its
// row, after the spans of earlier cells), positions from 1 as in the model.
struct HtmlTableCell {
    int col = 0;
    int row = 0;
    CellRecord record;
    bool hAlignStated = false; // align or text-align given, not the browser's default
};

// Which of the import's limits a refused page went past.
enum class PageLimit {
    None,
    Size,    // the page is longer than MaxHtmlPageBytes
    Depth,   // its elements nest deeper than a browser would build
    Time,    // parsing it would take far longer than its size calls for
    Memory   // its parse, or its tables' texts, would take far more memory than its size calls for
};

// One TABLE element as found on a page.
struct HtmlTable {
    int depth = 0;            // 0 for a table of its own, n when inside n tables
    int parent = -1;          // list index of the table it sits in, -1 for none
    int rows = 0;             // TR elements
    int cols = 0;             // last column a cell starts in
    int footerRows = 0;       // the last rows, from TFOOT elements
    bool hasCaption = false;
    QString caption;          // the caption's source (HTML 4: one line break trimmed at each end)
    int border = -1;          // CSS border-width or BORDER, -1 when neither is given
    WidthUnit widthUnit = WidthUnit::None; // CSS width or WIDTH
    int width = 0;
    bool hasBackColor = false;
    qint32 backColor = 0xFFFFFF; // 0x00BBGGRR
    bool hasDataCells = false;   // at least one TD
    bool dataCellAligned = false; // some TD has an alignment of its own
    bool upperCaseTag = false;   // written "<TABLE", as the HTML 4 output is
    MarkupProfile profile = MarkupProfile::Html5; // HTML 4 for an upper-case table
    QString id;               // the table's id and class attributes
    QString cls;
    bool presentational = false; // a style or a presentational attribute somewhere
    QStringList leftOut;      // what the model cannot hold, once each: "colgroup", "td sdval", ...
    QStringList unwritten;    // what it holds that the table's HTML 4 does not write: "td style: color"
    QVector<HtmlTableCell> cells; // row by row, left to right
};

// The page's text: a byte order mark, else a <meta> charset (Shift_JIS and
// its aliases through the program's CP932 codec), else UTF-8, else CP932.
// The program's own HTML 4 text is saved in CP932 without a charset: a file
// that begins as that text does is read as CP932 first.
QString decodeHtmlPage(const QByteArray &page);

// Every table of the page in the order they start in it (document order, as
// the user counts them: a nested table right after the start of the one it
// sits in). Cells past the table's limits are counted but not kept.
QVector<HtmlTable> parseHtmlTables(const QByteArray &page);
// The same; tooComplex tells an empty list of a page that was refused, one
// whose parse would take far too long or far too much memory (tens of
// thousands of nested elements, say), from a page without tables.
QVector<HtmlTable> parseHtmlTables(const QByteArray &page, bool *tooComplex);
// The same, naming the limit a refused page went past (None otherwise).
QVector<HtmlTable> parseHtmlTables(const QByteArray &page, PageLimit *refused);
QVector<HtmlTable> parseHtmlTables(const QString &html);

// One line per table, in the order above, for a chooser:
// "表 1（3 行 × 2 列）料金表" or "表 3（2 行 × 2 列、表 1 の中）…".
QStringList listHtmlTables(const QByteArray &page);
QString describeHtmlTable(const QVector<HtmlTable> &tables, int index);

// The table a page is most likely opened for: the largest data table, or the
// only table (see html_table_choice.cpp for how tables are scored). 0 for
// an empty list.
int preferredHtmlTable(const QVector<HtmlTable> &tables);
// False for a table that lays out the page rather than holding data: one of
// links, a single row, or one holding other tables.
bool isDataTable(const QVector<HtmlTable> &tables, int index);

// What a list of tables shows of one: its caption as text, else its id; the
// text of its first cells, shortened.
QString htmlTableTitle(const HtmlTable &table);
QString htmlTableFirstCells(const HtmlTable &table);
// One line of "quorvan --list-tables": "N<TAB>rows×cols<TAB>caption or id<TAB>first cells".
QString htmlTableListLine(const QVector<HtmlTable> &tables, int index);

enum class ImportStatus {
    Ok,
    Unreadable,   // the file could not be read
    NoTable,      // the page holds no table
    NoSuchTable,  // fewer tables than the index asks for
    Empty,        // the table has no cells
    TooLarge,     // more rows or columns than a table can have
    TooComplex    // the page is too large or nests too deep to be read
};

struct ImportResult {
    ImportStatus status = ImportStatus::Ok;
    PageLimit limit = PageLimit::None; // for TooComplex: which limit
    QString message;  // the text to show for a failure
    int rows = 0;     // the table's size, also when too large
    int cols = 0;
    QStringList leftOut; // elements and attributes of the table the model could not hold
    // Cell styles the table keeps but its HTML 4 output does not write
    // ("td style: color"); an HTML5 table writes them back.
    QStringList unwritten;
    bool ok() const { return status == ImportStatus::Ok; }
};

// The message for what an import left out: "次の要素と属性は取り込まれませんでした: …".
QString leftOutMessage(const QStringList &leftOut);
// The message for cell styles kept that HTML 4 does not write.
QString unwrittenStyleMessage(const QStringList &unwritten);
// What the user hears after an import: what was left out, and what was kept
// that HTML 4 does not write; empty when there is neither.
QString importNotice(const ImportResult &result);

// A tableIndex that asks for preferredHtmlTable's choice.
constexpr int PreferredTable = -1;

// Table tableIndex (in listHtmlTables' order, or PreferredTable) of the page into model: the
// table settings and the records of the table's cells, everything else at its
// defaults. model is only changed on success; FileName is left to the caller.
// An upper-case table (as the program's HTML 4) becomes an HTML 4 table, any
// other an HTML5 one, so that either comes back out as it came in; an HTML5
// table without any style or presentational attribute is written back
// without style attributes too. The table's id and class, the cells'
// classes, the footer rows and the header cells' scopes (where they say more
// than the automatic one) are kept; everything else the model cannot hold is listed in
// ImportResult::leftOut.
ImportResult importHtmlTable(const QByteArray &page, int tableIndex, TableModel &model);
// The same on a list parseHtmlTables made (the window parses once for its
// chooser); a non-empty path is named in the messages.
ImportResult importHtmlTable(const QVector<HtmlTable> &tables, int tableIndex, TableModel &model,
                             const QString &path = QString());

// True for names ending in ".html" or ".htm", in any case.
bool isHtmlFileName(const QString &path);

// Pages over this size are not read: twice the table text a table file may
// hold, so that the program's own HTML of any table it opens reads back
// (Japanese takes three bytes in UTF-8 where it takes two in a table file).
constexpr qint64 MaxHtmlPageBytes = 128 * 1024 * 1024;

// importHtmlTable on the file at path; the messages name the file. Only a
// regular file is read (a device or a pipe could be endless).
ImportResult importHtmlFile(const QString &path, int tableIndex, TableModel &model);

// The message for a page refused at limit; an empty path is "このページ".
QString pageRefusedMessage(const QString &path, PageLimit limit);
