#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The kinds of file the command line reads and writes, named by --from and
// --to or told by a file's extension.
enum class TableFormat {
    TableFile,     // .qvn (and the older .qvf, read only)
    Html,          // a page (read: one of its tables) or the table's HTML text
    Csv,
    Tsv,
    Markdown,
    Ods,           // a workbook's sheet, read only
    Xlsx,
    Latex,         // the formats authors publish in, written only
    MediaWiki,
    AsciiDoc,
    Rst
};

// One line per format name; a new reader or writer adds its line in
// table_formats.cpp. extension is what a file of the format is named
// (without the dot); reads and writes say which way the format goes.
struct TableFormatName {
    const char *name;
    TableFormat format;
    const char *extension;
    bool reads;
    bool writes;
};

// The format --from (writing false) or --to (writing true) names; nothing
// for a name the program does not read or write that way.
std::optional<TableFormat> tableFormatFromName(const QString &name, bool writing);
// The names either way goes, for messages and the usage: "qvn, html, csv, ...".
QStringList tableFormatNames(bool writing);
// The format a file name tells, as Open (writing false) and Save tell it: a
// name ending in "qvn" (or, to read, "qvf") a table file, .html or .htm a
// page, then the extensions of the list; nothing for any other.
std::optional<TableFormat> tableFormatOfPath(const QString &path, bool writing);
